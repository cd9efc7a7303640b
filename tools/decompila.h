// `percorso decompile`: editable line and train descriptions back from a scenario's three
// binary files, such that compiling them gives the same files byte for byte. What the files
// cannot say (rows that left no trace, a choice between rows that give the same bytes) is
// chosen, checked by compiling the pair in memory, and listed for the author.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace scenario {

// The bytes of a scenario's binary files. Without the line data file the plan of the line,
// and so the curves, cannot be recovered.
struct FileBinari {
  std::optional<std::string> linea;  // <route>_linea.dat
  std::string simulazione;           // <route>_<train>.sim
  std::string treno;                 // <route>_<train>.dat
};

// What the decompiler had to choose: rows written per kind, and each choice the files could
// not settle, by kind, with the positions (metres) it concerns.
struct Deduzioni {
  std::map<std::string, std::int64_t> righe;
  std::map<std::string, std::vector<std::int64_t>> ipotesi;
  bool senza_curve = false;  // no line data file: no curve rows
};

struct Decompilato {
  std::string nome_percorso;
  std::string nome_treno;
  std::string linea;  // the line description, Windows-1252 bytes, CR LF
  std::string treno;  // the train description
  Deduzioni deduzioni;
  bool identico = false;                // compiling the pair gives the input files, byte for byte
  std::vector<std::string> differenze;  // where it does not, in words
};

// The descriptions, or the reason the files were refused (damaged, foreign, inconsistent).
struct EsitoDecompila {
  std::optional<Decompilato> risultato;
  std::string rifiuto;
};

[[nodiscard]] EsitoDecompila decompila(const FileBinari& file);

// The compile step on two descriptions with the files kept in memory. The one place where
// the decompiler calls the compile step.
struct CompilatoInMemoria {
  std::int32_t codice_errore = 0;
  std::int32_t rapporto = 0;
  bool senza_celle = false;
  std::map<std::string, std::string> file;  // by file name
};

[[nodiscard]] CompilatoInMemoria compila_in_memoria(const std::string& linea, const std::string& treno,
                                                    const std::string& nome_percorso, const std::string& nome_treno,
                                                    bool con_linea);

// What `percorso decompile` was asked to do: one folder, or the files named one by one.
struct OpzioniDecompila {
  std::vector<std::filesystem::path> ingressi;
  std::filesystem::path cartella = ".";
  std::string percorso;  // empty: from the files
  std::string treno;
};

// Exit status 0 when the written pair compiles back to the same files, 1 when it was written
// but does not, 2 when the files are refused or the output cannot be written.
int decompila_comando(const OpzioniDecompila& opzioni, std::ostream& out, std::ostream& err);

}  // namespace scenario
