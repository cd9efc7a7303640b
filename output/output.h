// Binary output: the three simulator files written from the route model and read back, and
// where the compile step puts them.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/files.h"
#include "model/modello.h"
#include "output/codifica.h"

namespace scenario {

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

// The largest file of each kind the compile step can write (a line of 1,000,000 m, names of
// the longest length): a longer file is not one of them.
inline constexpr std::uintmax_t metri_massimi = std::uintmax_t{lunghezza_massima} + coda_percorso + 1;
inline constexpr std::uintmax_t massimo_file_linea = 2 * metri_massimi * dimensione_valore(Etichetta::doppio);
inline constexpr std::uintmax_t massimo_file_simulazione = numero_voci * (dimensione_voce_vuota + nome_massimo);
inline constexpr std::uintmax_t massimo_file_treno =
    static_cast<std::uintmax_t>(cella_di(std::int64_t{lunghezza_massima} + coda_percorso) + 1) * dimensione_cella;

// File names, from the route and train names as they stand.
[[nodiscard]] std::string nome_file_linea(const std::string& nome_percorso);
[[nodiscard]] std::string nome_file_simulazione(const std::string& nome_percorso, const std::string& nome_treno);
[[nodiscard]] std::string nome_file_treno(const std::string& nome_percorso, const std::string& nome_treno);

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
