#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <span>
#include <sstream>
#include <string>

#include "documents/documents.h"
#include "generatore_scenari.h"
#include "output/output.h"
#include "tools/decompila.h"
#include "tools/percorso.h"

namespace {

// A scenario's three files compiled in memory and put in a folder of their own, removed at the end.
class FileSuDisco {
 public:
  FileSuDisco(const std::string& linea, const std::string& treno, const std::string& percorso,
              const std::string& nome_treno)
      : cartella_(std::filesystem::temp_directory_path() /
                  ("scenario-bench-dump-" + std::to_string(::getpid()) + "-" + percorso)) {
    std::filesystem::create_directories(cartella_);
    for (const auto& [nome, dati] : scenario::compila_in_memoria(linea, treno, percorso, nome_treno, true).file) {
      std::ofstream(cartella_ / nome, std::ios::binary) << dati;
    }
  }
  ~FileSuDisco() {
    std::error_code ec;
    std::filesystem::remove_all(cartella_, ec);
  }
  FileSuDisco(const FileSuDisco&) = delete;
  FileSuDisco& operator=(const FileSuDisco&) = delete;
  std::string operator/(const std::string& nome) const { return (cartella_ / nome).string(); }

 private:
  std::filesystem::path cartella_;
};

// `percorso dump` run in this process, its output kept in memory.
void dump(benchmark::State& state, const std::vector<std::string>& argomenti) {
  std::vector<std::string> tutti{"percorso", "dump"};
  tutti.insert(tutti.end(), argomenti.begin(), argomenti.end());
  std::size_t byte = 0;
  for (auto _ : state) {
    std::ostringstream out, err;
    if (scenario::esegui_percorso(tutti, out, err) != 0) state.SkipWithError("dump failed");
    byte = out.str().size();
  }
  state.counters["output_bytes"] = static_cast<double>(byte);
}

const FileSuDisco& incorporato() {
  static const FileSuDisco f(scenario::testo_righe(scenario::righe_linea()), scenario::testo_righe(scenario::righe_treno()), "Valdora", "Tarvo");
  return f;
}

const FileSuDisco& milione() {
  static const FileSuDisco f = [] {
    const auto s = scenario::prova::GeneratoreScenari(7).genera(1000000, 1000000);
    return FileSuDisco(s.linea, s.treno, "Milione", "T");
  }();
  return f;
}

void BM_Dump_TrenoIncorporato(benchmark::State& state) { dump(state, {incorporato() / "Valdora_Tarvo.dat"}); }
BENCHMARK(BM_Dump_TrenoIncorporato)->Unit(benchmark::kMillisecond);

void BM_Dump_TrenoIncorporatoJson(benchmark::State& state) {
  dump(state, {incorporato() / "Valdora_Tarvo.dat", "--json"});
}
BENCHMARK(BM_Dump_TrenoIncorporatoJson)->Unit(benchmark::kMillisecond);

void BM_Dump_SimulazioneIncorporata(benchmark::State& state) { dump(state, {incorporato() / "Valdora_Tarvo.sim"}); }
BENCHMARK(BM_Dump_SimulazioneIncorporata)->Unit(benchmark::kMillisecond);

// A generated 1,000,000 m scenario: the 20 MB line data file read whole, a point every 1000 m.
void BM_Dump_LineaDiUnMilioneDiMetri(benchmark::State& state) { dump(state, {milione() / "Milione_linea.dat"}); }
BENCHMARK(BM_Dump_LineaDiUnMilioneDiMetri)->Unit(benchmark::kMillisecond);

void BM_Dump_TrenoDiUnMilioneDiMetri(benchmark::State& state) { dump(state, {milione() / "Milione_T.dat"}); }
BENCHMARK(BM_Dump_TrenoDiUnMilioneDiMetri)->Unit(benchmark::kMillisecond);

}  // namespace
