// `percorso explain`: the long form of an error code, numbered report or diagnostic id, from
// the error reference embedded at build time (docs/errors.md), so the installed program needs
// no file beside it.
#include <algorithm>
#include <cctype>
#include <memory>
#include <ostream>

#include "tools/percorso.h"

namespace scenario {
namespace {

bool inizia_con(std::string_view riga, std::string_view prefisso) {
  return riga.substr(0, prefisso.size()) == prefisso;
}

std::string_view senza_spazi(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\t')) s.remove_suffix(1);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return s;
}

// A line as printed on a terminal: the bold marks go, the text stays.
std::string leggibile(std::string_view riga) {
  std::string r;
  for (std::size_t i = 0; i < riga.size(); ++i) {
    if (riga[i] == '*' && i + 1 < riga.size() && riga[i + 1] == '*') {
      ++i;
      continue;
    }
    r.push_back(riga[i]);
  }
  while (!r.empty() && (r.back() == ' ' || r.back() == '\r')) r.pop_back();
  return r;
}

std::string minuscole(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

// Edits that turn a into b: insert, delete or replace a character, or swap two neighbours.
std::size_t distanza(std::string_view a, std::string_view b) {
  const std::size_t colonne = b.size() + 1;
  std::vector<std::size_t> d((a.size() + 1) * colonne);
  auto at = [&](std::size_t i, std::size_t j) -> std::size_t& { return d[i * colonne + j]; };
  for (std::size_t i = 0; i <= a.size(); ++i) at(i, 0) = i;
  for (std::size_t j = 0; j <= b.size(); ++j) at(0, j) = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
      }
    }
  }
  return at(a.size(), b.size());
}

// The keys close to one that is not in the reference: a few edits away, or holding it whole.
std::vector<std::string> vicine(const std::vector<Articolo>& articoli, const std::string& chiave) {
  std::vector<std::pair<std::size_t, std::string>> trovate;
  const std::size_t soglia = std::max<std::size_t>(1, chiave.size() / 3);
  for (const Articolo& a : articoli) {
    const std::size_t d = distanza(chiave, a.chiave);
    if (d <= soglia) {
      trovate.emplace_back(d, a.chiave);
    } else if (chiave.size() >= 3 && a.chiave.find(chiave) != std::string::npos) {
      trovate.emplace_back(soglia + 1, a.chiave);
    }
  }
  std::stable_sort(trovate.begin(), trovate.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::string> r;
  for (std::size_t i = 0; i < trovate.size() && i < 8; ++i) r.push_back(trovate[i].second);
  return r;
}

int elenca(std::ostream& out) {
  const std::vector<Articolo> articoli = articoli_riferimento();
  std::size_t larghezza = 0;
  for (const Articolo& a : articoli) larghezza = std::max(larghezza, a.chiave.size());
  std::string sezione;
  for (const Articolo& a : articoli) {
    if (a.sezione != sezione) {
      out << (sezione.empty() ? "" : "\n") << a.sezione << "\n";
      sezione = a.sezione;
    }
    out << "  " << a.chiave << std::string(larghezza - a.chiave.size() + 2, ' ') << a.sommario << "\n";
  }
  return 0;
}

int spiega(const std::string& chiave, bool elenco, std::ostream& out, std::ostream& err) {
  if (elenco) return elenca(out);
  if (chiave.empty()) {
    err << "percorso: explain needs a KEY (an error code, a report number or a diagnostic id), or --list\n";
    return 2;
  }
  const std::vector<Articolo> articoli = articoli_riferimento();
  const std::string cercata = minuscole(senza_spazi(chiave));
  for (const Articolo& a : articoli) {
    if (minuscole(a.chiave) == cercata) {
      out << a.testo;
      return 0;
    }
  }
  err << "percorso: the error reference has no entry `" << chiave << "`";
  const std::vector<std::string> simili = vicine(articoli, cercata);
  for (std::size_t i = 0; i < simili.size(); ++i) err << (i == 0 ? "; near: " : ", ") << simili[i];
  err << "\n(`percorso explain --list` lists every key)\n";
  return 2;
}

}  // namespace

std::vector<Articolo> articoli_riferimento() {
  std::vector<Articolo> articoli;
  std::string sezione;
  std::string_view resto = testo_riferimento_errori();
  Articolo* corrente = nullptr;
  bool nel_sommario = false;
  std::vector<std::string> righe;
  auto chiudi = [&] {
    if (corrente == nullptr) return;
    while (!righe.empty() && righe.back().empty()) righe.pop_back();
    for (const std::string& r : righe) corrente->testo += r + "\n";
    righe.clear();
    corrente = nullptr;
  };
  while (!resto.empty()) {
    const std::size_t fine = resto.find('\n');
    const std::string_view riga = resto.substr(0, fine);
    resto.remove_prefix(fine == std::string_view::npos ? resto.size() : fine + 1);
    if (inizia_con(riga, "## ") || inizia_con(riga, "### ")) {
      chiudi();
      if (inizia_con(riga, "## ")) {
        sezione = std::string(senza_spazi(riga.substr(3)));
        continue;
      }
      articoli.push_back(Articolo{sezione, std::string(senza_spazi(riga.substr(4))), "", ""});
      corrente = &articoli.back();
      righe.push_back(corrente->chiave);
      righe.push_back(std::string(corrente->chiave.size(), '='));
      righe.emplace_back();
      nel_sommario = false;
      continue;
    }
    if (corrente == nullptr) continue;
    const std::string testo = leggibile(riga);
    if (righe.size() == 3 && testo.empty()) continue;  // blank lines between the heading and the text
    righe.push_back(testo);
    // The summary is the entry's first paragraph, on one line.
    if (righe.size() == 4) nel_sommario = true;
    if (nel_sommario) {
      if (testo.empty()) {
        nel_sommario = false;
      } else {
        corrente->sommario += (corrente->sommario.empty() ? "" : " ") + std::string(senza_spazi(testo));
      }
    }
  }
  chiudi();
  return articoli;
}

std::vector<std::string> chiavi_riferimento() {
  std::vector<std::string> chiavi;
  for (const Articolo& a : articoli_riferimento()) chiavi.push_back(a.chiave);
  return chiavi;
}

Sottocomando comando_explain(CLI::App& percorso) {
  struct Opzioni {
    std::string chiave;
    bool elenco = false;
  };
  auto o = std::make_shared<Opzioni>();
  CLI::App* c = percorso.add_subcommand(
      "explain",
      "Print the long form of an error code (25), a numbered report (1250) or a diagnostic id (unknown-keyword) "
      "from the error reference: its meaning, typical cause, an example and the fix.");
  c->add_option("KEY", o->chiave, "The error code, report number or diagnostic id");
  c->add_flag("--list", o->elenco, "List every key of the reference with its one-line summary");
  c->footer(
      "Examples:\n"
      "  percorso explain 25\n"
      "  percorso explain --list");
  return {c, [o](std::ostream& out, std::ostream& err) { return spiega(o->chiave, o->elenco, out, err); }};
}

}  // namespace scenario
