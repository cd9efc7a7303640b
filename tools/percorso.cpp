#include "tools/percorso.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "tools/decompila.h"

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

  std::string file_draw, file_svg = "linea.svg";
  CLI::App* draw = app.add_subcommand("draw", "Draw the plan of the line from a line data file as an SVG picture.");
  draw->add_option("FILE", file_draw, "The line data file (*_linea.dat)")->required();
  draw->add_option("-o,--output", file_svg, "The SVG file to write")->capture_default_str();

  OpzioniDecompila decompile_opzioni;
  CLI::App* decompile = app.add_subcommand(
      "decompile",
      "Write the line and train descriptions back from a scenario's binary files, such that compile gives the same "
      "files byte for byte. Give the folder that holds them, or the files one by one. What the files cannot say is "
      "chosen and listed on standard error. Exit status: 0 the descriptions compile back to the same files, 1 they "
      "were written but do not, 2 the files are refused (damaged, foreign or inconsistent) or cannot be written.");
  decompile->add_option("INPUT", decompile_opzioni.ingressi,
                        "A folder, or the *.sim, the <route>_<train>.dat and the <route>_linea.dat files")
      ->required();
  decompile->add_option("-o,--output", decompile_opzioni.cartella,
                        "Folder for <route>_linea.txt and <route>_<train>-.txt (created if missing)")
      ->capture_default_str();
  decompile->add_option("--route", decompile_opzioni.percorso, "Route name, to pick the files in a folder");
  decompile->add_option("--train", decompile_opzioni.treno, "Train name, to pick the files in a folder");

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
  if (decompile->parsed()) return decompila_comando(decompile_opzioni, out, err);
  if (draw->parsed()) return disegna(file_draw, file_svg, err);
  out << app.help();
  return 0;
}

}  // namespace scenario
