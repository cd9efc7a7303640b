// Scenario documents: the embedded scenario's names and its five text documents (line
// description, train description, notes, slowdown order, timetable sheet), with the file
// name and the exact bytes of each. Writing them to disk is left to the rooms above.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "documents/scrittore.h"

namespace scenario {

// The embedded scenario's names: the route and the train.
inline constexpr std::string_view nome_percorso_incorporato = "Valdora";
inline constexpr std::string_view nome_treno_incorporato = "Tarvo";

// The embedded documents, each as its lines (without line ends), in order. The bytes are
// Windows-1252.
std::span<const std::string_view> righe_linea();          // line description
std::span<const std::string_view> righe_treno();          // train description
std::span<const std::string_view> righe_note();           // notes
std::span<const std::string_view> righe_rallentamenti();  // slowdown order
std::span<const std::string_view> righe_scheda_treno();   // timetable sheet

// One of the five embedded documents: its file name and its lines.
struct DocumentoIncorporato {
  std::string (*nome_file)(const std::string& nome_percorso, const std::string& nome_treno);
  std::span<const std::string_view> (*righe)();
};

// The five documents, in the order the scenario program writes them.
[[nodiscard]] std::span<const DocumentoIncorporato> documenti_incorporati();

// Lines as a document's bytes: each followed by CR LF.
[[nodiscard]] std::string testo_righe(std::span<const std::string_view> righe);

// The bytes of a document as written (CR LF after every line); nothing when it does not fit
// the line table.
[[nodiscard]] std::optional<std::string> testo_documento(const DocumentoIncorporato& d);

// The names of the two descriptions.
[[nodiscard]] std::string nome_descrizione_linea(const std::string& nome_percorso, const std::string& nome_treno);
[[nodiscard]] std::string nome_descrizione_treno(const std::string& nome_percorso, const std::string& nome_treno);

}  // namespace scenario
