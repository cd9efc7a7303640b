// The authoring tool `percorso`: compile an author's descriptions, report errors at their
// place in the file, decode the binary files, draw a scenario, export the embedded scenario.
// Each subcommand lives in its own file and adds itself to the command line through one
// `comando_*` function.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <iosfwd>
#include <string>
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

Sottocomando comando_compile(CLI::App& percorso);  // tools/compila.cpp
Sottocomando comando_export(CLI::App& percorso);   // tools/esporta.cpp
Sottocomando comando_dump(CLI::App& percorso);     // tools/mostra.cpp
Sottocomando comando_render(CLI::App& percorso);   // tools/rendi.cpp
Sottocomando comando_decompile(CLI::App& percorso);  // tools/decompila_comando.cpp

}  // namespace scenario
