// `percorso compile`: the scenario program's compile step on an author's own descriptions,
// with errors shown at their file, line and column.
#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>
#include <system_error>

#include "compile/compile.h"
#include "documents/documents.h"
#include "files/files.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

// Line `numero` (from 1) of a text, line ends as the field reader counts them.
std::string riga_di(const std::string& testo, std::int32_t numero) {
  std::int32_t corrente = 1;
  std::size_t inizio = 0;
  for (std::size_t i = 0; i <= testo.size(); ++i) {
    const bool fine = i == testo.size() || testo[i] == '\r' || testo[i] == '\n';
    if (!fine) continue;
    if (corrente == numero) return testo.substr(inizio, i - inizio);
    if (i < testo.size() && testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') ++i;
    inizio = i + 1;
    ++corrente;
  }
  return {};
}

// The offending line, and a caret under the column (tabs kept so the caret lines up).
void cita(const std::string& riga, std::int32_t colonna, std::ostream& err) {
  err << "    " << riga << "\n    ";
  for (std::int32_t i = 1; i < colonna && static_cast<std::size_t>(i - 1) < riga.size(); ++i) {
    err << (riga[static_cast<std::size_t>(i - 1)] == '\t' ? '\t' : ' ');
  }
  err << "^\n";
}

// What `percorso compile` was asked to do.
struct OpzioniCompila {
  std::filesystem::path file_linea;
  std::filesystem::path file_treno;
  std::filesystem::path cartella = ".";
  std::string percorso = std::string(nome_percorso_incorporato);
  std::string treno = std::string(nome_treno_incorporato);
  bool senza_linea = false;
  bool json = false;
};

// Compiles an author's line and train descriptions into the three binary files. Exit status
// 0 when clean, 1 when the compile ended with an error code or a numbered report, 2 when an
// input cannot be read or an output cannot be written.
int compila(const OpzioniCompila& o, std::ostream& out, std::ostream& err) {
  Descrizioni d{leggi_descrizione(o.file_linea, false), leggi_descrizione(o.file_treno, false)};
  for (const Descrizione* x : {&d.linea, &d.treno}) {
    if (!x->testo) {
      err << "percorso: cannot read " << x->nome << ": " << x->illeggibile << "\n";
      return 2;
    }
  }
  // An output that is one of the inputs would be overwritten by the compile: refused before
  // anything is written.
  std::vector<std::string> uscite;
  if (!o.senza_linea) uscite.push_back(nome_file_linea(o.percorso));
  uscite.push_back(nome_file_simulazione(o.percorso, o.treno));
  uscite.push_back(nome_file_treno(o.percorso, o.treno));
  for (const std::string& uscita : uscite) {
    for (const auto& ingresso : {o.file_linea, o.file_treno}) {
      if (!stesso_file(o.cartella / uscita, ingresso)) continue;
      err << "percorso: the output " << (o.cartella / uscita).string() << " is the input " << ingresso.string()
          << "; choose another output folder (-o) or other names (--route, --train)\n";
      return 2;
    }
  }
  std::error_code ec;
  std::filesystem::create_directories(o.cartella, ec);
  if (ec) {
    err << "percorso: cannot create " << o.cartella.string() << ": " << ec.message() << "\n";
    return 2;
  }
  // One writer of a set at a time in a folder: two compiles (or a compile and the scenario
  // program) into one folder would leave a mix of their files.
  EsitoBlocco blocco = blocca_cartella(o.cartella, attesa_cartella, [&] {
    err << "percorso: another run is writing into " << o.cartella.string() << ": waiting for it to end\n";
  });
  if (!blocco.blocco) {
    err << "percorso: " << blocco.perche << "\n";
    return 2;
  }

  Modello m;
  m.nome_percorso = o.percorso;
  m.nome_treno = o.treno;
  CartellaSuDisco dove(o.cartella);
  EsitoCompilazione esito;
  {
    // The set is written whole: an interruption takes effect once it is.
    const SegnaliRimandati rimandati;
    esito = memorizza_percorso(m, o.senza_linea ? 0 : 1, d, dove);
  }

  int stato = 0;
  const Luogo& l = esito.esito.luogo();
  if (m.codice_errore != 0) {
    stato = 1;
    const std::string messaggio = parole_errore(m);
    if (!l.file.empty() && l.linea > 0) {
      err << l.file << ":" << l.linea << ":" << l.colonna << ": error: " << messaggio << "\n";
      const std::string& testo = l.file == d.treno.nome ? *d.treno.testo : *d.linea.testo;
      cita(riga_di(testo, l.linea), l.colonna, err);
    } else if (!l.file.empty()) {
      err << l.file << ": error: " << messaggio << "\n";
    } else {
      err << "percorso: error: " << messaggio << "\n";
    }
  }
  if (esito.rapporto != 0) {
    stato = 1;
    err << "percorso: error: report " << esito.rapporto << ": " << descrizione_rapporto(esito.rapporto)
        << "; no binary file was written\n";
  }
  if (esito.senza_celle) {
    stato = 1;
    err << "percorso: error: the line has no route cells; no binary file was written\n";
  }
  if (esito.scrittura.guasto) {
    stato = 2;
    err << "percorso: cannot write " << (o.cartella / *esito.scrittura.guasto).string() << "\n";
  }

  if (o.json) {
    nlohmann::json j;
    j["code"] = m.codice_errore;
    j["position"] = m.posizione_errore;
    j["report"] = esito.rapporto != 0 ? nlohmann::json(esito.rapporto) : nlohmann::json(nullptr);
    j["files"] = esito.scrittura.scritti;
    j["message"] = m.codice_errore != 0 ? nlohmann::json(std::string(descrizione_codice(m.codice_errore)))
                                        : nlohmann::json(nullptr);
    if (m.codice_errore != 0 && !l.file.empty() && l.linea > 0) {
      j["file"] = l.file;
      j["line"] = l.linea;
      j["column"] = l.colonna;
    }
    if (esito.scrittura.guasto) j["write_error"] = *esito.scrittura.guasto;
    out << j.dump() << "\n";
  }
  return stato;
}

}  // namespace

Sottocomando comando_compile(CLI::App& percorso) {
  auto o = std::make_shared<OpzioniCompila>();
  CLI::App* c = percorso.add_subcommand(
      "compile",
      "Compile a line description and a train description into the simulator's three binary files, "
      "<route>_linea.dat, <route>_<train>.sim and <route>_<train>.dat. The inputs are never changed or deleted. "
      "Errors are reported as FILE:LINE:COLUMN: error: ... Exit status: 0 clean, 1 the compile ended with an "
      "error code or a numbered report (files are still written for error codes), 2 usage, unreadable input or "
      "unwritable output.");
  c->add_option("LINE_FILE", o->file_linea, "The line description")->required();
  c->add_option("TRAIN_FILE", o->file_treno, "The train description")->required();
  c->add_option("-o,--output", o->cartella, "Folder for the binary files (created if missing)")->capture_default_str();
  c->add_option("--route", o->percorso, "Route name: goes into the files' names and headers")->capture_default_str();
  c->add_option("--train", o->treno, "Train name: goes into the files' names and headers")->capture_default_str();
  c->add_flag("--no-line-data", o->senza_linea,
              "Skip the plan of the line: curves are passed over and no line data file is written");
  c->add_flag("--json", o->json,
              "Print one JSON object on standard output: code, position, report, files, and where the error is");
  return {c, [o](std::ostream& out, std::ostream& err) { return compila(*o, out, err); }};
}

}  // namespace scenario
