#include <benchmark/benchmark.h>

#include <span>
#include <string>

#include "documents/documents.h"
#include "output/output.h"
#include "generatore_scenari.h"
#include "tools/decompila.h"

namespace {

scenario::FileBinari binari(const std::string& linea, const std::string& treno, const std::string& percorso,
                            const std::string& nome_treno) {
  const auto c = scenario::compila_in_memoria(linea, treno, percorso, nome_treno, true);
  scenario::FileBinari f;
  f.linea = c.file.at(scenario::nome_file_linea(percorso));
  f.simulazione = c.file.at(scenario::nome_file_simulazione(percorso, nome_treno));
  f.treno = c.file.at(scenario::nome_file_treno(percorso, nome_treno));
  return f;
}

// Decoding, recovering every row and the compile that checks the pair, in memory.
void decompila(benchmark::State& state, const scenario::FileBinari& f) {
  for (auto _ : state) {
    auto esito = scenario::decompila(f);
    if (!esito.risultato || !esito.risultato->identico) state.SkipWithError("the round trip failed");
    benchmark::DoNotOptimize(esito);
  }
}

void BM_Decompila_ScenarioIncorporato(benchmark::State& state) {
  decompila(state, binari(scenario::testo_righe(scenario::righe_linea()), scenario::testo_righe(scenario::righe_treno()), "Valdora", "Tarvo"));
}
BENCHMARK(BM_Decompila_ScenarioIncorporato)->Unit(benchmark::kMillisecond);

// A generated 1,000,000 m scenario: about 650 curves, hill sections, boards, signs, stations,
// signals, slowdowns and speed-cap points.
void BM_Decompila_LineaDiUnMilioneDiMetri(benchmark::State& state) {
  const auto s = scenario::prova::GeneratoreScenari(7).genera(1000000, 1000000);
  decompila(state, binari(s.linea, s.treno, s.nome_percorso, s.nome_treno));
}
BENCHMARK(BM_Decompila_LineaDiUnMilioneDiMetri)->Unit(benchmark::kMillisecond);

}  // namespace
