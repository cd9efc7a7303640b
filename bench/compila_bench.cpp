#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "documents/documents.h"
#include "compile/compile.h"

namespace {

// A 1,000,000 m line: 400 curves of every class, a gradient every 2 km, boards and signs.
std::string linea_lunga() {
  std::string t =
      "[generale]\r\nlunghezza percorso,    1000000\r\nprogressiva chilometrica uno,    0,    0,    0\r\n"
      "sfondo uno,    1\r\nripetizione segnali 4 codici,    2100,    990000\r\n[curve]\r\n";
  for (int i = 0; i < 400; ++i) {
    const int inizio = 1000 + i * 2450;
    t += std::string(i % 2 ? "curvas" : "curvad") + std::to_string(1 + i % 6) + ",  " + std::to_string(inizio) +
         ",  " + std::to_string(300 + (i % 5) * 100) + "\r\n";
  }
  t += "[pendenze]\r\n";
  for (int p = 0; p < 1000000; p += 2000) t += "pendenza,  " + std::to_string(p) + ",   " + std::to_string(p / 2000 % 21 - 10) + "\r\n";
  t += "[cartelli]\r\n";
  for (int p = 1450; p < 990000; p += 5000) t += "indicatori_vmax,  " + std::to_string(p) + ",  140,  155,  165,  2,  ,  ,  ,  0\r\n";
  t += "[indicazioni]\r\n";
  for (int i = 0; i < 60; ++i) t += "cartello_indicatore,  " + std::to_string(3950 + i * 15000) + ",   (Cippo )(  Km  )\r\n";
  t += "[fine]\r\n";
  return t;
}

// Read, compile and write the three files into a fresh folder on disk, as the programs do.
void compila(benchmark::State& state, const std::string& linea, const std::string& treno) {
  const auto cartella = std::filesystem::temp_directory_path() / ("scenario-bench-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(cartella);
  for (auto _ : state) {
    scenario::Modello m;
    m.nome_percorso = "Valdora";
    m.nome_treno = "Tarvo";
    scenario::Descrizioni d{{"linea", linea, {}}, {"treno", treno, {}}};
    scenario::CartellaSuDisco dove(cartella);
    auto esito = scenario::memorizza_percorso(m, 1, d, dove);
    benchmark::DoNotOptimize(esito);
  }
  std::filesystem::remove_all(cartella);
}

void BM_Compila_ScenarioIncorporato(benchmark::State& state) {
  compila(state, scenario::testo_righe(scenario::righe_linea()), scenario::testo_righe(scenario::righe_treno()));
}
BENCHMARK(BM_Compila_ScenarioIncorporato)->Unit(benchmark::kMillisecond);

void BM_Compila_LineaDiUnMilioneDiMetri(benchmark::State& state) {
  compila(state, linea_lunga(), "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 80\r\n[fine]\r\n\r\n");
}
BENCHMARK(BM_Compila_LineaDiUnMilioneDiMetri)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// 200,000 copies of the length row of a 1,000,000 m line: the route is sized once, for the
// last, so the rows cost what reading them costs. The whole compile step, files in memory.
void BM_Compila_DuecentomilaRigheLunghezza(benchmark::State& state) {
  std::string linea = "[generale]\r\n";
  for (int i = 0; i < 200000; ++i) linea += "lunghezza percorso, 1000000\r\n";
  linea += "[fine]\r\n";
  const std::string treno = "[generale]\r\nvelocita, 0, 100\r\n[fine]\r\n\r\n";
  for (auto _ : state) {
    scenario::Modello m;
    m.nome_percorso = "Valdora";
    m.nome_treno = "Tarvo";
    scenario::Descrizioni d{{"linea", linea, {}}, {"treno", treno, {}}};
    scenario::CartellaInMemoria dove;
    auto esito = scenario::memorizza_percorso(m, 1, d, dove);
    benchmark::DoNotOptimize(esito);
  }
}
BENCHMARK(BM_Compila_DuecentomilaRigheLunghezza)->Unit(benchmark::kMillisecond);

}  // namespace

#include "diagnostics/diagnostics.h"

namespace {

// `percorso check` of a 1,000,000 m line: the reading as a check, the completion pass, every
// warning, and the compile step in memory that makes sure nothing was missed.
void BM_Controlla_LineaDiUnMilioneDiMetri(benchmark::State& state) {
  const scenario::Descrizioni d{{"linea", linea_lunga(), {}},
                                {"treno", "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 80\r\n[fine]\r\n\r\n", {}}};
  for (auto _ : state) {
    auto diagnostiche = scenario::controlla(d, {"Valdora", "Tarvo", 1});
    benchmark::DoNotOptimize(diagnostiche);
  }
}
BENCHMARK(BM_Controlla_LineaDiUnMilioneDiMetri)->Unit(benchmark::kMillisecond);

void BM_Controlla_ScenarioIncorporato(benchmark::State& state) {
  const scenario::Descrizioni d{{"linea", scenario::testo_righe(scenario::righe_linea()), {}},
                                {"treno", scenario::testo_righe(scenario::righe_treno()), {}}};
  for (auto _ : state) {
    auto diagnostiche = scenario::controlla(d, {"Valdora", "Tarvo", 1});
    benchmark::DoNotOptimize(diagnostiche);
  }
}
BENCHMARK(BM_Controlla_ScenarioIncorporato)->Unit(benchmark::kMillisecond);

}  // namespace
