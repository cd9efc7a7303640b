// The scenario program run as a person runs it: copied alone into an empty folder.
#include <gtest/gtest.h>

#include <tuple>

#include "aiuti.h"
#include "app/app.h"
#include "documents/documents.h"
#include "output/output.h"

namespace scenario {
namespace {

using prova::CartellaTemporanea;

const std::vector<std::string> sei_file = {
    "Valdora_Tarvo.dat",      "Valdora_Tarvo.sim",      "Valdora_Tarvo_note.txt", "Valdora_Tarvo_rallentamenti.txt",
    "Valdora_Tarvo_scheda_treno.txt", "Valdora_linea.dat", "scenario"};

// Copies the program into a fresh folder and runs it from another folder, so that any file it
// wrote outside its own folder would show up in the working directory.
struct Corsa {
  CartellaTemporanea casa;
  CartellaTemporanea altrove;
  prova::Esecuzione esito;

  explicit Corsa(const std::string& prefisso) {
    std::filesystem::copy_file(SCENARIO_EXE, casa / "scenario");
    esito = prova::esegui("timeout 120 " + prefisso + " '" + (casa / "scenario").string() + "'", altrove());
  }
};

TEST(Programma, WithoutADisplayRunsInItsOwnFolderAndLeavesTheSixFiles) {
  Corsa corsa("env -u DISPLAY");
  EXPECT_EQ(corsa.esito.stato, 0) << corsa.esito.err;
  EXPECT_EQ(corsa.esito.err, "Attendere\n");
  EXPECT_EQ(prova::elenco(corsa.casa()), sei_file);
  EXPECT_TRUE(prova::elenco(corsa.altrove()).empty());
}

// Ten runs in a row against one server: an X server resets each time its last client leaves,
// and a run that met the server in that reset must still open its window.
TEST(Programma, UnderAVirtualDisplayShowsTheRealWindow) {
  if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "Xvfb is not installed";
  Corsa corsa("sh '" SOURCE_DIR "/tests/con_xvfb.sh' sh -c 'for i in 1 2 3 4 5 6 7 8 9 10; do \"$0\" || exit $?; done'");
  // 77: this machine cannot run a virtual X server at all; nothing of the program was tried.
  if (corsa.esito.stato == 77) GTEST_SKIP() << corsa.esito.err;
  EXPECT_EQ(corsa.esito.stato, 0) << corsa.esito.err;
  // With a window the wait text is on screen, not on standard error.
  EXPECT_EQ(corsa.esito.err.find("Attendere"), std::string::npos) << corsa.esito.err;
  EXPECT_EQ(prova::elenco(corsa.casa()), sei_file);
}

// What the full run compiled: headers, entries and the cells the scenario fixes.
TEST(Programma, TheFullRunCompilesTheEmbeddedScenario) {
  Corsa corsa("env -u DISPLAY");
  ASSERT_EQ(corsa.esito.stato, 0) << corsa.esito.err;
  const auto voci = decodifica_simulazione(prova::leggi_file(corsa.casa / "Valdora_Tarvo.sim"));
  const auto celle = decodifica_treno(prova::leggi_file(corsa.casa / "Valdora_Tarvo.dat"));
  ASSERT_TRUE(voci.has_value());
  ASSERT_TRUE(celle.has_value());
  ASSERT_EQ(celle->size(), 4501u);
  EXPECT_EQ(prova::leggi_file(corsa.casa / "Valdora_linea.dat").size(), 2u * (2 * 4 + 224997 * 10 + 2 * 2));

  // The scenario codes of "tarvovaldora" filled to 25 characters: plain 2598, weighted 33092.
  const std::int32_t piano = 2598, pesato = 33092;
  const auto& v = *voci;
  EXPECT_EQ(v[85].parametro_1, 610);
  EXPECT_EQ(v[85].orario, pesato);
  EXPECT_EQ((*celle)[1].valore1, 5121);
  EXPECT_EQ((*celle)[1].valore2, piano);
  EXPECT_EQ(v[85].nome, "Valdora");
  EXPECT_EQ(v[86].nome, "Tarvo");
  EXPECT_EQ(std::tie(v[81].inizio_zona, v[81].fine_zona, v[81].posizione_m), std::make_tuple(194700, -16400, 0));
  EXPECT_EQ(std::tie(v[82].inizio_zona, v[82].fine_zona, v[82].posizione_m), std::make_tuple(180350, -180350, 0));
  EXPECT_EQ(std::tie(v[83].inizio_zona, v[83].fine_zona, v[83].posizione_m), std::make_tuple(0, 0, 0));
  EXPECT_EQ(std::tie(v[84].inizio_zona, v[84].fine_zona, v[84].posizione_m), std::make_tuple(130, 218000, 12));
  EXPECT_EQ(std::tie(v[85].inizio_zona, v[85].posizione_m, v[85].fine_zona), std::make_tuple(1, 0, 0));
  EXPECT_EQ(std::tie(v[86].inizio_zona, v[86].fine_zona, v[86].posizione_m, v[86].parametro_1),
            std::make_tuple(2100, 211050, 4, std::int16_t{180}));
  EXPECT_EQ(std::tie(v[86].parametro_3, v[86].parametro_4, v[86].parametro_5),
            std::make_tuple(std::int16_t{8}, std::int16_t{12}, std::int16_t{50}));
  // 25 stations from entry 1 and 20 sign texts from entry 80 down, nothing between.
  std::vector<std::string> nomi;
  for (auto r : righe_treno()) {
    if (r.rfind("stazione,", 0) == 0) nomi.emplace_back(r.substr(r.rfind(", ") + 2));
  }
  ASSERT_EQ(nomi.size(), 25u);
  for (int k = 1; k <= 25; ++k) EXPECT_EQ(v[static_cast<std::size_t>(k)].nome, nomi[static_cast<std::size_t>(k - 1)]);
  for (int k = 26; k <= 60; ++k) EXPECT_EQ(v[static_cast<std::size_t>(k)].nome, "") << k;
  EXPECT_EQ(v[80].nome, "(Cippo )(  Km  )(11+000)");
  for (int k = 61; k <= 80; ++k) EXPECT_FALSE(v[static_cast<std::size_t>(k)].nome.empty()) << k;
  EXPECT_EQ(v[1].orario, (8 * 60 + 12) * 60 + 50);
  EXPECT_EQ(v[25].orario, 10 * 3600);

  const auto& c = *celle;
  EXPECT_EQ(std::tie(c[22].tipo, c[22].valore1, c[22].valore2, c[22].valore3, c[22].valore4),
            std::make_tuple(std::uint8_t{1}, std::int16_t{42}, std::int16_t{11}, std::int16_t{11}, std::int16_t{8}));
  for (int i : {20, 18, 16, 14}) EXPECT_EQ(c[static_cast<std::size_t>(i)].preavviso, 81 + (20 - i) / 2) << i;
  for (int i = 5; i <= 8; ++i) EXPECT_EQ(c[static_cast<std::size_t>(i)].preavviso, 89 - i) << i;
  EXPECT_EQ(std::tie(c[9].tipo, c[9].valore1), std::make_tuple(std::uint8_t{10}, std::int16_t{1}));
  for (std::size_t i = 0; i <= 79; ++i) EXPECT_EQ(c[i].velocita, i <= 21 ? 6 : 25) << i;
  for (std::size_t i = 0; i <= 190; ++i) EXPECT_EQ(c[i].aderenza, 63) << i;
  for (std::size_t i = 0; i <= 23; ++i) EXPECT_EQ(c[i].pendenza, i <= 11 ? 100 : 89) << i;
  for (std::size_t i = 1580; i <= 1610; ++i) {
    EXPECT_EQ(c[i].tipo_montagna, 2) << i;
    // Every fourth cell carries the filler mark, unless a feature stands there.
    if ((i - 1580 + 1) % 4 == 0) {
      EXPECT_NE(c[i].tipo, 0) << i;
    }
  }
  EXPECT_EQ(c[1579].tipo_montagna, 0);
  EXPECT_EQ(c[1611].tipo_montagna, 0);
}

TEST(Programma, ExportThenCompileGivesTheProgramsFiles) {
  Corsa corsa("env -u DISPLAY");
  ASSERT_EQ(corsa.esito.stato, 0) << corsa.esito.err;
  CartellaTemporanea dir;
  const std::string percorso = std::string("'") + PERCORSO_EXE + "'";
  ASSERT_EQ(prova::esegui(percorso + " export -o esportati", dir()).stato, 0);
  const auto compilato = prova::esegui(percorso + " compile esportati/Valdora_linea.txt esportati/Valdora_Tarvo-.txt -o bin", dir());
  ASSERT_EQ(compilato.stato, 0) << compilato.err;
  for (const char* nome : {"Valdora_linea.dat", "Valdora_Tarvo.sim", "Valdora_Tarvo.dat"}) {
    EXPECT_EQ(prova::leggi_file(dir / "bin" / nome), prova::leggi_file(corsa.casa / nome)) << nome;
  }
  for (const char* nome : {"Valdora_Tarvo_note.txt", "Valdora_Tarvo_rallentamenti.txt", "Valdora_Tarvo_scheda_treno.txt"}) {
    EXPECT_EQ(prova::leggi_file(dir / "esportati" / nome), prova::leggi_file(corsa.casa / nome)) << nome;
  }
  // The authoring tool never deletes its inputs.
  EXPECT_TRUE(std::filesystem::exists(dir / "esportati" / "Valdora_linea.txt"));
}

TEST(Programma, ReportTextHasOneLeadingBlank) {
  EXPECT_EQ(testo_errore("1250"), " Errore n. 1250");
  EXPECT_EQ(testo_errore("1251"), " Errore n. 1251");
}

}  // namespace
}  // namespace scenario
