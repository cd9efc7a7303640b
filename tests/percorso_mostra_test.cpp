// `percorso dump` on files written by the binary writers.
#include <gtest/gtest.h>

#include <sstream>

#include "aiuti.h"
#include "output/output.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

using prova::percorso;

class PercorsoMostra : public ::testing::Test {
 protected:
  void SetUp() override {
    Modello m;
    m.nome_percorso = "Valdora";
    m.nome_treno = "Tarvo";
    m.scrivi_linea = 1;
    dimensiona_percorso(m, 0);
    for (int metro = 0; metro <= 6998; ++metro) {
      ASSERT_TRUE(m.tracciato.imposta_doppio(metro, 0, metro * 0.01) && m.tracciato.imposta_doppio(metro, 1, metro));
    }
    m.voci[85].nome = "Valdora";
    m.voci[85].parametro_1 = 610;
    m.celle[22].tipo = 1;
    m.celle[22].valore1 = 42;
    CartellaSuDisco dove(dir());
    ASSERT_FALSE(scrivi_file_binari(m, dove).guasto.has_value());
  }
  prova::CartellaTemporanea dir;
};

TEST_F(PercorsoMostra, DumpsEachKindOfFile) {
  const auto sim = percorso({"dump", (dir / "Valdora_Tarvo.sim").string()});
  EXPECT_EQ(sim.stato, 0) << sim.err;
  EXPECT_NE(sim.out.find("voce 85: tipo 0, zona 0..0, posizione 0, classe 0, nome \"Valdora\", parametri 610 0 0 0 0"),
            std::string::npos)
      << sim.out;
  const auto treno = percorso({"dump", (dir / "Valdora_Tarvo.dat").string()});
  EXPECT_EQ(treno.stato, 0);
  EXPECT_NE(treno.out.find("cella 22 (1100 m): tipo 1, valori 42 0 0 0"), std::string::npos) << treno.out;
  EXPECT_EQ(treno.out.find("cella 23 "), std::string::npos);
  const auto linea = percorso({"dump", (dir / "Valdora_linea.dat").string(), "--step", "3000"});
  EXPECT_EQ(linea.stato, 0);
  EXPECT_NE(linea.out.find("metro 3000  x 30  y 3000"), std::string::npos) << linea.out;
  EXPECT_NE(linea.out.find("metro 6000"), std::string::npos);
}

TEST_F(PercorsoMostra, RefusesWhatIsNotSuchAFile) {
  prova::scrivi_file(dir / "rotto.sim", "not a simulation file");
  const auto e = percorso({"dump", (dir / "rotto.sim").string()});
  EXPECT_EQ(e.stato, 1);
  EXPECT_NE(e.err.find("not a simulation file"), std::string::npos);
  EXPECT_EQ(percorso({"dump", (dir / "manca.sim").string()}).stato, 2);
  EXPECT_EQ(percorso({"dump"}).stato, 2);
}

}  // namespace
}  // namespace scenario
