// A seeded generator of valid scenario descriptions, for the tests and the fuzzer's seed
// corpus: curves of every class and side (some starting behind the plan cursor), gradients,
// hill sections of every type with and without filler marks, boards, signs, signals, stations
// of every kind, slowdowns that make the completion pass place its points, speed-cap points
// (some where the pass would put one), chainage restarts. Every feature goes to a cell that
// is free when its row is read, so the descriptions compile without an error code.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace scenario::prova {

struct ScenarioGenerato {
  std::string nome_percorso;
  std::string nome_treno;
  std::string linea;  // line description, CR LF
  std::string treno;  // train description, CR LF
};

class GeneratoreScenari {
 public:
  explicit GeneratoreScenari(std::uint64_t seme) : caso_(seme) {}

  // The line length in metres is drawn from minima .. massima (at least 12000, at most 1000000).
  ScenarioGenerato genera(std::int64_t minima = 12000, std::int64_t massima = 60000) {
    ScenarioGenerato s;
    s.nome_percorso = nome({"Valdora", "Monte Arsa", "Lago-Tessera", "Pian", "Rivalba Alta"});
    s.nome_treno = nome({"Tarvo", "R 2231", "Merci", "IC-7", "Espresso Notte"});
    minima = std::clamp<std::int64_t>(minima, 12000, 1000000);
    lunghezza_ = multiplo(minima, std::clamp<std::int64_t>(massima, minima, 1000000), 50);
    ultima_ = (lunghezza_ + 7000) / 50;  // a multiple of 50 plus 7000: exact
    occupata_.assign(static_cast<std::size_t>(ultima_ + 1), false);
    occupata_[0] = occupata_[1] = true;  // cell 1 is the header
    stazioni();
    s.linea = linea();
    s.treno = treno();
    return s;
  }

 private:
  std::int64_t intero(std::int64_t a, std::int64_t b) {  // a..b inclusive
    return a + static_cast<std::int64_t>(caso_() % static_cast<std::uint64_t>(b - a + 1));
  }
  std::int64_t multiplo(std::int64_t a, std::int64_t b, std::int64_t passo) { return intero(a / passo, b / passo) * passo; }
  bool moneta(int percento) { return intero(1, 100) <= percento; }
  std::string nome(std::initializer_list<const char*> nomi) {
    return *(nomi.begin() + intero(0, static_cast<std::int64_t>(nomi.size()) - 1));
  }
  static std::string n(std::int64_t v) { return std::to_string(v); }
  bool libera(std::int64_t c) const {
    return c >= 2 && c <= ultima_ - 2 && !occupata_[static_cast<std::size_t>(c)];
  }
  void occupa(std::int64_t c) { occupata_[static_cast<std::size_t>(c)] = true; }
  // Positions in metres whose cell round(p / 50 + offset) is free, in increasing order.
  std::vector<std::int64_t> posizioni(int quante, std::int64_t offset, std::int64_t da, std::int64_t a) {
    std::vector<std::int64_t> p;
    for (int i = 0; i < quante * 4 && static_cast<int>(p.size()) < quante; ++i) {
      const std::int64_t x = multiplo(da, a, 50);
      if (libera(x / 50 + offset)) {
        occupa(x / 50 + offset);
        p.push_back(x);
      }
    }
    std::sort(p.begin(), p.end());
    return p;
  }

  // Stations first: their stop cells are written over anything, so nothing else may stand there.
  void stazioni() {
    static constexpr int tipi[] = {2, 4, 5, 6, 7, 8, 12, 24, 28, 30};
    std::int64_t fine_precedente = -100000;
    std::int64_t p = multiplo(0, 1500, 50);
    const int quante = static_cast<int>(intero(1, 12));
    for (int k = 1; k <= quante; ++k) {
      const int tipo = tipi[intero(0, 9)];
      const std::int64_t zona = multiplo(100, 1200, 100);
      const bool allunga = moneta(30);
      std::int64_t inizio = 0, fine = 0;
      for (int prova = 0; prova < 20; ++prova) {
        if (tipo == 5 || tipo == 6) {
          inizio = p - zona;
          fine = p + 150;
        } else if (tipo == 7 || tipo == 8) {
          inizio = p - zona;
          fine = p + zona;
        } else {
          inizio = p - zona / 2;
          fine = p + zona / 2 + (allunga ? 50 : 0);
        }
        if (inizio - 350 >= fine_precedente && fine > 100 && libera(fine / 50 - 1)) break;
        p += 250;
      }
      if (p + 800 > 50 * (ultima_ - 2) || fine / 50 - 1 > ultima_ - 4) break;
      if (tipo < 25) {
        if (!libera(fine / 50 - 1)) break;
        occupa(fine / 50 - 1);
      }
      fine_precedente = fine;
      righe_stazioni_.push_back(
          "stazione," + n(p) + ", " + n(tipo) + ", " + n(zona) + ", " + n(intero(0, 3)) + ", " + n(intero(0, 2)) + ", " +
          n(allunga ? intero(1, 3) : 0) + ", " + n(intero(-3, 9)) + "," + n(intero(0, 2)) + "," + n(intero(0, 1)) + ", " +
          n(intero(0, 4)) + "," + n(intero(0, 1)) + "," + n(intero(0, 1)) + ", " + n(intero(0, 1)) + ", " +
          n(intero(0, 23)) + "," + n(intero(0, 59)) + "," + n(intero(0, 59)) + ", " +
          nome({"Rivalba", "Pieve Rosa", "\" Colle, Sarno \"", "San Liberio", "Fontanile", "Casterno"}));
      p = fine + multiplo(1000, 9000, 50);
    }
  }

  std::string linea() {
    std::string t = "[generale]\r\nlunghezza percorso,    " + n(lunghezza_) + "\r\n";
    // Chainage: restarts at increasing first values, some of them flagged 1 (b gains 100 once
    // ordered), some entries not in use; now and then all first values 0 and b deciding.
    const char* nomi[] = {"uno", "due", "tre"};
    const bool somma_zero = moneta(15);
    for (const char* nome_riga : nomi) {
      const bool in_uso = moneta(70);
      const std::int64_t a = somma_zero || !in_uso ? 0 : multiplo(0, lunghezza_, 50);
      const std::int64_t b = in_uso ? multiplo(-200000, 200000, 50) : 0;
      t += std::string("progressiva chilometrica ") + nome_riga + ",    " + n(a) + ",    " + n(b) + ",    " +
           n(in_uso && moneta(40) ? 1 : 0) + "\r\n";
    }
    t += "sfondo uno,    " + n(intero(0, 3)) + "\r\nsfondo due,    " + n(intero(0, 3)) + "\r\nsfondo tre,    " +
         n(intero(0, 3)) + "\r\n";
    const std::int64_t ripetizione_fine = moneta(20) ? 0 : multiplo(lunghezza_ / 2, lunghezza_, 50);
    t += std::string("ripetizione segnali ") + (moneta(50) ? "4" : "9") + " codici,    " + n(multiplo(0, 5000, 50)) +
         ",    " + n(ripetizione_fine) + "\r\n";

    t += "[curve]\r\n";
    std::int64_t fine = 0;
    for (std::int64_t p = intero(1, 2000); p < lunghezza_ - 2000; p = fine + intero(0, 3000)) {
      std::int64_t inizio = p;
      // Now and then a curve starts behind the plan cursor: it turns from the cursor on.
      if (fine > 200 && moneta(15)) inizio = fine - intero(1, 150);
      const std::int64_t lunghezza = intero(1, 1500);
      t += std::string("curva") + (moneta(50) ? "s" : "d") + n(intero(1, 6)) + ",  " + n(inizio) + ",  " +
           n(lunghezza) + "\r\n";
      fine = std::max(fine, inizio + lunghezza);
    }

    t += "[pendenze]\r\n";
    std::int64_t g = 0;
    for (std::int64_t p = moneta(80) ? 0 : multiplo(50, 2000, 50); p < lunghezza_; p += multiplo(50, 3000, 50)) {
      if (moneta(80)) g = intero(-30, 30);
      t += "pendenza,  " + n(p) + ",   " + n(g) + "\r\n";
    }

    t += "[montagne]\r\n";
    std::int64_t fine_m = 0;
    int montagne = 0;
    for (std::int64_t p = multiplo(500, 5000, 50); p < lunghezza_ - 3000 && montagne < 60; ++montagne) {
      const std::int64_t lunghezza = multiplo(50, 2500, 50);
      std::int64_t tipo = intero(1, 10);
      if (moneta(50)) tipo += 10;
      if (moneta(10)) tipo = 13;  // type 3 with marks, so that runs of type 3 meet
      t += "montagna,   " + n(p) + ",  " + n(p + lunghezza) + ",  " + n(tipo) + "\r\n";
      fine_m = p + lunghezza;
      // A quarter start right at the end or within 150 m: they become type 3.
      p = fine_m + (moneta(25) ? multiplo(0, 150, 50) : multiplo(200, 4000, 50));
    }

    t += "[cartelli]\r\n";
    for (std::int64_t p : posizioni(static_cast<int>(intero(0, 25)), 1, 100, lunghezza_ - 200)) {
      const std::int64_t va = multiplo(30, 180, 5), vb = va + multiplo(0, 20, 5), vc = vb + multiplo(0, 20, 5);
      const bool seconda = moneta(20);
      t += "indicatori_vmax,  " + n(p) + ",  " + n(va) + ",  " + n(vb) + ",  " + n(vc) + ",  " + n(intero(0, 2)) +
           ",  " + (seconda ? n(multiplo(0, 95, 5)) : "") + ",  " + (seconda ? n(multiplo(0, 95, 5)) : "") + ",  " +
           (seconda ? n(multiplo(0, 95, 5)) : "") + ",  " + n(intero(0, 2)) + "\r\n";
    }

    t += "[indicazioni]\r\n";
    const auto cartelli = posizioni(static_cast<int>(intero(0, 20)), 1, 100, lunghezza_ - 200);
    std::vector<std::string> righe;
    for (std::int64_t p : cartelli) {
      righe.push_back("cartello_indicatore,  " + n(p) + ",   " +
                      nome({"(Cippo )(  Km  )(11+000)", "(Culmine)", "\"  (Galleria), (Tormena)  \"", "(Bivio)(Ferraglio)",
                            "(Cavalcavia)(    Km    )(   1.900  )"}) +
                      "\r\n");
    }
    // Signs may stand in any order: their texts take the entries from 80 down in file order.
    if (moneta(30)) std::reverse(righe.begin(), righe.end());
    for (const auto& r : righe) t += r;
    t += "[fine]\r\n";
    return t;
  }

  std::string treno() {
    std::string t = "[generale]\r\nnumero vetture,    " + n(intero(1, 20)) + "\r\npercentuale massa frenata,    " +
                    n(intero(60, 160)) + "\r\nsabbia,    " + n(intero(0, 300)) + "\r\norologio,    " + n(intero(0, 23)) +
                    "               " + n(intero(0, 59)) + "            " + n(intero(0, 59)) + " \r\n";
    t += "[aderenze]\r\n";
    for (std::int64_t p = moneta(85) ? 0 : multiplo(50, 3000, 50); p < lunghezza_; p += multiplo(50, 20000, 50)) {
      t += "aderenza,  " + n(p) + ",    " + n(intero(40, 100)) + "\r\n";
    }
    t += "[vel_limite]\r\n";
    for (std::int64_t p = moneta(85) ? 0 : multiplo(50, 3000, 50); p < lunghezza_; p += multiplo(50, 8000, 50)) {
      t += "velocita,  " + n(p) + ",    " + n(intero(6, 40) * 5 + (moneta(10) ? 2 : 0)) + "\r\n";
    }
    t += "[stazioni]\r\n";
    for (const auto& r : righe_stazioni_) t += r + "\r\n";

    t += "[rallentamenti]\r\n";
    std::vector<std::string> segnali;
    const int quanti = static_cast<int>(intero(0, 5));
    for (int r = 0; r < quanti; ++r) rallentamento(t, segnali);

    t += "[segnali]\r\n";
    for (std::int64_t p : posizioni(static_cast<int>(intero(0, 40)), 1, 350, lunghezza_ - 200)) segnali.push_back(segnale(p));
    std::sort(segnali.begin(), segnali.end(), [](const std::string& a, const std::string& b) {
      return std::stoll(a.substr(8)) < std::stoll(b.substr(8));
    });
    // Now and then the rows stand against line order: where marks overlap, the order shows.
    if (moneta(20)) std::reverse(segnali.begin(), segnali.end());
    for (const auto& s : segnali) t += s;

    t += "[codici]\r\n";
    const auto tetti = posizioni(static_cast<int>(intero(0, 6)), 0, 100, lunghezza_ - 200);
    for (std::int64_t p : tetti) {
      const std::int64_t v = moneta(40) ? 180 : moneta(30) ? 0 : intero(10, 300);
      t += "abbattimento,  " + n(p) + ",  " + n(v) + "\r\n";
    }
    t += "[fine]\r\n\r\n";
    return t;
  }

  std::string segnale(std::int64_t p) {
    const std::int64_t sx = intero(0, 3);
    const std::int64_t dx = sx == 3 ? 0 : intero(0, 2);
    const std::int64_t tempo = moneta(50) ? 0 : intero(1, 255);
    return "segnale," + std::string(8 - std::min<std::size_t>(8, n(p).size()), ' ') + n(p) + ",   " + n(sx) + ", " +
           n(intero(0, 9)) + ", " + n(intero(0, 9)) + ",  " + n(intero(0, 9)) + ", " + n(intero(0, 30)) + ",    " +
           n(dx) + ",  " + n(intero(0, 9)) + "," + n(intero(0, 9)) + "," + n(intero(0, 9)) + ", " + n(tempo) + "\r\n";
  }

  // A slowdown with its warning point and steps, often slow enough for points inside it, with
  // signals where the completion pass looks for them: behind the warning board and just after
  // the end. Skipped when its cells are not free.
  void rallentamento(std::string& t, std::vector<std::string>& segnali) {
    const bool bassa = moneta(15);
    const std::int64_t x = bassa ? multiplo(1250, 1500, 50) : multiplo(1600, lunghezza_ - 3000, 50);
    const std::int64_t l = moneta(10) ? intero(0, 20) : multiplo(100, 2500, 50);
    const std::int64_t a = x / 50 + 1, e = (x + l) / 50 + 1, w = (x - 1200) / 50 + 1;
    const bool avviso = x > 1500;
    const bool gradini = avviso && moneta(60);
    std::vector<std::int64_t> celle = {a};
    if (e != a) celle.push_back(e);
    if (avviso) celle.push_back(w);
    if (gradini) {
      for (std::int64_t j = 1; j <= 4; ++j) celle.push_back(w - j);
    }
    for (std::int64_t c : celle) {
      if (!libera(c)) return;
    }
    if (e > ultima_ - 20) return;
    for (std::int64_t c : celle) occupa(c);
    const std::int64_t v = moneta(60) ? multiplo(30, 105, 5) : multiplo(110, 160, 5);
    t += "rallentamento,  " + n(x) + ",  " + n(v) + ",  " + n(l) + ",  " + n(intero(0, 3)) + ",  " +
         n(gradini ? 1 : 0) + ",  " + n(moneta(40) ? intero(1, 30) : 0) + "\r\n";
    // Signals up to 20 cells behind the warning board, and one up to 12 cells after the end.
    if (avviso && moneta(70)) {
      const std::int64_t c = w - intero(1, 20);
      if (c >= 9 && libera(c)) {
        occupa(c);
        segnali.push_back(segnale((c - 1) * 50));
      }
    }
    if (moneta(60)) {
      const std::int64_t c = e + intero(0, 12);
      if (libera(c)) {
        occupa(c);
        segnali.push_back(segnale((c - 1) * 50));
      }
    }
  }

  std::mt19937_64 caso_;
  std::int64_t lunghezza_ = 0;
  std::int64_t ultima_ = 0;
  std::vector<bool> occupata_;
  std::vector<std::string> righe_stazioni_;
};

}  // namespace scenario::prova
