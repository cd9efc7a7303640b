// The author's reference against the code: every row keyword the readers know is described,
// every error code and report has an `explain` entry, and every subcommand's --help ends with
// examples.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

#include "aiuti.h"
#include "model/errori.h"
#include "reader/reader.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

using prova::percorso;

// Every text between backticks in a Markdown file.
std::vector<std::string> spezzoni_di_codice(const std::string& testo) {
  std::vector<std::string> r;
  static const std::regex spezzone("`([^`\n]+)`");
  for (std::sregex_iterator i(testo.begin(), testo.end(), spezzone), fine; i != fine; ++i) r.push_back((*i)[1]);
  return r;
}

TEST(Riferimento, EveryRowKeywordTheReadersKnowIsDescribed) {
  const auto spezzoni = spezzoni_di_codice(prova::leggi_file(SOURCE_DIR "/docs/descriptions.md"));
  ASSERT_FALSE(spezzoni.empty());
  auto descritta = [&](std::string_view parola) {
    return std::any_of(spezzoni.begin(), spezzoni.end(),
                       [&](const std::string& s) { return s.find(parola) != std::string::npos; });
  };
  std::vector<Chiave> chiavi;
  for (const auto& tipi : {tipi_riga_generale(), tipi_riga_linea(), tipi_riga_treno()}) {
    for (const DescrizioneRiga& r : tipi) chiavi.push_back(r.chiave);
  }
  for (const Chiave& c : chiavi) {
    EXPECT_TRUE(descritta(c.parola)) << c.parola;
    if (!c.anche.empty()) EXPECT_TRUE(descritta(c.anche)) << c.parola << " with " << c.anche;
  }
}

TEST(Riferimento, EveryErrorCodeAndReportHasAnEntryThatExplainPrints) {
  const std::vector<std::int32_t> numeri = {
      codice::lunghezza_eccessiva, codice::progressiva_non_multipla, codice::ripetizione_inizio,
      codice::ripetizione_fine, codice::ripetizione_codici, codice::cartello_occupato,
      codice::abbattimento_occupato, codice::stazione_non_multipla, codice::zona_non_multipla,
      codice::troppe_stazioni, codice::completamento_segnale, codice::completamento_avvicinamento,
      codice::completamento_rallentamento, codice::fuori_percorso, codice::segnale_occupato,
      codice::avviso_occupato, codice::inizio_occupato, codice::fine_occupata, codice::preavvisi_occupati,
      codice::indicatore_occupato, codice::zone_vicine, codice::fermata_troppo_presto, codice::guasto,
      codice::linea_mancante, codice::generale_mancante, codice::curva_o_piano, rapporto::marca_occupata,
      rapporto::codice_occupato};
  const auto chiavi = chiavi_riferimento();
  for (const std::int32_t n : numeri) {
    const std::string chiave = std::to_string(n);
    EXPECT_NE(std::find(chiavi.begin(), chiavi.end(), chiave), chiavi.end()) << chiave;
    const auto u = percorso({"explain", chiave});
    EXPECT_EQ(u.stato, 0) << chiave << ": " << u.err;
    const std::string inizio = (n >= rapporto::marca_occupata ? "Report " : "Code ") + chiave + ":";
    EXPECT_EQ(u.out.rfind(chiave + "\n", 0), 0u) << u.out;
    EXPECT_NE(u.out.find("\n" + inizio), std::string::npos) << u.out;
  }
}

TEST(Riferimento, AnEntryRunsToTheNextHeadingAndLosesItsMarks) {
  const auto uno = percorso({"explain", "1"});
  ASSERT_EQ(uno.stato, 0);
  EXPECT_EQ(uno.out.rfind("1\n=\n\nCode 1: the line is longer than 1,000,000 m.\n", 0), 0u) << uno.out;
  EXPECT_EQ(uno.out.find("Code 2:"), std::string::npos);
  EXPECT_EQ(uno.out.find("##"), std::string::npos);
  EXPECT_EQ(uno.out.substr(uno.out.size() - 2), ".\n");  // the blank lines before the next heading go
  // The last entry of a section stops at the section heading.
  const auto ultimo = percorso({"explain", "103"});
  EXPECT_EQ(ultimo.out.find("Numbered reports"), std::string::npos);
  // Keys match without regard to case or surrounding blanks.
  EXPECT_EQ(percorso({"explain", " Unknown-Keyword "}).out, percorso({"explain", "unknown-keyword"}).out);
}

TEST(Riferimento, AnUnknownKeyListsNearMatches) {
  struct Caso {
    std::string chiave, vicina;
  };
  for (const Caso& c : std::vector<Caso>{{"unknwn-keyword", "unknown-keyword"}, {"keyword", "unknown-keyword"},
                                         {"1205", "1250"}, {"26", "25"}}) {
    const auto u = percorso({"explain", c.chiave});
    EXPECT_EQ(u.stato, 2) << c.chiave;
    EXPECT_EQ(u.out, "");
    EXPECT_NE(u.err.find("no entry `" + c.chiave + "`"), std::string::npos) << u.err;
    EXPECT_NE(u.err.find(c.vicina), std::string::npos) << u.err;
  }
  const auto lontana = percorso({"explain", "zzzzzzzzzzzz"});
  EXPECT_EQ(lontana.stato, 2);
  EXPECT_EQ(lontana.err.find("near"), std::string::npos) << lontana.err;
  EXPECT_EQ(percorso({"explain"}).stato, 2);
}

TEST(Riferimento, ListGivesEveryKeyOnceWithItsSummary) {
  const auto u = percorso({"explain", "--list"});
  ASSERT_EQ(u.stato, 0);
  const auto articoli = articoli_riferimento();
  std::set<std::string> viste;
  for (const Articolo& a : articoli) {
    EXPECT_TRUE(viste.insert(a.chiave).second) << "twice: " << a.chiave;
    EXPECT_FALSE(a.sommario.empty()) << a.chiave;
    EXPECT_NE(u.out.find("  " + a.chiave + " "), std::string::npos) << a.chiave;
    EXPECT_NE(u.out.find(a.sommario + "\n"), std::string::npos) << a.chiave;
  }
  const auto sezioni = std::set<std::string>{"Error codes", "Numbered reports", "Diagnostics: errors",
                                             "Diagnostics: warnings"};
  for (const std::string& s : sezioni) EXPECT_NE(("\n" + u.out).find("\n" + s + "\n"), std::string::npos) << s;
  EXPECT_NE(std::find_if(articoli.begin(), articoli.end(),
                         [](const Articolo& a) { return a.chiave == "unknown-keyword"; }),
            articoli.end());
}

TEST(Aiuto, EverySubcommandsHelpEndsWithExamples) {
  const auto aiuto = percorso({"--help"});
  ASSERT_EQ(aiuto.stato, 0);
  const auto inizio = aiuto.out.find("Subcommands:");
  ASSERT_NE(inizio, std::string::npos);
  std::vector<std::string> comandi;
  static const std::regex riga("\n  ([a-z]+) ");
  const std::string elenco = aiuto.out.substr(inizio, aiuto.out.find("\n\n", inizio) - inizio);
  for (std::sregex_iterator i(elenco.begin(), elenco.end(), riga), fine; i != fine; ++i) comandi.push_back((*i)[1]);
  EXPECT_GE(comandi.size(), 4u);
  EXPECT_EQ(std::count(comandi.begin(), comandi.end(), "explain"), 1);
  for (const std::string& c : comandi) {
    const auto u = percorso({c, "--help"});
    EXPECT_EQ(u.stato, 0) << c;
    const auto esempi = u.out.rfind("\nExamples:\n");
    ASSERT_NE(esempi, std::string::npos) << c << ":\n" << u.out;
    // Nothing but example lines after the heading, and each one runs this command.
    std::istringstream resto(u.out.substr(esempi + 11));
    std::string esempio;
    int quanti = 0;
    while (std::getline(resto, esempio)) {
      if (esempio.empty()) continue;
      EXPECT_EQ(esempio.rfind("  percorso " + c, 0), 0u) << c << ": " << esempio;
      ++quanti;
    }
    EXPECT_GE(quanti, 1) << c;
  }
}

}  // namespace
}  // namespace scenario
