// Tests of the whole reading (`memorizza_dati`): a run-time failure ends with code 25 and the cleanup.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "aiuti.h"
#include "reader/reader.h"

namespace scenario {
namespace {
using namespace prova;

struct CasoGuasto {
  const char* nome;
  bool programma;  // the program owns the descriptions (deletes them); the tool does not
  std::optional<std::string> linea;
  std::optional<std::string> treno;
};

const std::string linea_buona = "[generale]\r\nlunghezza percorso, 20000\r\n[curve]\r\n[fine]\r\n";
const std::string linea_guasta = "[generale]\r\nlunghezza percorso, 12x\r\n";

class MemorizzaDatiGuasto : public ::testing::TestWithParam<CasoGuasto> {};

// A run-time failure in the line half (a bad number) or in the train half (the train
// description cannot be opened) ends with code 25 and deletes both files only where owned.
TEST_P(MemorizzaDatiGuasto, Codice25EPuliziaSecondoIlProprietario) {
  const CasoGuasto& c = GetParam();
  CartellaTemporanea dir;
  const auto linea = dir / "linea.txt";
  const auto treno = dir / "treno.txt";
  scrivi_file(linea, "x");
  scrivi_file(treno, "[generale]\n");
  Descrizioni d;
  d.linea.nome = "linea.txt";
  d.linea.testo = c.linea;
  d.treno.nome = "treno.txt";
  d.treno.testo = c.treno;
  if (c.programma) {
    d.linea.da_cancellare = linea;
    d.treno.da_cancellare = treno;
  }
  Modello m;
  (void)memorizza_dati(m, d);
  EXPECT_EQ(m.codice_errore, 25);
  EXPECT_EQ(std::filesystem::exists(linea), !c.programma);
  EXPECT_EQ(std::filesystem::exists(treno), !c.programma);
}

INSTANTIATE_TEST_SUITE_P(Treno, MemorizzaDatiGuasto,
                         ::testing::Values(CasoGuasto{"linea_programma", true, linea_guasta, "[generale]\n"},
                                           CasoGuasto{"linea_strumento", false, linea_guasta, "[generale]\n"},
                                           CasoGuasto{"treno_programma", true, linea_buona, std::nullopt},
                                           CasoGuasto{"treno_strumento", false, linea_buona, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.nome); });

}  // namespace
}  // namespace scenario

namespace scenario {
namespace {

// One policy for a description the program owns that will not go: the deletion is a run-time
// failure of the reading (code 25), in either half. A folder with a file in it cannot be
// removed, whoever runs the test.
TEST(MemorizzaDati, ADescriptionThatCannotBeDeletedEndsWithCode25) {
  for (const bool linea : {true, false}) {
    prova::CartellaTemporanea dir;
    const auto ostinato = dir / "ostinato";
    std::filesystem::create_directories(ostinato / "dentro");
    Descrizioni d{{"linea.txt", "[generale]\r\nlunghezza percorso, 3000\r\n[fine]\r\n", {}},
                  {"treno.txt", "[generale]\r\nsabbia, 5\r\n[fine]\r\n", {}}};
    (linea ? d.linea : d.treno).da_cancellare = ostinato;
    Modello m;
    const Esito e = memorizza_dati(m, d);
    EXPECT_EQ(m.codice_errore, 25) << linea;
    EXPECT_EQ(e.perche(), Guasto::non_cancellato) << linea;
    EXPECT_EQ(e.luogo().file, linea ? "linea.txt" : "treno.txt");
  }
}

}  // namespace
}  // namespace scenario
