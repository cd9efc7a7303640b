// The page of `percorso render`, from two descriptions to the HTML text (compile step in
// memory, reading the cells, drawing the figures): for the embedded scenario and for a line
// at the 1,000,000 m limit with features all along it.
#include <benchmark/benchmark.h>

#include <string>

#include "documents/documents.h"
#include "tools/rendi.h"

namespace {

// 1,000,000 m: 400 curves, a gradient every 2 km, a board every 5 km, 60 signs, a chainage
// restart, hill sections; a train with 17 stations, 400 signals and a slowdown.
std::string linea_lunga() {
  std::string t =
      "[generale]\r\nlunghezza percorso,    1000000\r\nprogressiva chilometrica uno,    600000,    -599000,    0\r\n"
      "[curve]\r\n";
  for (int i = 0; i < 400; ++i) {
    t += std::string(i % 2 ? "curvas" : "curvad") + std::to_string(1 + i % 6) + ",  " + std::to_string(1000 + i * 2450) +
         ",  " + std::to_string(300 + (i % 5) * 100) + "\r\n";
  }
  t += "[pendenze]\r\n";
  for (int p = 0; p < 1000000; p += 2000) t += "pendenza,  " + std::to_string(p) + ",   " + std::to_string(p / 2000 % 21 - 10) + "\r\n";
  t += "[montagne]\r\n";
  for (int p = 20000; p < 990000; p += 40000) t += "montagna,  " + std::to_string(p) + ",  " + std::to_string(p + 3000) + ",  1\r\n";
  t += "[cartelli]\r\n";
  for (int p = 1450; p < 990000; p += 5000) t += "indicatori_vmax,  " + std::to_string(p) + ",  140,  155,  165,  2,  ,  ,  ,  0\r\n";
  t += "[indicazioni]\r\n";
  for (int i = 0; i < 60; ++i) t += "cartello_indicatore,  " + std::to_string(3950 + i * 15000) + ",   (Galleria )(Monte  )\r\n";
  return t + "[fine]\r\n";
}

std::string treno_lungo() {
  std::string t = "[generale]\r\naderenza, 0, 80\r\n";
  for (int p = 0; p < 1000000; p += 10000) t += "velocita,  " + std::to_string(p) + ",  " + std::to_string(100 + p / 10000 % 8 * 10) + "\r\n";
  for (int s = 0; s < 17; ++s) {
    t += "stazione,  " + std::to_string(25000 + 55000 * s) + ", 24,  400,  0, 0, 0,  0,0,0,  4,1,1,    0,   0, 0, 0, Stazione " +
         std::to_string(s + 1) + "\r\n";
  }
  for (int j = 0; j < 400; ++j) t += "segnale,  " + std::to_string(2000 + 2500 * j) + ",   2, 4, 1,  0, 0,    0,  0,0,0, 0\r\n";
  t += "rallentamento,  501000,  60,  500,  0,  1,  0\r\n";
  return t + "[fine]\r\n\r\n";
}

void pagina(benchmark::State& state, const std::string& linea, const std::string& treno) {
  std::size_t byte = 0;
  for (auto _ : state) {
    scenario::Descrizioni d{{"linea", linea, {}}, {"treno", treno, {}}};
    auto c = scenario::compila_in_memoria(d, "Valdora", "Tarvo");
    if (!c.dati || !c.diagnostiche.empty()) {
      state.SkipWithError("the descriptions do not compile clean");
      return;
    }
    const std::string html = scenario::pagina_html(scenario::analizza(*c.dati), c.diagnostiche);
    byte = html.size();
    benchmark::DoNotOptimize(html.data());
  }
  state.counters["html_bytes"] = static_cast<double>(byte);
}

void BM_Rendi_ScenarioIncorporato(benchmark::State& state) {
  pagina(state, scenario::testo_righe(scenario::righe_linea()), scenario::testo_righe(scenario::righe_treno()));
}
BENCHMARK(BM_Rendi_ScenarioIncorporato)->Unit(benchmark::kMillisecond);

void BM_Rendi_LineaDiUnMilioneDiMetri(benchmark::State& state) { pagina(state, linea_lunga(), treno_lungo()); }
BENCHMARK(BM_Rendi_LineaDiUnMilioneDiMetri)->Unit(benchmark::kMillisecond);

}  // namespace
