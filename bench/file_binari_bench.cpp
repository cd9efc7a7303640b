#include <benchmark/benchmark.h>

#include "model/modello.h"
#include "output/output.h"

namespace {

// Writing the line data file of a 1,000,000 m line: about 20 MB of tagged values.
void BM_FileLinea_MilioneDiMetri(benchmark::State& state) {
  scenario::Modello m;
  m.scrivi_linea = 1;
  scenario::dimensiona_percorso(m, 1000000 + 7000);
  for (std::int64_t metro = 0; metro < m.tracciato.metri() - 2; ++metro) {
    (void)m.tracciato.imposta_doppio(metro, 0, 0.001 * static_cast<double>(metro));
    (void)m.tracciato.imposta_doppio(metro, 1, static_cast<double>(metro));
  }
  for (auto _ : state) {
    std::string f = scenario::file_linea(m.tracciato);
    benchmark::DoNotOptimize(f.data());
    state.SetBytesProcessed(state.bytes_processed() + static_cast<std::int64_t>(f.size()));
  }
}
BENCHMARK(BM_FileLinea_MilioneDiMetri)->Unit(benchmark::kMillisecond);

}  // namespace
