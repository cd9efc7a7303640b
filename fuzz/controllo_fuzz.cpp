// Fuzz target: `percorso check` on a line description and a train description (the first part
// and the rest; either may hold any byte): the reading as a check, every diagnostic, and the
// printing of them with the quoted lines. Every diagnostic must have an id, and a place inside
// its file; a check without errors must mean a compile without a code or a report (the check
// makes sure of that itself, so this holds whatever the inputs). Lines longer than
// `metri_con_piano` are not taken.
#include <cstdlib>
#include <sstream>

#include "diagnostics/diagnostics.h"
#include "ingresso.h"

namespace {

std::size_t righe(std::string_view testo) {
  std::size_t n = 1;
  for (std::size_t i = 0; i < testo.size(); ++i) {
    if (testo[i] == '\n' || (testo[i] == '\r' && (i + 1 == testo.size() || testo[i + 1] != '\n'))) ++n;
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  scenario::fuzz::Ingresso ingresso(dati, n);
  const std::string_view linea = ingresso.parte();
  const std::string_view treno = ingresso.resto();
  if (!scenario::fuzz::piano_accettabile(linea)) return -1;  // not added to the corpus
  const scenario::Descrizioni d{{"linea.txt", std::string(linea), {}}, {"treno.txt", std::string(treno), {}}};
  const auto diagnostiche = scenario::controlla(d, {"Valdora", "Tarvo", 1});
  for (const scenario::Diagnostica& g : diagnostiche) {
    if (g.id.empty()) std::abort();
    const std::string_view testo = g.luogo.file == "treno.txt" ? treno : linea;
    if (!g.luogo.file.empty() && static_cast<std::size_t>(g.luogo.linea) > righe(testo)) std::abort();
  }
  std::ostringstream out;
  scenario::stampa(out, diagnostiche, d, true);
  return 0;
}
