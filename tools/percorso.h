// The authoring tool `percorso`: compile an author's descriptions, report errors at their
// place in the file, decode the binary files, export the embedded scenario.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace scenario {

// Runs the tool with its arguments (argv[0] first). Returns the exit status: 0 success,
// 1 the compile ended with an error code or a numbered report, 2 usage or file errors.
int esegui_percorso(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

// Writes the five embedded documents into `cartella` (created if missing) and lists them.
int esporta(const std::filesystem::path& cartella, std::ostream& out, std::ostream& err);

}  // namespace scenario
