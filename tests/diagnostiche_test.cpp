// The golden corpus of the checks: each tests/diagnostics/<case>.txt holds a line and a train
// description (and the arguments, if any), and <case>.err the exact standard error of
// `percorso check` on them. To regenerate the expected files after reviewing a change, run
// the test with SCENARIO_RIGENERA=1 set (tests/diagnostics/README.md).
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>

#include "aiuti.h"
#include "diagnostics/diagnostics.h"

namespace scenario {
namespace {

const std::filesystem::path corpus = std::filesystem::path(SOURCE_DIR) / "tests" / "diagnostics";

// One case: the two descriptions as their bytes, and the extra arguments.
struct Caso {
  std::string linea, treno;
  std::vector<std::string> argomenti;
};

std::string decodifica(const std::string& riga) {
  std::string s;
  for (std::size_t i = 0; i < riga.size(); ++i) {
    if (riga[i] == '\\' && i + 3 < riga.size() + 0 && riga[i + 1] == 'x') {
      s += static_cast<char>(std::stoi(riga.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      s += riga[i];
    }
  }
  return s;
}

// "=== linea" and "=== treno" start a description, written line by line with CR LF (\xNN is
// the byte NN); "=== fine-senza-a-capo" takes the line end off the one before; "=== args"
// gives the arguments; "#" lines before the first section are comments.
Caso leggi_caso(const std::filesystem::path& file) {
  Caso c;
  std::istringstream in(prova::leggi_file(file));
  std::string riga;
  std::string* dove = nullptr;
  while (std::getline(in, riga)) {
    if (riga.rfind("=== args", 0) == 0) {
      std::istringstream a(riga.substr(8));
      std::string parola;
      while (a >> parola) c.argomenti.push_back(parola == "\"\"" ? std::string() : parola);
    } else if (riga == "=== linea") {
      dove = &c.linea;
    } else if (riga == "=== treno") {
      dove = &c.treno;
    } else if (riga == "=== fine-senza-a-capo") {
      if (dove != nullptr && dove->size() >= 2) dove->resize(dove->size() - 2);
    } else if (dove != nullptr) {
      *dove += decodifica(riga) + "\r\n";
    }
  }
  return c;
}

std::string sostituisci(std::string s, const std::string& cosa, const std::string& con) {
  for (std::size_t i = s.find(cosa); i != std::string::npos; i = s.find(cosa, i + con.size())) s.replace(i, cosa.size(), con);
  return s;
}

TEST(Diagnostiche, TheGoldenCorpus) {
  const bool rigenera = std::getenv("SCENARIO_RIGENERA") != nullptr;
  int casi = 0;
  for (const auto& e : std::filesystem::directory_iterator(corpus)) {
    if (e.path().extension() != ".txt") continue;
    ++casi;
    const std::string nome = e.path().stem().string();
    SCOPED_TRACE(nome);
    const Caso c = leggi_caso(e.path());
    prova::CartellaTemporanea dir;
    prova::scrivi_file(dir / "Prova_linea.txt", c.linea);
    prova::scrivi_file(dir / "Prova_Treno-.txt", c.treno);
    std::vector<std::string> a{"check", (dir / "Prova_linea.txt").string(), (dir / "Prova_Treno-.txt").string()};
    a.insert(a.end(), c.argomenti.begin(), c.argomenti.end());
    const auto u = prova::percorso(a);
    const std::string err = sostituisci(u.err, dir().string() + "/", "");
    // The exit status follows from the closing count: 1 with errors, 0 without; no count
    // (the command line refused) is 2.
    static const std::regex conteggio(R"((?:^|\n)(\d+) errors?, \d+ warnings?\n$)");
    std::smatch m;
    if (std::regex_search(err, m, conteggio)) {
      EXPECT_EQ(u.stato, m[1] == "0" ? 0 : 1) << err;
    } else {
      EXPECT_EQ(u.stato, 2) << err;
    }
    const auto atteso = e.path().parent_path() / (nome + ".err");
    if (rigenera) {
      prova::scrivi_file(atteso, err);
      continue;
    }
    ASSERT_TRUE(std::filesystem::exists(atteso)) << "no " << atteso;
    EXPECT_EQ(err, prova::leggi_file(atteso));
  }
  EXPECT_GE(casi, 60);
}

// Every id has a case in the corpus, but those said only when an input cannot be read or the
// command line is not understood (tested with the commands).
TEST(Diagnostiche, TheCorpusHasACaseForEveryId) {
  std::string tutto;
  for (const auto& e : std::filesystem::directory_iterator(corpus)) {
    if (e.path().extension() == ".err") tutto += prova::leggi_file(e.path());
  }
  for (const Identificativo& i : identificativi()) {
    if (i.id == "unreadable-file" || i.id == "line-description-missing" || i.id == "bad-usage") continue;
    EXPECT_NE(tutto.find("[" + std::string(i.id) + "]"), std::string::npos) << i.id;
  }
}

// A description that cannot be read: what the compile step would make of it.
TEST(Diagnostiche, ADescriptionThatCannotBeReadIsSaidWithItsCode) {
  const Descrizioni d{{"l.txt", std::nullopt, {}, "no such file"}, {"t.txt", std::nullopt, {}, "it is a folder"}};
  const auto g = controlla(d, {"Valdora", "Tarvo", 1});
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(g[0].id, "line-description-missing");
  EXPECT_EQ(g[0].codice, 101);
  EXPECT_EQ(g[0].messaggio, "cannot read the line description: no such file");
  EXPECT_EQ(g[1].id, "unreadable-file");
  EXPECT_EQ(g[1].codice, 25);
}

}  // namespace
}  // namespace scenario
