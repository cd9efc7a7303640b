// What `percorso check` and `percorso compile` share: reading an author's two descriptions,
// settling the route and train names, and showing the diagnostics in words or as JSON.
#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "diagnostics/diagnostics.h"
#include "reader/reader.h"

namespace scenario {

// The two inputs, read, and the names to compile them under (Windows-1252, as they go into
// the headers; the files on disk are named with their UTF-8 spelling).
struct Ingressi {
  Descrizioni descrizioni;
  std::string percorso;
  std::string treno;
  std::vector<std::string> note;  // how the names were chosen, when they were not given
};

// Reads both inputs and settles the names: as given, or from the inputs' names when they follow
// the scenario's convention (<route>_linea.txt, <route>_<train>-.txt), else the embedded names.
// Nothing when an input cannot be read or a name cannot name the files; `perche` says why.
[[nodiscard]] std::optional<Ingressi> leggi_ingressi(const std::filesystem::path& linea,
                                                     const std::filesystem::path& treno,
                                                     const std::optional<std::string>& percorso,
                                                     const std::optional<std::string>& nome_treno,
                                                     Diagnostica& perche);

// A JSON object as one line of text; bytes that are not UTF-8 (a file name on a disk that
// holds them) become U+FFFD instead of stopping the output.
[[nodiscard]] inline std::string testo_json(const nlohmann::json& j) {
  return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// The diagnostics as JSON: one object each, in the order given.
[[nodiscard]] nlohmann::json in_json(std::span<const Diagnostica> diagnostiche);

// Prints the diagnostics on `err` (colour only on a terminal, never with NO_COLOR set).
void mostra_diagnostiche(std::ostream& err, std::span<const Diagnostica> diagnostiche, const Descrizioni& d,
                         bool conteggio = true);

// A name as the files on disk spell it: Windows-1252 as UTF-8.
[[nodiscard]] std::string nome_su_disco(const std::string& nome);

}  // namespace scenario
