#include "tools/percorso.h"

#include <ostream>

namespace scenario {

int esegui_percorso(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
  CLI::App app{"percorso: compile, check and inspect train-driving scenarios", "percorso"};
  app.set_version_flag("--version", std::string("percorso 0.1.0"));
  app.require_subcommand(0, 1);

  const std::vector<Sottocomando> comandi{
      comando_compile(app),
      comando_export(app),
      comando_dump(app),
      comando_render(app),
      comando_decompile(app),
  };

  std::vector<std::string> args(argomenti.rbegin(), argomenti.rend());
  if (!args.empty()) args.pop_back();  // the program name
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    const int codice = app.exit(e, out, err);
    return codice == 0 ? 0 : 2;
  }
  for (const Sottocomando& c : comandi) {
    if (c.app->parsed()) return c.esegui(out, err);
  }
  out << app.help();
  return 0;
}

}  // namespace scenario
