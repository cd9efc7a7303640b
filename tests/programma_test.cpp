// The scenario program run as a person runs it: copied alone into an empty folder.
#include <gtest/gtest.h>

#include "aiuti.h"
#include "app/app.h"

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

TEST(Programma, UnderAVirtualDisplayShowsTheRealWindow) {
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
  Corsa corsa("xvfb-run -a");
  EXPECT_EQ(corsa.esito.stato, 0) << corsa.esito.err;
  // With a window the wait text is on screen, not on standard error.
  EXPECT_EQ(corsa.esito.err.find("Attendere"), std::string::npos) << corsa.esito.err;
  EXPECT_EQ(prova::elenco(corsa.casa()), sei_file);
}

TEST(Programma, ReportTextHasOneLeadingBlank) {
  EXPECT_EQ(testo_errore("1250"), " Errore n. 1250");
  EXPECT_EQ(testo_errore("1251"), " Errore n. 1251");
}

}  // namespace
}  // namespace scenario
