#include <gtest/gtest.h>

#include <tuple>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "aiuti.h"
#include "model/modello.h"
#include "output/codifica.h"
#include "output/output.h"

namespace scenario {
namespace {

using prova::CartellaTemporanea;
using prova::leggi_file;
using prova::scrivi_file;

std::string byte(std::initializer_list<int> valori) {
  std::string s;
  for (int v : valori) s.push_back(static_cast<char>(v));
  return s;
}

TEST(FileSimulazione, EntryZeroIsThirtyFourZeroBytesAndNamesAreCountedNotTerminated) {
  std::array<Voce, numero_voci> voci{};
  voci[1].tipo = 8;
  voci[1].inizio_zona = -500;
  voci[1].fine_zona = 500;
  voci[1].nome = "Ab";
  voci[1].parametro_1 = -2;
  voci[1].opzione_4 = 7;
  voci[1].orario = 29570;
  voci[85].parametro_1 = 610;
  const std::string f = file_simulazione(voci);
  ASSERT_EQ(f.size(), 87u * 34u + 2u);
  EXPECT_EQ(f.substr(0, 34), std::string(34, '\0'));
  const std::string atteso = byte({8, 0x0C, 0xFE, 0xFF, 0xFF, 0xF4, 0x01, 0, 0, 0, 0, 0, 0, 0, 2, 0}) + "Ab" +
                             byte({0xFE, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 0x82, 0x73, 0, 0});
  EXPECT_EQ(f.substr(34, 36), atteso);
  // Entry 85 starts after 84 entries, one of them 2 bytes longer; parametro_1 sits at 16 + n.
  const std::size_t e85 = 85 * 34 + 2;
  EXPECT_EQ(f.substr(e85 + 14, 4), byte({0, 0, 0x62, 0x02}));
}

TEST(FileTreno, CellIsFifteenBytesInFieldOrder) {
  std::vector<Cella> celle(141);
  EXPECT_EQ(file_treno(celle).size(), 2115u);  // ultima_cella 140, line length 0
  Cella& c = celle[1];
  c.tipo = 1;
  c.valore1 = 5121;
  c.valore2 = -1;
  c.valore3 = 11;
  c.valore4 = 8;
  c.tempo_segnale = 245;
  c.preavviso = 84;
  c.tipo_montagna = 2;
  c.velocita = 25;
  c.pendenza = 89;
  c.aderenza = 63;
  EXPECT_EQ(file_treno(celle).substr(15, 15),
            byte({1, 0x01, 0x14, 0xFF, 0xFF, 11, 0, 8, 0, 245, 84, 2, 25, 89, 63}));
}

TEST(FileLinea, TagsAndValueSizesFollowThePlan) {
  Tracciato t;
  t.dimensiona(5);  // metres 0..5
  ASSERT_TRUE(t.imposta_intero(0, 0, 0) && t.imposta_intero(0, 1, 0));
  ASSERT_TRUE(t.imposta_intero(1, 0, 0) && t.imposta_intero(1, 1, 1));
  for (int m = 2; m <= 3; ++m) ASSERT_TRUE(t.imposta_doppio(m, 0, 0.5) && t.imposta_doppio(m, 1, m));
  EXPECT_FALSE(t.imposta_doppio(6, 0, 1.0));
  const std::string f = file_linea(t);
  // Per coordinate: two 4-byte integers, (6 - 4) 10-byte floats, two 2-byte empties.
  ASSERT_EQ(f.size(), 2u * (2 * 4 + 2 * 10 + 2 * 2));
  EXPECT_EQ(f.substr(0, 8), byte({2, 0, 0, 0, 2, 0, 0, 0}));
  EXPECT_EQ(f.substr(8, 10), byte({5, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F}));
  EXPECT_EQ(f.substr(28, 4), byte({0, 0, 0, 0}));
  EXPECT_EQ(f.substr(32, 8), byte({2, 0, 0, 0, 2, 0, 1, 0}));
  EXPECT_EQ(f.substr(50, 10), byte({5, 0, 0, 0, 0, 0, 0, 0, 0x08, 0x40}));
}

TEST(FileLinea, DecoderReadsBackWhatTheWriterPacked) {
  std::string s;
  metti(s, std::int16_t{-2});
  metti(s, std::int32_t{-180350});
  metti(s, std::string("ab"));
  EXPECT_EQ(s, byte({0xFE, 0xFF, 0x82, 0x3F, 0xFD, 0xFF, 2, 0, 'a', 'b'}));
  Lettore l(s);
  std::int16_t a = 0;
  std::int32_t b = 0;
  std::string c;
  EXPECT_TRUE(l.prendi(a));
  EXPECT_TRUE(l.prendi(b));
  EXPECT_TRUE(l.prendi(c));
  EXPECT_EQ(std::make_tuple(a, b, c), std::make_tuple(std::int16_t{-2}, -180350, std::string("ab")));
  std::uint8_t d = 0;
  EXPECT_FALSE(l.prendi(d));
}

TEST(Decodifica, ReadsBackEveryFileAndRefusesTruncatedOnes) {
  std::array<Voce, numero_voci> voci{};
  voci[80].nome = "(Cippo )(  Km  )(11+000)";
  voci[5].orario = -7;
  const std::string sim = file_simulazione(voci);
  auto letto = decodifica_simulazione(sim);
  ASSERT_TRUE(letto.has_value());
  EXPECT_EQ((*letto)[80].nome, voci[80].nome);
  EXPECT_EQ((*letto)[5].orario, -7);
  EXPECT_FALSE(decodifica_simulazione(sim.substr(0, sim.size() - 1)).has_value());
  EXPECT_FALSE(decodifica_simulazione(sim + "x").has_value());

  std::vector<Cella> celle(3);
  celle[2].valore4 = -300;
  celle[2].aderenza = 98;
  const auto cel = decodifica_treno(file_treno(celle));
  ASSERT_TRUE(cel.has_value());
  EXPECT_EQ((*cel)[2].valore4, -300);
  EXPECT_EQ((*cel)[2].aderenza, 98);
  EXPECT_FALSE(decodifica_treno(std::string(16, '\0')).has_value());

  Tracciato t;
  t.dimensiona(3);
  ASSERT_TRUE(t.imposta_intero(1, 1, 1) && t.imposta_doppio(2, 0, -0.25));
  const auto tr = decodifica_linea(file_linea(t));
  ASSERT_TRUE(tr.has_value());
  EXPECT_EQ(file_linea(*tr), file_linea(t));
  EXPECT_FALSE(decodifica_linea(std::string("\x07\x00", 2)).has_value());
}

Modello modello_piccolo(std::int32_t scrivi_linea) {
  Modello m;
  m.nome_percorso = "Val d-Ora";
  m.nome_treno = "Tar vo";
  m.scrivi_linea = scrivi_linea;
  dimensiona_percorso(m, 0);
  return m;
}

TEST(ScriviFileBinari, WritesTheThreeFilesInOrderAndReplacesLongerOnes) {
  CartellaTemporanea dir;
  Modello m = modello_piccolo(1);
  scrivi_file(dir / "Val d-Ora_Tar vo.dat", std::string(100000, 'x'));
  CartellaSuDisco dove(dir());
  const EsitoScrittura e = scrivi_file_binari(m, dove);
  EXPECT_FALSE(e.guasto.has_value());
  EXPECT_EQ(e.scritti, (std::vector<std::string>{"Val d-Ora_linea.dat", "Val d-Ora_Tar vo.sim", "Val d-Ora_Tar vo.dat"}));
  EXPECT_EQ(leggi_file(dir / "Val d-Ora_Tar vo.dat"), file_treno(m.celle));
  EXPECT_EQ(leggi_file(dir / "Val d-Ora_linea.dat"), file_linea(m.tracciato));
  EXPECT_EQ(prova::elenco(dir()).size(), 3u);  // no temporary file left behind
}

TEST(ScriviFileBinari, WithoutLineDataTheOldLineFileIsUntouched) {
  CartellaTemporanea dir;
  Modello m = modello_piccolo(0);
  scrivi_file(dir / "Val d-Ora_linea.dat", "old");
  CartellaSuDisco dove(dir());
  const EsitoScrittura e = scrivi_file_binari(m, dove);
  EXPECT_EQ(e.scritti.size(), 2u);
  EXPECT_EQ(leggi_file(dir / "Val d-Ora_linea.dat"), "old");
}

TEST(ScriviIntero, ADirectoryStandingAtTheNameFailsWithAReasonAndLeavesNoTemporary) {
  CartellaTemporanea dir;
  std::filesystem::create_directory(dir / "Valdora_Tarvo.sim");
  Modello m = modello_piccolo(0);
  m.nome_percorso = "Valdora";
  m.nome_treno = "Tarvo";
  CartellaSuDisco dove(dir());
  const EsitoScrittura e = scrivi_file_binari(m, dove);
  ASSERT_TRUE(e.guasto.has_value());
  EXPECT_NE(e.guasto->find("Valdora_Tarvo.sim: "), std::string::npos) << *e.guasto;
  EXPECT_TRUE(e.scritti.empty());  // the train data file is not attempted after the failure
  EXPECT_EQ(prova::elenco(dir()), std::vector<std::string>{"Valdora_Tarvo.sim"});
}

TEST(ScriviIntero, AFileSizeLimitLeavesTheOldFileWhole) {
  CartellaTemporanea dir;
  const auto file = dir / "Valdora_linea.dat";
  scrivi_file(file, "the old line data");
  const pid_t figlio = fork();
  ASSERT_GE(figlio, 0);
  if (figlio == 0) {
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    rlimit limite{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limite);
    const auto errore = scrivi_intero(file, std::string(100000, 'n'));
    _exit(errore && errore->find("too large") != std::string::npos ? 0 : 1);
  }
  int stato = 0;
  waitpid(figlio, &stato, 0);
  ASSERT_TRUE(WIFEXITED(stato));
  EXPECT_EQ(WEXITSTATUS(stato), 0);
  EXPECT_EQ(leggi_file(file), "the old line data");
  EXPECT_EQ(prova::elenco(dir()).size(), 1u);
}

}  // namespace
}  // namespace scenario
