#include <gtest/gtest.h>

#include "aiuti.h"
#include "compile/compile.h"
#include "documents/documents.h"

namespace scenario {
namespace {

using prova::CartellaTemporanea;
using prova::leggi_file;

TEST(TestoDocumento, WritesEachSlotWithCrLfUpToTheEndMarker) {
  const std::string_view righe[] = {"uno", "", "  spazi  ", "RIFERIMENTO FINE DEL FILE", "riferimento fine del file!"};
  const auto tabella = tabella_righe(righe);
  ASSERT_TRUE(tabella.has_value());
  EXPECT_EQ(tabella->size(), 6u);
  EXPECT_EQ(testo_documento(*tabella),
            "uno\r\n\r\n  spazi  \r\nRIFERIMENTO FINE DEL FILE\r\nriferimento fine del file!\r\n");
}

TEST(TestoDocumento, AFirstSlotHoldingTheEndMarkerGivesNothing) {
  const TabellaRighe tabella{marcatore_fine, "never read"};
  EXPECT_EQ(testo_documento(tabella), "");
}

TEST(TabellaRighe, HoldsAtMostAThousandLines) {
  std::vector<std::string_view> righe(1000, "x");
  EXPECT_TRUE(tabella_righe(righe).has_value());
  righe.push_back("x");
  EXPECT_FALSE(tabella_righe(righe).has_value());
}

TEST(ScriviDocumenti, ReplacesALongerFileAndUsesNamesWithBlanksAndHyphens) {
  CartellaTemporanea dir;
  ASSERT_EQ(documenti_incorporati().size(), 5u);
  prova::scrivi_file(dir / "Val d-Ora_Tar vo_note.txt", std::string(200000, 'x'));
  CartellaSuDisco dove(dir());
  ASSERT_FALSE(scrivi_documenti(dove, "Val d-Ora", "Tar vo").has_value());
  EXPECT_EQ(prova::elenco(dir()),
            (std::vector<std::string>{"Val d-Ora_Tar vo-.txt", "Val d-Ora_Tar vo_note.txt",
                                      "Val d-Ora_Tar vo_rallentamenti.txt", "Val d-Ora_Tar vo_scheda_treno.txt",
                                      "Val d-Ora_linea.txt"}));
  std::string atteso;
  for (auto riga : righe_note()) (atteso += riga) += "\r\n";
  EXPECT_EQ(leggi_file(dir / "Val d-Ora_Tar vo_note.txt"), atteso);
}

TEST(ScriviDocumenti, AFailureNamesTheFileAndLeavesNoPartialDocument) {
  CartellaTemporanea dir;
  std::filesystem::create_directory(dir / "Valdora_linea.txt");
  CartellaSuDisco dove(dir());
  const auto errore = scrivi_documenti(dove, "Valdora", "Tarvo");
  ASSERT_TRUE(errore.has_value());
  EXPECT_EQ(errore->rfind("Valdora_linea.txt: ", 0), 0u) << *errore;
  EXPECT_EQ(prova::elenco(dir()), std::vector<std::string>{"Valdora_linea.txt"});
}

}  // namespace
}  // namespace scenario
