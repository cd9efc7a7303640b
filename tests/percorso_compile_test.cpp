// `percorso compile` end to end: files, exit codes, messages with their place, JSON.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

#include "aiuti.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

using prova::percorso;

const std::string linea_buona =
    "[generale]\r\nlunghezza percorso,    3000\r\n[curve]\r\ncurvad3,  500,  100\r\n[pendenze]\r\npendenza,  0,   2\r\n[fine]\r\n";
const std::string treno_buono =
    "[generale]\r\nvelocita,   0,    30\r\n[segnali]\r\nsegnale,    1050,   2, 4, 1,  1, 0,    2,  2,1,1, 0\r\n[fine]\r\n\r\n";

class PercorsoCompile : public ::testing::Test {
 protected:
  void prepara(const std::string& linea, const std::string& treno) {
    prova::scrivi_file(dir / "linea.txt", linea);
    prova::scrivi_file(dir / "treno.txt", treno);
  }
  prova::UscitaPercorso compila(std::vector<std::string> extra = {}) {
    std::vector<std::string> a{"compile", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "-o",
                               (dir / "out").string()};
    a.insert(a.end(), extra.begin(), extra.end());
    return percorso(a);
  }
  prova::CartellaTemporanea dir;
};

TEST_F(PercorsoCompile, CleanDescriptionsGiveTheThreeFilesAndKeepTheInputs) {
  prepara(linea_buona, treno_buono);
  const auto u = compila({"--route", "Val d-Ora", "--train", "Tar vo"});
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(u.err, "");
  EXPECT_EQ(prova::elenco(dir / "out"),
            (std::vector<std::string>{"Val d-Ora_Tar vo.dat", "Val d-Ora_Tar vo.sim", "Val d-Ora_linea.dat"}));
  EXPECT_EQ(prova::leggi_file(dir / "linea.txt"), linea_buona);
  EXPECT_EQ(prova::leggi_file(dir / "treno.txt"), treno_buono);
}

TEST_F(PercorsoCompile, JsonListsTheFilesInWriteOrder) {
  prepara(linea_buona, treno_buono);
  const auto u = compila({"--json"});
  ASSERT_EQ(u.stato, 0) << u.err;
  const auto j = nlohmann::json::parse(u.out);
  EXPECT_EQ(j["code"], 0);
  EXPECT_EQ(j["position"], 0);
  EXPECT_TRUE(j["report"].is_null());
  EXPECT_EQ(j["files"], nlohmann::json({"Valdora_linea.dat", "Valdora_Tarvo.sim", "Valdora_Tarvo.dat"}));
  const auto senza = compila({"--json", "--no-line-data"});
  EXPECT_EQ(nlohmann::json::parse(senza.out)["files"], nlohmann::json({"Valdora_Tarvo.sim", "Valdora_Tarvo.dat"}));
}

TEST_F(PercorsoCompile, WithForceAnErrorIsShownAtItsPlaceAndTheFilesAreStillWritten) {
  prepara(linea_buona, "[generale]\r\nsegnale, 1050, 2, 4, 1, 1, 0, 2, 2,1,1, 0\r\n  segnale, 1060, 2, 4, 1, 1, 0, 2, 2,1,1, 0\r\n");
  const auto u = compila({"--json", "--force"});
  EXPECT_EQ(u.stato, 1);
  const std::string file = (dir / "treno.txt").string();
  const std::string compilato =
      file + ":3:3: error: a signal falls on a cell that already holds a feature (code 16, position 1060 m)\n"
             "      segnale, 1060, 2, 4, 1, 1, 0, 2, 2,1,1, 0\n"
             "      ^~~~~~~\n";
  ASSERT_GE(u.err.size(), compilato.size());
  EXPECT_EQ(u.err.substr(u.err.size() - compilato.size()), compilato);
  const auto j = nlohmann::json::parse(u.out);
  EXPECT_EQ(j["code"], 16);
  EXPECT_EQ(j["position"], 1060);
  EXPECT_EQ(j["file"], file);
  EXPECT_EQ(j["line"], 3);
  EXPECT_EQ(j["column"], 3);
  EXPECT_EQ(j["files"].size(), 3u);
}

TEST_F(PercorsoCompile, AReportWritesNothing) {
  prepara(linea_buona, "[generale]\r\nabbattimento, 50, 100\r\n");
  // The checks see it coming; forced, the compile step stops with the report.
  const auto u = compila({"--json"});
  EXPECT_EQ(u.stato, 1);
  EXPECT_NE(u.err.find("[header-mark-taken]"), std::string::npos) << u.err;
  EXPECT_TRUE(nlohmann::json::parse(u.out)["report"].is_null());
  const auto forzato = compila({"--json", "--force"});
  EXPECT_EQ(forzato.stato, 1);
  EXPECT_NE(forzato.err.find("report 1250"), std::string::npos) << forzato.err;
  EXPECT_EQ(nlohmann::json::parse(forzato.out)["report"], 1250);
  EXPECT_FALSE(std::filesystem::exists(dir / "out" / "Valdora_Tarvo.sim"));
}

TEST_F(PercorsoCompile, UsageUnreadableInputAndUnwritableOutputExitWith2) {
  prepara(linea_buona, treno_buono);
  EXPECT_EQ(percorso({"compile", (dir / "linea.txt").string()}).stato, 2);
  EXPECT_EQ(percorso({"compile", "--bogus"}).stato, 2);
  const auto manca = percorso({"compile", (dir / "manca.txt").string(), (dir / "treno.txt").string()});
  EXPECT_EQ(manca.stato, 2);
  EXPECT_NE(manca.err.find("cannot read " + (dir / "manca.txt").string() + ": no such file"), std::string::npos)
      << manca.err;
  const auto cartella = percorso({"compile", dir().string(), (dir / "treno.txt").string()});
  EXPECT_EQ(cartella.stato, 2);
  EXPECT_NE(cartella.err.find(": it is a folder"), std::string::npos) << cartella.err;
  std::filesystem::create_directories(dir / "out" / "Valdora_Tarvo.sim");
  const auto bloccato = compila();
  EXPECT_EQ(bloccato.stato, 2);
  EXPECT_NE(bloccato.err.find("Valdora_Tarvo.sim"), std::string::npos) << bloccato.err;
}

TEST_F(PercorsoCompile, HelpDescribesTheInterface) {
  const auto u = percorso({"compile", "--help"});
  EXPECT_EQ(u.stato, 0);
  for (const char* parola : {"LINE_FILE", "TRAIN_FILE", "--output", "--route", "--train", "--no-line-data", "--json"}) {
    EXPECT_NE(u.out.find(parola), std::string::npos) << parola;
  }
}

}  // namespace
}  // namespace scenario
