#include "tools/percorso.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

namespace scenario {

int esegui_percorso(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
  CLI::App app{"percorso: compile, check and inspect train-driving scenarios", "percorso"};
  app.set_version_flag("--version", std::string("percorso 0.1.0"));
  app.require_subcommand(0, 1);

  const std::vector<Sottocomando> comandi{
      comando_check(app),
      comando_compile(app),
      comando_export(app),
      comando_dump(app),
      comando_render(app),
      comando_decompile(app),
      comando_explain(app),
  };

  // Set after the subcommands, which would otherwise take it over as their own.
  app.footer(
      "`percorso COMMAND --help` tells more about each command.\n\n"
      "Examples:\n"
      "  percorso export -o mia\n"
      "  percorso compile mia/Valdora_linea.txt mia/Valdora_Tarvo-.txt -o mia/out");

  std::vector<std::string> args(argomenti.rbegin(), argomenti.rend());
  if (!args.empty()) args.pop_back();  // the program name
  // `-Werror` is written as compilers write it, with one dash.
  for (std::string& a : args) {
    if (a == "-Werror") a = "--Werror";
  }
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    const int codice = app.exit(e, out, err);
    if (codice == 0) return 0;
    // `check` and `compile` print their one JSON object with --json, a command line they
    // cannot read included.
    const bool json = std::find(argomenti.begin(), argomenti.end(), "--json") != argomenti.end();
    const auto comando = std::find_if(argomenti.begin() + (argomenti.empty() ? 0 : 1), argomenti.end(),
                                      [](const std::string& a) { return a == "check" || a == "compile"; });
    if (json && comando != argomenti.end()) {
      nlohmann::json d = {{"severity", "error"}, {"id", "bad-usage"}, {"code", nullptr}, {"file", ""},
                          {"line", 0},           {"column", 0},       {"end_column", 0}, {"message", e.what()},
                          {"notes", nlohmann::json::array()}};
      nlohmann::json j = {{"diagnostics", {d}}, {"errors", 1}, {"warnings", 0}};
      if (*comando == "compile") {
        j["code"] = nullptr;
        j["position"] = nullptr;
        j["report"] = nullptr;
        j["files"] = nlohmann::json::array();
      }
      out << j.dump() << "\n";
    }
    return 2;
  }
  for (const Sottocomando& c : comandi) {
    if (c.app->parsed()) return c.esegui(out, err);
  }
  out << app.help();
  return 0;
}

}  // namespace scenario
