// Fuzz target: the whole compile step, from a line description and a train description (the
// first part and the rest; either may hold any byte) to the three files, written to a
// destination that only counts bytes. Lines longer than `metri_con_piano` are not taken.
#include "compile/compile.h"
#include "ingresso.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  scenario::fuzz::Ingresso ingresso(dati, n);
  const std::string_view linea = ingresso.parte();
  const std::string_view treno = ingresso.resto();
  if (!scenario::fuzz::piano_accettabile(linea)) return -1;  // not added to the corpus
  scenario::Modello m;
  m.nome_percorso = "Valdora";
  m.nome_treno = "Tarvo";
  const scenario::Descrizioni d{{"linea.txt", std::string(linea), {}}, {"treno.txt", std::string(treno), {}}};
  scenario::fuzz::Scarico dove;
  (void)scenario::memorizza_percorso(m, 1, d, dove);
  return 0;
}
