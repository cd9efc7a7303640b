// Small helpers shared by the tests: temporary folders, whole-file reads, running programs.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tools/percorso.h"

namespace scenario::prova {

// A fresh empty folder, removed with everything in it when the object goes.
class CartellaTemporanea {
 public:
  CartellaTemporanea() {
    std::random_device rd;
    percorso_ = std::filesystem::temp_directory_path() /
                ("scenario-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(percorso_);
  }
  ~CartellaTemporanea() {
    std::error_code ec;
    std::filesystem::permissions(percorso_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(percorso_, ec);
  }
  CartellaTemporanea(const CartellaTemporanea&) = delete;
  CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;
  const std::filesystem::path& operator()() const { return percorso_; }
  std::filesystem::path operator/(const std::string& nome) const { return percorso_ / nome; }

 private:
  std::filesystem::path percorso_;
};

inline std::string leggi_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void scrivi_file(const std::filesystem::path& p, const std::string& dati) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << dati;
}

// The names of the files in a folder, sorted.
inline std::vector<std::string> elenco(const std::filesystem::path& cartella) {
  std::vector<std::string> nomi;
  for (const auto& e : std::filesystem::directory_iterator(cartella)) nomi.push_back(e.path().filename().string());
  std::sort(nomi.begin(), nomi.end());
  return nomi;
}

}  // namespace scenario::prova

namespace scenario::prova {

// The outcome of running a command through the shell.
struct Esecuzione {
  int stato = -1;  // exit status, or -1 when the command did not exit normally
  std::string out;
  std::string err;
};

// Runs `comando` in `cartella` with standard output and error caught in files of a private
// folder.
inline Esecuzione esegui(const std::string& comando, const std::filesystem::path& cartella) {
  CartellaTemporanea raccolta;
  const auto out = raccolta / "out";
  const auto err = raccolta / "err";
  const std::string completo = "cd '" + cartella.string() + "' && " + comando + " >'" + out.string() + "' 2>'" +
                               err.string() + "' </dev/null";
  const int r = std::system(completo.c_str());
  Esecuzione e;
  e.stato = WIFEXITED(r) ? WEXITSTATUS(r) : -1;
  e.out = leggi_file(out);
  e.err = leggi_file(err);
  return e;
}

}  // namespace scenario::prova

namespace scenario::prova {

// The authoring tool run in this process, with its output caught.
struct UscitaPercorso {
  int stato;
  std::string out, err;
};

inline UscitaPercorso percorso(const std::vector<std::string>& argomenti) {
  std::ostringstream out, err;
  std::vector<std::string> tutti{"percorso"};
  tutti.insert(tutti.end(), argomenti.begin(), argomenti.end());
  const int stato = esegui_percorso(tutti, out, err);
  return {stato, out.str(), err.str()};
}

}  // namespace scenario::prova
