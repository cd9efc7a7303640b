// `percorso decompile`: finds and checks the three binary files, writes the two descriptions
// the decompiler rebuilt, and tells the author what it had to choose.
#include <memory>
#include <ostream>
#include <system_error>

#include "documents/documents.h"
#include "files/files.h"
#include "output/output.h"
#include "tools/decompila.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

// The largest file of each kind the compile step can write: the plan of a 1,000,000 m line
// (1,007,001 metres of two coordinates, 10 bytes each at most), 87 entries with names of up
// to 32767 bytes, and the cells of that line.
constexpr std::uintmax_t massimo_linea = 2ULL * 1007001ULL * 10ULL;
constexpr std::uintmax_t massimo_simulazione = 87ULL * (34ULL + 32767ULL);
constexpr std::uintmax_t massimo_treno = 15ULL * 20141ULL;

enum class Genere { linea, simulazione, treno };

const char* nome_genere(Genere g) {
  switch (g) {
    case Genere::linea: return "line data file";
    case Genere::simulazione: return "simulation file";
    case Genere::treno: return "train data file";
  }
  return "";
}

std::uintmax_t massimo(Genere g) {
  switch (g) {
    case Genere::linea: return massimo_linea;
    case Genere::simulazione: return massimo_simulazione;
    case Genere::treno: return massimo_treno;
  }
  return 0;
}

bool finisce_con(const std::string& s, const std::string& coda) {
  return s.size() >= coda.size() && s.compare(s.size() - coda.size(), coda.size(), coda) == 0;
}

Genere genere_da_nome(const std::filesystem::path& p) {
  const std::string nome = p.filename().string();
  if (finisce_con(nome, "_linea.dat")) return Genere::linea;
  if (finisce_con(nome, ".sim")) return Genere::simulazione;
  return Genere::treno;
}

// The bytes of one input, or the reason it is refused: a regular file, neither empty nor
// larger than its kind can be.
std::optional<std::string> leggi_ingresso(const std::filesystem::path& p, Genere g, std::string& dati) {
  FileLetto letto = leggi_intero(p, massimo(g));
  if (!letto.dati) {
    if (letto.perche.rfind("it is larger than", 0) == 0) {
      return letto.perche + ", more than any " + std::string(nome_genere(g));
    }
    return letto.perche;
  }
  if (letto.dati->empty()) return "it is empty";
  dati = std::move(*letto.dati);
  return std::nullopt;
}

// A name that can stand in a file name in the output folder.
bool nome_sicuro(const std::string& n) {
  return !n.empty() && n != "." && n != ".." && n.find('/') == std::string::npos &&
         n.find('\0') == std::string::npos;
}

struct Ingressi {
  std::optional<std::filesystem::path> linea;
  std::optional<std::filesystem::path> simulazione;
  std::optional<std::filesystem::path> treno;
};

// The three files from a folder: by the names given, or from the one simulation file in it.
std::optional<std::string> cerca_in_cartella(const OpzioniDecompila& o, Ingressi& in) {
  const std::filesystem::path& cartella = o.ingressi.front();
  std::string percorso = o.percorso, treno = o.treno;
  if (percorso.empty()) {
    std::vector<std::filesystem::path> sim;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(cartella, ec)) {
      if (e.path().extension() == ".sim") sim.push_back(e.path());
    }
    if (ec) return "cannot list " + cartella.string() + ": " + ec.message();
    if (sim.size() != 1) {
      return cartella.string() + " holds " + std::to_string(sim.size()) +
             " simulation files (*.sim): name the scenario with --route and --train";
    }
    in.simulazione = sim.front();
    return std::nullopt;
  }
  in.simulazione = cartella / nome_file_simulazione(percorso, treno);
  in.treno = cartella / nome_file_treno(percorso, treno);
  in.linea = cartella / nome_file_linea(percorso);
  return std::nullopt;
}

std::optional<std::string> scegli_ingressi(const OpzioniDecompila& o, Ingressi& in) {
  if (o.percorso.empty() != o.treno.empty()) return "--route and --train go together";
  if (o.ingressi.size() == 1 && std::filesystem::is_directory(o.ingressi.front())) return cerca_in_cartella(o, in);
  if (o.ingressi.size() < 2 || o.ingressi.size() > 3) {
    return "give a folder, or the simulation file, the train data file and (if there is one) the line data file";
  }
  for (const auto& p : o.ingressi) {
    const Genere g = genere_da_nome(p);
    auto& posto = g == Genere::linea ? in.linea : g == Genere::simulazione ? in.simulazione : in.treno;
    if (posto) return "two " + std::string(nome_genere(g)) + "s given: " + posto->string() + " and " + p.string();
    posto = p;
  }
  if (!in.simulazione) return "no simulation file (*.sim) given";
  if (!in.treno) return "no train data file (*.dat) given";
  return std::nullopt;
}

void riassunto(const Decompilato& d, std::ostream& err) {
  err << "rows written:";
  bool primo = true;
  for (const auto& [tipo, n] : d.deduzioni.righe) {
    if (n == 0) continue;
    err << (primo ? " " : ", ") << tipo << " " << n;
    primo = false;
  }
  err << "\n";
  if (d.deduzioni.senza_curve) {
    err << "no line data file: the curves cannot be recovered and no curve row is written; the descriptions give "
           "the same simulation and train data files (compile them with --no-line-data)\n";
  }
  if (d.deduzioni.ipotesi.empty()) {
    err << "inferred: nothing; every row follows from the files\n";
    return;
  }
  err << "inferred (the files cannot say; the choices below give the same bytes):\n"
      << "  - positions within a 50 m cell: every row stands at the first metre its cell allows\n";
  for (const auto& [tipo, posizioni] : d.deduzioni.ipotesi) {
    err << "  - " << tipo << ": " << posizioni.size() << (posizioni.size() == 1 ? " row" : " rows") << ", at";
    constexpr std::size_t mostrate = 40;
    for (std::size_t i = 0; i < posizioni.size() && i < mostrate; ++i) err << (i ? ", " : " ") << posizioni[i];
    if (posizioni.size() > mostrate) err << ", ... (" << posizioni.size() - mostrate << " more)";
    err << " m\n";
  }
}

}  // namespace

Sottocomando comando_decompile(CLI::App& percorso) {
  auto o = std::make_shared<OpzioniDecompila>();
  CLI::App* c = percorso.add_subcommand(
      "decompile",
      "Write the line and train descriptions back from a scenario's binary files, such that compile gives the same "
      "files byte for byte. Give the folder that holds them, or the files one by one. What the files cannot say is "
      "chosen and listed on standard error. Exit status: 0 the descriptions compile back to the same files, 1 they "
      "were written but do not, 2 the files are refused (damaged, foreign or inconsistent) or cannot be written.");
  c->add_option("INPUT", o->ingressi, "A folder, or the *.sim, the <route>_<train>.dat and the <route>_linea.dat files")
      ->required();
  c->add_option("-o,--output", o->cartella, "Folder for <route>_linea.txt and <route>_<train>-.txt (created if missing)")
      ->capture_default_str();
  c->add_option("--route", o->percorso, "Route name, to pick the files in a folder");
  c->add_option("--train", o->treno, "Train name, to pick the files in a folder");
  c->footer(
      "Examples:\n"
      "  percorso decompile out -o sources\n"
      "  percorso decompile out/Valdora_Tarvo.sim out/Valdora_Tarvo.dat out/Valdora_linea.dat -o sources");
  return {c, [o](std::ostream& out, std::ostream& err) { return decompila_comando(*o, out, err); }};
}

int decompila_comando(const OpzioniDecompila& o, std::ostream& out, std::ostream& err) {
  Ingressi in;
  if (auto perche = scegli_ingressi(o, in)) {
    err << "percorso: decompile: " << *perche << "\n";
    return 2;
  }
  FileBinari f;
  if (auto perche = leggi_ingresso(*in.simulazione, Genere::simulazione, f.simulazione)) {
    err << "percorso: cannot read " << in.simulazione->string() << ": " << *perche << "\n";
    return 2;
  }
  // In a folder searched for its one simulation file, the other two are named from its header.
  if (!in.treno) {
    const auto voci = decodifica_simulazione(f.simulazione);
    if (!voci) {
      err << "percorso: cannot decompile " << in.simulazione->string()
          << ": the simulation file does not hold 87 whole entries\n";
      return 2;
    }
    if (!nome_sicuro((*voci)[85].nome) || !nome_sicuro((*voci)[86].nome)) {
      err << "percorso: cannot decompile " << in.simulazione->string()
          << ": its route or train name cannot stand in a file name\n";
      return 2;
    }
    const auto cartella = in.simulazione->parent_path();
    in.treno = cartella / nome_file_treno((*voci)[85].nome, (*voci)[86].nome);
    in.linea = cartella / nome_file_linea((*voci)[85].nome);
  }
  if (auto perche = leggi_ingresso(*in.treno, Genere::treno, f.treno)) {
    err << "percorso: cannot read " << in.treno->string() << ": " << *perche << "\n";
    return 2;
  }
  if (in.linea) {
    std::error_code ec;
    const bool c_e = std::filesystem::exists(std::filesystem::symlink_status(*in.linea, ec));
    // From a folder the line data file may be missing (a scenario compiled without it);
    // named on the command line it must be there.
    if (c_e || o.ingressi.size() > 1) {
      std::string dati;
      if (auto perche = leggi_ingresso(*in.linea, Genere::linea, dati)) {
        err << "percorso: cannot read " << in.linea->string() << ": " << *perche << "\n";
        return 2;
      }
      f.linea = std::move(dati);
    }
  }

  const EsitoDecompila esito = decompila(f);
  if (!esito.risultato) {
    err << "percorso: cannot decompile " << in.simulazione->string() << ": " << esito.rifiuto << "\n";
    return 2;
  }
  const Decompilato& d = *esito.risultato;
  if (!o.percorso.empty() && (d.nome_percorso != o.percorso || d.nome_treno != o.treno)) {
    err << "percorso: cannot decompile: the simulation file names the route \"" << d.nome_percorso
        << "\" and the train \"" << d.nome_treno << "\", not \"" << o.percorso << "\" and \"" << o.treno << "\"\n";
    return 2;
  }
  if (!nome_sicuro(d.nome_percorso) || !nome_sicuro(d.nome_treno)) {
    err << "percorso: cannot decompile: the route name \"" << d.nome_percorso << "\" or the train name \""
        << d.nome_treno << "\" cannot stand in a file name\n";
    return 2;
  }

  std::error_code ec;
  std::filesystem::create_directories(o.cartella, ec);
  if (ec) {
    err << "percorso: cannot create " << o.cartella.string() << ": " << ec.message() << "\n";
    return 2;
  }
  const auto file_linea = o.cartella / nome_descrizione_linea(d.nome_percorso, d.nome_treno);
  const auto file_treno = o.cartella / nome_descrizione_treno(d.nome_percorso, d.nome_treno);
  // An output that is one of the inputs (through a link) would be overwritten: refused first.
  for (const auto& uscita : {file_linea, file_treno}) {
    for (const auto& ingresso : {in.simulazione, in.treno, in.linea}) {
      if (!ingresso || !stesso_file(uscita, *ingresso)) continue;
      err << "percorso: the output " << uscita.string() << " is the input " << ingresso->string()
          << "; choose another output folder (-o)\n";
      return 2;
    }
  }
  for (const auto& [percorso, testo] : {std::pair{file_linea, &d.linea}, std::pair{file_treno, &d.treno}}) {
    if (auto perche = scrivi_intero(percorso, *testo)) {
      err << "percorso: cannot write " << percorso.string() << ": " << *perche << "\n";
      return 2;
    }
    out << percorso.string() << "\n";
  }

  riassunto(d, err);
  const std::string comando = "percorso compile '" + file_linea.string() + "' '" + file_treno.string() +
                              "' --route '" + d.nome_percorso + "' --train '" + d.nome_treno + "'" +
                              (f.linea ? "" : " --no-line-data");
  if (!d.identico) {
    err << "percorso: error: THE WRITTEN DESCRIPTIONS DO NOT COMPILE BACK TO THE SAME FILES:\n";
    for (const auto& diff : d.differenze) err << "  " << diff << "\n";
    err << "(checked as by: " << comando << ")\n";
    return 1;
  }
  err << "round trip checked: " << comando << " gives the same " << (f.linea ? "three" : "two")
      << " files, byte for byte\n";
  return 0;
}

}  // namespace scenario
