// The authoring tool `percorso`: compile an author's descriptions, report errors at their
// place in the file, decode the binary files, draw a scenario, export the embedded scenario.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "documents/documents.h"

namespace scenario {

// Runs the tool with its arguments (argv[0] first). Returns the exit status: 0 success,
// 1 the compile ended with an error code or a numbered report, 2 usage or file errors.
int esegui_percorso(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

// What `percorso compile` was asked to do.
struct OpzioniCompila {
  std::filesystem::path file_linea;
  std::filesystem::path file_treno;
  std::filesystem::path cartella = ".";
  std::string percorso = std::string(nome_percorso_incorporato);
  std::string treno = std::string(nome_treno_incorporato);
  bool senza_linea = false;
  bool json = false;
};

// Compiles an author's line and train descriptions into the three binary files. Exit status
// 0 when clean, 1 when the compile ended with an error code or a numbered report, 2 when an
// input cannot be read or an output cannot be written.
int compila(const OpzioniCompila& opzioni, std::ostream& out, std::ostream& err);

// Writes the five embedded documents into `cartella` (created if missing) and lists them.
int esporta(const std::filesystem::path& cartella, std::ostream& out, std::ostream& err);

// Prints a binary file for people. `tipo` is "linea", "simulazione", "treno" or empty (from
// the file name); `tutte` lists every cell; `passo` is the metre step of the plan listing.
int mostra(const std::filesystem::path& file, const std::string& tipo, bool tutte, std::int64_t passo,
           std::ostream& out, std::ostream& err);

}  // namespace scenario
