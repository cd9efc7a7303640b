// Fuzz target: the line reader alone, on any bytes, with the plan of the line computed when
// the line is short enough (see `metri_con_piano`).
#include "ingresso.h"
#include "reader/interno.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  const std::string_view linea(reinterpret_cast<const char*>(dati), n);
  scenario::Modello m;
  m.scrivi_linea = scenario::fuzz::piano_accettabile(linea) ? 1 : 0;
  scenario::azzera_voci(m);
  const scenario::Descrizione d{"linea", std::string(linea), {}};
  scenario::StatoLettura stato;
  (void)scenario::leggi_linea(m, d, stato);
  return 0;
}
