// The compile step: the completion pass built from real description rows, the header marks
// and the numbered reports.
#include <gtest/gtest.h>

#include <functional>

#include "compile/compile.h"

namespace scenario {
namespace {

struct Compilato {
  Modello m;
  EsitoCompilazione esito;
  CartellaInMemoria dove;
};

std::unique_ptr<Compilato> compila(const std::string& righe_treno, const std::string& righe_linea = "",
                                   std::int32_t lunghezza = 5000) {
  auto c = std::make_unique<Compilato>();
  c->m.nome_percorso = "Valdora";
  c->m.nome_treno = "Tarvo";
  Descrizioni d{{"linea.txt",
                 "[generale]\r\nlunghezza percorso, " + std::to_string(lunghezza) + "\r\n[curve]\r\n" + righe_linea +
                     "[fine]\r\n",
                 {}},
                {"treno.txt", "[generale]\r\n" + righe_treno + "[fine]\r\n\r\n", {}}};
  c->esito = memorizza_percorso(c->m, 0, d, c->dove);
  return c;
}

// A slowdown: start x, speed v, length l, no pre-warning steps.
std::string rallentamento(int x, int v, int l) {
  return "rallentamento, " + std::to_string(x) + ", " + std::to_string(v) + ", " + std::to_string(l) + ", 1, 0, 0\r\n";
}
std::string segnale(int p) { return "segnale, " + std::to_string(p) + ", 2, 4, 0, 0, 0, 0, 0, 0, 0, 0\r\n"; }
std::string abbattimento(int p, int v) { return "abbattimento, " + std::to_string(p) + ", " + std::to_string(v) + "\r\n"; }

struct Caso {
  const char* nome;
  std::string treno;
  std::int32_t codice;
  std::int32_t posizione;
  std::function<void(const Modello&)> verifica;
};

std::pair<std::uint8_t, std::int16_t> tv(const Modello& m, int i) {
  const Cella& c = m.celle[static_cast<std::size_t>(i)];
  return {c.tipo, c.valore1};
}
const std::pair<std::uint8_t, std::int16_t> punto{12, 180};

// Warning board in cell 14 (slowdown at 1850), signal in cell 10 (at 450).
const std::string avviso = rallentamento(1850, 120, 500) + segnale(450);

TEST(Completamento, RuleASignalsBehindAWarningBoard) {
  const std::vector<Caso> casi = {
      {"free cell before the signal", avviso, 0, 0, [](const Modello& m) { EXPECT_EQ(tv(m, 9), punto); }},
      {"taken: the next one back", abbattimento(450, 200) + avviso, 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(tv(m, 9), std::make_pair(std::uint8_t{12}, std::int16_t{200}));
         EXPECT_EQ(tv(m, 8), punto);
       }},
      {"both taken: the point is capped at 180", abbattimento(450, 200) + abbattimento(400, 90) + avviso, 0, 0,
       [](const Modello& m) {
         EXPECT_EQ(tv(m, 9), punto);
         EXPECT_EQ(tv(m, 8).second, 90);
       }},
      {"a lower point stays", abbattimento(450, 150) + abbattimento(400, 90) + avviso, 0, 0,
       [](const Modello& m) { EXPECT_EQ(tv(m, 9).second, 150); }},
      {"no cell for the point", abbattimento(450, 0) + abbattimento(400, 0) + avviso, 11, 500,
       [](const Modello& m) { EXPECT_EQ(tv(m, 9).first, 13); }},
  };
  for (const Caso& c : casi) {
    const auto r = compila(c.treno);
    EXPECT_EQ(r->m.codice_errore, c.codice) << c.nome;
    if (c.codice != 0) EXPECT_EQ(r->m.posizione_errore, c.posizione) << c.nome;
    EXPECT_EQ(tv(r->m, 14).first, 4) << c.nome;
    c.verifica(r->m);
  }
}

TEST(Completamento, RuleBPointsAheadOfASlowdown) {
  auto punti = [](const Modello& m) {
    std::vector<int> v;
    for (int i = 0; i <= m.ultima_cella; ++i) {
      if (m.celle[static_cast<std::size_t>(i)].tipo == 12) v.push_back(i);
    }
    return v;
  };
  // Starts in cells 7, 8, 14 and 21 (speed 120: no points inside, the end 2 cells on).
  EXPECT_EQ(punti(compila(rallentamento(300, 120, 100))->m), (std::vector<int>{}));
  EXPECT_EQ(punti(compila(rallentamento(350, 120, 100))->m), (std::vector<int>{3}));
  EXPECT_EQ(punti(compila(rallentamento(650, 120, 100))->m), (std::vector<int>{3, 9}));
  EXPECT_EQ(punti(compila(rallentamento(1000, 120, 100))->m), (std::vector<int>{3, 10, 16}));
  // A taken first group: error 12 at the start, the next group still gets its point.
  const auto r = compila(abbattimento(450, 0) + abbattimento(400, 0) + abbattimento(350, 0) + rallentamento(650, 120, 100));
  EXPECT_EQ(r->m.codice_errore, 12);
  EXPECT_EQ(r->m.posizione_errore, 700);
  EXPECT_EQ(tv(r->m, 3), punto);
}

TEST(Completamento, RuleCPointsInsideASlowSlowdown) {
  auto dentro = [](const Modello& m) {
    std::vector<int> v;
    for (int i = 42; i <= 61; ++i) {
      if (m.celle[static_cast<std::size_t>(i)].tipo == 12 && m.celle[static_cast<std::size_t>(i)].valore1 == 180) v.push_back(i);
    }
    return v;
  };
  // Start cell 41, end cell 61.
  EXPECT_EQ(dentro(compila(rallentamento(2000, 110, 1000))->m), (std::vector<int>{}));
  EXPECT_EQ(dentro(compila(rallentamento(2000, 109, 1000))->m), (std::vector<int>{49, 57}));
  // A taken cell moves the point back one, and the next is due 8 cells after it.
  EXPECT_EQ(dentro(compila(abbattimento(2450, 50) + rallentamento(2000, 60, 1000))->m), (std::vector<int>{48, 56}));
  // Three cells taken: error 13 and no further point in this slowdown.
  const auto r = compila(abbattimento(2400, 50) + abbattimento(2450, 50) + abbattimento(2500, 50) +
                         rallentamento(2000, 60, 1000));
  EXPECT_EQ(r->m.codice_errore, 13);
  EXPECT_EQ(r->m.posizione_errore, 2450);
  EXPECT_EQ(dentro(r->m), (std::vector<int>{}));
}

TEST(Completamento, RuleDASignalShortlyAfterTheSlowdown) {
  // End cell 61: a signal 12 cells on (cell 73) is found, 13 cells on (cell 74) is not.
  EXPECT_EQ(tv(compila(rallentamento(2000, 120, 1000) + segnale(3600))->m, 72), punto);
  const auto lontano = compila(rallentamento(2000, 120, 1000) + segnale(3650));
  EXPECT_EQ(tv(lontano->m, 73).first, 0);
  EXPECT_EQ(lontano->m.codice_errore, 0);
  // Both cells before the signal taken: error 13 at the end cell.
  const auto pieno = compila(abbattimento(3600, 0) + abbattimento(3550, 0) + rallentamento(2000, 120, 1000) + segnale(3600));
  EXPECT_EQ(pieno->m.codice_errore, 13);
  EXPECT_EQ(pieno->m.posizione_errore, 61 * 50);
}

TEST(Completamento, WalksStopAtTheLastCell) {
  // Start and end in one cell: the start is written last, so no end cell exists and the walk
  // of rules C and D runs to the last cell and stops there.
  // Rule D then searches from the last cell (200), so a signal in cell 196 gets no point.
  const auto r = compila(rallentamento(2000, 60, 10) + segnale(9750), "", 3000);
  EXPECT_EQ(r->m.codice_errore, 0);
  EXPECT_EQ(tv(r->m, 41).first, 3);
  EXPECT_EQ(tv(r->m, 49), punto);
  EXPECT_EQ(tv(r->m, 193), punto);
  EXPECT_EQ(tv(r->m, 196).first, 1);
  EXPECT_EQ(tv(r->m, 195).first, 0);
}

TEST(Completamento, HeaderMarksCodesAndReports) {
  const auto pulito = compila("");
  EXPECT_EQ(pulito->esito.rapporto, 0);
  EXPECT_EQ(pulito->m.celle[1].valore1, 5121);
  EXPECT_EQ(pulito->m.voci[85].parametro_1, 610);
  EXPECT_NE(pulito->m.voci[85].orario, 0);
  EXPECT_NE(pulito->m.celle[1].valore2, 0);
  EXPECT_EQ(pulito->esito.scrittura.scritti,
            (std::vector<std::string>{"Valdora_Tarvo.sim", "Valdora_Tarvo.dat"}));  // no line data without the plan

  // A feature in cell 1 takes the header mark's place.
  const auto r1250 = compila(abbattimento(50, 100));
  EXPECT_EQ(r1250->esito.rapporto, 1250);
  EXPECT_TRUE(r1250->dove.file.empty());
  // A board in cell 1 with no rank A speed leaves valore1 0 but valore2 set: the code's place.
  const auto r1251 = compila("", "indicatori_vmax, 0, 0, 5, 5, 0, , , , 0\r\n");
  EXPECT_EQ(r1251->esito.rapporto, 1251);
  EXPECT_TRUE(r1251->dove.file.empty());
}

TEST(Completamento, ErrorCodesStillWriteTheFiles) {
  const auto r = compila(segnale(1050) + segnale(1060));  // the second signal's cell is taken
  EXPECT_EQ(r->m.codice_errore, 16);
  EXPECT_EQ(r->esito.rapporto, 0);
  EXPECT_EQ(r->dove.file.size(), 2u);
}

TEST(Completamento, NoCellsNoFiles) {
  for (const char* linea : {"", "[generale]\r\nlunghezza percorso, 1000001\r\n[fine]\r\n",
                            "[generale]\r\nlunghezza percorso, -6990\r\n[curve]\r\n[fine]\r\n"}) {
    Modello m;
    m.nome_percorso = "Valdora";
    m.nome_treno = "Tarvo";
    Descrizioni d{{"l", std::string(linea), {}}, {"t", std::string(), {}}};
    CartellaInMemoria dove;
    std::int32_t scrivi_linea = 1;
    const auto esito = memorizza_percorso(m, scrivi_linea, d, dove);
    EXPECT_TRUE(esito.senza_celle) << linea;
    EXPECT_TRUE(dove.file.empty()) << linea;
  }
}

}  // namespace
}  // namespace scenario
