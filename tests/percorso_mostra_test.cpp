// `percorso draw` on a file written by the binary writers.
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

TEST_F(PercorsoMostra, DrawsThePlanAsSvg) {
  const auto e = percorso({"draw", (dir / "Valdora_linea.dat").string(), "-o", (dir / "linea.svg").string()});
  EXPECT_EQ(e.stato, 0) << e.err;
  const std::string svg = prova::leggi_file(dir / "linea.svg");
  EXPECT_EQ(svg.rfind("<svg ", 0), 0u);
  EXPECT_NE(svg.find("<polyline"), std::string::npos);
}

}  // namespace
}  // namespace scenario
