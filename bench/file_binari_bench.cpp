#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "model/modello.h"
#include "output/output.h"

namespace {

// Writing the line data file of a 1,000,000 m line (about 20 MB of tagged values) into a
// folder on disk, in pieces, as the compile step does.
void BM_FileLinea_MilioneDiMetri(benchmark::State& state) {
  scenario::Modello m;
  m.scrivi_linea = 1;
  scenario::dimensiona_percorso(m, 1000000 + 7000);
  for (std::int64_t metro = 0; metro < m.tracciato.metri() - 2; ++metro) {
    (void)m.tracciato.imposta_doppio(metro, 0, 0.001 * static_cast<double>(metro));
    (void)m.tracciato.imposta_doppio(metro, 1, static_cast<double>(metro));
  }
  const auto cartella =
      std::filesystem::temp_directory_path() / ("scenario-bench-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(cartella);
  scenario::CartellaSuDisco dove(cartella);
  for (auto _ : state) {
    auto errore = dove.scrivi_a_pezzi("Valdora_linea.dat",
                                      [&m](const scenario::Ricevi& r) { scenario::pezzi_file_linea(m.tracciato, r); });
    benchmark::DoNotOptimize(errore);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(cartella / "Valdora_linea.dat")));
  std::filesystem::remove_all(cartella);
}
BENCHMARK(BM_FileLinea_MilioneDiMetri)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// One small file replaced durably (bytes flushed, renamed, folder flushed): the cost each of
// the run's eight files pays for surviving a power loss.
void BM_ScriviIntero_PiccoloDurevole(benchmark::State& state) {
  const auto cartella =
      std::filesystem::temp_directory_path() / ("scenario-bench-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(cartella);
  const std::string dati(16384, 'x');
  for (auto _ : state) {
    auto errore = scenario::scrivi_intero(cartella / "file.txt", dati);
    benchmark::DoNotOptimize(errore);
  }
  std::filesystem::remove_all(cartella);
}
BENCHMARK(BM_ScriviIntero_PiccoloDurevole)->Unit(benchmark::kMicrosecond);

}  // namespace
