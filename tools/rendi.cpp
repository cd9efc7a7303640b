// `percorso render`: the page, or one figure, from an author's descriptions (compiled in
// memory) or from a scenario's binary files.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <system_error>
#include <vector>

#include "documents/documents.h"
#include "files/files.h"
#include "output/output.h"
#include "diagnostics/diagnostics.h"
#include "tools/percorso.h"
#include "tools/rendi.h"

namespace scenario {

namespace {

// The input that the page would overwrite: a description named on the command line, or a
// binary file of the folder it is drawn from.
std::optional<std::filesystem::path> ingresso_sovrascritto(const OpzioniRendi& o) {
  std::vector<std::filesystem::path> ingressi{o.file_linea, o.file_treno};
  std::error_code ec;
  if (!o.cartella_binari.empty()) {
    for (const auto& voce : std::filesystem::directory_iterator(o.cartella_binari, ec)) {
      const auto estensione = voce.path().extension();
      if (estensione == ".sim" || estensione == ".dat") ingressi.push_back(voce.path());
    }
  }
  for (const auto& ingresso : ingressi) {
    if (!ingresso.empty() && stesso_file(o.uscita, ingresso)) return ingresso;
  }
  return std::nullopt;
}

}  // namespace

int rendi(const OpzioniRendi& o, std::ostream&, std::ostream& err) {
  if (const auto ingresso = ingresso_sovrascritto(o)) {
    err << "percorso: the output " << o.uscita.string() << " is the input " << ingresso->string()
        << "; choose another output (-o)\n";
    return 2;
  }
  Caricamento c;
  if (!o.cartella_binari.empty()) {
    c = carica_file_binari(o.cartella_binari, o.percorso, o.treno);
    if (!c.dati) {
      err << "percorso: " << c.errore << "\n";
      return 2;
    }
  } else {
    Descrizioni d{leggi_descrizione(o.file_linea, false), leggi_descrizione(o.file_treno, false)};
    for (const Descrizione* x : {&d.linea, &d.treno}) {
      if (!x->testo) {
        err << "percorso: cannot read " << x->nome << ": " << x->illeggibile << "\n";
        return 2;
      }
    }
    // Without names the descriptions compile as the embedded scenario's do.
    const std::string percorso = o.percorso.empty() ? std::string(nome_percorso_incorporato) : o.percorso;
    const std::string treno = o.treno.empty() ? std::string(nome_treno_incorporato) : o.treno;
    c = compila_in_memoria(d, percorso, treno);
    // The page shows what `percorso check` says of the descriptions: every problem, at its
    // place, with its id and notes.
    c.diagnostiche.clear();
    for (const Diagnostica& g : controlla(d, {percorso, treno, 1})) {
      c.diagnostiche.push_back({g.gravita == Gravita::errore ? GravitaPagina::errore : GravitaPagina::avviso,
                                std::string(g.id), g.luogo.file, g.luogo.linea, g.luogo.colonna, g.messaggio});
      for (const Nota& n : g.note) {
        c.diagnostiche.push_back({GravitaPagina::nota, "", n.luogo.file, n.luogo.linea, n.luogo.colonna, n.messaggio});
      }
    }
  }
  for (const RigaDiagnostica& d : c.diagnostiche) {
    if (!d.file.empty()) {
      err << d.file;
      if (d.linea > 0) err << ":" << d.linea << (d.colonna > 0 ? ":" + std::to_string(d.colonna) : "");
      err << ": ";
    } else {
      err << "percorso: ";
    }
    err << (d.gravita == GravitaPagina::errore ? "error: " : d.gravita == GravitaPagina::avviso ? "warning: " : "note: ")
        << utf8_da_cp1252(d.messaggio) << "\n";
  }

  const Quadro q = analizza(*c.dati);
  std::string dati;
  if (o.figura) {
    if (auto errore = converti_svg(svg_figura(q, *o.figura, true), o.formato, dati)) {
      err << "percorso: " << *errore << "\n";
      return 2;
    }
  } else {
    dati = pagina_html(q, c.diagnostiche);
  }
  if (auto errore = scrivi_intero(o.uscita, dati)) {
    err << "percorso: cannot write " << o.uscita.string() << ": " << *errore << "\n";
    return 2;
  }
  const bool errori = std::any_of(c.diagnostiche.begin(), c.diagnostiche.end(),
                                  [](const RigaDiagnostica& d) { return d.gravita == GravitaPagina::errore; });
  return errori ? 1 : 0;
}

Sottocomando comando_render(CLI::App& percorso) {
  struct Scelte {
    OpzioniRendi opzioni;
    std::string figura, formato = "svg";
  };
  auto s = std::make_shared<Scelte>();
  CLI::App* c = percorso.add_subcommand(
      "render",
      "Draw a scenario as one self-contained HTML page: the plan of the line to scale, the gradient and speed "
      "profiles, the stations, signals and boards, and the compile step's diagnostics. From a line and a train "
      "description (compiled in memory; nothing else is written) or, with --binaries, from a scenario's three "
      "binary files. With --figure, one figure alone as SVG, PNG or PDF. Exit status: 0 written, 1 written but the "
      "compile ended with an error, 2 usage, unreadable input or unwritable output.");
  auto* linea = c->add_option("LINE_FILE", s->opzioni.file_linea, "The line description");
  auto* treno = c->add_option("TRAIN_FILE", s->opzioni.file_treno, "The train description");
  c->add_option("--binaries", s->opzioni.cartella_binari,
                "Folder holding <route>_linea.dat, <route>_<train>.sim and <route>_<train>.dat")
      ->excludes(linea)
      ->excludes(treno);
  c->add_option("-o,--output", s->opzioni.uscita, "The page (or figure) to write")->required();
  c->add_option("--route", s->opzioni.percorso,
                "Route name (default: Valdora from descriptions; from the file names with --binaries)");
  c->add_option("--train", s->opzioni.treno,
                "Train name (default: Tarvo from descriptions; from the file names with --binaries)");
  c->add_option("--figure", s->figura, "Write this figure alone instead of the page")
      ->check(CLI::IsMember({"plan", "gradient", "speed"}));
  c->add_option("--format", s->formato, "Format of the figure")
      ->capture_default_str()
      ->check(CLI::IsMember({"svg", "png", "pdf"}));
  c->footer(
      "Examples:\n"
      "  percorso render Valdora_linea.txt Valdora_Tarvo-.txt -o valdora.html\n"
      "  percorso render --binaries out --figure plan --format png -o plan.png");
  return {c, [s](std::ostream& out, std::ostream& err) {
            OpzioniRendi o = s->opzioni;
            if (o.cartella_binari.empty() && (o.file_linea.empty() || o.file_treno.empty())) {
              err << "percorso render: give LINE_FILE and TRAIN_FILE, or --binaries DIR\n";
              return 2;
            }
            if (!s->figura.empty()) {
              o.figura = s->figura == "plan"       ? Figura::pianta
                         : s->figura == "gradient" ? Figura::pendenze
                                                   : Figura::velocita;
            }
            o.formato = s->formato == "png" ? Formato::png : s->formato == "pdf" ? Formato::pdf : Formato::svg;
            return rendi(o, out, err);
          }};
}

}  // namespace scenario
