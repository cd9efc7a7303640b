// The authoring tool `percorso`: compile an author's descriptions, report errors at their
// place in the file, decode the binary files, draw a scenario, export the embedded scenario,
// explain an error.
// Each subcommand lives in its own file and adds itself to the command line through one
// `comando_*` function; each one's --help ends with examples.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// Runs the tool with its arguments (argv[0] first). Returns the exit status: 0 success,
// 1 the work found errors (a compile that ended with an error code, ...), 2 usage, input or
// output errors.
int esegui_percorso(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

// A subcommand added to the command line, and what runs when it is chosen.
struct Sottocomando {
  CLI::App* app;
  std::function<int(std::ostream& out, std::ostream& err)> esegui;
};

Sottocomando comando_check(CLI::App& percorso);    // tools/controlla.cpp
Sottocomando comando_compile(CLI::App& percorso);  // tools/compila.cpp
Sottocomando comando_export(CLI::App& percorso);   // tools/esporta.cpp
Sottocomando comando_dump(CLI::App& percorso);     // tools/dump.cpp
Sottocomando comando_render(CLI::App& percorso);   // tools/rendi.cpp
Sottocomando comando_decompile(CLI::App& percorso);  // tools/decompila_comando.cpp
Sottocomando comando_explain(CLI::App& percorso);  // tools/spiega.cpp

// The error reference (docs/errors.md), embedded at build time: one article per error code,
// numbered report and diagnostic id. An article starts at a line `### KEY` and runs to the
// next line that starts `## ` or `### `.
struct Articolo {
  std::string sezione;   // the `## ` heading above it: "Error codes", "Diagnostics: warnings", ...
  std::string chiave;    // "25", "1250", "unknown-keyword"
  std::string sommario;  // its first paragraph, on one line
  std::string testo;     // the whole article as printed: the key underlined, then its text without Markdown marks
};

// The articles in the order of the reference, and their keys alone.
[[nodiscard]] std::vector<Articolo> articoli_riferimento();
[[nodiscard]] std::vector<std::string> chiavi_riferimento();
// The bytes of docs/errors.md (generated at build time).
[[nodiscard]] std::string_view testo_riferimento_errori();

}  // namespace scenario
