// The compile step: read both descriptions, finish the cells with the completion pass, stamp
// the header marks and the scenario codes, and write the three binary files.
#include "model/compila.h"

#include <filesystem>

#include "model/codici.h"

namespace scenario {
namespace {

constexpr std::int16_t valore_punto = 180;
constexpr std::int32_t profondita_segnali = 20;
constexpr std::int32_t cella_segnale_minima = 3;
constexpr std::int16_t soglia_lenta = 110;
constexpr std::int32_t passo_interno = 8;
constexpr std::int32_t ricerca_dopo = 12;

std::int16_t minimo(std::int16_t a, std::int16_t b) { return b < a ? b : a; }

class Completamento {
 public:
  explicit Completamento(Modello& m) : m_(m) {}

  void esegui() {
    const std::int32_t ultima = m_.ultima_cella - 2;
    for (std::int32_t i = 1; i <= ultima; ++i) {
      m_.cont_i = i;
      if (c(i).tipo == tipo_cella::avviso_rallentamento) regola_a(i);
      if (c(i).tipo == tipo_cella::inizio_rallentamento) {
        regola_b(i);
        regola_c(i);
        regola_d();
      }
    }
  }

 private:
  // Cells the pass looks at are always inside 0 .. ultima_cella: the walks stop there.
  Cella& c(std::int32_t i) { return m_.celle[static_cast<std::size_t>(i)]; }
  bool esiste(std::int32_t i) const { return i >= 0 && i <= m_.ultima_cella; }
  bool libera_in(std::int32_t i) { return esiste(i) && libera(c(i)); }
  void punto(std::int32_t i) {
    c(i).tipo = tipo_cella::abbattimento;
    c(i).valore1 = valore_punto;
  }
  void errore(std::int32_t codice, std::int32_t cella_errore) {
    m_.codice_errore = codice;
    m_.posizione_errore = cella_errore * 50;
    m_.luogo_errore = Luogo{};
  }

  // A: each signal up to 20 cells behind a warning board gets a point in one of the two cells
  // before it, or caps an existing point there.
  void regola_a(std::int32_t i) {
    for (m_.cont_j = 1; m_.cont_j <= profondita_segnali; ++m_.cont_j) {
      const std::int32_t d = i - m_.cont_j;
      if (d < cella_segnale_minima) break;
      if (c(d).tipo != tipo_cella::segnale) continue;
      if (libera(c(d - 1))) {
        punto(d - 1);
      } else if (libera(c(d - 2))) {
        punto(d - 2);
      } else if (c(d - 1).tipo == tipo_cella::abbattimento) {
        c(d - 1).valore1 = minimo(valore_punto, c(d - 1).valore1);
      } else if (c(d - 2).tipo == tipo_cella::abbattimento) {
        c(d - 2).valore1 = minimo(valore_punto, c(d - 2).valore1);
      } else {
        errore(11, d);
      }
    }
  }

  // B: three points ahead of a slowdown start, each in the first free cell of its group.
  void regola_b(std::int32_t i) {
    static constexpr std::int32_t gruppi[3][3] = {{5, 6, 7}, {11, 12, 13}, {18, 19, 20}};
    for (const auto& gruppo : gruppi) {
      if (i <= gruppo[2]) continue;
      bool messo = false;
      for (std::int32_t distanza : gruppo) {
        if (libera(c(i - distanza))) {
          punto(i - distanza);
          messo = true;
          break;
        }
      }
      if (!messo) errore(12, i);
    }
  }

  // The walk from a slowdown start to its end cell (tipo 2), stopping at ultima_cella.
  bool fine_cammino() { return c(m_.cont_j).tipo == tipo_cella::fine_rallentamento || m_.cont_j >= m_.ultima_cella; }

  // C: inside a slow slowdown, a point every 8 cells, counted from where each was placed.
  void regola_c(std::int32_t i) {
    m_.cont_j = i;
    if (c(i).valore1 >= soglia_lenta) {
      // No points; the end cell is still located for rule D.
      do {
        m_.cont_j += 1;
      } while (!fine_cammino());
      return;
    }
    m_.cont_k = 0;
    do {
      m_.cont_j += 1;
      m_.cont_k += 1;
      if (m_.cont_k == passo_interno) {
        const std::int32_t j = m_.cont_j;
        if (libera(c(j))) {
          punto(j);
          m_.cont_k = 0;
        } else if (libera(c(j - 1))) {
          punto(j - 1);
          m_.cont_k = 1;
        } else if (libera_in(j + 1)) {
          punto(j + 1);
          m_.cont_k = -1;
        } else {
          errore(13, j);
        }
      }
    } while (!fine_cammino());
  }

  // D: a signal up to 12 cells after the slowdown end gets a point just before it.
  void regola_d() {
    const std::int32_t e = m_.cont_j;
    m_.cont_k = 0;
    const std::int32_t fino = e + ricerca_dopo;
    for (m_.cont_m = e; m_.cont_m <= fino && esiste(m_.cont_m); ++m_.cont_m) {
      if (c(m_.cont_m).tipo == tipo_cella::segnale) {
        m_.cont_k = m_.cont_m - 1;
        break;
      }
    }
    if (m_.cont_k <= 0) return;
    if (libera(c(m_.cont_k))) {
      punto(m_.cont_k);
    } else if (libera(c(m_.cont_k - 1))) {
      punto(m_.cont_k - 1);
    } else {
      errore(13, e);
    }
  }

  Modello& m_;
};

}  // namespace

void completa_celle(Modello& m) {
  if (m.celle.size() < 2 || static_cast<std::size_t>(m.ultima_cella) + 1 != m.celle.size()) return;
  Completamento(m).esegui();
}

EsitoCompilazione memorizza_percorso(Modello& m, std::int32_t& scrivi_linea, Descrizioni& d, Destinazione& dove) {
  EsitoCompilazione esito;
  m.scrivi_linea = scrivi_linea;
  azzera_voci(m);
  memorizza_dati(m, d);
  // Without cell 1 there is no header to stamp and nothing to write.
  if (m.celle.size() < 2) {
    esito.senza_celle = true;
    return esito;
  }
  completa_celle(m);
  Voce& testata = m.voci[voce_testata_percorso];
  Cella& intestazione = m.celle[1];
  if (testata.parametro_1 != 0 || intestazione.valore1 != 0) {
    esito.rapporto = 1250;
    return esito;
  }
  testata.parametro_1 = marca_linea;
  intestazione.valore1 = marca_percorso;
  if (testata.orario != 0 || intestazione.valore2 != 0) {
    esito.rapporto = 1251;
    return esito;
  }
  testata.orario = codice_gara_st(m);
  intestazione.valore2 = static_cast<std::int16_t>(codice_gara_og(m));
  esito.scrittura = scrivi_file_binari(m, dove);
  return esito;
}

std::string_view descrizione_codice(std::int32_t codice) {
  switch (codice) {
    case 0: return "no error";
    case 1: return "the line is longer than 1,000,000 m";
    case 2: return "a chainage entry starts or changes at a position that is not a multiple of 50 m";
    case 3: return "the cab-signal repetition starts at a position that is not a multiple of 50 m";
    case 4: return "the cab-signal repetition ends at a position that is not a multiple of 50 m";
    case 5: return "the cab-signal repetition row names neither 4 nor 9 codes";
    case 6: return "an indication sign falls on a cell that already holds a feature";
    case 7: return "a speed-cap point falls on a cell that already holds a feature";
    case 8: return "a station position is not a multiple of 50 m";
    case 9: return "a station zone length is not a multiple of 100 m";
    case 10: return "too many stations: they reach the entries taken by the sign texts";
    case 11: return "no free cell for the speed-cap point before a signal behind a slowdown warning board";
    case 12: return "no free cell for a speed-cap point ahead of a slowdown";
    case 13: return "no free cell for a speed-cap point inside or just after a slowdown";
    case 15: return "a position lies beyond the end of the route";
    case 16: return "a signal falls on a cell that already holds a feature";
    case 17: return "a slowdown warning point falls on a cell that already holds a feature";
    case 18: return "a slowdown start falls on a cell that already holds a feature";
    case 19: return "a slowdown end falls on a cell that already holds a feature";
    case 20: return "a slowdown pre-warning step falls on a cell that already holds a feature";
    case 21: return "a speed-indicator board falls on a cell that already holds a feature";
    case 22: return "a station zone starts less than 350 m after the previous station's zone ends";
    case 24: return "a station's stop cell would be cell 1 or lower (its zone ends at 100 m or less)";
    case 25:
      return "the descriptions could not be read: a file is missing, a value is not a number or is too large "
             "for its field, a row is cut short by the end of the file, or a row reaches outside the route";
    case 101: return "the line description is missing";
    case 102: return "the line description has no \"[generale]\" block";
    case 103: return "a curve row has no class digit 1 to 6, or the plan of the line runs past 1,000,000 m";
    default: return "unknown error code";
  }
}

std::string spiega_errore(const Modello& m) {
  std::string testo = "error code " + std::to_string(m.codice_errore) + " (position " +
                      std::to_string(m.posizione_errore) + " m): " + std::string(descrizione_codice(m.codice_errore));
  if (!m.luogo_errore.file.empty() && m.luogo_errore.linea > 0) {
    testo += ", at " + std::filesystem::path(m.luogo_errore.file).filename().string() + " line " +
             std::to_string(m.luogo_errore.linea) + ", column " + std::to_string(m.luogo_errore.colonna);
  }
  return testo;
}

}  // namespace scenario
