#include "tools/percorso.h"

#include <CLI/CLI.hpp>
#include <ostream>

namespace scenario {

int esegui_percorso(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
  CLI::App app{"percorso: compile, check and inspect train-driving scenarios", "percorso"};
  app.set_version_flag("--version", std::string("percorso 0.1.0"));
  app.require_subcommand(0, 1);

  std::string cartella_export = ".";
  CLI::App* export_ = app.add_subcommand(
      "export", "Write the five embedded documents (line and train descriptions, notes, slowdown order, "
                "timetable sheet) byte for byte as the scenario program writes them; nothing else.");
  export_->add_option("-o,--output", cartella_export, "Folder to write into (created if missing)")
      ->capture_default_str();

  std::vector<std::string> args(argomenti.rbegin(), argomenti.rend());
  if (!args.empty()) args.pop_back();  // the program name
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    const int codice = app.exit(e, out, err);
    return codice == 0 ? 0 : 2;
  }
  if (export_->parsed()) return esporta(cartella_export, out, err);
  out << app.help();
  return 0;
}

}  // namespace scenario
