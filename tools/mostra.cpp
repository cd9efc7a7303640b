// `percorso dump`: the binary files decoded for people.
#include <algorithm>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <memory>
#include <ostream>

#include "output/codifica.h"
#include "output/output.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

std::optional<std::string> leggi_tutto(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string tipo_da_nome(const std::filesystem::path& file) {
  const std::string nome = file.filename().string();
  if (nome.size() >= 10 && nome.compare(nome.size() - 10, 10, "_linea.dat") == 0) return "linea";
  if (file.extension() == ".sim") return "simulazione";
  return "treno";
}

void mostra_voci(const std::array<Voce, numero_voci>& voci, std::ostream& out) {
  for (std::size_t i = 0; i < voci.size(); ++i) {
    const Voce& v = voci[i];
    const bool vuota = v.tipo == 0 && v.inizio_zona == 0 && v.fine_zona == 0 && v.posizione_m == 0 && v.classe == 0 &&
                       v.nome.empty() && v.parametro_1 == 0 && v.parametro_2 == 0 && v.parametro_3 == 0 &&
                       v.parametro_4 == 0 && v.parametro_5 == 0 && v.opzione_1 == 0 && v.opzione_2 == 0 &&
                       v.opzione_3 == 0 && v.opzione_4 == 0 && v.orario == 0;
    if (vuota) continue;
    out << "voce " << i << ": tipo " << int{v.tipo} << ", zona " << v.inizio_zona << ".." << v.fine_zona
        << ", posizione " << v.posizione_m << ", classe " << int{v.classe} << ", nome \"" << v.nome << "\""
        << ", parametri " << v.parametro_1 << ' ' << v.parametro_2 << ' ' << v.parametro_3 << ' ' << v.parametro_4
        << ' ' << v.parametro_5 << ", opzioni " << int{v.opzione_1} << ' ' << int{v.opzione_2} << ' '
        << int{v.opzione_3} << ' ' << int{v.opzione_4} << ", orario " << v.orario << "\n";
  }
}

void mostra_celle(const std::vector<Cella>& celle, bool tutte, std::ostream& out) {
  out << "celle 0.." << (celle.empty() ? 0 : celle.size() - 1) << " (" << celle.size() * metri_cella << " m)\n";
  for (std::size_t i = 0; i < celle.size(); ++i) {
    const Cella& c = celle[i];
    if (!tutte && c.tipo == 0 && c.preavviso == 0 && c.tempo_segnale == 0 && c.valore1 == 0 && c.valore2 == 0) continue;
    out << "cella " << i << " (" << i * metri_cella << " m): tipo " << int{c.tipo} << ", valori " << c.valore1 << ' '
        << c.valore2 << ' ' << c.valore3 << ' ' << c.valore4 << ", tempo " << int{c.tempo_segnale} << ", preavviso "
        << int{c.preavviso} << ", montagna " << int{c.tipo_montagna} << ", velocita " << int{c.velocita} * passo_velocita
        << " km/h, pendenza " << int{c.pendenza} - scarto_pendenza << ", aderenza " << int{c.aderenza} << "\n";
  }
}

void mostra_tracciato(const Tracciato& t, std::int64_t passo, std::ostream& out) {
  out << "metri 0.." << t.metri() - 1 << "\n" << std::setprecision(10);
  for (std::int64_t m = 0; m < t.metri(); m += passo) {
    const auto i = static_cast<std::size_t>(m);
    out << "metro " << m;
    for (int c = 0; c < 2; ++c) {
      const Etichetta e = t.etichette[static_cast<std::size_t>(c)][i];
      out << (c == 0 ? "  x " : "  y ");
      if (e == Etichetta::vuoto) {
        out << "vuoto";
      } else {
        out << t.valori[static_cast<std::size_t>(c)][i] << (e == Etichetta::intero ? " (intero)" : "");
      }
    }
    out << "\n";
  }
}

int mostra(const std::filesystem::path& file, const std::string& tipo_chiesto, bool tutte, std::int64_t passo,
           std::ostream& out, std::ostream& err) {
  const auto dati = leggi_tutto(file);
  if (!dati) {
    err << "percorso: cannot read " << file.string() << "\n";
    return 2;
  }
  const std::string tipo = tipo_chiesto.empty() ? tipo_da_nome(file) : tipo_chiesto;
  if (tipo == "simulazione") {
    const auto voci = decodifica_simulazione(*dati);
    if (!voci) {
      err << file.string() << ": error: not a simulation file (87 entries)\n";
      return 1;
    }
    mostra_voci(*voci, out);
  } else if (tipo == "linea") {
    const auto t = decodifica_linea(*dati);
    if (!t) {
      err << file.string() << ": error: not a line data file (tagged plan values)\n";
      return 1;
    }
    mostra_tracciato(*t, std::max<std::int64_t>(passo, 1), out);
  } else {
    const auto celle = decodifica_treno(*dati);
    if (!celle) {
      err << file.string() << ": error: not a train data file (" << dimensione_cella << "-byte cells)\n";
      return 1;
    }
    mostra_celle(*celle, tutte, out);
  }
  return 0;
}

}  // namespace

Sottocomando comando_dump(CLI::App& percorso) {
  struct Opzioni {
    std::string file, tipo;
    bool tutte = false;
    std::int64_t passo = 1000;
  };
  auto o = std::make_shared<Opzioni>();
  CLI::App* c = percorso.add_subcommand("dump", "Print a binary scenario file (line data, simulation or train data) in words.");
  c->add_option("FILE", o->file, "The file: *_linea.dat, *.sim or *.dat")->required();
  c->add_option("--kind", o->tipo, "Read the file as this kind instead of guessing from its name")
      ->check(CLI::IsMember({"linea", "simulazione", "treno"}));
  c->add_flag("--all", o->tutte, "List every cell of a train data file, not only those with a feature");
  c->add_option("--step", o->passo, "Metres between the listed points of a line data file")
      ->capture_default_str()
      ->check(CLI::PositiveNumber);
  return {c, [o](std::ostream& out, std::ostream& err) { return mostra(o->file, o->tipo, o->tutte, o->passo, out, err); }};
}

}  // namespace scenario
