// Tests of the train half of the reading (`leggi_treno`) on routes sized by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "aiuti.h"
#include "reader/interno.h"

namespace scenario {
namespace {

// A route of `lunghezza` metres, sized as the line half would size it.
Modello percorso(std::int32_t lunghezza = 20000) {
  Modello m;
  m.scrivi_linea = 0;
  dimensiona_percorso(m, lunghezza);
  return m;
}

// The outcome of a reading: true unless it met a run-time failure.
struct Letta {
  Esito esito;
  explicit operator bool() const { return !esito.e_guasto(); }
  const Luogo& luogo() const { return esito.luogo(); }
};

// Reads `testo` as the train description "treno.txt", which the caller keeps.
Letta leggi(Modello& m, const std::string& testo, std::int32_t slot_cartello = prima_voce_cartello) {
  Descrizione d{"treno.txt", testo, {}};
  StatoLettura stato;
  stato.slot_cartello = slot_cartello;
  return {leggi_treno(m, d, stato)};
}

std::string generale(const std::string& righe) { return "[generale]\r\n" + righe + "[codici]\r\n[fine]\r\n\r\n"; }

// The cells from..to (inclusive) all hold `valore` in the field chosen by `campo`.
template <typename F>
::testing::AssertionResult tutte(const Modello& m, int da, int a, int valore, F campo) {
  for (int i = da; i <= a; ++i) {
    const int v = campo(m.celle[static_cast<std::size_t>(i)]);
    if (v != valore) return ::testing::AssertionFailure() << "cell " << i << " holds " << v << ", not " << valore;
  }
  return ::testing::AssertionSuccess();
}
int vel(const Cella& c) { return c.velocita; }
int ade(const Cella& c) { return c.aderenza; }

const std::string prima_stazione =
    "stazione,       0,  8,  500,  1, 0, 0,  4,1,0,  2,1,1,    1,   8,12,50, Vallorba Centrale\r\n";

// --- speed and adhesion profiles --------------------------------------------------------

TEST(LeggiTreno, SpeedRowsOfTheScenario) {
  Modello m = percorso();  // ultima_cella 540
  ASSERT_TRUE(leggi(m, generale("velocita,   0,    30\r\nvelocita,    1100,   125\r\nvelocita,    4000,   155\r\n")));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(tutte(m, 0, 21, 6, vel));
  EXPECT_TRUE(tutte(m, 22, 79, 25, vel));
  EXPECT_TRUE(tutte(m, 80, 537, 31, vel));
  EXPECT_TRUE(tutte(m, 538, 540, 0, vel));  // the last three cells keep 0
}

TEST(LeggiTreno, AdhesionRows) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, generale("aderenza,       0,    63\r\naderenza,    9550,    58\r\naderenza, 12000, 300\r\n")));
  EXPECT_TRUE(tutte(m, 0, 190, 63, ade));
  EXPECT_TRUE(tutte(m, 191, 239, 58, ade));
  EXPECT_TRUE(tutte(m, 240, 537, 300 - 256, ade));  // low 8 bits
  EXPECT_TRUE(tutte(m, 538, 540, 0, ade));
}

TEST(LeggiTreno, ProfilesStartingLaterGiveTheFirstCellsZero) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, generale("velocita, 500, 100\r\naderenza, 500, 70\r\n")));
  EXPECT_TRUE(tutte(m, 0, 9, 0, vel));
  EXPECT_TRUE(tutte(m, 10, 537, 20, vel));
  EXPECT_TRUE(tutte(m, 0, 9, 0, ade));
  EXPECT_TRUE(tutte(m, 10, 537, 70, ade));
}

TEST(LeggiTreno, TwoSpeedRowsInOneCellStillWriteOneCell) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, generale("velocita, 0, 30\r\nvelocita, 100, 50\r\nvelocita, 110, 70\r\n")));
  EXPECT_TRUE(tutte(m, 0, 1, 6, vel));
  EXPECT_TRUE(tutte(m, 2, 2, 10, vel));  // the second row's speed, at the fill index
  EXPECT_TRUE(tutte(m, 3, 537, 14, vel));
}

TEST(LeggiTreno, SpeedsRoundHalfToEvenAndMustFitAByte) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, generale("velocita, 0, 12\r\nvelocita, 100, 1275\r\n")));
  EXPECT_EQ(m.celle[0].velocita, 2);  // 12 / 5 = 2.4
  EXPECT_EQ(m.celle[2].velocita, 255);
  Modello n = percorso();
  ASSERT_TRUE(leggi(n, generale("velocita, 0, 7\r\nvelocita, 100, 25\r\n")));
  EXPECT_EQ(n.celle[0].velocita, 1);  // 1.4
  // 1280 / 5 = 256 fails when it is written (here in the completion), at its row.
  Modello f = percorso();
  const Letta lf = leggi(f, generale("velocita, 0, 30\r\nvelocita, 100, 1280\r\n"));
  EXPECT_FALSE(lf);
  EXPECT_EQ(f.celle[1].velocita, 6);
  EXPECT_EQ(lf.luogo().linea, 3);
  EXPECT_EQ(lf.luogo().colonna, 1);
  Modello g = percorso();
  EXPECT_FALSE(leggi(g, generale("velocita, 0, -3\r\nvelocita, 100, 30\r\n")));
}

TEST(LeggiTreno, AdhesionRowsPilingUpPastTheLastCellFail) {
  // The range test lets a row through at cell ultima_cella - 2; each further row in that cell
  // pushes the fill index on by one, until it leaves the cells.
  Modello m = percorso(0);  // ultima_cella 140
  std::string righe;
  for (int i = 0; i < 3; ++i) righe += "aderenza, 6900, 50\r\n";
  ASSERT_TRUE(leggi(m, generale(righe)));
  EXPECT_EQ(m.celle[140].aderenza, 50);
  Modello n = percorso(0);
  const Letta ln = leggi(n, generale(righe + "aderenza, 6900, 50\r\n"));
  EXPECT_FALSE(ln);
  EXPECT_EQ(ln.luogo().linea, 5);
}

// --- range test, range stop, completion, chainage ----------------------------------------

TEST(LeggiTreno, RangeLimitAndRangeStop) {
  struct Caso {
    std::string riga;
    std::int32_t codice;
  };
  // ultima_cella 540: the limit is 50 * 540 - 100 = 26900 (26200 for a station).
  const std::vector<Caso> casi{
      {"velocita, 26900, 50", 0},       {"velocita, 26901, 50", 15},
      {"aderenza, 26901, 50", 15},      {"segnale, 26900, 2,4,0,0,0,0,0,0,0,0", 0},
      {"segnale, 26901, 2,4,0,0,0,0,0,0,0,0", 15},
      {"rallentamento, 26901, 30, 100, 1, 0, 0", 15},
      {"abbattimento, 26901, 30", 15},  {"abbattimento, 26900, 30", 0},
      {"stazione, 26200, 28, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, Fine", 0},
      {"stazione, 26250, 28, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, Fine", 15},
  };
  for (const Caso& k : casi) {
    Modello m = percorso();
    m.posizione_errore = -1;
    const Letta l = leggi(m, generale("velocita, 0, 30\r\n" + k.riga + "\r\nsabbia, 9\r\n"));
    ASSERT_TRUE(l) << k.riga;
    EXPECT_EQ(m.codice_errore, k.codice) << k.riga;
    // A range stop ends the rows (the sand row is not read) but the completion still runs.
    EXPECT_EQ(m.voci[voce_testata_treno].parametro_1, k.codice == 0 ? 9 : 0) << k.riga;
    if (k.codice == 15) {
      EXPECT_EQ(m.posizione_errore, k.riga.find("26250") != std::string::npos ? 26250 : 26901) << k.riga;
      EXPECT_EQ(l.luogo().file, "treno.txt");
      EXPECT_EQ(l.luogo().linea, 3);
      EXPECT_EQ(l.luogo().colonna, 1);
      EXPECT_TRUE(tutte(m, 0, 537, 6, vel)) << k.riga;
    }
  }
}

TEST(LeggiTreno, RangeStopOnASpeedRowThenCompletionAndChainageCheck) {
  Modello m = percorso();
  m.voci[voce_progressiva_due].fine_zona = 1025;
  ASSERT_TRUE(leggi(m, generale("velocita, 0, 30\r\nvelocita, 1000, 60\r\nvelocita, 30000, 90\r\n")));
  // The chainage check replaces 15 with 2 and leaves the position of the 15.
  EXPECT_EQ(m.codice_errore, 2);
  EXPECT_EQ(m.posizione_errore, 30000);
  EXPECT_TRUE(tutte(m, 0, 19, 6, vel));
  EXPECT_TRUE(tutte(m, 20, 537, 12, vel));

  Modello n = percorso();
  n.voci[voce_progressiva_uno].inizio_zona = -50;
  ASSERT_TRUE(leggi(n, generale("")));
  EXPECT_EQ(n.codice_errore, 0);
  n.voci[voce_progressiva_tre].inizio_zona = 10;
  ASSERT_TRUE(leggi(n, generale("")));
  EXPECT_EQ(n.codice_errore, 2);
}

// --- file level: start mark, keywords, minus sign, end of file ---------------------------

TEST(LeggiTreno, FileLevelRules) {
  struct Caso {
    std::string nome, testo;
    std::int32_t sabbia;
  };
  const std::vector<Caso> casi{
      {"rows before the start mark are ignored", "sabbia, 5\r\n[generale]\r\nvetture, 1\r\n", 0},
      {"start mark in any case, inside a field", "sabbia, 5, x[GENERALE]y\r\nsabbia, 7\r\n", 7},
      {"no start mark: an empty train", "sabbia, 5\r\nvelocita, 0, 30\r\n", 0},
      {"an empty description", "", 0},
      {"keyword in capitals", "[generale]\r\nSABBIA, 8\r\n", 8},
      {"complete last row without a line end", "[generale]\r\nsabbia, 9", 9},
      {"lone keyword as the last field", "[generale]\r\nsabbia, 9\r\nsabbia", 9},
      {"lone keyword with its comma", "[generale]\r\nsabbia, 9\r\nsabbia,", 9},
      {"a keyword with a minus sign is dropped", "[generale]\r\nsabbia-x, 3\r\n", 0},
      {"two dropped, the third taken", "[generale]\r\na-, b-, sabbia-c, 4\r\n", 4},
      {"a lone minus field is dropped too", "[generale]\r\n-, sabbia, 6\r\n", 6},
      {"a minus-sign field as the last field", "[generale]\r\nsabbia, 9\r\n-x", 9},
      {"second sand row overwrites", "[generale]\r\nsabbia, 180\r\nsabbia, 181\r\n", 181},
      {"section headers and comments pass", "[generale]\r\n[aderenze]\r\n; nota\r\n\r\nsabbia, 2\r\n", 2},
  };
  for (const Caso& k : casi) {
    Modello m = percorso();
    ASSERT_TRUE(leggi(m, k.testo)) << k.nome;
    EXPECT_EQ(m.codice_errore, 0) << k.nome;
    EXPECT_EQ(m.voci[voce_testata_treno].parametro_1, k.sabbia) << k.nome;
  }
}

TEST(LeggiTreno, NoStartMarkUsesNothing) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, "velocita, 0, 30\r\n" + prima_stazione + "segnale, 1050, 2,4,1,1,0,2,2,1,1,0\r\n"));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_TRUE(tutte(m, 0, 540, 0, vel));
  EXPECT_EQ(m.voci[1].posizione_m, 0);
  EXPECT_TRUE(m.voci[1].nome.empty());
  EXPECT_EQ(m.celle[22].tipo, 0);
}

TEST(LeggiTreno, GeneralRows) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, generale("numero vetture,    12\r\npercentuale massa frenata,    130\r\nsabbia,    180\r\n"
                                "orologio,    8               12            50 \r\norologio, 9, 0, 1\r\n")));
  const Voce& g = m.voci[voce_generale];
  const Voce& t = m.voci[voce_testata_treno];
  EXPECT_EQ(g.posizione_m, 12);
  EXPECT_EQ(g.inizio_zona, 130);
  EXPECT_EQ(t.parametro_1, 180);
  EXPECT_EQ(t.parametro_3, 9);  // the second clock row overwrites the first
  EXPECT_EQ(t.parametro_4, 0);
  EXPECT_EQ(t.parametro_5, 1);

  Modello b = percorso();
  ASSERT_TRUE(leggi(b, generale("orologio,    8               12            50 \r\n")));
  EXPECT_EQ(b.voci[voce_testata_treno].parametro_3, 8);
  EXPECT_EQ(b.voci[voce_testata_treno].parametro_4, 12);
  EXPECT_EQ(b.voci[voce_testata_treno].parametro_5, 50);

  // Without "massa" the row is not recognised; its value passes as a keyword field.
  Modello n = percorso();
  ASSERT_TRUE(leggi(n, generale("percentuale frenata, 130\r\n")));
  EXPECT_EQ(n.voci[voce_generale].inizio_zona, 0);
  EXPECT_EQ(n.codice_errore, 0);
}

TEST(LeggiTreno, AFieldHoldingTwoKeywordsIsBothRows) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, generale("sabbia vetture, 10, 20\r\n")));
  EXPECT_EQ(m.voci[voce_generale].posizione_m, 10);  // "vetture" is tested first
  EXPECT_EQ(m.voci[voce_testata_treno].parametro_1, 20);
}

TEST(LeggiTreno, ASignalRowWithAMinusSignIsDropped) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, generale("segnale-a,    1050,   2, 4, 1,  1, 0,    2,  2,1,1, 0\r\n")));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.celle[22].tipo, 0);
}

// --- run-time failures -------------------------------------------------------------------

TEST(LeggiTreno, RunTimeFailuresAndTheirPlace) {
  struct Caso {
    std::string nome, righe;
    std::int32_t linea, colonna;
  };
  const std::vector<Caso> casi{
      {"letter after the digits", "sabbia, 10\r\nvelocita, 10x, 30\r\n", 3, 11},
      {"sand too wide for 16 bits", "sabbia,  40000\r\n", 2, 10},
      {"clock too wide for 16 bits", "orologio, 8, 12, -32769\r\n", 2, 18},
      {"32-bit value too wide", "vetture, 2147483648\r\n", 2, 10},
      {"station type beyond a byte", "stazione, 0, 256, 500\r\n", 2, 14},
      {"sign without digits", "velocita, -, 30\r\n", 2, 11},
      {"station time beyond 32 bits", "stazione, 0, 8, 500, 1,0,0, 4,1,0, 2,1,1, 1, 596524, 60, 0, X\r\n", 2, 1},
      {"signal below 350 m", "segnale, 300, 2,4,0,0,0,0,0,0,0,0\r\n", 2, 1},
      {"signal at a negative position", "segnale, -100, 2,4,0,0,0,0,0,0,0,0\r\n", 2, 1},
      {"slowdown end beyond the route", "rallentamento, 20000, 30, 7000, 1, 0, 0\r\n", 2, 1},
      {"speed cap before the start", "abbattimento, -50, 30\r\n", 2, 1},
      {"stop cell beyond the last cell", "stazione, 26200, 8, 1000, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, X\r\n", 2, 1},
  };
  for (const Caso& k : casi) {
    Modello m = percorso();
    m.posizione_errore = 77;
    const Letta l = leggi(m, generale(k.righe));
    EXPECT_FALSE(l) << k.nome;
    EXPECT_EQ(m.posizione_errore, 77) << k.nome;
    EXPECT_EQ(l.luogo().file, "treno.txt") << k.nome;
    EXPECT_EQ(l.luogo().linea, k.linea) << k.nome;
    EXPECT_EQ(l.luogo().colonna, k.colonna) << k.nome;
  }
}

TEST(LeggiTreno, AFailureKeepsWhatWasStoredBeforeIt) {
  Modello m = percorso();
  EXPECT_FALSE(leggi(m, generale("sabbia, 4\r\nsegnale, 300, 2,4,0,0,0,0,0,0,0,0\r\n")));
  EXPECT_EQ(m.voci[voce_testata_treno].parametro_1, 4);
  EXPECT_EQ(m.celle[7].tipo, 1);
  EXPECT_EQ(m.celle[1].preavviso, 63);

  // A station stores each field as it is read.
  Modello s = percorso();
  EXPECT_FALSE(leggi(s, generale("stazione, 1000, 12, 400, 3, 1, 1, 7, 8, x\r\n")));
  EXPECT_EQ(s.voci[1].posizione_m, 1000);
  EXPECT_EQ(s.voci[1].tipo, 12);
  EXPECT_EQ(s.voci[1].classe, 3);
  EXPECT_EQ(s.voci[1].parametro_2, 8);
}

TEST(LeggiTreno, AReadPastTheEndIsAFailure) {
  Modello m = percorso();
  EXPECT_FALSE(leggi(m, "[generale]\r\nvelocita, 100"));
  Modello s = percorso();
  EXPECT_FALSE(leggi(s, "[generale]\r\nstazione, 0, 8, 500, 1,0,0, 4,1,0, 2,1,1, 1, 8,12,50,"));
}

TEST(LeggiTreno, ADescriptionThatCannotBeOpenedIsAFailure) {
  Modello m = percorso();
  Descrizione d{"treno.txt", std::nullopt, {}};
  StatoLettura stato;
  const Esito e = leggi_treno(m, d, stato);
  EXPECT_TRUE(e.e_guasto());
  EXPECT_EQ(e.perche(), Guasto::file_illeggibile);
  EXPECT_EQ(e.luogo().file, "treno.txt");
}

// --- stations ----------------------------------------------------------------------------

TEST(LeggiTreno, TheFirstStationOfTheScenario) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, generale(prima_stazione)));
  EXPECT_EQ(m.codice_errore, 0);
  const Voce& s = m.voci[1];
  EXPECT_EQ(s.tipo, 8);
  EXPECT_EQ(s.posizione_m, 0);
  EXPECT_EQ(s.inizio_zona, -500);
  EXPECT_EQ(s.fine_zona, 500);
  EXPECT_EQ(s.classe, 1);
  EXPECT_EQ(s.opzione_4, 0);
  EXPECT_EQ(s.opzione_3, 0);
  EXPECT_EQ(s.parametro_1, 4);
  EXPECT_EQ(s.parametro_2, 1);
  EXPECT_EQ(s.opzione_1, 0);
  EXPECT_EQ(s.parametro_3, 2);
  EXPECT_EQ(s.parametro_4, 1);
  EXPECT_EQ(s.parametro_5, 1);
  EXPECT_EQ(s.opzione_2, 1);
  EXPECT_EQ(s.orario, (8 * 60 + 12) * 60 + 50);
  EXPECT_EQ(s.nome, "Vallorba Centrale");
  EXPECT_EQ(m.celle[5].preavviso, 84);
  EXPECT_EQ(m.celle[6].preavviso, 83);
  EXPECT_EQ(m.celle[7].preavviso, 82);
  EXPECT_EQ(m.celle[8].preavviso, 81);
  EXPECT_EQ(m.celle[4].preavviso, 0);
  EXPECT_EQ(m.celle[9].preavviso, 0);
  EXPECT_EQ(m.celle[9].tipo, 10);
  EXPECT_EQ(m.celle[9].valore1, 1);
  for (int i = 5; i <= 8; ++i) EXPECT_EQ(m.celle[static_cast<std::size_t>(i)].tipo, 0);
}

TEST(LeggiTreno, StationTypesZonesMarksAndStopCells) {
  struct Caso {
    std::string nome, riga;
    std::int32_t inizio, fine;
    int primo_segno;  // cell of the first approach mark (84), -1 for none
    int fermata;      // stop cell, -1 for none
    std::uint8_t opzione_3, opzione_4;
  };
  // A first station at 0 comes before each, so these are station 2.
  const std::vector<Caso> casi{
      {"type 28: entry only", "stazione, 5000, 28, 300, 0,1,1, 0,0,0, 0,0,0, 0, 0,0,0, A", 4850, 5200, -1, -1, 1, 0},
      {"type 5: stop, no marks", "stazione, 5000, 5, 400, 0,1,1, 0,0,0, 0,0,0, 0, 0,0,0, B", 4600, 5150, -1, 102, 0, 0},
      {"type 6: stop, no marks", "stazione, 5000, 6, 700, 0,1,1, 0,0,0, 0,0,0, 0, 0,0,0, C", 4300, 5150, -1, 102, 0, 1},
      {"type 24", "stazione, 5000, 24, 400, 0,1,1, 0,0,0, 0,0,0, 0, 0,0,0, D", 4800, 5250, 100, 104, 1, 0},
      {"type 24 without opzione_3", "stazione, 5000, 24, 400, 0,1,0, 0,0,0, 0,0,0, 0, 0,0,0, E", 4800, 5200, 99, 103, 0,
       0},
      {"type 7: zone both ways", "stazione, 5000, 7, 600, 0,1,1, 0,0,0, 0,0,0, 0, 0,0,0, F", 4400, 5600, 107, 111, 0, 1},
      {"type 12, long zone", "stazione, 5000, 12, 600, 0,1,0, 0,0,0, 0,0,0, 0, 0,0,0, G", 4700, 5300, 101, 105, 0, 1},
  };
  for (const Caso& k : casi) {
    Modello m = percorso();
    ASSERT_TRUE(leggi(m, generale(prima_stazione + k.riga + "\r\n"))) << k.nome;
    EXPECT_EQ(m.codice_errore, 0) << k.nome;
    const Voce& s = m.voci[2];
    EXPECT_EQ(s.posizione_m, 5000) << k.nome;
    EXPECT_EQ(s.inizio_zona, k.inizio) << k.nome;
    EXPECT_EQ(s.fine_zona, k.fine) << k.nome;
    EXPECT_EQ(s.opzione_3, k.opzione_3) << k.nome;
    EXPECT_EQ(s.opzione_4, k.opzione_4) << k.nome;
    int segni = 0, fermate = 0;
    for (std::size_t i = 10; i < m.celle.size(); ++i) {
      segni += m.celle[i].preavviso != 0;
      fermate += m.celle[i].tipo == 10;
    }
    EXPECT_EQ(segni, k.primo_segno < 0 ? 0 : 4) << k.nome;
    EXPECT_EQ(fermate, k.fermata < 0 ? 0 : 1) << k.nome;
    if (k.primo_segno >= 0) {
      for (int z = 0; z < 4; ++z) EXPECT_EQ(m.celle[static_cast<std::size_t>(k.primo_segno + z)].preavviso, 84 - z);
    }
    if (k.fermata >= 0) {
      EXPECT_EQ(m.celle[static_cast<std::size_t>(k.fermata)].tipo, 10) << k.nome;
      EXPECT_EQ(m.celle[static_cast<std::size_t>(k.fermata)].valore1, 2) << k.nome;
    }
  }
}

TEST(LeggiTreno, StationStopCellNearTheStart) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, generale("stazione, 0, 24, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n")));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.voci[1].fine_zona, 150);
  EXPECT_EQ(m.celle[2].tipo, 10);

  Modello n = percorso();
  n.posizione_errore = 5;
  ASSERT_TRUE(leggi(n, generale("stazione, 0, 24, 200, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\nsabbia, 3\r\n")));
  EXPECT_EQ(n.codice_errore, 24);
  EXPECT_EQ(n.posizione_errore, 5);
  EXPECT_EQ(n.voci[1].fine_zona, 100);
  EXPECT_EQ(n.voci[voce_testata_treno].parametro_1, 0);
  EXPECT_TRUE(tutte(n, 0, 540, 0, [](const Cella& c) { return c.tipo; }));
}

TEST(LeggiTreno, AStopCellIsWrittenOverASignal) {
  Modello m = percorso();
  ASSERT_TRUE(leggi(m, generale("segnale,    1050,   2, 4, 1,  1, 0,    2,  2,1,1, 0\r\n"
                                "stazione, 1000, 12, 300, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n")));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.voci[1].fine_zona, 1150);
  const Cella& c = m.celle[22];
  EXPECT_EQ(c.tipo, 10);
  EXPECT_EQ(c.valore1, 1);
  EXPECT_EQ(c.valore2, 11);  // the rest of the signal stays
  EXPECT_EQ(c.valore4, 8);
  // Approach marks of the station replace those of the signal in cells 18 and 20 only.
  EXPECT_EQ(m.celle[21].preavviso, 81);
  EXPECT_EQ(m.celle[20].preavviso, 82);
  EXPECT_EQ(m.celle[18].preavviso, 84);
  EXPECT_EQ(m.celle[16].preavviso, 83);
}

TEST(LeggiTreno, StationCodes) {
  struct Caso {
    std::string nome, righe;
    std::int32_t codice, posizione;
  };
  const std::string a = "stazione, 0, 8, 500, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, A\r\n";  // zone -500..500
  const std::vector<Caso> casi{
      {"position not a multiple of 50", "stazione, 1025, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B\r\n", 8, 1025},
      {"zone length 450", "stazione, 1000, 12, 450, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B\r\n", 9, 1000},
      {"zone length 400", "stazione, 1050, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B\r\n", 0, 0},
      {"gap of exactly 350 m", a + "stazione, 1050, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B\r\n", 0, 0},
      {"gap of 300 m", a + "stazione, 1000, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B\r\n", 22, 1000},
  };
  for (const Caso& k : casi) {
    Modello m = percorso();
    const Letta l = leggi(m, generale(k.righe));
    ASSERT_TRUE(l) << k.nome;
    EXPECT_EQ(m.codice_errore, k.codice) << k.nome;
    EXPECT_EQ(m.posizione_errore, k.posizione) << k.nome;
    if (k.codice != 0) {
      EXPECT_EQ(l.luogo().linea, k.righe.starts_with(a) ? 3 : 2) << k.nome;
      EXPECT_EQ(l.luogo().colonna, 1) << k.nome;
    }
  }
}

std::string stazioni(int quante) {
  std::string righe;
  for (int i = 0; i < quante; ++i) {
    righe += "stazione, " + std::to_string(1000 + 1000 * i) + ", 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, S" +
             std::to_string(i + 1) + "\r\n";
  }
  return righe;
}

TEST(LeggiTreno, StationsStopWhereTheSignTextsBegin) {
  Modello m = percorso(100000);
  ASSERT_TRUE(leggi(m, generale(stazioni(78) + "sabbia, 1\r\n")));
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.voci[78].nome, "S78");
  EXPECT_EQ(m.voci[voce_testata_treno].parametro_1, 1);

  Modello n = percorso(100000);
  n.posizione_errore = 3;
  ASSERT_TRUE(leggi(n, generale(stazioni(79) + "sabbia, 1\r\n")));
  EXPECT_EQ(n.codice_errore, 10);
  EXPECT_EQ(n.posizione_errore, 3);
  EXPECT_EQ(n.voci[79].nome, "S79");  // stored before the stop
  EXPECT_EQ(n.voci[voce_testata_treno].parametro_1, 0);
  EXPECT_TRUE(n.voci[80].nome.empty());

  // Two signs in the line description take two places.
  Modello s = percorso(100000);
  ASSERT_TRUE(leggi(s, generale(stazioni(77)), 78));
  EXPECT_EQ(s.codice_errore, 10);
  EXPECT_EQ(s.voci[77].nome, "S77");
}

TEST(LeggiTreno, AStationNeverOverwritesASignText) {
  // Eighty signs took every slot down to 1: the first station would write over the text of
  // the last sign, so the reading stops before storing anything.
  Modello m = percorso();
  m.voci[1].nome = "(Cippo)";
  ASSERT_TRUE(leggi(m, generale(prima_stazione), 0));
  EXPECT_EQ(m.codice_errore, 10);
  EXPECT_EQ(m.voci[1].nome, "(Cippo)");
  EXPECT_EQ(m.voci[1].posizione_m, 0);
  EXPECT_EQ(m.celle[9].tipo, 0);

  // Seventy-nine signs leave slot 1 free for one station.
  Modello n = percorso();
  ASSERT_TRUE(leggi(n, generale(prima_stazione), 1));
  EXPECT_EQ(n.codice_errore, 10);
  EXPECT_EQ(n.voci[1].nome, "Vallorba Centrale");
}

// --- signals, slowdowns, speed caps through the reader -----------------------------------

TEST(LeggiTreno, SpeedCapRows) {
  struct Caso {
    std::string riga;
    std::uint8_t tipo_prima;
    std::int32_t codice;
    std::uint8_t tipo;
    std::int16_t valore1;
  };
  for (const Caso& k : {Caso{"abbattimento, 1000, 60", 0, 0, 12, 60}, Caso{"abbattimento, 1000, 0", 0, 0, 13, 0},
                        Caso{"abbattimento, 1000, -5", 11, 0, 13, 0}, Caso{"abbattimento, 1000, 70000", 11, 0, 12, 4464},
                        Caso{"abbattimento, 1000, 60", 14, 7, 14, 0}}) {
    Modello m = percorso();
    m.celle[20].tipo = k.tipo_prima;
    ASSERT_TRUE(leggi(m, generale(k.riga + "\r\n"))) << k.riga;
    EXPECT_EQ(m.codice_errore, k.codice) << k.riga;
    EXPECT_EQ(m.celle[20].tipo, k.tipo) << k.riga;
    EXPECT_EQ(m.celle[20].valore1, k.valore1) << k.riga;
    if (k.codice != 0) {
      EXPECT_EQ(m.posizione_errore, 1000);
    }
  }
}

TEST(LeggiTreno, StoreCodesAreHardStops) {
  struct Caso {
    std::string nome, righe;
    std::int32_t codice, posizione;
  };
  const std::string s = "segnale, 1050, 2,4,1,1,0,2,2,1,1,0\r\n";  // cell 22
  const std::vector<Caso> casi{
      {"16: signal on a signal", s + "segnale, 1060, 2,4,0,0,0,0,0,0,0,0\r\n", 16, 1060},
      {"17: warning on the signal", s + "rallentamento, 2250, 30, 500, 1, 0, 0\r\n", 17, 2250},
      {"18: start on the signal", s + "rallentamento, 1050, 30, 500, 1, 0, 0\r\n", 18, 1050},
      {"19: end on the signal", s + "rallentamento, 500, 30, 550, 1, 0, 0\r\n", 19, 500},
      {"20: steps on the signal", s + "rallentamento, 2300, 30, 500, 1, 1, 0\r\n", 20, 2300},
  };
  for (const Caso& k : casi) {
    Modello m = percorso();
    const Letta l = leggi(m, generale("velocita, 0, 30\r\n" + k.righe + "sabbia, 5\r\n"));
    ASSERT_TRUE(l) << k.nome;
    EXPECT_EQ(m.codice_errore, k.codice) << k.nome;
    EXPECT_EQ(m.posizione_errore, k.posizione) << k.nome;
    EXPECT_EQ(l.luogo().linea, 4) << k.nome;
    EXPECT_EQ(m.voci[voce_testata_treno].parametro_1, 0) << k.nome;
    // A hard stop runs no completion: the speed of the first row reaches no cell.
    EXPECT_TRUE(tutte(m, 0, 540, 0, vel)) << k.nome;
  }
}

TEST(LeggiTreno, APendingRangeCodeOfTheLineDoesNotStopTheTrain) {
  Modello m = percorso();
  m.codice_errore = 15;
  m.posizione_errore = 224901;
  ASSERT_TRUE(leggi(m, generale("segnale, 1050, 2,4,1,1,0,2,2,1,1,0\r\n"
                                "rallentamento, 10000, 60, 500, 3, 1, 0\r\nsabbia, 5\r\n")));
  EXPECT_EQ(m.codice_errore, 15);
  EXPECT_EQ(m.posizione_errore, 224901);
  EXPECT_EQ(m.celle[22].tipo, 1);
  EXPECT_EQ(m.celle[201].tipo, 3);
  EXPECT_EQ(m.voci[voce_testata_treno].parametro_1, 5);

  // A later code replaces it.
  Modello n = percorso();
  n.codice_errore = 15;
  ASSERT_TRUE(leggi(n, generale("segnale, 1050, 2,4,1,1,0,2,2,1,1,0\r\nsegnale, 1050, 2,4,1,1,0,2,2,1,1,0\r\n")));
  EXPECT_EQ(n.codice_errore, 16);
  EXPECT_EQ(n.posizione_errore, 1050);
}

// --- deletion of the description ---------------------------------------------------------

TEST(LeggiTreno, TheDescriptionIsDeletedOnEveryOutcomeWhenOwned) {
  struct Caso {
    std::string nome, righe;
    bool ok;
  };
  const std::vector<Caso> casi{
      {"end of file", "sabbia, 1\r\n", true},
      {"range stop", "velocita, 90000, 30\r\n", true},
      {"hard stop", "stazione, 1025, 12, 400\r\n", true},
  };
  for (const Caso& k : casi) {
    for (bool proprieta : {true, false}) {
      prova::CartellaTemporanea cartella;
      const auto file = cartella / "Valdora_Tarvo-.txt";
      prova::scrivi_file(file, generale(k.righe));
      Modello m = percorso();
      Descrizione d{"Valdora_Tarvo-.txt", prova::leggi_file(file), proprieta ? file : std::filesystem::path{}};
      StatoLettura stato;
      EXPECT_EQ(!leggi_treno(m, d, stato).e_guasto(), k.ok) << k.nome;
      EXPECT_EQ(std::filesystem::exists(file), !proprieta) << k.nome;
    }
  }
}

}  // namespace
}  // namespace scenario
