// Fuzz target: the train reader alone. The first number sets the line length the route is
// sized for (up to 1,000,000 m, or none when larger); the rest is the train description.
#include "ingresso.h"
#include "reader/interno.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  scenario::fuzz::Ingresso ingresso(dati, n);
  const std::uint32_t lunghezza = ingresso.numero();
  const std::string_view treno = ingresso.resto();
  scenario::Modello m;
  m.scrivi_linea = 0;
  scenario::azzera_voci(m);
  if (lunghezza <= static_cast<std::uint32_t>(scenario::lunghezza_massima)) {
    scenario::dimensiona_percorso(m, static_cast<std::int32_t>(lunghezza));
  }
  const scenario::Descrizione d{"treno", std::string(treno), {}};
  scenario::StatoLettura stato;
  (void)scenario::leggi_treno(m, d, stato);
  return 0;
}
