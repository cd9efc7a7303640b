#include "tools/percorso.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "tools/rendi.h"

namespace scenario {

int esegui_percorso(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
  CLI::App app{"percorso: compile, check and inspect train-driving scenarios", "percorso"};
  app.set_version_flag("--version", std::string("percorso 0.1.0"));
  app.require_subcommand(0, 1);

  OpzioniCompila compile_opzioni;
  CLI::App* compile = app.add_subcommand(
      "compile",
      "Compile a line description and a train description into the simulator's three binary files, "
      "<route>_linea.dat, <route>_<train>.sim and <route>_<train>.dat. The inputs are never changed or deleted. "
      "Errors are reported as FILE:LINE:COLUMN: error: ... Exit status: 0 clean, 1 the compile ended with an "
      "error code or a numbered report (files are still written for error codes), 2 usage, unreadable input or "
      "unwritable output.");
  compile->add_option("LINE_FILE", compile_opzioni.file_linea, "The line description")->required();
  compile->add_option("TRAIN_FILE", compile_opzioni.file_treno, "The train description")->required();
  compile->add_option("-o,--output", compile_opzioni.cartella, "Folder for the binary files (created if missing)")
      ->capture_default_str();
  compile->add_option("--route", compile_opzioni.percorso, "Route name: goes into the files' names and headers")
      ->capture_default_str();
  compile->add_option("--train", compile_opzioni.treno, "Train name: goes into the files' names and headers")
      ->capture_default_str();
  compile->add_flag("--no-line-data", compile_opzioni.senza_linea,
                    "Skip the plan of the line: curves are passed over and no line data file is written");
  compile->add_flag("--json", compile_opzioni.json,
                    "Print one JSON object on standard output: code, position, report, files, and where the error is");

  std::string cartella_export = ".";
  CLI::App* export_ = app.add_subcommand(
      "export", "Write the five embedded documents (line and train descriptions, notes, slowdown order, "
                "timetable sheet) byte for byte as the scenario program writes them; nothing else.");
  export_->add_option("-o,--output", cartella_export, "Folder to write into (created if missing)")
      ->capture_default_str();

  std::string file_dump, tipo_dump;
  bool tutte = false;
  std::int64_t passo = 1000;
  CLI::App* dump = app.add_subcommand("dump", "Print a binary scenario file (line data, simulation or train data) in words.");
  dump->add_option("FILE", file_dump, "The file: *_linea.dat, *.sim or *.dat")->required();
  dump->add_option("--kind", tipo_dump, "Read the file as this kind instead of guessing from its name")
      ->check(CLI::IsMember({"linea", "simulazione", "treno"}));
  dump->add_flag("--all", tutte, "List every cell of a train data file, not only those with a feature");
  dump->add_option("--step", passo, "Metres between the listed points of a line data file")
      ->capture_default_str()
      ->check(CLI::PositiveNumber);

  OpzioniRendi render_opzioni;
  std::string figura, formato = "svg";
  CLI::App* render = app.add_subcommand(
      "render",
      "Draw a scenario as one self-contained HTML page: the plan of the line to scale, the gradient and speed "
      "profiles, the stations, signals and boards, and the compile step's diagnostics. From a line and a train "
      "description (compiled in memory; nothing else is written) or, with --binaries, from a scenario's three "
      "binary files. With --figure, one figure alone as SVG, PNG or PDF. Exit status: 0 written, 1 written but the "
      "compile ended with an error, 2 usage, unreadable input or unwritable output.");
  auto* linea_render = render->add_option("LINE_FILE", render_opzioni.file_linea, "The line description");
  auto* treno_render = render->add_option("TRAIN_FILE", render_opzioni.file_treno, "The train description");
  auto* binari = render->add_option("--binaries", render_opzioni.cartella_binari,
                                    "Folder holding <route>_linea.dat, <route>_<train>.sim and <route>_<train>.dat");
  binari->excludes(linea_render)->excludes(treno_render);
  render->add_option("-o,--output", render_opzioni.uscita, "The page (or figure) to write")->required();
  render->add_option("--route", render_opzioni.percorso,
                     "Route name (default: Valdora from descriptions; from the file names with --binaries)");
  render->add_option("--train", render_opzioni.treno,
                     "Train name (default: Tarvo from descriptions; from the file names with --binaries)");
  render->add_option("--figure", figura, "Write this figure alone instead of the page")
      ->check(CLI::IsMember({"plan", "gradient", "speed"}));
  render->add_option("--format", formato, "Format of the figure")
      ->capture_default_str()
      ->check(CLI::IsMember({"svg", "png", "pdf"}));

  std::vector<std::string> args(argomenti.rbegin(), argomenti.rend());
  if (!args.empty()) args.pop_back();  // the program name
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    const int codice = app.exit(e, out, err);
    return codice == 0 ? 0 : 2;
  }
  if (compile->parsed()) return compila(compile_opzioni, out, err);
  if (export_->parsed()) return esporta(cartella_export, out, err);
  if (dump->parsed()) return mostra(file_dump, tipo_dump, tutte, passo, out, err);
  if (render->parsed()) {
    if (render_opzioni.cartella_binari.empty() && (render_opzioni.file_linea.empty() || render_opzioni.file_treno.empty())) {
      err << "percorso render: give LINE_FILE and TRAIN_FILE, or --binaries DIR\n";
      return 2;
    }
    if (!figura.empty()) {
      render_opzioni.figura = figura == "plan" ? Figura::pianta : figura == "gradient" ? Figura::pendenze : Figura::velocita;
    }
    render_opzioni.formato = formato == "png" ? Formato::png : formato == "pdf" ? Formato::pdf : Formato::svg;
    return rendi(render_opzioni, out, err);
  }
  out << app.help();
  return 0;
}

}  // namespace scenario
