// The decompiler: reads the route model back out of the three binary files and writes the
// rows that rebuild it. Each feature is recovered from the traces its store leaves (cell
// kinds and packed values, entries of `voci`, the plan's heading changes); the completion
// pass's own points are told apart by compiling candidates and comparing.
#include "tools/decompila.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <cstdlib>
#include <set>
#include <tuple>

#include "model/aritmetica.h"
#include "model/archivi.h"
#include "model/codici.h"
#include "compile/compile.h"
#include "model/completamento.h"
#include "output/output.h"
#include "reader/reader.h"

namespace scenario {

CompilatoInMemoria compila_in_memoria(const std::string& linea, const std::string& treno,
                                      const std::string& nome_percorso, const std::string& nome_treno,
                                      bool con_linea) {
  Modello m;
  m.nome_percorso = nome_percorso;
  m.nome_treno = nome_treno;
  Descrizioni d{{"linea", linea, {}}, {"treno", treno, {}}};
  CartellaInMemoria dove;
  std::int32_t scrivi_linea = con_linea ? 1 : 0;
  const EsitoCompilazione esito = memorizza_percorso(m, scrivi_linea, d, dove);
  CompilatoInMemoria c;
  c.codice_errore = m.codice_errore;
  c.rapporto = esito.rapporto;
  c.senza_celle = esito.senza_celle;
  c.file = std::move(dove.file);
  return c;
}

namespace {

constexpr std::int16_t valore_punto = 180;  // the completion pass's points

// Heading change per metre of the curve classes 1 to 6.
constexpr std::array<double, 6> k_classi = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

std::string a_destra(std::int64_t v, std::size_t larghezza) {
  std::string s = std::to_string(v);
  if (s.size() < larghezza) s.insert(0, larghezza - s.size(), ' ');
  return s;
}

bool stessi_bit(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool vuota(const Voce& v) {
  return v.tipo == 0 && v.inizio_zona == 0 && v.fine_zona == 0 && v.posizione_m == 0 && v.classe == 0 &&
         v.nome.empty() && v.parametro_1 == 0 && v.parametro_2 == 0 && v.parametro_3 == 0 && v.parametro_4 == 0 &&
         v.parametro_5 == 0 && v.opzione_1 == 0 && v.opzione_2 == 0 && v.opzione_3 == 0 && v.opzione_4 == 0 &&
         v.orario == 0;
}

bool punto_del_passo(const Cella& c) { return c.tipo == tipo_cella::abbattimento && c.valore1 == valore_punto; }

// A text field as the field reader gives it back: plain when it survives as it is, quoted when
// it has blanks at an end, a comma or a leading quote. Nothing when no field can carry it.
std::optional<std::string> campo_testo(const std::string& t) {
  if (t.find_first_of("\r\n") != std::string::npos) return std::nullopt;
  const bool spazio_ai_bordi = !t.empty() && (t.front() == ' ' || t.front() == '\t' || t.back() == ' ' ||
                                              t.back() == '\t');
  const bool da_citare = spazio_ai_bordi || t.find(',') != std::string::npos || (!t.empty() && t.front() == '"');
  if (!da_citare) return t;
  if (t.find('"') != std::string::npos) return std::nullopt;
  return "\"" + t + "\"";
}

// The decoded files and the sizes they imply.
struct Bersaglio {
  std::optional<Tracciato> tracciato;
  std::array<Voce, numero_voci> voci;
  std::vector<Cella> celle;
  std::int32_t ultima_cella = 0;
  std::int64_t lunghezza_estesa = 0;
};

std::optional<std::string> leggi_bersaglio(const FileBinari& f, Bersaglio& b) {
  auto voci = decodifica_simulazione(f.simulazione);
  if (!voci) return "the simulation file does not hold 87 whole entries";
  b.voci = std::move(*voci);
  if (f.treno.empty() || f.treno.size() % 15 != 0) return "the train data file is not a whole number of 15-byte cells";
  auto celle = decodifica_treno(f.treno);
  if (!celle || celle->size() < 2) return "the train data file holds fewer than two cells";
  b.celle = std::move(*celle);

  const Voce& generale = b.voci[voce_generale];
  const Voce& testata = b.voci[voce_testata_percorso];
  const std::int64_t lunghezza = generale.fine_zona;
  if (lunghezza > lunghezza_massima || lunghezza < -coda_percorso) {
    return "the simulation file gives the line a length of " + std::to_string(lunghezza) + " m";
  }
  b.lunghezza_estesa = lunghezza + coda_percorso;
  b.ultima_cella = static_cast<std::int32_t>(arrotonda(b.lunghezza_estesa, metri_cella));
  if (static_cast<std::int64_t>(b.celle.size()) != std::int64_t{b.ultima_cella} + 1) {
    return "the train data file has " + std::to_string(b.celle.size()) + " cells, but a line of " +
           std::to_string(lunghezza) + " m has " + std::to_string(b.ultima_cella + 1);
  }
  if (testata.parametro_1 != marca_linea || b.celle[1].valore1 != marca_percorso) {
    return "the header marks are missing: these are not files of this compiler";
  }
  Modello nomi;
  nomi.voci[voce_testata_percorso].nome = testata.nome;
  nomi.voci[voce_testata_treno].nome = b.voci[voce_testata_treno].nome;
  if (testata.orario != codice_gara_st(nomi) ||
      b.celle[1].valore2 != static_cast<std::int16_t>(codice_gara_og(nomi))) {
    return "the scenario codes do not match the route and train names in the simulation file";
  }

  if (f.linea) {
    auto t = decodifica_linea(*f.linea);
    if (!t) return "the line data file is not a run of tagged plan values";
    if (t->metri() != b.lunghezza_estesa + 1) {
      return "the line data file has " + std::to_string(t->metri()) + " metres, but a line of " +
             std::to_string(lunghezza) + " m has " + std::to_string(b.lunghezza_estesa + 1);
    }
    b.tracciato = std::move(*t);
  }
  return std::nullopt;
}

// One row of a description, kept with the position that orders it in its section.
struct Riga {
  std::int64_t ordine = 0;
  std::string testo;
};

class Ricostruzione {
 public:
  explicit Ricostruzione(const Bersaglio& b) : b_(b) {}

  // Recovers every row; on a plan that no curve rows can give, says why.
  std::optional<std::string> ricostruisci();

  // The two descriptions, with the speed-cap points in `espliciti` written as rows too.
  std::string testo_linea() const;
  std::string testo_treno(const std::set<std::int64_t>& espliciti) const;

  Deduzioni& deduzioni() { return d_; }
  const std::vector<std::int64_t>& punti_del_passo() const { return punti_180_; }

 private:
  const Cella& c(std::int64_t i) const { return b_.celle[static_cast<std::size_t>(i)]; }
  std::int64_t ultima() const { return b_.ultima_cella; }
  void ipotesi(const std::string& tipo, std::int64_t posizione) { d_.ipotesi[tipo].push_back(posizione); }
  void conta(const std::string& tipo, std::int64_t n = 1) { d_.righe[tipo] += n; }

  void generale_linea();
  std::optional<std::string> curve();
  void profilo(std::uint8_t Cella::*campo, const std::string& parola,
               std::vector<std::string>& righe, std::int64_t (*valore)(std::uint8_t),
               std::string (*forma)(const std::string&, std::int64_t, std::int64_t));
  void montagne();
  void indicatori();
  void cartelli();
  void generale_treno();
  void stazioni();
  void rallentamenti();
  struct SegnaleTrovato {
    std::int64_t cella;
    std::int64_t codice;  // sx × 3 + dx, which the approach marks carry
    std::string testo;
  };
  void segnali();
  std::vector<std::size_t> ordine_segnali(const std::vector<SegnaleTrovato>& segnali) const;
  void abbattimenti();

  const Bersaglio& b_;
  Deduzioni d_;

  std::vector<std::string> generale_linea_, curve_, pendenze_, montagne_, indicatori_, cartelli_;
  std::vector<std::string> generale_treno_, aderenze_, velocita_, stazioni_, rallentamenti_, segnali_;
  std::vector<Riga> abbattimenti_;       // explicit rows that are not the pass's points
  std::vector<std::int64_t> punti_180_;  // cells holding a point of value 180
};

std::optional<std::string> Ricostruzione::ricostruisci() {
  generale_linea();
  if (b_.tracciato) {
    if (auto perche = curve()) return perche;
  } else {
    d_.senza_curve = true;
  }
  profilo(&Cella::pendenza, "pendenza", pendenze_, [](std::uint8_t v) { return std::int64_t{v} - 100; },
          [](const std::string& p, std::int64_t pos, std::int64_t v) {
            return p + ",  " + std::to_string(pos) + ",   " + std::to_string(v);
          });
  montagne();
  indicatori();
  cartelli();
  generale_treno();
  profilo(&Cella::aderenza, "aderenza", aderenze_, [](std::uint8_t v) { return std::int64_t{v}; },
          [](const std::string& p, std::int64_t pos, std::int64_t v) {
            return p + "," + a_destra(pos, 8) + "," + a_destra(v, 6);
          });
  profilo(&Cella::velocita, "velocita", velocita_, [](std::uint8_t v) { return std::int64_t{v} * 5; },
          [](const std::string& p, std::int64_t pos, std::int64_t v) {
            // The first speed row of the exported description keeps its position unpadded.
            return p + "," + (pos == 0 ? std::string("   0") : a_destra(pos, 8)) + "," + a_destra(v, 6);
          });
  stazioni();
  rallentamenti();
  segnali();
  abbattimenti();
  return std::nullopt;
}

// --- line description -------------------------------------------------------------------------

void Ricostruzione::generale_linea() {
  const auto& v = b_.voci;
  generale_linea_.push_back("lunghezza percorso,    " + std::to_string(v[voce_generale].fine_zona));
  conta("lunghezza percorso");

  // The three chainage entries as they stand after ordering. The rows that gave them are
  // written so that the ordering puts them back: the first assignment, in line order (the
  // smallest first value to "uno", entries not in use last), that reproduces them.
  const std::array<Voce, 3> finali = {v[voce_progressiva_tre], v[voce_progressiva_due], v[voce_progressiva_uno]};
  std::array<Voce, 3> righe = finali;
  for (Voce& r : righe) {
    if (r.posizione_m == 1) r.fine_zona = static_cast<std::int32_t>(std::int64_t{r.fine_zona} - 100);
  }
  std::array<int, 3> ordine = {0, 1, 2};  // ordine[i]: which recovered entry goes to row uno, due, tre
  auto chiave = [&](int i) {
    const Voce& r = righe[static_cast<std::size_t>(i)];
    const bool in_uso = r.inizio_zona != 0 || r.fine_zona != 0 || r.posizione_m != 0;
    return std::pair{!in_uso, std::int64_t{r.inizio_zona}};
  };
  std::sort(ordine.begin(), ordine.end(), [&](int a, int b) { return chiave(a) < chiave(b); });
  // The preferred assignment first, then every other one.
  std::vector<std::array<int, 3>> prove = {ordine};
  std::array<int, 3> altra = {0, 1, 2};
  do {
    if (altra != ordine) prove.push_back(altra);
  } while (std::next_permutation(altra.begin(), altra.end()));
  std::array<int, 3> scelto = ordine;
  bool trovato = false;
  for (const auto& o : prove) {
    Modello prova;
    prova.voci[voce_progressiva_uno] = righe[static_cast<std::size_t>(o[0])];
    prova.voci[voce_progressiva_due] = righe[static_cast<std::size_t>(o[1])];
    prova.voci[voce_progressiva_tre] = righe[static_cast<std::size_t>(o[2])];
    if (!progressive_ordina(prova).ok()) continue;
    bool uguali = true;
    for (std::size_t i = 0; i < 3; ++i) {
      const Voce& p = prova.voci[voce_progressiva_tre + i];
      const Voce& f = finali[i];
      uguali = uguali && p.inizio_zona == f.inizio_zona && p.fine_zona == f.fine_zona && p.posizione_m == f.posizione_m;
    }
    if (uguali) {
      scelto = o;
      trovato = true;
      break;
    }
  }
  if (!trovato) ipotesi("chainage entries that no three rows give (written as they stand)", 0);
  const char* nomi[3] = {"uno", "due", "tre"};
  for (std::size_t i = 0; i < 3; ++i) {
    const Voce& r = righe[static_cast<std::size_t>(scelto[i])];
    generale_linea_.push_back(std::string("progressiva chilometrica ") + nomi[i] + ",    " +
                              std::to_string(r.inizio_zona) + ",    " + std::to_string(r.fine_zona) + ",    " +
                              std::to_string(r.posizione_m));
  }
  conta("progressiva chilometrica", 3);

  const Voce& percorso = v[voce_testata_percorso];
  generale_linea_.push_back("sfondo uno,    " + std::to_string(percorso.inizio_zona));
  generale_linea_.push_back("sfondo due,    " + std::to_string(percorso.posizione_m));
  generale_linea_.push_back("sfondo tre,    " + std::to_string(percorso.fine_zona));
  conta("sfondo", 3);

  const Voce& treno = v[voce_testata_treno];
  const char* codici = treno.posizione_m == 9 ? "9" : "4";
  generale_linea_.push_back(std::string("ripetizione segnali ") + codici + " codici,    " +
                            std::to_string(treno.inizio_zona) + ",    " + std::to_string(treno.fine_zona));
  conta("ripetizione segnali");
}

// Curves from the plan: each computed metre is the one before it plus the step before it,
// turned by k for a curved metre. The k that gives the metre's exact bits is its class; a run
// of metres with one k is one curve row.
std::optional<std::string> Ricostruzione::curve() {
  const Tracciato& t = *b_.tracciato;
  const auto& x = t.valori[0];
  const auto& y = t.valori[1];
  const auto& ex = t.etichette[0];
  const auto& ey = t.etichette[1];
  const std::int64_t metri = t.metri();
  if (metri < 2 || ex[0] != Etichetta::intero || ey[0] != Etichetta::intero || ex[1] != Etichetta::intero ||
      ey[1] != Etichetta::intero || x[0] != 0 || y[0] != 0 || x[1] != 0 || y[1] != 1) {
    return "the plan of the line does not start at (0, 0) heading along its second coordinate";
  }
  std::int64_t ultimo = 1;  // last computed metre
  while (ultimo + 1 < metri && ex[static_cast<std::size_t>(ultimo + 1)] == Etichetta::doppio &&
         ey[static_cast<std::size_t>(ultimo + 1)] == Etichetta::doppio) {
    ++ultimo;
  }
  for (std::int64_t m = ultimo + 1; m < metri; ++m) {
    if (ex[static_cast<std::size_t>(m)] != Etichetta::vuoto || ey[static_cast<std::size_t>(m)] != Etichetta::vuoto) {
      return "metre " + std::to_string(m) + " of the plan of the line is set after an unset metre";
    }
  }
  if (ultimo < std::min<std::int64_t>(b_.lunghezza_estesa - 2, metri - 1) && b_.lunghezza_estesa - 2 >= 2) {
    return "the plan of the line stops at metre " + std::to_string(ultimo) + ", before the end of the line";
  }

  // classe[m]: 0 straight, +c right, -c left (c the class 1..6).
  std::vector<std::int8_t> classe(static_cast<std::size_t>(metri), 0);
  std::int8_t precedente = 0;
  for (std::int64_t m = 2; m <= ultimo; ++m) {
    const auto i = static_cast<std::size_t>(m);
    const double d0 = x[i - 1] - x[i - 2];
    const double d1 = y[i - 1] - y[i - 2];
    auto prova = [&](std::int8_t c) {
      if (c == 0) return stessi_bit(x[i], x[i - 1] + d0) && stessi_bit(y[i], y[i - 1] + d1);
      double k = k_classi[static_cast<std::size_t>(std::abs(c) - 1)];
      if (c < 0) k = -k;
      return stessi_bit(x[i], x[i - 1] + (d0 + k * d1)) && stessi_bit(y[i], y[i - 1] + (d1 - k * d0));
    };
    std::optional<std::int8_t> trovata;
    if (prova(precedente)) {
      trovata = precedente;
    } else {
      for (int c : {0, 1, -1, 2, -2, 3, -3, 4, -4, 5, -5, 6, -6}) {
        const auto classe_c = static_cast<std::int8_t>(c);
        if (classe_c != precedente && prova(classe_c)) {
          trovata = classe_c;
          break;
        }
      }
    }
    if (!trovata) return "metre " + std::to_string(m) + " of the plan of the line follows from no curve class";
    classe[i] = *trovata;
    precedente = *trovata;
  }

  // Rows: a run of curved metres a..b is the row at a - 1 of length b - (a - 1). A run right
  // after another curve may start behind the plan cursor, so a row beyond the last allowed
  // position is moved back to it.
  const std::int64_t limite = metri_cella * ultima() - 100;
  std::int64_t m = 2;
  while (m <= ultimo) {
    const std::int8_t c = classe[static_cast<std::size_t>(m)];
    if (c == 0) {
      ++m;
      continue;
    }
    std::int64_t fine = m;
    while (fine + 1 <= ultimo && classe[static_cast<std::size_t>(fine + 1)] == c) ++fine;
    std::int64_t inizio = m - 1;
    if (inizio > limite && classe[static_cast<std::size_t>(m - 1)] != 0) {
      inizio = limite;
      ipotesi("curve rows started behind the plan cursor", m - 1);
    }
    curve_.push_back(std::string(c < 0 ? "curvas" : "curvad") + std::to_string(std::abs(c)) + ",  " +
                     std::to_string(inizio) + ",  " + std::to_string(fine - inizio));
    conta("curva");
    m = fine + 1;
  }
  return std::nullopt;
}

// A profile stored one byte per cell (gradient, speed, adhesion): rows where the byte changes.
// The rows' fill leaves cells 0 .. ultima_cella - 3 written; cell ultima_cella - 2 only by a
// row at that very cell.
void Ricostruzione::profilo(std::uint8_t Cella::*campo, const std::string& parola, std::vector<std::string>& righe,
                            std::int64_t (*valore)(std::uint8_t),
                            std::string (*forma)(const std::string&, std::int64_t, std::int64_t)) {
  const std::int64_t ultima_normale = std::max<std::int64_t>(0, ultima() - 3);
  righe.push_back(forma(parola, 0, valore(c(0).*campo)));
  for (std::int64_t i = 1; i <= ultima_normale; ++i) {
    if (c(i).*campo != c(i - 1).*campo) righe.push_back(forma(parola, i * metri_cella, valore(c(i).*campo)));
  }
  const std::int64_t coda = ultima() - 2;
  if (coda > ultima_normale && c(coda).*campo != 0) {
    righe.push_back(forma(parola, coda * metri_cella, valore(c(coda).*campo)));
  }
  conta(parola, static_cast<std::int64_t>(righe.size()));
}

// Hill sections: runs of one `tipo_montagna`, with filler marks (kind 11) every 4th cell of a
// section that has them. A mark hidden under a later feature leaves no trace; a run whose
// marks change phase is several sections of type 3 (a section starting within 150 m of the
// previous one becomes type 3).
void Ricostruzione::montagne() {
  struct Tratto {
    std::int64_t prima, ultima;
    std::uint8_t tipo;
    bool segni;
  };
  std::vector<Tratto> tratti;
  auto segno = [&](std::int64_t i) { return c(i).tipo == tipo_cella::riempitivo_montagna; };
  auto occupata = [&](std::int64_t i) { return c(i).tipo != tipo_cella::niente; };
  // Can one marked section cover first..last?
  auto con_segni = [&](std::int64_t prima, std::int64_t ultima_cella) {
    for (std::int64_t i = prima; i <= ultima_cella; ++i) {
      const bool fase = (i - prima) % 4 == 3;
      if (fase && !occupata(i)) return false;
      if (!fase && segno(i)) return false;
    }
    return true;
  };
  std::int64_t i = 0;
  while (i <= ultima()) {
    const std::uint8_t tipo = c(i).tipo_montagna;
    if (tipo == 0) {
      ++i;
      continue;
    }
    std::int64_t fine = i;
    while (fine + 1 <= ultima() && c(fine + 1).tipo_montagna == tipo) ++fine;
    std::vector<std::int64_t> segni;
    for (std::int64_t j = i; j <= fine; ++j) {
      if (segno(j)) segni.push_back(j);
    }
    if (segni.empty() || con_segni(i, fine) || tipo != 3) {
      tratti.push_back({i, fine, tipo, !segni.empty()});
    } else {
      // Type 3 sections may follow one another. Each marked section starts three cells before
      // its first mark and runs while its marks keep their phase; the cells between marked
      // sections form sections without marks.
      std::int64_t inizio = i;
      while (inizio <= fine) {
        std::int64_t primo = inizio;
        while (primo <= fine && !segno(primo)) ++primo;
        if (primo > fine) {
          tratti.push_back({inizio, fine, tipo, false});
          break;
        }
        const std::int64_t da = std::max(inizio, primo - 3);  // below primo - 3: no section carries it
        if (da > inizio) tratti.push_back({inizio, da - 1, tipo, false});
        std::int64_t j = da, ultimo_segno = primo;
        for (; j <= fine; ++j) {
          const bool fase = (j - da) % 4 == 3;
          if ((fase && !occupata(j)) || (!fase && segno(j))) break;
          if (segno(j)) ultimo_segno = j;
        }
        const std::int64_t a = j > fine ? fine : ultimo_segno;
        tratti.push_back({da, a, tipo, true});
        if (a < fine) ipotesi("hill sections of type 3 split where their filler marks change phase", (a + 1) * metri_cella);
        inizio = a + 1;
      }
    }
    i = fine + 1;
  }
  for (const Tratto& t : tratti) {
    // 1..10 as it is; with marks, 10 more; a type above 10 without marks wraps to its low byte.
    std::int64_t tipo = t.tipo;
    if (t.segni) {
      tipo += 10;
    } else if (tipo > 10) {
      tipo -= 256;
    }
    montagne_.push_back("montagna,   " + std::to_string(t.prima * metri_cella) + ",  " +
                        std::to_string((t.ultima + 1) * metri_cella) + ",  " + std::to_string(tipo));
  }
  conta("montagna", static_cast<std::int64_t>(tratti.size()));
}

// Speed-indicator boards (kind 6): each speed pair is first × 20 + second / 5.
void Ricostruzione::indicatori() {
  auto coppia = [](std::int16_t v) {
    const std::int64_t resto = ((std::int64_t{v} % 20) + 20) % 20;
    return std::pair{(std::int64_t{v} - resto) / 20, resto * 5};
  };
  auto seconda = [](std::int64_t v) { return v == 0 ? std::string() : std::to_string(v); };
  for (std::int64_t i = 0; i <= ultima(); ++i) {
    const Cella& x = c(i);
    if (x.tipo != tipo_cella::indicatore_v_max) continue;
    const auto [vas, vad] = coppia(x.valore1);
    const auto [vbs, vbd] = coppia(x.valore2);
    const auto [vcs, vcd] = coppia(x.valore3);
    const std::int64_t strisce = x.valore4;
    const std::int64_t strisced = ((strisce % 10) + 10) % 10;
    const std::int64_t strisces = (strisce - strisced) / 10;
    indicatori_.push_back("indicatori_vmax,  " + std::to_string((i - 1) * metri_cella) + ",  " + std::to_string(vas) +
                          ",  " + std::to_string(vbs) + ",  " + std::to_string(vcs) + ",  " + std::to_string(strisces) +
                          ",  " + seconda(vad) + ",  " + seconda(vbd) + ",  " + seconda(vcd) + ",  " +
                          std::to_string(strisced));
    conta("indicatori_vmax");
  }
}

// Signs (kind 14): their texts stand in the entries from 80 down, taken in file order.
void Ricostruzione::cartelli() {
  std::vector<std::pair<std::int64_t, std::int64_t>> per_slot;  // slot, cell
  for (std::int64_t i = 0; i <= ultima(); ++i) {
    if (c(i).tipo == tipo_cella::cartello) per_slot.emplace_back(c(i).valore1, i);
  }
  std::sort(per_slot.begin(), per_slot.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& [slot, i] : per_slot) {
    std::string testo;
    if (slot >= 1 && slot < numero_voci) testo = b_.voci[static_cast<std::size_t>(slot)].nome;
    auto campo = campo_testo(testo);
    if (!campo) {
      ipotesi("sign texts that no field can carry (a quote with a comma or blank at an end)", (i - 1) * metri_cella);
      campo = testo;
    }
    cartelli_.push_back("cartello_indicatore,  " + std::to_string((i - 1) * metri_cella) + ",   " + *campo);
    conta("cartello_indicatore");
  }
}

// --- train description ------------------------------------------------------------------------

void Ricostruzione::generale_treno() {
  const Voce& g = b_.voci[voce_generale];
  const Voce& t = b_.voci[voce_testata_treno];
  generale_treno_.push_back("numero vetture,    " + std::to_string(g.posizione_m));
  generale_treno_.push_back("percentuale massa frenata,    " + std::to_string(g.inizio_zona));
  generale_treno_.push_back("sabbia,    " + std::to_string(t.parametro_1));
  generale_treno_.push_back("orologio,    " + std::to_string(t.parametro_3) + "               " +
                            std::to_string(t.parametro_4) + "            " + std::to_string(t.parametro_5) + " ");
  conta("numero vetture");
  conta("percentuale massa frenata");
  conta("sabbia");
  conta("orologio");
}

// Stations: entries 1 upward, up to the first empty entry or the first sign text. The zone
// length follows from the zone and the type; fields the reader clears are written as 0.
void Ricostruzione::stazioni() {
  std::int64_t primo_cartello = prima_voce_cartello + 1;
  for (std::int64_t i = 0; i <= ultima(); ++i) {
    if (c(i).tipo == tipo_cella::cartello) primo_cartello = std::min<std::int64_t>(primo_cartello, c(i).valore1);
  }
  for (std::int64_t k = 1; k < primo_cartello && k < voce_progressiva_tre; ++k) {
    const Voce& s = b_.voci[static_cast<std::size_t>(k)];
    if (vuota(s)) break;
    const std::int64_t p = s.posizione_m;
    std::int64_t lunghezza = 0;
    std::int64_t opzione_3 = s.opzione_3;
    if (s.tipo == 5 || s.tipo == 6 || s.tipo == 7 || s.tipo == 8) {
      lunghezza = p - s.inizio_zona;
      ipotesi("station option 3 (cleared for types 5 to 8), written as 0", p);
    } else {
      lunghezza = 2 * (p - s.inizio_zona);
      const bool allungata = std::int64_t{s.fine_zona} - p - lunghezza / 2 == 50;
      if (k == 1) {
        opzione_3 = allungata ? 1 : 0;
        ipotesi(allungata ? "first station's option 3 (cleared; its zone end shows it was set), written as 1"
                          : "first station's option 3 (cleared), written as 0",
                p);
      }
    }
    if (lunghezza < 600 || k == 1) ipotesi("station option 4 (cleared for zones under 600 m and the first station), written as 0", p);
    const std::int64_t orario = s.orario;
    const std::int64_t ore = orario / 3600;
    const std::int64_t minuti = (orario % 3600) / 60;
    const std::int64_t secondi = orario % 60;
    auto nome = campo_testo(s.nome);
    if (!nome) {
      ipotesi("station names that no field can carry (a quote with a comma or blank at an end)", p);
      nome = s.nome;
    }
    stazioni_.push_back("stazione," + a_destra(p, 8) + "," + a_destra(s.tipo, 3) + "," + a_destra(lunghezza, 5) + "," +
                        a_destra(s.classe, 3) + "," + a_destra(s.opzione_4, 2) + "," + a_destra(opzione_3, 2) + "," +
                        a_destra(s.parametro_1, 3) + "," + a_destra(s.parametro_2, 1) + "," +
                        a_destra(s.opzione_1, 1) + "," + a_destra(s.parametro_3, 3) + "," +
                        a_destra(s.parametro_4, 1) + "," + a_destra(s.parametro_5, 1) + "," +
                        a_destra(s.opzione_2, 5) + "," + a_destra(ore, 4) + "," + a_destra(minuti, 2) + "," +
                        a_destra(secondi, 2) + ", " + *nome);
    conta("stazione");
  }
}

// Slowdowns: a start (kind 3) and the first end (kind 2) after it with the same values; the
// warning point 24 cells before the start (kind 4) and the four pre-warning steps (kind 5)
// before that. A start with no end of its own is a slowdown shorter than a cell.
void Ricostruzione::rallentamenti() {
  std::vector<std::int64_t> fini;
  for (std::int64_t i = 0; i <= ultima(); ++i) {
    if (c(i).tipo == tipo_cella::fine_rallentamento) fini.push_back(i);
  }
  std::vector<bool> usata(fini.size(), false);
  for (std::int64_t a = 0; a <= ultima(); ++a) {
    const Cella& inizio = c(a);
    if (inizio.tipo != tipo_cella::inizio_rallentamento) continue;
    std::int64_t e = a;
    for (std::size_t j = 0; j < fini.size(); ++j) {
      const Cella& f = c(fini[j]);
      if (usata[j] || fini[j] < a || f.valore1 != inizio.valore1 || f.valore2 != inizio.valore2 ||
          f.valore3 != inizio.valore3) {
        continue;
      }
      usata[j] = true;
      e = fini[j];
      break;
    }
    std::int64_t x = (a - 1) * metri_cella;
    // Cell 31 is the one start that may or may not have its warning point: 1500 m has none,
    // 1501 m to 1524 m have it in cell 7.
    const std::int64_t avviso = a - 24;
    const bool ha_avviso = avviso >= 0 && c(avviso).tipo == tipo_cella::avviso_rallentamento &&
                           c(avviso).valore1 == inizio.valore1 && c(avviso).valore2 == inizio.valore2;
    if (a == 31 && ha_avviso) x = 1510;
    bool gradini = x > 1500 && avviso >= 4;
    for (std::int64_t j = 1; gradini && j <= 4; ++j) {
      const Cella& g = c(avviso - j);
      gradini = g.tipo == tipo_cella::preavviso_rallentamento && g.valore1 == j;
    }
    if (x <= 1500) ipotesi("slowdown pre-warning flag (ignored at or before 1500 m), written as 0", x);
    const std::int64_t lunghezza = (e - 1) * metri_cella - x;
    rallentamenti_.push_back("rallentamento," + a_destra(x, 8) + "," + a_destra(inizio.valore1, 6) + "," +
                             a_destra(lunghezza, 6) + "," + a_destra(inizio.valore3, 3) + "," +
                             a_destra(gradini ? 1 : 0, 3) + "," + a_destra(inizio.valore2, 3));
    conta("rallentamento");
  }
}

// Signals (kind 1): values packed as s × 10 + d, the fourth as rapp × 10 + sx × 3 + dx; the
// time byte is kept only for sx = 2.
void Ricostruzione::segnali() {
  auto separa = [](std::int64_t v) {
    const std::int64_t basso = ((v % 10) + 10) % 10;
    return std::pair{(v - basso) / 10, basso};
  };
  std::vector<SegnaleTrovato> trovati;
  for (std::int64_t i = 0; i <= ultima(); ++i) {
    const Cella& s = c(i);
    if (s.tipo != tipo_cella::segnale) continue;
    const std::int64_t p = (i - 1) * metri_cella;
    const auto [s1, d1] = separa(s.valore1);
    const auto [s2, d2] = separa(s.valore2);
    const auto [s3, d3] = separa(s.valore3);
    const auto [rapp, codice] = separa(s.valore4);
    std::int64_t sx = std::min<std::int64_t>(codice / 3, 3);
    if (s.tempo_segnale != 0) sx = 2;  // only sx = 2 keeps a time
    const std::int64_t dx = codice - sx * 3;
    std::int64_t tempo = s.tempo_segnale;
    if (tempo >= 1 && tempo <= 100) {
      tempo += 256;  // the store raises 1..100 to 101; only the low byte is kept
      ipotesi("signal time of 1 to 100 as stored (written as that value + 256)", p);
    }
    if (sx != 2) ipotesi("signal time (not stored when the s group code is not 2), written as 0", p);
    trovati.push_back({i, codice,
                       "segnale," + a_destra(p, 8) + "," + a_destra(sx, 4) + "," + a_destra(s1, 2) + "," +
                           a_destra(s2, 2) + "," + a_destra(s3, 3) + "," + a_destra(rapp, 2) + "," + a_destra(dx, 5) +
                           "," + a_destra(d1, 3) + "," + a_destra(d2, 1) + "," + a_destra(d3, 1) + ", " +
                           std::to_string(tempo)});
    conta("segnale");
  }
  for (std::size_t k : ordine_segnali(trovati)) segnali_.push_back(trovati[k].testo);
}

// The order of the signal rows. Each writes approach marks two, four, six and eight cells
// before it, over the marks of the stations (whose rows come first) and of earlier signals;
// the mark a cell shows is the last one written. In line order unless that leaves a cell
// with another mark than the file's: then the rows are ordered from the last one back, each
// time taking the furthest signal whose marks all stand as written or under later ones.
std::vector<std::size_t> Ricostruzione::ordine_segnali(const std::vector<SegnaleTrovato>& segnali) const {
  std::vector<std::size_t> ordine(segnali.size());
  for (std::size_t k = 0; k < ordine.size(); ++k) ordine[k] = k;
  auto segno = [](const SegnaleTrovato& s, std::int64_t b) { return bassi_8(s.codice * 10 + b); };
  auto dentro = [&](std::int64_t i) { return i >= 0 && i <= ultima(); };

  // Marks as line order leaves them, over the stations' marks.
  std::vector<std::uint8_t> segni(b_.celle.size(), 0);
  for (std::int64_t k = 1; k < voce_progressiva_tre; ++k) {
    const Voce& s = b_.voci[static_cast<std::size_t>(k)];
    if (vuota(s)) break;
    if (s.tipo >= 25 || s.tipo == 5 || s.tipo == 6) continue;
    for (std::int64_t z = 1; z <= 4; ++z) {
      const std::int64_t metri = std::int64_t{s.fine_zona} - metri_cella * (z + 1);
      const std::int64_t i = arrotonda(metri, metri_cella);
      if (metri > metri_cella && dentro(i)) segni[static_cast<std::size_t>(i)] = bassi_8(80 + z);
    }
  }
  std::vector<std::uint8_t> in_ordine = segni;
  for (const SegnaleTrovato& s : segnali) {
    for (std::int64_t b = 1; b <= 4; ++b) {
      if (dentro(s.cella - 2 * b)) in_ordine[static_cast<std::size_t>(s.cella - 2 * b)] = segno(s, b);
    }
  }
  bool va_bene = true;
  for (std::int64_t i = 0; i <= ultima() && va_bene; ++i) va_bene = in_ordine[static_cast<std::size_t>(i)] == c(i).preavviso;
  if (va_bene) return ordine;

  std::vector<bool> coperta(b_.celle.size(), false), messo(segnali.size(), false);
  std::vector<std::size_t> al_contrario;
  while (al_contrario.size() < segnali.size()) {
    bool trovato = false;
    for (std::size_t k = segnali.size(); k-- > 0 && !trovato;) {
      if (messo[k]) continue;
      bool puo = true;
      for (std::int64_t b = 1; b <= 4 && puo; ++b) {
        const std::int64_t i = segnali[k].cella - 2 * b;
        puo = !dentro(i) || coperta[static_cast<std::size_t>(i)] || c(i).preavviso == segno(segnali[k], b);
      }
      if (!puo) continue;
      for (std::int64_t b = 1; b <= 4; ++b) {
        const std::int64_t i = segnali[k].cella - 2 * b;
        if (dentro(i)) coperta[static_cast<std::size_t>(i)] = true;
      }
      messo[k] = true;
      al_contrario.push_back(k);
      trovato = true;
    }
    if (!trovato) return ordine;  // no order gives these marks: the check will say where
  }
  return {al_contrario.rbegin(), al_contrario.rend()};
}

// Speed-cap points (kinds 12 and 13). Points of value 180 may be the completion pass's own;
// which of them need a row is settled by compiling (see decompila).
void Ricostruzione::abbattimenti() {
  for (std::int64_t i = 0; i <= ultima(); ++i) {
    const Cella& x = c(i);
    if (punto_del_passo(x)) {
      punti_180_.push_back(i);
    } else if (x.tipo == tipo_cella::abbattimento) {
      // A speed above 0 whose low 16 bits are the stored value.
      const std::int64_t v = x.valore1 > 0 ? x.valore1 : std::int64_t{x.valore1} + 65536;
      abbattimenti_.push_back({i, "abbattimento," + a_destra(i * metri_cella, 8) + "," + a_destra(v, 6)});
      conta("abbattimento");
    } else if (x.tipo == tipo_cella::abbattimento_senza_velocita) {
      abbattimenti_.push_back({i, "abbattimento," + a_destra(i * metri_cella, 8) + "," + a_destra(0, 6)});
      conta("abbattimento");
    }
  }
}

std::string unisci(std::initializer_list<std::pair<const char*, const std::vector<std::string>*>> sezioni,
                   const char* chiusura) {
  std::string t;
  for (const auto& [intestazione, righe] : sezioni) {
    t += intestazione;
    t += "\r\n";
    for (const std::string& r : *righe) {
      t += r;
      t += "\r\n";
    }
  }
  t += chiusura;
  return t;
}

std::string Ricostruzione::testo_linea() const {
  return unisci({{"[generale]", &generale_linea_},
                 {"[curve]", &curve_},
                 {"[pendenze]", &pendenze_},
                 {"[montagne]", &montagne_},
                 {"[cartelli]", &indicatori_},
                 {"[indicazioni]", &cartelli_}},
                "[fine]\r\n");
}

std::string Ricostruzione::testo_treno(const std::set<std::int64_t>& espliciti) const {
  std::vector<Riga> righe = abbattimenti_;
  for (std::int64_t i : espliciti) {
    righe.push_back({i, "abbattimento," + a_destra(i * metri_cella, 8) + "," + a_destra(valore_punto, 6)});
  }
  std::sort(righe.begin(), righe.end(), [](const Riga& a, const Riga& b) { return a.ordine < b.ordine; });
  std::vector<std::string> codici;
  for (const Riga& r : righe) codici.push_back(r.testo);
  return unisci({{"[generale]", &generale_treno_},
                 {"[aderenze]", &aderenze_},
                 {"[vel_limite]", &velocita_},
                 {"[stazioni]", &stazioni_},
                 {"[rallentamenti]", &rallentamenti_},
                 {"[segnali]", &segnali_},
                 {"[codici]", &codici}},
                "[fine]\r\n\r\n");
}

// Where two train data files differ, cell by cell, in words (at most `quante`).
std::vector<std::string> differenze_celle(const std::vector<Cella>& attese, const std::vector<Cella>& ottenute,
                                          std::size_t quante) {
  std::vector<std::string> d;
  if (attese.size() != ottenute.size()) {
    d.push_back("the train data file has " + std::to_string(ottenute.size()) + " cells instead of " +
                std::to_string(attese.size()));
    return d;
  }
  for (std::size_t i = 0; i < attese.size() && d.size() < quante; ++i) {
    const Cella& a = attese[i];
    const Cella& o = ottenute[i];
    auto campo = [&](const char* nome, std::int64_t x, std::int64_t y) {
      if (x != y && d.size() < quante) {
        d.push_back("cell " + std::to_string(i) + " (" + std::to_string(i * metri_cella) + " m): " + nome + " " +
                    std::to_string(y) + " instead of " + std::to_string(x));
      }
    };
    campo("tipo", a.tipo, o.tipo);
    campo("valore1", a.valore1, o.valore1);
    campo("valore2", a.valore2, o.valore2);
    campo("valore3", a.valore3, o.valore3);
    campo("valore4", a.valore4, o.valore4);
    campo("tempo_segnale", a.tempo_segnale, o.tempo_segnale);
    campo("preavviso", a.preavviso, o.preavviso);
    campo("tipo_montagna", a.tipo_montagna, o.tipo_montagna);
    campo("velocita", a.velocita, o.velocita);
    campo("pendenza", a.pendenza, o.pendenza);
    campo("aderenza", a.aderenza, o.aderenza);
  }
  return d;
}

bool uguali(const Voce& a, const Voce& b) {
  auto campi = [](const Voce& v) {
    return std::tie(v.tipo, v.inizio_zona, v.fine_zona, v.posizione_m, v.classe, v.nome, v.parametro_1, v.parametro_2,
                    v.parametro_3, v.parametro_4, v.parametro_5, v.opzione_1, v.opzione_2, v.opzione_3, v.opzione_4,
                    v.orario);
  };
  return campi(a) == campi(b);
}

std::vector<std::string> differenze_voci(const std::array<Voce, numero_voci>& attese,
                                         const std::array<Voce, numero_voci>& ottenute) {
  std::vector<std::string> d;
  for (std::size_t i = 0; i < attese.size(); ++i) {
    if (!uguali(attese[i], ottenute[i])) d.push_back("entry " + std::to_string(i) + " of the simulation file differs");
  }
  return d;
}

// The points of value 180 that need a row of their own. The descriptions without such rows
// are read once; the completion pass then runs on copies of those cells with a set of cells
// already holding a point (what a row there does), and the set grows one cell at a time: for
// the first cell where the pass's points differ from the files', the cell whose row moves that
// first difference furthest (a missing point, or a point the pass placed nearby that stood
// there already in the original and so pushed the pass elsewhere).
std::set<std::int64_t> punti_espliciti(const Bersaglio& b, const Ricostruzione& r, const std::string& linea) {
  std::set<std::int64_t> espliciti;
  if (r.punti_del_passo().empty()) return espliciti;
  Modello base;
  base.nome_percorso = b.voci[voce_testata_percorso].nome;
  base.nome_treno = b.voci[voce_testata_treno].nome;
  azzera_voci(base);
  Descrizioni d{{"linea", linea, {}}, {"treno", r.testo_treno({}), {}}};
  (void)memorizza_dati(base, d);
  if (base.celle.size() != b.celle.size()) return espliciti;

  const std::set<std::int64_t> punti(r.punti_del_passo().begin(), r.punti_del_passo().end());
  auto cella_di_b = [&](std::int64_t i) -> const Cella& { return b.celle[static_cast<std::size_t>(i)]; };
  // Cells where the pass's points differ from the files', in order.
  auto differenze = [&](const std::set<std::int64_t>& insieme) {
    Modello m;
    m.ultima_cella = base.ultima_cella;
    m.celle = base.celle;
    for (std::int64_t i : insieme) {
      Cella& c = m.celle[static_cast<std::size_t>(i)];
      c.tipo = tipo_cella::abbattimento;
      c.valore1 = valore_punto;
    }
    completa_celle(m);
    std::vector<std::int64_t> diverse;
    for (std::size_t i = 0; i < m.celle.size(); ++i) {
      const Cella& o = m.celle[i];
      const Cella& a = b.celle[i];
      const bool punto = o.tipo == tipo_cella::abbattimento || a.tipo == tipo_cella::abbattimento;
      if (punto && (o.tipo != a.tipo || (i != 1 && o.valore1 != a.valore1))) diverse.push_back(static_cast<std::int64_t>(i));
    }
    return diverse;
  };
  auto voto = [](const std::vector<std::int64_t>& diverse) {
    const std::int64_t prima = diverse.empty() ? std::numeric_limits<std::int64_t>::max() : diverse.front();
    return std::pair{prima, -static_cast<std::int64_t>(diverse.size())};
  };
  // A row can put a point only in a cell that is free when it is read.
  auto possibile = [&](std::int64_t i) {
    return punti.count(i) != 0 && espliciti.count(i) == 0 && libera(base.celle[static_cast<std::size_t>(i)]);
  };

  std::vector<std::int64_t> diverse = differenze(espliciti);
  // Each step costs some 20 runs of the pass; a foreign file full of points stops here and
  // the final check reports what is left.
  constexpr std::size_t passi_massimi = 1000;
  while (!diverse.empty() && espliciti.size() < passi_massimi) {
    const std::int64_t x = diverse.front();
    std::optional<std::int64_t> migliore;
    auto meglio = voto(diverse);
    for (std::int64_t y = x + 2; y >= x - 20; --y) {
      if (y < 0 || y >= static_cast<std::int64_t>(b.celle.size()) || !possibile(y)) continue;
      if (y != x && !punto_del_passo(cella_di_b(y))) continue;
      auto prova = espliciti;
      prova.insert(y);
      const auto v = voto(differenze(prova));
      if (v > meglio) {
        meglio = v;
        migliore = y;
      }
    }
    if (!migliore) break;
    espliciti.insert(*migliore);
    diverse = differenze(espliciti);
  }
  return espliciti;
}

}  // namespace

EsitoDecompila decompila(const FileBinari& f) {
  EsitoDecompila esito;
  Bersaglio b;
  if (auto perche = leggi_bersaglio(f, b)) {
    esito.rifiuto = *perche;
    return esito;
  }
  Ricostruzione r(b);
  if (auto perche = r.ricostruisci()) {
    esito.rifiuto = *perche;
    return esito;
  }
  Decompilato d;
  d.nome_percorso = b.voci[voce_testata_percorso].nome;
  d.nome_treno = b.voci[voce_testata_treno].nome;
  d.linea = r.testo_linea();

  const std::set<std::int64_t> espliciti = punti_espliciti(b, r, d.linea);
  for (std::int64_t i : espliciti) {
    r.deduzioni().ipotesi["speed-cap points the completion pass does not place by itself, written as abbattimento rows"]
        .push_back(i * metri_cella);
  }
  r.deduzioni().righe["abbattimento"] += static_cast<std::int64_t>(espliciti.size());
  d.treno = r.testo_treno(espliciti);
  d.deduzioni = r.deduzioni();

  // The final check: the pair compiled as `percorso compile` would, every file compared.
  const std::string nome_treno_file = nome_file_treno(d.nome_percorso, d.nome_treno);
  const std::string nome_sim = nome_file_simulazione(d.nome_percorso, d.nome_treno);
  const auto finale = compila_in_memoria(d.linea, d.treno, d.nome_percorso, d.nome_treno, f.linea.has_value());
  auto confronta = [&](const std::string& nome, const std::string& atteso) {
    const auto it = finale.file.find(nome);
    if (it == finale.file.end()) {
      d.differenze.push_back(nome + " is not written");
      return;
    }
    if (it->second == atteso) return;
    if (nome == nome_treno_file) {
      auto ottenute = decodifica_treno(it->second);
      if (ottenute) {
        auto diff = differenze_celle(b.celle, *ottenute, 12);
        d.differenze.insert(d.differenze.end(), diff.begin(), diff.end());
        return;
      }
    } else if (nome == nome_sim) {
      auto ottenute = decodifica_simulazione(it->second);
      if (ottenute) {
        auto diff = differenze_voci(b.voci, *ottenute);
        d.differenze.insert(d.differenze.end(), diff.begin(), diff.end());
        return;
      }
    }
    d.differenze.push_back(nome + " differs");
  };
  if (f.linea) confronta(nome_file_linea(d.nome_percorso), *f.linea);
  confronta(nome_sim, f.simulazione);
  confronta(nome_treno_file, f.treno);
  if (finale.rapporto != 0) d.differenze.push_back("the compile stops with report " + std::to_string(finale.rapporto));
  d.identico = d.differenze.empty();
  esito.risultato = std::move(d);
  return esito;
}

}  // namespace scenario
