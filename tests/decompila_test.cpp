// `percorso decompile`: descriptions back from the binary files that compile to the same bytes,
// on the embedded scenario and on generated ones; damaged and foreign files refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <span>

#include "aiuti.h"
#include "documents/documents.h"
#include "generatore_scenari.h"
#include "model/modello.h"
#include "output/codifica.h"
#include "output/output.h"
#include "tools/decompila.h"

namespace scenario {
namespace {

using prova::percorso;

// The three files of a compile, as the decompiler takes them.
FileBinari binari(const CompilatoInMemoria& c, const std::string& percorso, const std::string& treno, bool con_linea) {
  FileBinari f;
  if (con_linea) f.linea = c.file.at(nome_file_linea(percorso));
  f.simulazione = c.file.at(nome_file_simulazione(percorso, treno));
  f.treno = c.file.at(nome_file_treno(percorso, treno));
  return f;
}

// Compiles the decompiled pair and compares every file with the input, byte for byte.
void ritorna_uguale(const FileBinari& f, const Decompilato& d, const std::string& quale) {
  const auto c = compila_in_memoria(d.linea, d.treno, d.nome_percorso, d.nome_treno, f.linea.has_value());
  ASSERT_EQ(c.rapporto, 0) << quale;
  if (f.linea) EXPECT_TRUE(c.file.at(nome_file_linea(d.nome_percorso)) == *f.linea) << quale << ": line data file";
  EXPECT_TRUE(c.file.at(nome_file_simulazione(d.nome_percorso, d.nome_treno)) == f.simulazione)
      << quale << ": simulation file";
  EXPECT_TRUE(c.file.at(nome_file_treno(d.nome_percorso, d.nome_treno)) == f.treno) << quale << ": train data file";
}

TEST(Decompila, TheEmbeddedScenarioComesBackToTheSameBytesAndTheSameTrainDescription) {
  const std::string linea = testo_righe(righe_linea()), treno = testo_righe(righe_treno());
  const auto c = compila_in_memoria(linea, treno, "Valdora", "Tarvo", true);
  ASSERT_EQ(c.codice_errore, 0);
  const FileBinari f = binari(c, "Valdora", "Tarvo", true);
  const auto esito = decompila(f);
  ASSERT_TRUE(esito.risultato) << esito.rifiuto;
  const Decompilato& d = *esito.risultato;
  EXPECT_TRUE(d.identico) << (d.differenze.empty() ? "" : d.differenze.front());
  ritorna_uguale(f, d, "embedded");
  EXPECT_EQ(d.nome_percorso, "Valdora");
  EXPECT_EQ(d.nome_treno, "Tarvo");
  // Every train row leaves its trace: the exported description comes back byte for byte.
  EXPECT_EQ(d.treno, treno);
  // The line differs only where rows left no trace: the stray "5" of "-4,5" and gradient rows
  // that repeat the gradient in force.
  EXPECT_EQ(d.deduzioni.righe.at("curva"), 100);
  EXPECT_EQ(d.deduzioni.righe.at("pendenza"), 154);
  EXPECT_NE(d.linea.find("\r\npendenza,  1250,   -4\r\n"), std::string::npos);
  EXPECT_EQ(d.linea.substr(0, 200), linea.substr(0, 200));
}

TEST(Decompila, WithoutTheLineDataFileTheOtherTwoComeBackAndTheCurvesAreSaidToBeLost) {
  const auto c = compila_in_memoria(testo_righe(righe_linea()), testo_righe(righe_treno()), "Valdora", "Tarvo", false);
  const FileBinari f = binari(c, "Valdora", "Tarvo", false);
  const auto esito = decompila(f);
  ASSERT_TRUE(esito.risultato) << esito.rifiuto;
  EXPECT_TRUE(esito.risultato->identico);
  EXPECT_TRUE(esito.risultato->deduzioni.senza_curve);
  EXPECT_EQ(esito.risultato->linea.find("curva"), std::string::npos);
  ritorna_uguale(f, *esito.risultato, "no line data");
}

// How many generated scenarios to run: at least 200; the sanitizer build may set fewer
// through SCENARIO_GIRI_DECOMPILA.
int giri() {
  if (const char* v = std::getenv("SCENARIO_GIRI_DECOMPILA")) return std::max(1, std::atoi(v));
  return 240;
}

TEST(Decompila, GeneratedScenariosComeBackToTheSameBytes) {
  std::map<std::string, std::int64_t> righe;
  std::int64_t abbattimenti_espliciti = 0, montagne_divise = 0;
  for (int seme = 1; seme <= giri(); ++seme) {
    prova::GeneratoreScenari g(static_cast<std::uint64_t>(seme));
    const auto s = g.genera();
    const std::string quale = "seed " + std::to_string(seme);
    const auto c = compila_in_memoria(s.linea, s.treno, s.nome_percorso, s.nome_treno, true);
    ASSERT_EQ(c.rapporto, 0) << quale;
    ASSERT_TRUE(c.codice_errore == 0 || (c.codice_errore >= 11 && c.codice_errore <= 13))
        << quale << ": the generator wrote a description with error code " << c.codice_errore;
    const FileBinari f = binari(c, s.nome_percorso, s.nome_treno, true);
    const auto esito = decompila(f);
    ASSERT_TRUE(esito.risultato) << quale << ": " << esito.rifiuto;
    const Decompilato& d = *esito.risultato;
    EXPECT_TRUE(d.identico) << quale << ": " << (d.differenze.empty() ? "" : d.differenze.front()) << "\n"
                            << s.linea << s.treno;
    ritorna_uguale(f, d, quale);
    if (::testing::Test::HasFailure()) return;
    for (const auto& [tipo, n] : d.deduzioni.righe) righe[tipo] += n;
    for (const auto& [tipo, posizioni] : d.deduzioni.ipotesi) {
      const auto n = static_cast<std::int64_t>(posizioni.size());
      if (tipo.find("abbattimento") != std::string::npos) abbattimenti_espliciti += n;
      if (tipo.find("hill sections") != std::string::npos) montagne_divise += n;
    }
  }
  // The generator reached every kind of row, and the cases that need a choice.
  for (const char* tipo : {"curva", "pendenza", "montagna", "indicatori_vmax", "cartello_indicatore", "stazione",
                           "rallentamento", "segnale", "abbattimento", "velocita", "aderenza"}) {
    EXPECT_GT(righe[tipo], 0) << tipo;
  }
  if (giri() >= 200) {
    EXPECT_GT(abbattimenti_espliciti, 0);
    EXPECT_GT(montagne_divise, 0);
  }
}

// --- damaged and foreign files -----------------------------------------------------------------

class DecompilaRifiuti : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto c = compila_in_memoria(testo_righe(righe_linea()), testo_righe(righe_treno()), "Valdora", "Tarvo", true);
    f = binari(c, "Valdora", "Tarvo", true);
  }
  FileBinari f;
};

TEST_F(DecompilaRifiuti, DamagedOrInconsistentFilesAreRefusedWithTheirReason) {
  struct Caso {
    const char* nome;
    void (*guasta)(FileBinari&);
    const char* motivo;
  };
  const Caso casi[] = {
      {"simulation file cut short", [](FileBinari& x) { x.simulazione.pop_back(); }, "87 whole entries"},
      {"simulation file with a byte more", [](FileBinari& x) { x.simulazione.push_back('\0'); }, "87 whole entries"},
      {"train data file not whole cells", [](FileBinari& x) { x.treno.pop_back(); }, "15-byte cells"},
      {"train data file one cell short", [](FileBinari& x) { x.treno.resize(x.treno.size() - 15); }, "cells, but"},
      {"train data file of one cell", [](FileBinari& x) { x.treno.resize(15); }, "fewer than two"},
      {"line data file one metre short", [](FileBinari& x) { x.linea->resize(x.linea->size() - 4); }, "metres"},
      {"line data file with a bad tag", [](FileBinari& x) { (*x.linea)[0] = 7; }, "tagged plan values"},
      {"header mark missing", [](FileBinari& x) { x.treno[16] = 0; }, "header marks"},
      {"scenario code of other names", [](FileBinari& x) { x.treno[18] ^= 1; }, "scenario codes"},
      {"a plan metre moved", [](FileBinari& x) { (*x.linea)[4 + 4 + 2 + 500 * 10] ^= 1; }, "follows from no curve class"},
      {"a line length beyond the limit",
       [](FileBinari& x) {
         // Entry 84's fine_zona: entries 0..83 hold names, so find it by decoding.
         auto voci = *decodifica_simulazione(x.simulazione);
         voci[84].fine_zona = 2000000;
         x.simulazione = file_simulazione(voci);
       },
       "length of 2000000"},
  };
  for (const Caso& caso : casi) {
    FileBinari guasto = f;
    caso.guasta(guasto);
    const auto esito = decompila(guasto);
    EXPECT_FALSE(esito.risultato) << caso.nome;
    EXPECT_NE(esito.rifiuto.find(caso.motivo), std::string::npos) << caso.nome << ": " << esito.rifiuto;
  }
}

TEST_F(DecompilaRifiuti, RandomDamageIsRefusedOrDecompiledNeverACrash) {
  std::mt19937_64 caso(2026);
  for (int giro = 0; giro < 36; ++giro) {
    FileBinari guasto = f;
    std::string& bersaglio = giro % 3 == 0 ? guasto.simulazione : giro % 3 == 1 ? guasto.treno : *guasto.linea;
    for (int k = 0; k < 1 + giro % 3; ++k) {
      bersaglio[static_cast<std::size_t>(caso() % bersaglio.size())] = static_cast<char>(caso() % 256);
    }
    const auto esito = decompila(guasto);
    EXPECT_TRUE(esito.risultato.has_value() != !esito.rifiuto.empty()) << "round " << giro;
  }
}

// --- the command ------------------------------------------------------------------------------

class PercorsoDecompile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(percorso({"export", "-o", (dir / "src").string()}).stato, 0);
    compila_in({});
  }
  void compila_in(std::vector<std::string> extra, const std::string& dove = "bin") {
    std::vector<std::string> a{"compile", (dir / "src/Valdora_linea.txt").string(),
                               (dir / "src/Valdora_Tarvo-.txt").string(), "-o", (dir / dove).string()};
    a.insert(a.end(), extra.begin(), extra.end());
    ASSERT_EQ(percorso(a).stato, 0);
  }
  prova::CartellaTemporanea dir;
};

TEST_F(PercorsoDecompile, AFolderGivesTheTwoDescriptionsThatCompileBackToTheSameFiles) {
  const auto u = percorso({"decompile", (dir / "bin").string(), "-o", (dir / "dec").string()});
  ASSERT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(prova::elenco(dir / "dec"), (std::vector<std::string>{"Valdora_Tarvo-.txt", "Valdora_linea.txt"}));
  EXPECT_NE(u.err.find("rows written:"), std::string::npos) << u.err;
  EXPECT_NE(u.err.find("station option 4"), std::string::npos) << u.err;
  EXPECT_NE(u.err.find("round trip checked"), std::string::npos) << u.err;
  ASSERT_EQ(percorso({"compile", (dir / "dec/Valdora_linea.txt").string(), (dir / "dec/Valdora_Tarvo-.txt").string(),
                      "-o", (dir / "again").string()})
                .stato,
            0);
  for (const char* nome : {"Valdora_linea.dat", "Valdora_Tarvo.sim", "Valdora_Tarvo.dat"}) {
    EXPECT_TRUE(prova::leggi_file(dir / "bin" / nome) == prova::leggi_file(dir / "again" / nome)) << nome;
  }
}

TEST_F(PercorsoDecompile, TheFilesNamedOneByOneOrByRouteAndTrainGiveTheSame) {
  const auto b = [&](const char* n) { return (dir / "bin" / n).string(); };
  const auto u = percorso({"decompile", b("Valdora_Tarvo.dat"), b("Valdora_linea.dat"), b("Valdora_Tarvo.sim"), "-o",
                           (dir / "uno").string()});
  ASSERT_EQ(u.stato, 0) << u.err;
  const auto v = percorso({"decompile", (dir / "bin").string(), "--route", "Valdora", "--train", "Tarvo", "-o",
                           (dir / "due").string()});
  ASSERT_EQ(v.stato, 0) << v.err;
  EXPECT_EQ(prova::leggi_file(dir / "uno/Valdora_linea.txt"), prova::leggi_file(dir / "due/Valdora_linea.txt"));
  const auto w = percorso({"decompile", (dir / "bin").string(), "--route", "Valdora", "--train", "Altro"});
  EXPECT_EQ(w.stato, 2);
  EXPECT_NE(w.err.find("Valdora_Altro.sim: no such file"), std::string::npos) << w.err;
}

TEST_F(PercorsoDecompile, AScenarioCompiledWithoutLineDataSaysTheCurvesAreLost) {
  compila_in({"--no-line-data"}, "senza");
  const auto u = percorso({"decompile", (dir / "senza").string(), "-o", (dir / "dec").string()});
  ASSERT_EQ(u.stato, 0) << u.err;
  EXPECT_NE(u.err.find("the curves cannot be recovered"), std::string::npos) << u.err;
  EXPECT_NE(u.err.find("--no-line-data"), std::string::npos) << u.err;
}

TEST_F(PercorsoDecompile, FilesNoDescriptionCanGiveAreStillWrittenButSaidLoudlyWithExitOne) {
  // A cell kind no store writes: the descriptions cannot carry it.
  std::string treno = prova::leggi_file(dir / "bin/Valdora_Tarvo.dat");
  treno[100 * 15] = 9;
  prova::scrivi_file(dir / "bin/Valdora_Tarvo.dat", treno);
  const auto u = percorso({"decompile", (dir / "bin").string(), "-o", (dir / "dec").string()});
  EXPECT_EQ(u.stato, 1) << u.err;
  EXPECT_NE(u.err.find("DO NOT COMPILE BACK TO THE SAME FILES"), std::string::npos) << u.err;
  EXPECT_NE(u.err.find("cell 100 (5000 m): tipo 0 instead of 9"), std::string::npos) << u.err;
  EXPECT_EQ(prova::elenco(dir / "dec"), (std::vector<std::string>{"Valdora_Tarvo-.txt", "Valdora_linea.txt"}));
}

TEST_F(PercorsoDecompile, InputsThatAreNotScenarioFilesAreRefusedWithExitTwo) {
  const auto bin = dir / "bin";
  std::filesystem::create_directories(dir / "cartella.sim");
  prova::scrivi_file(dir / "vuoto.sim", "");
  prova::scrivi_file(dir / "grande.dat", std::string(15 * 20141 + 15, '\0'));
  struct Caso {
    std::vector<std::string> argomenti;
    const char* messaggio;
  };
  const std::string t = (bin / "Valdora_Tarvo.dat").string(), l = (bin / "Valdora_linea.dat").string();
  const Caso casi[] = {
      {{(dir / "cartella.sim").string(), t}, "it is a folder"},
      {{(bin / "Valdora_Tarvo.sim").string(), "/dev/null"}, "not a regular file"},
      {{(dir / "vuoto.sim").string(), t}, "it is empty"},
      {{(bin / "Valdora_Tarvo.sim").string(), (dir / "grande.dat").string()}, "more than any train data file"},
      {{(bin / "Valdora_Tarvo.sim").string(), t, l, l}, "give a folder"},
      {{(bin / "Valdora_Tarvo.sim").string(), l}, "no train data file"},
      {{(dir / "src").string()}, "0 simulation files"},
      {{(bin / "Valdora_Tarvo.sim").string(), t, "--route", "Valdora"}, "go together"},
  };
  for (const Caso& caso : casi) {
    std::vector<std::string> a{"decompile"};
    a.insert(a.end(), caso.argomenti.begin(), caso.argomenti.end());
    a.insert(a.end(), {"-o", (dir / "dec").string()});
    const auto u = percorso(a);
    EXPECT_EQ(u.stato, 2) << caso.messaggio << ": " << u.err;
    EXPECT_NE(u.err.find(caso.messaggio), std::string::npos) << u.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "dec"));
}

}  // namespace
}  // namespace scenario
