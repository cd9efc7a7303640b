#include "model/completamento.h"

namespace scenario {
namespace {

constexpr std::int16_t valore_punto = 180;
constexpr std::int32_t profondita_segnali = 20;  // rule A looks this many cells back
constexpr std::int32_t cella_segnale_minima = 3;  // and not below this cell
constexpr std::int16_t soglia_lenta = 110;        // rule C: slowdowns below this speed
constexpr std::int32_t passo_interno = 8;         // rule C: cells between points
constexpr std::int32_t ricerca_dopo = 12;         // rule D: cells searched after the end

std::int16_t minimo(std::int16_t a, std::int16_t b) { return b < a ? b : a; }

class Completamento {
 public:
  explicit Completamento(Modello& m) : m_(m) {}

  std::vector<Esito> esegui() {
    const std::int32_t ultima = m_.ultima_cella - 2;
    for (std::int32_t i = 1; i <= ultima; ++i) {
      if (c(i).tipo == tipo_cella::avviso_rallentamento) regola_a(i);
      if (c(i).tipo == tipo_cella::inizio_rallentamento) {
        regola_b(i);
        regola_d(regola_c(i));
      }
    }
    return std::move(errori_);
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
    errori_.push_back(Esito::errore(codice, cella_errore * metri_cella));
    registra(m_, errori_.back());
  }

  // A: each signal up to 20 cells behind a warning board gets a point in one of the two cells
  // before it, or caps an existing point there.
  void regola_a(std::int32_t i) {
    for (std::int32_t j = 1; j <= profondita_segnali; ++j) {
      const std::int32_t d = i - j;
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
        errore(codice::completamento_segnale, d);
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
      if (!messo) errore(codice::completamento_avvicinamento, i);
    }
  }

  // The walk from a slowdown start to its end cell (kind 2), stopping at ultima_cella.
  bool fine_cammino(std::int32_t j) { return c(j).tipo == tipo_cella::fine_rallentamento || j >= m_.ultima_cella; }

  // C: inside a slow slowdown, a point every 8 cells, counted from where each was placed.
  // Returns the slowdown's end cell, where rule D starts; the walk to it runs for every
  // slowdown, so rule D never depends on an earlier one.
  std::int32_t regola_c(std::int32_t i) {
    std::int32_t j = i;
    if (c(i).valore1 >= soglia_lenta) {
      do {
        j += 1;
      } while (!fine_cammino(j));
      return j;
    }
    std::int32_t k = 0;
    do {
      j += 1;
      k += 1;
      if (k == passo_interno) {
        if (libera(c(j))) {
          punto(j);
          k = 0;
        } else if (libera(c(j - 1))) {
          punto(j - 1);
          k = 1;
        } else if (libera_in(j + 1)) {
          punto(j + 1);
          k = -1;
        } else {
          errore(codice::completamento_rallentamento, j);
        }
      }
    } while (!fine_cammino(j));
    return j;
  }

  // D: a signal up to 12 cells after the slowdown end gets a point just before it.
  void regola_d(std::int32_t e) {
    std::int32_t prima = 0;
    for (std::int32_t m = e; m <= e + ricerca_dopo && esiste(m); ++m) {
      if (c(m).tipo == tipo_cella::segnale) {
        prima = m - 1;
        break;
      }
    }
    if (prima <= 0) return;
    if (libera(c(prima))) {
      punto(prima);
    } else if (libera(c(prima - 1))) {
      punto(prima - 1);
    } else {
      errore(codice::completamento_rallentamento, e);
    }
  }

  Modello& m_;
  std::vector<Esito> errori_;
};

}  // namespace

std::vector<Esito> completa_celle(Modello& m) {
  if (m.celle.size() < 2 || static_cast<std::size_t>(m.ultima_cella) + 1 != m.celle.size()) return {};
  return Completamento(m).esegui();
}

}  // namespace scenario
