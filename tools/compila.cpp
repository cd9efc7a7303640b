// `percorso compile`: the checks first, then the scenario program's compile step on an
// author's own descriptions. With errors nothing is written, so an earlier good build stays
// as it was; `--force` compiles whatever the checks say, exactly as the scenario program would.
#include <memory>
#include <ostream>
#include <system_error>

#include "compile/compile.h"
#include "files/files.h"
#include "tools/autore.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

// What `percorso compile` was asked to do.
struct OpzioniCompila {
  std::filesystem::path file_linea;
  std::filesystem::path file_treno;
  std::filesystem::path cartella = ".";
  std::optional<std::string> percorso;
  std::optional<std::string> treno;
  bool senza_linea = false;
  bool json = false;
  bool forza = false;
};

// A folder on disk whose files are named with the names' UTF-8 spelling.
class CartellaAutore final : public Destinazione {
 public:
  explicit CartellaAutore(std::filesystem::path cartella) : disco_(std::move(cartella)) {}
  std::optional<std::string> scrivi(const std::string& nome, std::string_view dati) override {
    return disco_.scrivi(nome_su_disco(nome), dati);
  }
  std::optional<std::string> scrivi_a_pezzi(const std::string& nome, const Pezzi& pezzi) override {
    return disco_.scrivi_a_pezzi(nome_su_disco(nome), pezzi);
  }

 private:
  CartellaSuDisco disco_;
};

// The JSON of a run that compiled nothing.
nlohmann::json senza_file(std::span<const Diagnostica> d) {
  const Conteggio c = conta(d);
  return {{"code", nullptr},       {"position", nullptr}, {"report", nullptr}, {"files", nlohmann::json::array()},
          {"diagnostics", in_json(d)}, {"errors", c.errori},  {"warnings", c.avvisi}};
}

// Compiles an author's line and train descriptions into the three binary files. Exit status
// 0 when clean, 1 when the checks found errors (nothing written) or the compile ended with an
// error code or a numbered report, 2 when an input cannot be read or an output written.
int compila(const OpzioniCompila& o, std::ostream& out, std::ostream& err) {
  Diagnostica perche;
  const auto in = leggi_ingressi(o.file_linea, o.file_treno, o.percorso, o.treno, perche);
  if (!in) {
    err << "percorso: error: " << utf8_da_cp1252(perche.messaggio) << " [" << perche.id << "]\n";
    if (o.json) out << testo_json(senza_file(std::span(&perche, 1))) << "\n";
    return 2;
  }
  // An output that is one of the inputs would be overwritten by the compile: refused before
  // anything is written.
  std::vector<std::string> uscite;
  if (!o.senza_linea) uscite.push_back(nome_file_linea(in->percorso));
  uscite.push_back(nome_file_simulazione(in->percorso, in->treno));
  uscite.push_back(nome_file_treno(in->percorso, in->treno));
  for (const std::string& uscita : uscite) {
    for (const auto& ingresso : {o.file_linea, o.file_treno}) {
      const std::filesystem::path file = o.cartella / nome_su_disco(uscita);
      if (!stesso_file(file, ingresso)) continue;
      err << "percorso: the output " << file.string() << " is the input " << ingresso.string()
          << "; choose another output folder (-o) or other names (--route, --train)\n";
      if (o.json) {
        Diagnostica g;
        g.id = "unreadable-file";
        g.luogo.file = ingresso.string();
        g.messaggio = "the output " + file.string() + " is this input";
        out << testo_json(senza_file(std::span(&g, 1))) << "\n";
      }
      return 2;
    }
  }
  for (const std::string& n : in->note) err << "percorso: note: " << utf8_da_cp1252(n) << "\n";
  const Descrizioni& d = in->descrizioni;
  const std::vector<Diagnostica> diagnostiche = controlla(d, {in->percorso, in->treno, o.senza_linea ? 0 : 1});
  const Conteggio conteggio = conta(diagnostiche);
  if (!diagnostiche.empty()) mostra_diagnostiche(err, diagnostiche, d);
  if (conteggio.errori > 0 && !o.forza) {
    err << "percorso: nothing was written: the checks found errors (--force compiles anyway)\n";
    if (o.json) out << testo_json(senza_file(diagnostiche)) << "\n";
    return 1;
  }

  std::error_code ec;
  std::filesystem::create_directories(o.cartella, ec);
  if (ec) {
    err << "percorso: cannot create " << o.cartella.string() << ": " << ec.message() << "\n";
    if (o.json) {
      nlohmann::json j = senza_file(diagnostiche);
      j["write_error"] = ec.message();
      out << testo_json(j) << "\n";
    }
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
  m.nome_percorso = in->percorso;
  m.nome_treno = in->treno;
  CartellaAutore dove(o.cartella);
  EsitoCompilazione esito;
  {
    // The set is written whole: an interruption takes effect once it is.
    const SegnaliRimandati rimandati;
    esito = memorizza_percorso(m, o.senza_linea ? 0 : 1, d, dove);
  }

  // What the compile step itself ended with (only with --force, or where the checks missed it).
  int stato = 0;
  const Luogo& l = esito.esito.luogo();
  if (m.codice_errore != 0) {
    stato = 1;
    const Diagnostica g{Gravita::errore, "", m.codice_errore, l, parole_errore(m), {}};
    mostra_diagnostiche(err, std::span(&g, 1), d, false);
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
    nlohmann::json file = nlohmann::json::array();
    for (const std::string& f : esito.scrittura.scritti) file.push_back(nome_su_disco(f));
    j["files"] = file;
    j["message"] = m.codice_errore != 0 ? nlohmann::json(std::string(descrizione_codice(m.codice_errore)))
                                        : nlohmann::json(nullptr);
    if (m.codice_errore != 0 && !l.file.empty() && l.linea > 0) {
      j["file"] = l.file;
      j["line"] = l.linea;
      j["column"] = l.colonna;
    }
    if (esito.scrittura.guasto) j["write_error"] = *esito.scrittura.guasto;
    j["diagnostics"] = in_json(diagnostiche);
    j["errors"] = conteggio.errori;
    j["warnings"] = conteggio.avvisi;
    out << testo_json(j) << "\n";
  }
  return stato;
}

}  // namespace

Sottocomando comando_compile(CLI::App& percorso) {
  auto o = std::make_shared<OpzioniCompila>();
  CLI::App* c = percorso.add_subcommand(
      "compile",
      "Check, then compile a line description and a train description into the simulator's three binary files, "
      "<route>_linea.dat, <route>_<train>.sim and <route>_<train>.dat. The inputs are never changed or deleted. "
      "Problems are reported as FILE:LINE:COLUMN: error|warning: ... [id]; with errors nothing is written and "
      "earlier files stay as they were. Exit status: 0 clean, 1 errors (or, with --force, the compile ended with "
      "an error code or a numbered report), 2 usage, unreadable input or unwritable output.");
  c->add_option("LINE_FILE", o->file_linea, "The line description")->required();
  c->add_option("TRAIN_FILE", o->file_treno, "The train description")->required();
  c->add_option("-o,--output", o->cartella, "Folder for the binary files (created if missing)")->capture_default_str();
  c->add_option("--route", o->percorso,
                "Route name: goes into the files' names and headers (default: from the inputs' names, else the "
                "embedded one)");
  c->add_option("--train", o->treno,
                "Train name: goes into the files' names and headers (default: from the inputs' names, else the "
                "embedded one)");
  c->add_flag("--no-line-data", o->senza_linea,
              "Skip the plan of the line: curves are passed over and no line data file is written");
  c->add_flag("--force", o->forza,
              "Compile whatever the checks say, as the scenario program's compile step would (files are written for "
              "error codes; the exit status comes from the code and the numbered report alone)");
  c->add_flag("--json", o->json,
              "Print one JSON object on standard output: code, position, report, files, diagnostics, errors, "
              "warnings");
  c->footer(
      "Examples:\n"
      "  percorso compile Valdora_linea.txt Valdora_Tarvo-.txt -o build/\n"
      "  percorso compile linea.txt treno.txt --route Valdora --train Tarvo --no-line-data --json");
  return {c, [o](std::ostream& out, std::ostream& err) { return compila(*o, out, err); }};
}

}  // namespace scenario
