// `percorso check`: every problem of an author's two descriptions, located and in words; it
// writes nothing.
#include <memory>
#include <ostream>

#include "tools/autore.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

struct OpzioniCheck {
  std::filesystem::path file_linea;
  std::filesystem::path file_treno;
  std::optional<std::string> percorso;
  std::optional<std::string> treno;
  bool senza_linea = false;
  bool json = false;
  bool avvisi_errori = false;
};

int check(const OpzioniCheck& o, std::ostream& out, std::ostream& err) {
  Diagnostica perche;
  auto in = leggi_ingressi(o.file_linea, o.file_treno, o.percorso, o.treno, perche);
  if (!in) {
    if (o.json) {
      out << testo_json({{"diagnostics", in_json(std::span(&perche, 1))}, {"errors", 1}, {"warnings", 0}}) << "\n";
    }
    err << "percorso: error: " << utf8_da_cp1252(perche.messaggio) << " [" << perche.id << "]\n";
    return 2;
  }
  for (const std::string& n : in->note) err << "percorso: note: " << utf8_da_cp1252(n) << "\n";
  std::vector<Diagnostica> d = controlla(in->descrizioni, {in->percorso, in->treno, o.senza_linea ? 0 : 1});
  if (o.avvisi_errori) {
    for (Diagnostica& g : d) g.gravita = Gravita::errore;
  }
  const Conteggio c = conta(d);
  mostra_diagnostiche(err, d, in->descrizioni);
  if (o.json) out << testo_json({{"diagnostics", in_json(d)}, {"errors", c.errori}, {"warnings", c.avvisi}}) << "\n";
  return c.errori > 0 ? 1 : 0;
}

}  // namespace

Sottocomando comando_check(CLI::App& percorso) {
  auto o = std::make_shared<OpzioniCheck>();
  CLI::App* c = percorso.add_subcommand(
      "check",
      "Check a line description and a train description: every problem at once, each at its file, line and "
      "column, errors (what makes the compile step set a code or a numbered report, and input that is surely "
      "not a description) and warnings (what the compile step accepts but drops or changes without a word). "
      "Writes nothing. Exit status: 0 no errors, 1 errors, 2 usage or an input that cannot be read.");
  c->add_option("LINE_FILE", o->file_linea, "The line description")->required();
  c->add_option("TRAIN_FILE", o->file_treno, "The train description")->required();
  c->add_option("--route", o->percorso, "Route name (default: from the inputs' names, else the embedded one)");
  c->add_option("--train", o->treno, "Train name (default: from the inputs' names, else the embedded one)");
  c->add_flag("--no-line-data", o->senza_linea, "Check as compiled without the plan of the line: curve rows are passed over");
  c->add_flag("--json", o->json,
              "Print one JSON object on standard output: {\"diagnostics\": [...], \"errors\": N, \"warnings\": N}");
  c->add_flag("--Werror", o->avvisi_errori, "Make warnings errors (also written -Werror)");
  c->footer(
      "Examples:\n"
      "  percorso check Valdora_linea.txt Valdora_Tarvo-.txt\n"
      "  percorso check --json -Werror linea.txt treno.txt --route Valdora --train Tarvo");
  return {c, [o](std::ostream& out, std::ostream& err) { return check(*o, out, err); }};
}

}  // namespace scenario
