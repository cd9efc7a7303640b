// The programs under faults and hostile input: an output that is an input, two runs in one
// folder, files that are not regular or too large, repeated sizing rows, the file-size limit,
// interruption by a signal, and durable replacement.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <thread>

#include "aiuti.h"
#include "compile/compile.h"
#include "documents/documents.h"
#include "files/files.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

using prova::CartellaTemporanea;
using prova::percorso;

const std::string percorso_exe = std::string("'") + PERCORSO_EXE + "'";

const std::string linea_breve =
    "[generale]\r\nlunghezza percorso,    3000\r\n[curve]\r\ncurvad3,  500,  100\r\n[pendenze]\r\npendenza,  0,   2\r\n[fine]\r\n";
const std::string treno_breve =
    "[generale]\r\nvelocita,   0,    30\r\n[segnali]\r\nsegnale,    1050,   2, 4, 1,  1, 0,    2,  2,1,1, 0\r\n[fine]\r\n\r\n";

const std::vector<std::string> tre_file = {"Valdora_Tarvo.dat", "Valdora_Tarvo.sim", "Valdora_linea.dat"};

// The files of a folder whose names start with a dot: the temporary files of a write.
std::vector<std::string> nascosti(const std::filesystem::path& cartella) {
  std::vector<std::string> n;
  for (const std::string& nome : prova::elenco(cartella)) {
    if (nome.front() == '.') n.push_back(nome);
  }
  return n;
}

// A program started through the shell with its standard error read as it comes; `timeout`
// bounds it.
class Figlio {
 public:
  explicit Figlio(const std::string& comando)
      : flusso_(::popen(("timeout 120 " + comando + " 2>&1 >/dev/null </dev/null").c_str(), "r")) {}
  ~Figlio() {
    if (flusso_ != nullptr) ::pclose(flusso_);
  }
  Figlio(const Figlio&) = delete;
  Figlio& operator=(const Figlio&) = delete;

  // Reads standard error until `testo` shows; false when the program ended first.
  bool attendi(const std::string& testo) {
    char riga[4096];
    while (std::fgets(riga, sizeof riga, flusso_) != nullptr) {
      err_ += riga;
      if (err_.find(testo) != std::string::npos) return true;
    }
    return false;
  }
  // Reads the rest and returns the exit status (-1 when it did not exit normally).
  int fine() {
    char riga[4096];
    while (std::fgets(riga, sizeof riga, flusso_) != nullptr) err_ += riga;
    const int r = ::pclose(flusso_);
    flusso_ = nullptr;
    return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
  }
  const std::string& err() const { return err_; }

 private:
  FILE* flusso_;
  std::string err_;
};

// --- An output that is one of the inputs --------------------------------------------------

TEST(StessoFile, SamePathSameInodeAndLinksAreTheSameFile) {
  CartellaTemporanea dir;
  prova::scrivi_file(dir / "a", "x");
  prova::scrivi_file(dir / "b", "x");
  std::filesystem::create_symlink(dir / "a", dir / "simbolico");
  std::filesystem::create_hard_link(dir / "a", dir / "fisico");
  std::filesystem::create_directories(dir / "sotto");
  EXPECT_TRUE(stesso_file(dir / "a", dir / "sotto" / ".." / "a"));
  EXPECT_TRUE(stesso_file(dir / "a", dir / "simbolico"));
  EXPECT_TRUE(stesso_file(dir / "fisico", dir / "a"));
  EXPECT_FALSE(stesso_file(dir / "a", dir / "b"));
  // Files not yet there are compared by their normal paths.
  EXPECT_TRUE(stesso_file(dir / "manca", dir / "." / "sotto" / ".." / "manca"));
  EXPECT_FALSE(stesso_file(dir / "manca", dir / "manca2"));
}

// The fault as found: an exported train description renamed to an output's name, compiled
// into its own folder, was replaced by the binary file.
TEST(StessoFile, CompileRefusesAnOutputThatIsAnInputAndWritesNothing) {
  struct Caso {
    const char* nome;
    std::string linea, treno, uscita;  // input paths relative to the folder; the output folder
  };
  const std::vector<Caso> casi = {
      {"train input named as the train data file", "Valdora_linea.txt", "Valdora_Tarvo.dat", "."},
      {"line input named as the line data file", "Valdora_linea.dat", "Valdora_Tarvo-.txt", "."},
      {"train input named as the simulation file", "Valdora_linea.txt", "Valdora_Tarvo.sim", "."},
      {"the same file spelled another way", "Valdora_linea.txt", "sotto/../Valdora_Tarvo.dat", "sotto/.."},
      {"an output that is a symbolic link to an input", "Valdora_linea.txt", "Valdora_Tarvo-.txt", "link"},
      {"an output that is a hard link to an input", "Valdora_linea.txt", "Valdora_Tarvo-.txt", "fisico"},
  };
  for (const Caso& c : casi) {
    CartellaTemporanea dir;
    ASSERT_EQ(prova::esegui(percorso_exe + " export -o .", dir()).stato, 0) << c.nome;
    std::filesystem::create_directories(dir / "sotto");
    std::filesystem::create_directories(dir / "link");
    std::filesystem::create_directories(dir / "fisico");
    std::filesystem::create_symlink(dir / "Valdora_Tarvo-.txt", dir / "link" / "Valdora_Tarvo.dat");
    std::filesystem::create_hard_link(dir / "Valdora_Tarvo-.txt", dir / "fisico" / "Valdora_Tarvo.sim");
    std::error_code ec;
    std::filesystem::copy_file(dir / "Valdora_Tarvo-.txt", dir / c.treno, ec);
    std::filesystem::copy_file(dir / "Valdora_linea.txt", dir / c.linea, ec);
    const auto prima = prova::elenco(dir());
    const std::string linea = prova::leggi_file(dir / c.linea), treno = prova::leggi_file(dir / c.treno);

    const auto u = percorso({"compile", (dir / c.linea).string(), (dir / c.treno).string(), "-o",
                             (dir / c.uscita).string()});
    EXPECT_EQ(u.stato, 2) << c.nome;
    EXPECT_NE(u.err.find("the output "), std::string::npos) << c.nome << ": " << u.err;
    const bool nomina_ingresso = u.err.find(" is the input " + (dir / c.treno).string()) != std::string::npos ||
                                 u.err.find(" is the input " + (dir / c.linea).string()) != std::string::npos;
    EXPECT_TRUE(nomina_ingresso) << c.nome << ": " << u.err;
    EXPECT_EQ(prova::elenco(dir()), prima) << c.nome;
    EXPECT_EQ(prova::leggi_file(dir / c.linea), linea) << c.nome;
    EXPECT_EQ(prova::leggi_file(dir / c.treno), treno) << c.nome;
  }
}

// The other commands that write refuse the same way.
TEST(StessoFile, RenderAndDecompileRefuseAnOutputThatIsAnInput) {
  CartellaTemporanea dir;
  prova::scrivi_file(dir / "linea.txt", linea_breve);
  prova::scrivi_file(dir / "treno.txt", treno_breve);
  ASSERT_EQ(percorso({"compile", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "-o",
                      (dir / "bin").string()}).stato, 0);
  const auto sim = prova::leggi_file(dir / "bin" / "Valdora_Tarvo.sim");
  const auto render = percorso({"render", (dir / "linea.txt").string(), (dir / "treno.txt").string(), "-o",
                                (dir / "linea.txt").string()});
  EXPECT_EQ(render.stato, 2);
  EXPECT_NE(render.err.find("is the input " + (dir / "linea.txt").string()), std::string::npos) << render.err;
  const auto binari = percorso({"render", "--binaries", (dir / "bin").string(), "-o",
                                (dir / "bin" / "Valdora_Tarvo.sim").string()});
  EXPECT_EQ(binari.stato, 2) << binari.err;
  std::filesystem::create_directories(dir / "src");
  std::filesystem::create_symlink(dir / "bin" / "Valdora_Tarvo.sim", dir / "src" / "Valdora_Tarvo-.txt");
  const auto decompila = percorso({"decompile", (dir / "bin").string(), "-o", (dir / "src").string()});
  EXPECT_EQ(decompila.stato, 2);
  EXPECT_NE(decompila.err.find("is the input "), std::string::npos) << decompila.err;
  EXPECT_EQ(prova::leggi_file(dir / "linea.txt"), linea_breve);
  EXPECT_EQ(prova::leggi_file(dir / "bin" / "Valdora_Tarvo.sim"), sim);
}

TEST(StessoFile, AnInputNamedAsAFileThatIsNotWrittenIsAccepted) {
  CartellaTemporanea dir;
  prova::scrivi_file(dir / "Valdora_linea.dat", linea_breve);
  prova::scrivi_file(dir / "treno.txt", treno_breve);
  const auto u = percorso({"compile", (dir / "Valdora_linea.dat").string(), (dir / "treno.txt").string(), "-o",
                           dir().string(), "--no-line-data"});
  EXPECT_EQ(u.stato, 0) << u.err;
  EXPECT_EQ(prova::leggi_file(dir / "Valdora_linea.dat"), linea_breve);
}

// --- Two runs in one folder ---------------------------------------------------------------

TEST(BloccoCartella, ASecondLockWaitsBoundedAndLeavesNoFile) {
  CartellaTemporanea dir;
  auto primo = blocca_cartella(dir(), std::chrono::milliseconds(0), {});
  ASSERT_TRUE(primo.blocco.has_value()) << primo.perche;
  int avvisi = 0;
  const auto secondo = blocca_cartella(dir(), std::chrono::milliseconds(20), [&avvisi] { ++avvisi; });
  EXPECT_FALSE(secondo.blocco.has_value());
  EXPECT_EQ(avvisi, 1);
  EXPECT_NE(secondo.perche.find("another run has been working in " + dir().string()), std::string::npos)
      << secondo.perche;
  primo.blocco.reset();
  EXPECT_TRUE(blocca_cartella(dir(), std::chrono::milliseconds(0), {}).blocco.has_value());
  EXPECT_TRUE(prova::elenco(dir()).empty());
  EXPECT_FALSE(blocca_cartella(dir / "manca", std::chrono::milliseconds(0), {}).blocco.has_value());
}

// While another run holds the folder, the program waits, says so, writes nothing; once the
// folder is free it does its whole run.
TEST(BloccoCartella, TheProgramAndCompileWaitForTheRunHoldingTheFolder) {
  CartellaTemporanea dir;
  std::filesystem::copy_file(SCENARIO_EXE, dir / "scenario");
  prova::scrivi_file(dir / "l.txt", linea_breve);
  prova::scrivi_file(dir / "t.txt", treno_breve);
  const std::vector<std::string> comandi = {
      "env -u DISPLAY '" + (dir / "scenario").string() + "'",
      percorso_exe + " compile '" + (dir / "l.txt").string() + "' '" + (dir / "t.txt").string() + "' -o '" +
          dir().string() + "'"};
  for (const std::string& comando : comandi) {
    auto blocco = blocca_cartella(dir(), std::chrono::milliseconds(0), {});
    ASSERT_TRUE(blocco.blocco.has_value());
    const auto prima = prova::elenco(dir());
    Figlio figlio(comando);
    ASSERT_TRUE(figlio.attendi("waiting for it to end")) << comando << ": " << figlio.err();
    EXPECT_EQ(prova::elenco(dir()), prima);
    blocco.blocco.reset();
    EXPECT_EQ(figlio.fine(), 0) << figlio.err();
  }
  EXPECT_EQ(prova::elenco(dir()),
            (std::vector<std::string>{"Valdora_Tarvo.dat", "Valdora_Tarvo.sim", "Valdora_Tarvo_note.txt",
                                      "Valdora_Tarvo_rallentamenti.txt", "Valdora_Tarvo_scheda_treno.txt",
                                      "Valdora_linea.dat", "l.txt", "scenario", "t.txt"}));
}

// Pairs of runs started together, as by a double click: both end well and the folder holds
// one whole set, every file from the same run.
TEST(BloccoCartella, RunsStartedTogetherLeaveOneWholeSet) {
  CartellaTemporanea riferimento;
  prova::scrivi_file(riferimento / "a_l.txt", testo_righe(righe_linea()));
  prova::scrivi_file(riferimento / "a_t.txt", testo_righe(righe_treno()));
  prova::scrivi_file(riferimento / "b_l.txt", linea_breve);
  prova::scrivi_file(riferimento / "b_t.txt", treno_breve);
  for (const char* s : {"a", "b"}) {
    ASSERT_EQ(prova::esegui(percorso_exe + " compile " + s + "_l.txt " + s + "_t.txt -o " + s, riferimento()).stato, 0);
  }
  CartellaTemporanea dir;
  std::filesystem::copy_file(SCENARIO_EXE, dir / "scenario");
  // Each pair in a subshell: the second run starts while the first is under way.
  const std::string coppia_scenario = "(env -u DISPLAY ./scenario 2>/dev/null & a=$!; env -u DISPLAY ./scenario "
                                      "2>/dev/null; s=$?; wait $a && exit $s)";
  const std::string rif = riferimento().string();
  const std::string coppia_compile = "(" + percorso_exe + " compile " + rif + "/a_l.txt " + rif + "/a_t.txt -o out & a=$!; " +
                                     percorso_exe + " compile " + rif + "/b_l.txt " + rif + "/b_t.txt -o out; " +
                                     "s=$?; wait $a && exit $s)";
  for (int i = 0; i < 10; ++i) {
    const auto scenario = prova::esegui(coppia_scenario, dir());
    ASSERT_EQ(scenario.stato, 0) << "pair " << i << ": " << scenario.err;
    for (const std::string& nome : tre_file) {
      EXPECT_EQ(prova::leggi_file(dir / nome), prova::leggi_file(riferimento / "a" / nome)) << nome;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "Valdora_linea.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "Valdora_Tarvo-.txt"));

    const auto compile = prova::esegui(coppia_compile, dir());
    ASSERT_EQ(compile.stato, 0) << "pair " << i << ": " << compile.err;
    const char* vincitore = prova::leggi_file(dir / "out" / "Valdora_Tarvo.sim") ==
                                    prova::leggi_file(riferimento / "a" / "Valdora_Tarvo.sim")
                                ? "a"
                                : "b";
    for (const std::string& nome : tre_file) {
      EXPECT_EQ(prova::leggi_file(dir / "out" / nome), prova::leggi_file(riferimento / vincitore / nome)) << nome;
    }
  }
  EXPECT_TRUE(nascosti(dir()).empty());
}

// --- Files that are not regular, or too large ---------------------------------------------

TEST(FileLetti, CompileRefusesWhatIsNotARegularFileOfAFittingSizeWithoutWaiting) {
  CartellaTemporanea dir;
  prova::scrivi_file(dir / "treno.txt", treno_breve);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  {
    std::ofstream grande(dir / "grande.txt");
  }
  std::filesystem::resize_file(dir / "grande.txt", massimo_descrizione + 1);
  const std::vector<std::pair<std::string, std::string>> casi = {
      {(dir / "fifo").string(), "it is not a regular file"},
      {"/dev/zero", "it is not a regular file"},
      {dir().string(), "it is a folder"},
      {(dir / "grande.txt").string(), "it is larger than " + std::to_string(massimo_descrizione) + " bytes"},
  };
  for (const auto& [file, perche] : casi) {
    const auto u = percorso({"compile", file, (dir / "treno.txt").string(), "-o", (dir / "out").string()});
    EXPECT_EQ(u.stato, 2) << file;
    EXPECT_EQ(u.err, "percorso: error: cannot read " + file + ": " + perche + " [line-description-missing]\n") << file;
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out"));
}

// An exception that reaches `main` is a message and status 2, never an abort.
TEST(FileLetti, AnExceptionThatReachesMainIsAMessage) {
  CartellaTemporanea dir;
  const auto u = prova::esegui(percorso_exe + " dump .", dir());
  EXPECT_EQ(u.stato, 2) << u.err;
  EXPECT_NE(u.err.find("percorso: "), std::string::npos) << u.err;
}

// --- Repeated sizing rows -----------------------------------------------------------------

TEST(RigheRipetute, RepeatedLengthRowsGiveTheBytesOfOne) {
  auto compila = [](const std::string& linea) {
    Modello m;
    m.nome_percorso = "Valdora";
    m.nome_treno = "Tarvo";
    CartellaInMemoria dove;
    const Descrizioni d{{"linea", linea, {}}, {"treno", treno_breve, {}}};
    const auto esito = memorizza_percorso(m, 1, d, dove);
    EXPECT_FALSE(esito.scrittura.guasto.has_value());
    return dove.file;
  };
  std::string ripetute = "[generale]\r\n";
  for (int i = 0; i < 1000; ++i) ripetute += "lunghezza percorso, " + std::to_string(1000 + i) + "\r\n";
  ripetute += "lunghezza percorso,    3000\r\n";
  ripetute += linea_breve.substr(linea_breve.find("[curve]"));
  EXPECT_EQ(compila(ripetute), compila(linea_breve));
}

// --- The file-size limit ------------------------------------------------------------------

TEST(LimiteDimensione, AWritePastTheLimitIsAWriteErrorThatLeavesTheOldFiles) {
  CartellaTemporanea dir;
  std::filesystem::copy_file(SCENARIO_EXE, dir / "scenario");
  prova::scrivi_file(dir / "Valdora_linea.dat", "old line data");
  // 64 blocks of 1024 bytes: the documents fit, the 4.5 MB line data file does not.
  const auto corsa = prova::esegui("ulimit -f 64 && env -u DISPLAY ./scenario", dir());
  EXPECT_EQ(corsa.stato, 1) << corsa.err;
  EXPECT_NE(corsa.err.find("Cannot write Valdora_linea.dat: File too large"), std::string::npos) << corsa.err;
  EXPECT_EQ(prova::leggi_file(dir / "Valdora_linea.dat"), "old line data");
  EXPECT_FALSE(std::filesystem::exists(dir / "Valdora_linea.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "Valdora_Tarvo-.txt"));

  prova::scrivi_file(dir / "l.txt", testo_righe(righe_linea()));
  prova::scrivi_file(dir / "t.txt", testo_righe(righe_treno()));
  const auto compile = prova::esegui("ulimit -f 64 && " + percorso_exe + " compile l.txt t.txt -o .", dir());
  EXPECT_EQ(compile.stato, 2) << compile.err;
  EXPECT_NE(compile.err.find("cannot write ./Valdora_linea.dat: File too large"), std::string::npos) << compile.err;
  EXPECT_EQ(prova::leggi_file(dir / "Valdora_linea.dat"), "old line data");
  EXPECT_TRUE(nascosti(dir()).empty());
}

// --- Interruption -------------------------------------------------------------------------

// A signal that comes in the middle of a write: the write ends whole, its temporary file is
// gone, and the process ends by that signal.
TEST(Interruzione, ASignalDuringAWriteEndsTheProcessAfterTheWholeWrite) {
  for (const int segnale : {SIGINT, SIGTERM, SIGHUP}) {
    CartellaTemporanea dir;
    prova::scrivi_file(dir / "file.dat", "old");
    const ::pid_t figlio = ::fork();
    ASSERT_GE(figlio, 0);
    if (figlio == 0) {
      const auto errore = scrivi_intero(dir / "file.dat", [segnale](const Ricevi& ricevi) {
        ricevi("first half, ");
        ::kill(::getpid(), segnale);
        ricevi("second half");
      });
      ::_exit(errore ? 3 : 0);  // reached only if the signal was lost
    }
    int stato = 0;
    ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
    EXPECT_TRUE(WIFSIGNALED(stato) && WTERMSIG(stato) == segnale) << segnale << " " << stato;
    EXPECT_EQ(prova::leggi_file(dir / "file.dat"), "first half, second half");
    EXPECT_EQ(prova::elenco(dir()), std::vector<std::string>{"file.dat"});
  }
}

// The program interrupted at any moment: it ends by the signal (a shell shows 128 + signal), leaves
// no temporary file and no description, and never a mixed set.
TEST(Interruzione, TheProgramInterruptedLeavesNoTemporaryFileAndNoDescription) {
  CartellaTemporanea riferimento;
  std::filesystem::copy_file(SCENARIO_EXE, riferimento / "scenario");
  ASSERT_EQ(prova::esegui("env -u DISPLAY ./scenario 2>/dev/null", riferimento()).stato, 0);
  int interrotte = 0;
  for (int i = 0; i < 24; ++i) {
    CartellaTemporanea dir;
    std::filesystem::copy_file(SCENARIO_EXE, dir / "scenario");
    const int segnale = i % 3 == 0 ? SIGINT : i % 3 == 1 ? SIGTERM : SIGHUP;
    const auto dopo = std::chrono::microseconds(500 * (i % 12));
    const ::pid_t figlio = ::fork();
    ASSERT_GE(figlio, 0);
    if (figlio == 0) {
      ::unsetenv("DISPLAY");
      const int nulla = ::open("/dev/null", O_WRONLY);
      ::dup2(nulla, 2);
      const std::string programma = (dir / "scenario").string();
      ::execl(programma.c_str(), programma.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    std::this_thread::sleep_for(dopo);
    ::kill(figlio, segnale);
    int stato = 0;
    ASSERT_EQ(::waitpid(figlio, &stato, 0), figlio);
    if (WIFSIGNALED(stato)) {
      EXPECT_EQ(WTERMSIG(stato), segnale);
      ++interrotte;
    } else {
      EXPECT_TRUE(WIFEXITED(stato) && WEXITSTATUS(stato) == 0) << stato;
    }
    EXPECT_TRUE(nascosti(dir()).empty()) << i;
    EXPECT_FALSE(std::filesystem::exists(dir / "Valdora_linea.txt")) << i;
    EXPECT_FALSE(std::filesystem::exists(dir / "Valdora_Tarvo-.txt")) << i;
    // The binary files are all there, whole, or none is.
    int presenti = 0;
    for (const std::string& nome : tre_file) {
      if (!std::filesystem::exists(dir / nome)) continue;
      ++presenti;
      EXPECT_EQ(prova::leggi_file(dir / nome), prova::leggi_file(riferimento / nome)) << nome;
    }
    EXPECT_TRUE(presenti == 0 || presenti == 3) << i;
  }
  EXPECT_GT(interrotte, 0);
}

// A run waiting for the folder ends at once on a signal, having written nothing.
TEST(Interruzione, ARunWaitingForTheFolderEndsAtOnceOnASignal) {
  CartellaTemporanea dir;
  std::filesystem::copy_file(SCENARIO_EXE, dir / "scenario");
  auto blocco = blocca_cartella(dir(), std::chrono::milliseconds(0), {});
  ASSERT_TRUE(blocco.blocco.has_value());
  Figlio figlio("sh -c 'env -u DISPLAY \"$0\" & p=$!; echo $p >&2; wait $p' '" + (dir / "scenario").string() + "'");
  ASSERT_TRUE(figlio.attendi("waiting for it to end")) << figlio.err();
  const std::string pid = figlio.err().substr(0, figlio.err().find('\n'));
  ASSERT_EQ(::kill(std::stoi(pid), SIGTERM), 0);
  EXPECT_EQ(figlio.fine(), 143) << figlio.err();
  EXPECT_EQ(prova::elenco(dir()), std::vector<std::string>{"scenario"});
}

// --- Durable replacement ------------------------------------------------------------------

TEST(Sostituzione, AReplacedFileKeepsItsPermissionBits) {
  CartellaTemporanea dir;
  prova::scrivi_file(dir / "vecchio", "old");
  std::filesystem::permissions(dir / "vecchio", std::filesystem::perms(0640));
  ASSERT_FALSE(scrivi_intero(dir / "vecchio", "new").has_value());
  EXPECT_EQ(std::filesystem::status(dir / "vecchio").permissions(), std::filesystem::perms(0640));
  const ::mode_t maschera = ::umask(022);
  ASSERT_FALSE(scrivi_intero(dir / "nuovo", "new").has_value());
  ::umask(maschera);
  EXPECT_EQ(std::filesystem::status(dir / "nuovo").permissions(), std::filesystem::perms(0644));
}

// Traced: every file's bytes are flushed before its rename, and its folder after it.
TEST(Sostituzione, EachFileIsFlushedBeforeItsRenameAndTheFolderAfter) {
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
  CartellaTemporanea dir;
  // The leak checker of a sanitizer build cannot run under a tracer; the trace is what counts.
  const auto u = prova::esegui("ASAN_OPTIONS=detect_leaks=0 strace -f -y -qq -e trace=fsync,rename -o trace " +
                                   percorso_exe + " export -o out",
                               dir());
  ASSERT_EQ(u.stato, 0) << u.err;
  std::istringstream traccia(prova::leggi_file(dir / "trace"));
  const std::string cartella = (dir / "out").string();
  std::vector<std::string> passi;
  std::string riga;
  const std::regex flush(R"re(fsync\(\d+<([^>]*)>\) += 0)re");
  const std::regex rinomina(R"re(rename\("([^"]*)", "([^"]*)"\) += 0)re");
  for (std::smatch g; std::getline(traccia, riga);) {
    if (std::regex_search(riga, g, flush)) passi.push_back("fsync " + g[1].str());
    if (std::regex_search(riga, g, rinomina)) passi.push_back("rename " + g[1].str() + " -> " + g[2].str());
  }
  ASSERT_EQ(passi.size(), 15u) << prova::leggi_file(dir / "trace");
  for (std::size_t i = 0; i < 5; ++i) {
    const std::string nome = documenti_incorporati()[i].nome_file("Valdora", "Tarvo");
    // The temporary file "out/.NAME.XXXXXX": flushed, renamed to "out/NAME", then the folder.
    const std::string temporaneo = passi[3 * i].substr(passi[3 * i].rfind('/') + 1);
    EXPECT_EQ(passi[3 * i], "fsync " + cartella + "/" + temporaneo);
    EXPECT_EQ(temporaneo.rfind("." + nome + ".", 0), 0u) << temporaneo;
    EXPECT_EQ(passi[3 * i + 1], "rename out/" + temporaneo + " -> out/" + nome);
    EXPECT_EQ(passi[3 * i + 2], "fsync " + cartella);
  }
}

}  // namespace
}  // namespace scenario
