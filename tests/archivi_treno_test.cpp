// Tests of the train feature stores `memo_segnale` and `memo_rallentamento` on hand-built routes.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "model/archivi.h"

namespace scenario {
namespace {

// A route of 20000 m: cells 0 .. 540.
Modello percorso() {
  Modello m;
  m.scrivi_linea = 0;
  dimensiona_percorso(m, 20000);
  return m;
}

struct Segnale {
  std::int32_t posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo;
};

Esito segnale(Modello& m, Segnale s) {
  return memo_segnale(m, s.posizione, s.sx, s.s1, s.s2, s.s3, s.rapp, s.dx, s.d1, s.d2, s.d3, s.tempo);
}

Esito rallentamento(Modello& m, std::int32_t x, std::int32_t v, std::int32_t l, std::int32_t f_tt, std::int32_t f_ta,
                    std::int32_t d_v) {
  return memo_rallentamento(m, x, v, l, f_tt, f_ta, d_v);
}

const Segnale primo_segnale{1050, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0};

TEST(MemoSegnale, TheFirstSignalOfTheScenario) {
  Modello m = percorso();
  ASSERT_TRUE(segnale(m, primo_segnale).ok());
  EXPECT_EQ(m.codice_errore, 0);
  const Cella& c = m.celle[22];
  EXPECT_EQ(c.tipo, 1);
  EXPECT_EQ(c.valore1, 42);
  EXPECT_EQ(c.valore2, 11);
  EXPECT_EQ(c.valore3, 11);
  EXPECT_EQ(c.valore4, 8);
  EXPECT_EQ(c.tempo_segnale, 0);
  EXPECT_EQ(c.preavviso, 0);
  EXPECT_EQ(m.celle[20].preavviso, 81);
  EXPECT_EQ(m.celle[18].preavviso, 82);
  EXPECT_EQ(m.celle[16].preavviso, 83);
  EXPECT_EQ(m.celle[14].preavviso, 84);
  for (int i : {13, 15, 17, 19, 21, 23}) EXPECT_EQ(m.celle[i].preavviso, 0) << i;
  EXPECT_EQ(m.celle[20].tipo, 0);  // marks touch only preavviso
}

TEST(MemoSegnale, FreeCellsAndClashes) {
  struct Caso {
    std::uint8_t tipo_prima;
    std::int32_t codice;
    std::uint8_t tipo_dopo;
  };
  for (const Caso& k : {Caso{11, 0, 1}, Caso{6, 16, 6}, Caso{10, 16, 10}, Caso{1, 16, 1}}) {
    Modello m = percorso();
    m.celle[22].tipo = k.tipo_prima;
    m.celle[22].valore1 = 7;
    const Esito e = segnale(m, primo_segnale);
    EXPECT_EQ(e.codice(), k.codice) << int{k.tipo_prima};
    if (k.codice != 0) EXPECT_EQ(e.posizione(), 1050);
    EXPECT_EQ(m.codice_errore, 0);  // the store reports; the reader sets the error state
    EXPECT_EQ(m.celle[22].tipo, k.tipo_dopo);
    EXPECT_EQ(m.celle[22].valore1, k.codice == 0 ? 42 : 7);
    EXPECT_EQ(m.celle[20].preavviso, k.codice == 0 ? 81 : 0);  // nothing written on a clash
  }
}

TEST(MemoSegnale, TimeValueKeptOnlyForSx2) {
  struct Caso {
    std::int32_t sx, tempo;
    std::uint8_t tempo_segnale;
  };
  for (const Caso& k : {Caso{2, 50, 101}, Caso{2, 1, 101}, Caso{2, 100, 101}, Caso{2, 0, 0}, Caso{2, 245, 245},
                        Caso{2, 300, 44}, Caso{2, -5, 251}, Caso{1, 50, 0}, Caso{3, 245, 0}}) {
    Modello m = percorso();
    ASSERT_TRUE(memo_segnale(m, 1050, k.sx, 0, 0, 0, 0, 0, 0, 0, 0, k.tempo).ok());
    EXPECT_EQ(m.celle[22].tempo_segnale, k.tempo_segnale) << k.sx << " " << k.tempo;
  }
}

TEST(MemoSegnale, PackedValuesKeepTheirLowBits) {
  Modello m = percorso();
  // rapp 3275 is the top of the range: 32750 + 9 fits 16 bits; 3300 wraps.
  ASSERT_TRUE(segnale(m, {1050, 3, 9, 9, 9, 3275, 0, 9, 9, 9, 0}).ok());
  EXPECT_EQ(m.celle[22].valore4, 32759);
  EXPECT_EQ(m.celle[22].valore1, 99);
  EXPECT_EQ(m.celle[20].preavviso, 91);
  ASSERT_TRUE(segnale(m, {2050, 0, 0, 0, 0, 3300, 0, 0, 0, 0, 0}).ok());
  EXPECT_EQ(m.celle[42].valore4, static_cast<std::int16_t>(33000 - 65536));
}

TEST(MemoSegnale, TwoSignalsOneHundredMetresApart) {
  Modello m = percorso();
  ASSERT_TRUE(segnale(m, primo_segnale).ok());
  ASSERT_TRUE(segnale(m, {1150, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}).ok());
  EXPECT_EQ(m.codice_errore, 0);
  // The second signal's marks fall on the first signal's cell and on its marks.
  EXPECT_EQ(m.celle[24].tipo, 1);
  EXPECT_EQ(m.celle[22].tipo, 1);
  EXPECT_EQ(m.celle[22].valore1, 42);
  EXPECT_EQ(m.celle[22].preavviso, 61);
  EXPECT_EQ(m.celle[20].preavviso, 62);
  EXPECT_EQ(m.celle[18].preavviso, 63);
  EXPECT_EQ(m.celle[16].preavviso, 64);
  EXPECT_EQ(m.celle[14].preavviso, 84);
}

TEST(MemoSegnale, OutsideTheCellsIsAFailureKeepingWhatCameBefore) {
  {
    // At 350 m the last mark falls in cell 0; at 300 m it would fall in cell -1.
    Modello m = percorso();
    ASSERT_TRUE(segnale(m, {350, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}).ok());
    EXPECT_EQ(m.celle[0].preavviso, 64);
  }
  {
    Modello m = percorso();
    EXPECT_TRUE(segnale(m, {300, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}).e_guasto());
    EXPECT_EQ(m.celle[7].tipo, 1);
    EXPECT_EQ(m.celle[5].preavviso, 61);
    EXPECT_EQ(m.celle[1].preavviso, 63);
    EXPECT_EQ(m.codice_errore, 0);
  }
  for (std::int32_t p : {-100, -1000000, 27000 + 50 * 2, 2147483647}) {
    Modello m = percorso();
    EXPECT_TRUE(segnale(m, {p, 2, 4, 0, 0, 0, 0, 0, 0, 0, 0}).e_guasto()) << p;
  }
  Modello vuoto;  // cells never sized
  EXPECT_TRUE(segnale(vuoto, primo_segnale).e_guasto());
}

TEST(MemoRallentamento, WarningStepsStartAndEnd) {
  Modello m = percorso();
  ASSERT_TRUE(rallentamento(m, 10000, 60, 500, 3, 1, 0).ok());
  EXPECT_EQ(m.codice_errore, 0);
  EXPECT_EQ(m.celle[177].tipo, 4);
  EXPECT_EQ(m.celle[177].valore1, 60);
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(m.celle[176 - j].tipo, 5);
    EXPECT_EQ(m.celle[176 - j].valore1, j + 1);
    EXPECT_EQ(m.celle[176 - j].valore2, 0);
  }
  EXPECT_EQ(m.celle[172].tipo, 0);
  EXPECT_EQ(m.celle[201].tipo, 3);
  EXPECT_EQ(m.celle[201].valore1, 60);
  EXPECT_EQ(m.celle[201].valore3, 3);
  EXPECT_EQ(m.celle[211].tipo, 2);
  EXPECT_EQ(m.celle[211].valore1, 60);
  EXPECT_EQ(m.celle[211].valore3, 3);
  EXPECT_EQ(m.celle[177].valore3, 0);
}

TEST(MemoRallentamento, WarningPointOnlyAfter1500) {
  struct Caso {
    std::int32_t x;
    int avviso;  // -1: none
    int primo_passo;
  };
  for (const Caso& k : {Caso{1500, -1, -1}, Caso{1550, 8, 7}}) {
    Modello m = percorso();
    ASSERT_TRUE(rallentamento(m, k.x, 30, 200, 1, 1, 0).ok());
    int avvisi = 0, passi = 0;
    for (const Cella& c : m.celle) {
      avvisi += c.tipo == 4;
      passi += c.tipo == 5;
    }
    EXPECT_EQ(avvisi, k.avviso < 0 ? 0 : 1) << k.x;
    EXPECT_EQ(passi, k.avviso < 0 ? 0 : 4) << k.x;
    if (k.avviso >= 0) {
      EXPECT_EQ(m.celle[static_cast<std::size_t>(k.avviso)].tipo, 4);
      for (int j = 0; j < 4; ++j) EXPECT_EQ(m.celle[static_cast<std::size_t>(k.primo_passo - j)].valore1, j + 1);
    }
  }
}

TEST(MemoRallentamento, StartAndEndInOneCellLeaveTheStart) {
  Modello m = percorso();
  ASSERT_TRUE(rallentamento(m, 1000, 30, 10, 2, 0, 0).ok());
  EXPECT_EQ(m.celle[21].tipo, 3);
  EXPECT_EQ(m.celle[21].valore1, 30);
}

TEST(MemoRallentamento, ZeroStepValueKeepsValore2) {
  for (std::int32_t d_v : {0, 9}) {
    Modello m = percorso();
    for (int i : {177, 176, 201, 211}) {
      m.celle[static_cast<std::size_t>(i)].tipo = 11;
      m.celle[static_cast<std::size_t>(i)].valore2 = 77;
    }
    ASSERT_TRUE(rallentamento(m, 10000, 60, 500, 3, 1, d_v).ok());
    EXPECT_EQ(m.celle[177].valore2, d_v == 0 ? 77 : 9);
    EXPECT_EQ(m.celle[201].valore2, d_v == 0 ? 77 : 9);
    EXPECT_EQ(m.celle[211].valore2, d_v == 0 ? 77 : 9);
    EXPECT_EQ(m.celle[176].valore2, d_v == 0 ? 77 : 1);
    EXPECT_EQ(m.celle[175].valore2, d_v == 0 ? 0 : 2);
  }
}

TEST(MemoRallentamento, ClashCodesAndWhatStaysWritten) {
  struct Caso {
    int occupata;
    std::int32_t codice;
    bool scritti;  // warning, start and end written
  };
  for (const Caso& k : {Caso{177, 17, false}, Caso{201, 18, false}, Caso{211, 19, false}, Caso{176, 20, true},
                        Caso{173, 20, true}, Caso{172, 0, true}}) {
    Modello m = percorso();
    m.celle[static_cast<std::size_t>(k.occupata)].tipo = 6;
    const Esito e = rallentamento(m, 10000, 60, 500, 3, 1, 0);
    EXPECT_EQ(e.codice(), k.codice) << k.occupata;
    if (k.codice != 0) EXPECT_EQ(e.posizione(), 10000);
    EXPECT_EQ(m.celle[201].tipo, k.scritti ? 3 : (k.occupata == 201 ? 6 : 0)) << k.occupata;
    EXPECT_EQ(m.celle[211].tipo, k.scritti ? 2 : (k.occupata == 211 ? 6 : 0)) << k.occupata;
    EXPECT_EQ(m.celle[177].tipo, k.scritti ? 4 : (k.occupata == 177 ? 6 : 0)) << k.occupata;
    EXPECT_EQ(m.celle[175].tipo, k.codice == 0 ? 5 : 0) << k.occupata;  // no step on a clash
  }
  // Without f_ta the four cells are not looked at.
  Modello m = percorso();
  m.celle[176].tipo = 6;
  EXPECT_TRUE(rallentamento(m, 10000, 60, 500, 3, 0, 0).ok());
}

TEST(MemoRallentamento, OutsideTheCellsIsAFailure) {
  struct Caso {
    std::int32_t x, l;
    bool fine_scritta;
  };
  // End beyond ultima_cella (540), a negative start, a length taking the end before cell 0.
  for (const Caso& k : {Caso{20000, 7000, false}, Caso{-100, 50, false}, Caso{1000, -2000, false}}) {
    Modello m = percorso();
    EXPECT_TRUE(rallentamento(m, k.x, 30, k.l, 1, 1, 0).e_guasto()) << k.x << " " << k.l;
    int scritte = 0;
    for (const Cella& c : m.celle) scritte += c.tipo != 0;
    EXPECT_EQ(scritte, 0) << k.x;  // the tests come before any write
  }
  Modello m = percorso();
  EXPECT_TRUE(rallentamento(m, 20000, 30, 6900, 1, 0, 0).ok());  // end in cell 539
  EXPECT_EQ(m.celle[539].tipo, 2);
}

}  // namespace
}  // namespace scenario
