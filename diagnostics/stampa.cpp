// The diagnostics printed as compilers print them.
#include <ostream>
#include <vector>

#include "diagnostics/diagnostics.h"

namespace scenario {
namespace {

constexpr const char* grassetto = "\x1b[1m";
constexpr const char* rosso = "\x1b[1;31m";
constexpr const char* magenta = "\x1b[1;35m";
constexpr const char* ciano = "\x1b[1;36m";
constexpr const char* verde = "\x1b[1;32m";
constexpr const char* normale = "\x1b[0m";

// The lines of a text, line ends as the field reader counts them (CR LF, CR or LF).
std::vector<std::string_view> righe_di(std::string_view testo) {
  std::vector<std::string_view> righe;
  std::size_t inizio = 0;
  for (std::size_t i = 0; i <= testo.size(); ++i) {
    const bool fine = i == testo.size() || testo[i] == '\r' || testo[i] == '\n';
    if (!fine) continue;
    righe.push_back(testo.substr(inizio, i - inizio));
    if (i == testo.size()) break;
    if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n') ++i;
    inizio = i + 1;
  }
  return righe;
}

// How many columns a byte of the quoted line takes once printed.
std::size_t larghezza(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b < 0x20 && b != '\t') || b == 0x7F ? 4 : 1;
}

class Stampa {
 public:
  Stampa(std::ostream& out, const Descrizioni& d, bool colore) : out_(out), d_(d), colore_(colore) {}

  void diagnostica(const Diagnostica& g) {
    const bool errore = g.gravita == Gravita::errore;
    intestazione(g.luogo, errore ? "error" : "warning", errore ? rosso : magenta);
    out_ << utf8_da_cp1252(g.messaggio);
    if (!g.id.empty()) out_ << " [" << g.id << "]";
    out_ << "\n";
    citazione(g.luogo);
    for (const Nota& n : g.note) {
      intestazione(n.luogo, "note", ciano);
      out_ << utf8_da_cp1252(n.messaggio) << "\n";
      citazione(n.luogo);
    }
  }

 private:
  void colora(const char* codice) {
    if (colore_) out_ << codice;
  }

  void intestazione(const Luogo& l, const char* tipo, const char* colore) {
    colora(grassetto);
    if (l.file.empty()) {
      out_ << "percorso: ";
    } else if (l.linea <= 0) {
      out_ << l.file << ": ";
    } else {
      out_ << l.file << ':' << l.linea << ':' << l.colonna << ": ";
    }
    colora(normale);
    colora(colore);
    out_ << tipo << ": ";
    colora(normale);
  }

  // The source line, and under it a caret at the column and tildes to the end column.
  void citazione(const Luogo& l) {
    if (l.file.empty() || l.linea <= 0) return;
    const bool linea = l.file == d_.linea.nome;
    const Descrizione* d = linea ? &d_.linea : l.file == d_.treno.nome ? &d_.treno : nullptr;
    if (d == nullptr || !d->testo) return;
    std::vector<std::string_view>& righe = righe_[linea ? 0 : 1];
    if (righe.empty()) righe = righe_di(*d->testo);
    const auto n = static_cast<std::size_t>(l.linea);
    const std::string_view riga = n <= righe.size() ? righe[n - 1] : std::string_view();
    out_ << "    " << utf8_da_cp1252(riga) << "\n    ";
    const auto inizio = static_cast<std::size_t>(l.colonna > 0 ? l.colonna - 1 : 0);
    for (std::size_t i = 0; i < inizio && i < riga.size(); ++i) {
      if (riga[i] == '\t') {
        out_ << '\t';
      } else {
        out_ << std::string(larghezza(riga[i]), ' ');
      }
    }
    colora(verde);
    out_ << '^';
    const auto fine = static_cast<std::size_t>(l.colonna_fine > l.colonna ? l.colonna_fine - 1 : inizio + 1);
    std::size_t tilde = 0;
    for (std::size_t i = inizio; i < fine && i < riga.size(); ++i) tilde += larghezza(riga[i]);
    if (tilde > 1) out_ << std::string(tilde - 1, '~');
    colora(normale);
    out_ << "\n";
  }

  std::ostream& out_;
  const Descrizioni& d_;
  bool colore_;
  std::vector<std::string_view> righe_[2];  // of each description, made when first quoted
};

std::string quanti(int n, const char* uno, const char* molti) {
  return std::to_string(n) + " " + (n == 1 ? uno : molti);
}

}  // namespace

Conteggio conta(std::span<const Diagnostica> diagnostiche) {
  Conteggio c;
  for (const Diagnostica& g : diagnostiche) (g.gravita == Gravita::errore ? c.errori : c.avvisi) += 1;
  return c;
}

void stampa(std::ostream& out, std::span<const Diagnostica> diagnostiche, const Descrizioni& d, bool colore,
            bool conteggio) {
  Stampa s(out, d, colore);
  for (const Diagnostica& g : diagnostiche) s.diagnostica(g);
  if (!conteggio) return;
  const Conteggio c = conta(diagnostiche);
  out << quanti(c.errori, "error", "errors") << ", " << quanti(c.avvisi, "warning", "warnings") << "\n";
}

}  // namespace scenario
