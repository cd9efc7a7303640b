// The document writer: each embedded document is held as a line table of 1001 slots closed
// by the end marker, and written whole into the program's folder, CR LF after every line.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/modello.h"

namespace scenario {

inline constexpr std::string_view marcatore_fine = "riferimento fine del file";
inline constexpr std::size_t slot_tabella = 1001;

// A line table: the document's lines from slot 0, then the end marker; at most 1000 lines.
using TabellaRighe = std::vector<std::string_view>;
[[nodiscard]] std::optional<TabellaRighe> tabella_righe(std::span<const std::string_view> righe);

// The bytes written for a line table: every slot up to the end marker (an exact, whole,
// case-sensitive match), each followed by CR LF.
[[nodiscard]] std::string testo_documento(const TabellaRighe& tabella);

// One of the five embedded documents: its file name and its lines.
struct DocumentoIncorporato {
  std::string_view procedura;  // the writer's name
  std::string (*nome_file)(const std::string& nome_percorso, const std::string& nome_treno);
  std::span<const std::string_view> (*righe)();
};

// The five documents, in the order they are written.
[[nodiscard]] std::span<const DocumentoIncorporato> documenti_incorporati();

// The file names.
[[nodiscard]] std::string nome_descrizione_linea(const std::string& nome_percorso, const std::string& nome_treno);
[[nodiscard]] std::string nome_descrizione_treno(const std::string& nome_percorso, const std::string& nome_treno);

// Writes one document whole into `cartella`. On failure returns "<file name>: <reason>".
[[nodiscard]] std::optional<std::string> scrivi_documento(const DocumentoIncorporato& d, const Modello& m,
                                                          const std::filesystem::path& cartella);

// The five writers, each writing its document into `cartella`.
[[nodiscard]] std::optional<std::string> dati_linea(const Modello& m, const std::filesystem::path& cartella);
[[nodiscard]] std::optional<std::string> dati_treno(const Modello& m, const std::filesystem::path& cartella);
[[nodiscard]] std::optional<std::string> dati_note(const Modello& m, const std::filesystem::path& cartella);
[[nodiscard]] std::optional<std::string> dati_rallentamenti(const Modello& m, const std::filesystem::path& cartella);
[[nodiscard]] std::optional<std::string> dati_scheda(const Modello& m, const std::filesystem::path& cartella);

}  // namespace scenario
