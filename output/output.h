// Binary output: the three simulator files written from the route model, and the one way
// every file of the program reaches the disk (whole, or not at all).
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace scenario {

// A file's bytes handed over piece by piece: the producer calls `ricevi` with each piece in
// order and stops when it returns false. The line data file of a long line is millions of
// values; this way it never needs a buffer of its own size.
using Ricevi = std::function<bool(std::string_view)>;
using Pezzi = std::function<void(const Ricevi& ricevi)>;

// The exact bytes of each file.
[[nodiscard]] std::string file_linea(const Tracciato& t);                            // *_linea.dat
void pezzi_file_linea(const Tracciato& t, const Ricevi& ricevi);                     // the same, in pieces
[[nodiscard]] std::string file_simulazione(const std::array<Voce, numero_voci>& v);  // *.sim
[[nodiscard]] std::string file_treno(const std::vector<Cella>& celle);               // *.dat

// The records back from the bytes of each file; nothing when the bytes do not hold one
// whole file of that layout.
[[nodiscard]] std::optional<Tracciato> decodifica_linea(std::string_view dati);
[[nodiscard]] std::optional<std::array<Voce, numero_voci>> decodifica_simulazione(std::string_view dati);
[[nodiscard]] std::optional<std::vector<Cella>> decodifica_treno(std::string_view dati);

// File names, from the route and train names as they stand.
[[nodiscard]] std::string nome_file_linea(const std::string& nome_percorso);
[[nodiscard]] std::string nome_file_simulazione(const std::string& nome_percorso, const std::string& nome_treno);
[[nodiscard]] std::string nome_file_treno(const std::string& nome_percorso, const std::string& nome_treno);

// Writes `dati` as the whole content of `percorso`: into a temporary file in the same folder,
// then renamed over the old one. A failure leaves the old file (or none), never a partial
// one, and returns the reason in words.
[[nodiscard]] std::optional<std::string> scrivi_intero(const std::filesystem::path& percorso,
                                                       std::string_view dati);
[[nodiscard]] std::optional<std::string> scrivi_intero(const std::filesystem::path& percorso, const Pezzi& pezzi);

// Where the compile step puts its files.
class Destinazione {
 public:
  virtual ~Destinazione() = default;
  // Writes one whole file; on failure returns the reason.
  [[nodiscard]] virtual std::optional<std::string> scrivi(const std::string& nome, std::string_view dati) = 0;
  // The same, the bytes handed over in pieces; by default gathered and passed to scrivi.
  [[nodiscard]] virtual std::optional<std::string> scrivi_a_pezzi(const std::string& nome, const Pezzi& pezzi);
};

// A folder on disk; each file is written whole.
class CartellaSuDisco final : public Destinazione {
 public:
  explicit CartellaSuDisco(std::filesystem::path cartella) : cartella_(std::move(cartella)) {}
  std::optional<std::string> scrivi(const std::string& nome, std::string_view dati) override;
  std::optional<std::string> scrivi_a_pezzi(const std::string& nome, const Pezzi& pezzi) override;

 private:
  std::filesystem::path cartella_;
};

// Files kept in memory (tests, fuzzing, benchmarks).
class CartellaInMemoria final : public Destinazione {
 public:
  std::optional<std::string> scrivi(const std::string& nome, std::string_view dati) override {
    file[nome] = std::string(dati);
    return std::nullopt;
  }
  std::map<std::string, std::string> file;
};

// What writing the binary files did: the names written, in order, and the first failure.
struct EsitoScrittura {
  std::vector<std::string> scritti;
  std::optional<std::string> guasto;  // "<file name>: <reason>"
};

// Writes the line data file (only when scrivi_linea is nonzero), the simulation file and the
// train data file, in that order; stops at the first failure.
[[nodiscard]] EsitoScrittura scrivi_file_binari(const Modello& m, Destinazione& dove);

}  // namespace scenario
