// `percorso check` and the checks in `percorso compile`: exit statuses, JSON, names, -Werror,
// the embedded scenario, a failed compile that keeps the last good build; and the diagnostic
// ids against the author's reference.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>

#include "aiuti.h"
#include "diagnostics/diagnostics.h"
#include "documents/documents.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

using prova::percorso;

const std::string linea_buona = "[generale]\r\nlunghezza percorso, 20000\r\n[pendenze]\r\npendenza, 0, 0\r\n[fine]\r\n";
const std::string treno_buono = "[generale]\r\nvelocita, 0, 100\r\naderenza, 0, 80\r\n[fine]\r\n";
const std::string treno_con_errore = "[generale]\r\nvelocita, 0, 100\r\nstazione, 1025, 12, 400, 0,0,0, 0,0,0, 0,0,0, 0, 0,0,0, B\r\n";

class PercorsoCheck : public ::testing::Test {
 protected:
  void prepara(const std::string& linea, const std::string& treno) {
    prova::scrivi_file(dir / "Mia_linea.txt", linea);
    prova::scrivi_file(dir / "Mia_Uno-.txt", treno);
  }
  prova::UscitaPercorso esegui(const std::string& comando, std::vector<std::string> extra = {}) {
    std::vector<std::string> a{comando, (dir / "Mia_linea.txt").string(), (dir / "Mia_Uno-.txt").string()};
    a.insert(a.end(), extra.begin(), extra.end());
    return percorso(a);
  }
  prova::CartellaTemporanea dir;
};

TEST_F(PercorsoCheck, ExitStatusAndTheJsonObject) {
  prepara(linea_buona, treno_buono);
  const auto pulito = esegui("check", {"--json"});
  EXPECT_EQ(pulito.stato, 0) << pulito.err;
  EXPECT_EQ(nlohmann::json::parse(pulito.out), nlohmann::json::parse(R"({"diagnostics": [], "errors": 0, "warnings": 0})"));
  EXPECT_EQ(pulito.err, "0 errors, 0 warnings\n");

  prepara(linea_buona, treno_con_errore + "sabbia, 10, 20\r\n[fine]\r\n");
  const auto u = esegui("check", {"--json"});
  EXPECT_EQ(u.stato, 1);
  const auto j = nlohmann::json::parse(u.out);
  EXPECT_EQ(j["errors"], 1);
  EXPECT_EQ(j["warnings"], 1);
  ASSERT_EQ(j["diagnostics"].size(), 2u);
  const auto& e = j["diagnostics"][0];
  EXPECT_EQ(e["severity"], "error");
  EXPECT_EQ(e["id"], "station-position-not-multiple");
  EXPECT_EQ(e["code"], 8);
  EXPECT_EQ(e["file"], (dir / "Mia_Uno-.txt").string());
  EXPECT_EQ(e["line"], 3);
  EXPECT_EQ(e["column"], 11);
  EXPECT_EQ(e["end_column"], 15);
  EXPECT_TRUE(e["notes"].is_array());
  EXPECT_EQ(j["diagnostics"][1]["severity"], "warning");
  EXPECT_TRUE(j["diagnostics"][1]["code"].is_null());

  // Warnings alone pass, unless they are made errors.
  prepara(linea_buona, "[generale]\r\nvelocita, 0, 100\r\nsabbia, 10, 20\r\n[fine]\r\n");
  EXPECT_EQ(esegui("check").stato, 0);
  const auto w = esegui("check", {"-Werror", "--json"});
  EXPECT_EQ(w.stato, 1);
  EXPECT_EQ(nlohmann::json::parse(w.out)["errors"], 1);
}

TEST_F(PercorsoCheck, AnInputThatCannotBeReadIsExitTwoWithAnObjectToo) {
  prepara(linea_buona, treno_buono);
  const auto u = percorso({"check", (dir / "Mia_linea.txt").string(), (dir / "manca-.txt").string(), "--json"});
  EXPECT_EQ(u.stato, 2);
  const auto j = nlohmann::json::parse(u.out);
  EXPECT_EQ(j["errors"], 1);
  EXPECT_EQ(j["diagnostics"][0]["id"], "unreadable-file");
  EXPECT_NE(u.err.find("no such file"), std::string::npos) << u.err;
  // A command line it does not understand: exit 2, and with --json the one object.
  for (const std::string comando : {"check", "compile"}) {
    const auto a = percorso({comando, (dir / "Mia_linea.txt").string(), "--json"});
    EXPECT_EQ(a.stato, 2) << comando;
    const auto o = nlohmann::json::parse(a.out);
    EXPECT_EQ(o["diagnostics"][0]["id"], "bad-usage") << comando;
    EXPECT_EQ(o.contains("files"), comando == "compile");
  }
}

TEST_F(PercorsoCheck, NamesFromTheInputsOrTheEmbeddedOnesAndNamesThatCannotNameTheFiles) {
  prepara(linea_buona, treno_buono);
  // Following the convention: no note, and the compile names its files after them.
  const auto c = esegui("compile", {"-o", (dir / "out").string()});
  EXPECT_EQ(c.stato, 0) << c.err;
  EXPECT_EQ(prova::elenco(dir / "out"), (std::vector<std::string>{"Mia_Uno.dat", "Mia_Uno.sim", "Mia_linea.dat"}));
  // Not following it: the embedded names, with a note.
  prova::scrivi_file(dir / "a.txt", linea_buona);
  const auto n = percorso({"check", (dir / "a.txt").string(), (dir / "Mia_Uno-.txt").string()});
  EXPECT_NE(n.err.find("percorso: note: the inputs' names do not follow"), std::string::npos) << n.err;
  // Refused: a path separator, "." and "..", a character Windows-1252 cannot hold.
  for (const std::string nome : {"a/b", ".", "..", "\xE2\x86\x92"}) {
    const auto r = esegui("check", {"--route", nome});
    EXPECT_EQ(r.stato, 2) << nome;
    EXPECT_NE(r.err.find("[bad-name]"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("\xC3\xA2"), std::string::npos) << r.err;  // never a name turned to mojibake
  }
  // A letter the code page holds is fine, and goes into the headers as one byte.
  const auto a = esegui("compile", {"--route", "Citt\xC3\xA0", "-o", (dir / "accento").string()});
  EXPECT_EQ(a.stato, 0) << a.err;
  EXPECT_TRUE(std::filesystem::exists(dir / "accento" / "Citt\xC3\xA0_Uno.sim"));
  EXPECT_NE(prova::leggi_file(dir / "accento" / "Citt\xC3\xA0_Uno.sim").find("Citt\xE0"), std::string::npos);
  // An empty name is the compile step's to accept, with a warning.
  const auto vuoto = esegui("check", {"--route", ""});
  EXPECT_EQ(vuoto.stato, 0);
  EXPECT_NE(vuoto.err.find("[empty-name]"), std::string::npos) << vuoto.err;
}

TEST_F(PercorsoCheck, AFailedCompileLeavesTheLastGoodBuildAsItWas) {
  prepara(linea_buona, treno_buono);
  ASSERT_EQ(esegui("compile", {"-o", (dir / "out").string()}).stato, 0);
  std::vector<std::string> prima;
  for (const auto& f : prova::elenco(dir / "out")) prima.push_back(prova::leggi_file(dir / "out" / f));
  prepara(linea_buona, treno_con_errore);
  const auto u = esegui("compile", {"-o", (dir / "out").string(), "--json"});
  EXPECT_EQ(u.stato, 1);
  EXPECT_NE(u.err.find("nothing was written"), std::string::npos) << u.err;
  const auto j = nlohmann::json::parse(u.out);
  EXPECT_TRUE(j["files"].empty());
  EXPECT_EQ(j["errors"], 1);
  std::vector<std::string> dopo;
  for (const auto& f : prova::elenco(dir / "out")) dopo.push_back(prova::leggi_file(dir / "out" / f));
  EXPECT_EQ(dopo, prima);
  // Forced, it writes what the scenario program's compile step would, and says the code.
  const auto f = esegui("compile", {"-o", (dir / "out").string(), "--force", "--json"});
  EXPECT_EQ(f.stato, 1);
  EXPECT_EQ(nlohmann::json::parse(f.out)["code"], 8);
  EXPECT_EQ(nlohmann::json::parse(f.out)["files"].size(), 3u);
}

TEST_F(PercorsoCheck, TheEmbeddedScenarioHasNoErrors) {
  // Its one warning is its own row "pendenza,  1250,   -4,5", kept as the scenario has it.
  prova::CartellaTemporanea esportati;
  ASSERT_EQ(percorso({"export", "-o", esportati().string()}).stato, 0);
  const auto u = percorso({"check", (esportati / "Valdora_linea.txt").string(),
                           (esportati / "Valdora_Tarvo-.txt").string(), "--json"});
  EXPECT_EQ(u.stato, 0) << u.err;
  const auto j = nlohmann::json::parse(u.out);
  EXPECT_EQ(j["errors"], 0);
  ASSERT_EQ(j["warnings"], 1) << u.err;
  EXPECT_EQ(j["diagnostics"][0]["id"], "decimal-comma");
  EXPECT_EQ(j["diagnostics"][0]["line"], 115);
}

// Colour on a terminal only: the printer writes escape codes when asked, none otherwise, and
// never a raw control byte from the file.
TEST(Stampa, ColourWhenAskedAndControlBytesEscaped) {
  Descrizioni d{{"l.txt", std::string("[generale]\r\ncartello_indicatore, 100, (A\x01)\r\n"), {}}, {"t.txt", "", {}}};
  Diagnostica g;
  g.gravita = Gravita::avviso;
  g.id = "control-character";
  g.luogo.file = "l.txt";
  g.luogo.linea = 2;
  g.luogo.colonna = 27;
  g.luogo.colonna_fine = 32;
  g.messaggio = "the field `(A\x01)`";
  std::ostringstream senza, con;
  stampa(senza, std::span(&g, 1), d, false);
  stampa(con, std::span(&g, 1), d, true);
  EXPECT_EQ(senza.str().find('\x1b'), std::string::npos);
  EXPECT_NE(con.str().find("\x1b[1;35mwarning: "), std::string::npos) << con.str();
  EXPECT_EQ(senza.str().find('\x01'), std::string::npos);
  EXPECT_NE(senza.str().find("(A\\x01)"), std::string::npos) << senza.str();
}

// Every diagnostic id is in the author's reference and has an explain entry.
TEST(Riferimento, EveryDiagnosticIdHasAnEntry) {
  const auto chiavi = chiavi_riferimento();
  const std::string descrizioni = prova::leggi_file(SOURCE_DIR "/docs/descriptions.md") +
                                  prova::leggi_file(SOURCE_DIR "/docs/errors.md");
  ASSERT_GE(identificativi().size(), 60u);
  for (const Identificativo& i : identificativi()) {
    const std::string id(i.id);
    EXPECT_NE(std::find(chiavi.begin(), chiavi.end(), id), chiavi.end()) << id;
    EXPECT_NE(descrizioni.find("`" + id + "`"), std::string::npos) << id;
    const auto u = percorso({"explain", id});
    EXPECT_EQ(u.stato, 0) << id;
  }
}

}  // namespace
}  // namespace scenario
