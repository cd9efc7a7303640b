// The warnings: what the compile step accepts but drops or changes without a word.
#include <algorithm>
#include <map>

#include "diagnostics/controllo.h"
#include "model/archivi.h"

namespace scenario {
namespace {

std::string minuscolo(std::string_view t) {
  std::string s(t);
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

std::string_view senza_spazi(std::string_view t) {
  const auto a = t.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  const auto b = t.find_last_not_of(" \t");
  return t.substr(a, b - a + 1);
}

bool intestazione(std::string_view t) {
  t = senza_spazi(t);
  return t.size() >= 2 && t.front() == '[' && t.back() == ']';
}

bool numerico(std::string_view t) {
  t = senza_spazi(t);
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
  return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::size_t distanza(std::string_view a, std::string_view b) {
  std::vector<std::size_t> riga(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) riga[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonale = riga[0];
    riga[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t prima = riga[j];
      riga[j] = std::min({riga[j] + 1, riga[j - 1] + 1, diagonale + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonale = prima;
    }
  }
  return riga[b.size()];
}

// The keywords as the exported descriptions write them, for "did you mean".
constexpr std::string_view parole_linea[] = {"lunghezza percorso", "progressiva chilometrica uno",
                                             "progressiva chilometrica due", "progressiva chilometrica tre",
                                             "sfondo uno", "sfondo due", "sfondo tre", "ripetizione segnali 4 codici",
                                             "pendenza", "curvas", "curvad", "montagna", "indicatori_vmax",
                                             "cartello_indicatore"};
constexpr std::string_view parole_treno[] = {"numero vetture", "percentuale massa frenata", "sabbia", "orologio",
                                             "aderenza", "velocita", "stazione", "segnale", "rallentamento",
                                             "abbattimento"};

std::optional<std::string_view> forse(std::string_view campo, bool treno) {
  const std::string t = minuscolo(senza_spazi(campo));
  const std::string primo = t.substr(0, t.find(' '));
  std::optional<std::string_view> migliore;
  std::size_t minima = 3;
  for (std::string_view p : treno ? std::span<const std::string_view>(parole_treno) : std::span(parole_linea)) {
    const std::string_view primo_p = p.substr(0, p.find(' '));
    const std::size_t d = std::min(distanza(t, p), distanza(primo, primo_p));
    const std::size_t soglia = primo_p.size() >= 6 ? 2 : 1;
    if (d <= soglia && d < minima) {
      minima = d;
      migliore = p;
    }
  }
  return migliore;
}

// How the exported descriptions begin the keyword field of each row.
std::span<const std::string_view> inizi(const DescrizioneRiga& r) {
  static constexpr std::string_view lunghezza[] = {"lunghezza"}, progressiva[] = {"progressiva"},
                                    sfondo[] = {"sfondo"}, ripetizione[] = {"ripetizione"}, pendenza[] = {"pendenza"},
                                    curva[] = {"curva"}, montagna[] = {"montagna"}, indicatori[] = {"indicatori_v"},
                                    cartello[] = {"cartello", "indicat"}, vetture[] = {"numero", "vetture"},
                                    massa[] = {"percentuale", "massa", "frenata"}, velocita[] = {"velocit"},
                                    aderenza[] = {"aderenza"}, orologio[] = {"orologio"}, sabbia[] = {"sabbia"},
                                    segnale[] = {"segnale"}, rallentamento[] = {"rallentamento"},
                                    abbattimento[] = {"abbattimento"}, stazione[] = {"stazione"};
  const std::string_view p = r.chiave.parola, a = r.chiave.anche;
  if (p == "percorso") return lunghezza;
  if (a == "progressiva") return progressiva;
  if (p == "sfondo") return sfondo;
  if (p == "segnali") return ripetizione;
  if (p == "pendenza") return pendenza;
  if (p == "curva") return curva;
  if (p == "montagna") return montagna;
  if (p == "indicatori_v") return indicatori;
  if (p == "indicat") return cartello;
  if (p == "vetture") return vetture;
  if (p == "frenata") return massa;
  if (p == "velocit") return velocita;
  if (p == "aderenza") return aderenza;
  if (p == "orologio") return orologio;
  if (p == "sabbia") return sabbia;
  if (p == "segnale") return segnale;
  if (p == "rallentamento") return rallentamento;
  if (p == "abbattimento") return abbattimento;
  return stazione;
}

// One field of a file in reading order, with what the reader made of it.
struct Posto {
  const CampoLetto* c;
  const CampoVisto* chiave = nullptr;  // a keyword field
  const RigaVista* riga = nullptr;     // a value field of this row
  std::size_t indice = 0;              // which value
};

}  // namespace

void Controllo::parole_chiave() {
  // Every field of each file in reading order.
  std::vector<Posto> posti[2];
  for (const CampoVisto& c : r_.campi) posti[c.treno ? 1 : 0].push_back({&c.c, &c});
  for (const RigaVista& r : r_.righe) {
    for (std::size_t i = 0; i < r.campi.size(); ++i) posti[r.treno ? 1 : 0].push_back({&r.campi[i], nullptr, &r, i});
  }
  for (auto& p : posti) {
    std::stable_sort(p.begin(), p.end(), [](const Posto& a, const Posto& b) {
      return std::pair(a.c->linea, a.c->colonna) < std::pair(b.c->linea, b.c->colonna);
    });
  }

  std::map<std::string, const CampoVisto*> sezioni[2];
  int curve_senza_piano = 0;
  std::optional<std::size_t> prima_curva;
  for (int f = 0; f < 2; ++f) {
    const bool treno = f == 1;
    bool dopo_ignota = false;  // the previous field on this line was passed over as no row
    std::int32_t linea_precedente = 0;
    const Posto* precedente = nullptr;
    for (const Posto& posto : posti[f]) {
      if (posto.c->linea != linea_precedente) dopo_ignota = false;
      const Posto* prima = precedente != nullptr && precedente->c->linea == posto.c->linea ? precedente : nullptr;
      precedente = &posto;
      linea_precedente = posto.c->linea;
      if (posto.chiave == nullptr) continue;
      const CampoVisto& c = *posto.chiave;
      const std::string_view t = senza_spazi(c.c.testo);
      const Luogo qui = luogo(c.c, treno);
      if (t.empty()) continue;
      if (intestazione(t) && c.righe.empty() && !c.prima_del_generale) {
        auto [it, nuova] = sezioni[f].emplace(minuscolo(t), &c);
        if (!nuova) {
          Diagnostica& g = avviso("duplicate-section", qui,
                                  "the section " + tra_apici(t) +
                                      " is given twice: headers mean nothing to the reader, so its rows simply follow "
                                      "the others");
          nota(g, luogo(it->second->c, treno), "the first " + tra_apici(t) + " is here");
        }
        continue;
      }
      // Which rows of any section the field holds.
      const DescrizioneRiga* di_altra = nullptr;
      const DescrizioneRiga* propria = nullptr;
      if (!treno) {
        for (const auto& tabella : {tipi_riga_generale(), tipi_riga_linea()}) {
          for (const DescrizioneRiga& r : tabella) {
            if (!r.chiave.riconosce(c.c.testo)) continue;
            (r.sezione == c.sezione ? propria : di_altra) = &r;
          }
        }
      } else {
        for (const DescrizioneRiga& r : tipi_riga_treno()) {
          if (r.chiave.riconosce(c.c.testo)) propria = &r;
        }
      }
      const DescrizioneRiga* qualunque = propria != nullptr ? propria : di_altra;

      if (c.scartato) {
        if (qualunque != nullptr && t.front() != '-') {
          avviso("row-without-effect", qui,
                 tra_apici(t) + " holds a minus sign, so the reader drops it as a comment: the " +
                     std::string(qualunque->nome) + " is not read");
        }
        continue;
      }
      if (c.prima_del_generale) {
        if (qualunque != nullptr && !contiene(t, "[generale]")) {
          avviso("row-without-effect", qui,
                 "the " + std::string(qualunque->nome) + " " + tra_apici(t) +
                     " stands before the `[generale]` field: everything before it is passed over");
        }
        continue;
      }
      if (!c.guardato) {
        if (qualunque != nullptr) {
          avviso("row-without-effect", qui,
                 tra_apici(t) + " is the file's last field: the reader stops there and never reads it as a row");
        }
        continue;
      }
      if (!c.righe.empty()) {
        dopo_ignota = false;
        continue;
      }
      // The field is no row where it stands.
      if (numerico(t) && prima != nullptr && prima->riga != nullptr && prima->indice + 1 == prima->riga->campi.size()) {
        const CampoLetto& v = *prima->c;
        const std::size_t tra = static_cast<std::size_t>(c.c.colonna - v.colonna_fine);
        if (tra == 1 && numerico(v.testo) && c.c.colonna_fine > c.c.colonna &&
            c.c.testo.find_first_of(" \t") == std::string_view::npos) {
          Diagnostica& g = avviso("decimal-comma", luogo(v, treno),
                                  nome_campo(*prima->riga, prima->indice) + " is written " +
                                      tra_apici(std::string(v.testo) + "," + std::string(t)) +
                                      ": a comma always ends a field, so the value is " + tra_apici(v.testo) +
                                      " and " + tra_apici(t) + " is read as a field of its own");
          nota(g, qui, "this field is passed over");
          dopo_ignota = true;
          continue;
        }
      }
      if (dopo_ignota) continue;
      dopo_ignota = true;
      if (prima != nullptr && prima->riga != nullptr && prima->riga->chiave.linea != posto.c->linea) continue;
      if (prima != nullptr && prima->riga != nullptr) {
        avviso("extra-field", qui,
               tra_apici(t) + " stands after the " + std::string(prima->riga->tipo->nome) + "'s last field (" +
                   n(static_cast<std::int64_t>(prima->riga->tipo->campi.size()) + 1) +
                   " fields): it is read as the next keyword field and passed over");
        continue;
      }
      if (di_altra != nullptr) {
        avviso("row-without-effect", qui,
               c.sezione == Sezione::generale
                   ? "the " + std::string(di_altra->nome) + " stands inside the general block, where only the general "
                                                            "rows are read: it is passed over"
                   : "the " + std::string(di_altra->nome) + " stands after the general block, where it has no effect");
        continue;
      }
      if (propria != nullptr) {  // a curve while the plan is not built: said once, at the first
        if (curve_senza_piano++ == 0) {
          prima_curva = out_.size();
          avviso("row-without-effect", qui,
                 "curve rows are read only while the plan of the line is built: without it this row and its values "
                 "are passed over");
        }
        continue;
      }
      // The general rows' words must stand in lower case.
      bool maiuscole = false;
      for (const DescrizioneRiga& r : tipi_riga_generale()) {
        if (r.chiave.esatta && Chiave(r.chiave.parola, r.chiave.anche).riconosce(c.c.testo)) maiuscole = true;
      }
      if (!treno && maiuscole) {
        avviso("row-without-effect", qui,
               tra_apici(t) + ": the words `progressiva`, `uno`, `due`, `tre`, `sfondo`, `ripetizione` and `segnali` "
                              "must stand in lower case; as written the row is passed over");
        continue;
      }
      std::string messaggio = "unknown keyword " + tra_apici(t) + ": the field is no row of the " +
                              (treno ? "train" : "line") + " description and is passed over";
      if (const auto p = forse(t, treno)) messaggio += "; did you mean " + tra_apici(*p) + "?";
      avviso("unknown-keyword", qui, messaggio);
    }
  }

  if (prima_curva && curve_senza_piano > 1) {
    out_[*prima_curva].messaggio += ", and so are the other " + n(curve_senza_piano - 1) + " curve rows";
  }

  // Rows taken from fields that are not written as their keyword.
  for (const RigaVista& r : r_.righe) {
    const std::string t = minuscolo(senza_spazi(r.chiave.testo));
    const Luogo qui = luogo_chiave(r);
    if (intestazione(t)) {
      avviso("keyword-inside-word", qui,
             "the section header " + tra_apici(senza_spazi(r.chiave.testo)) + " holds the keyword " +
                 tra_apici(r.tipo->chiave.parola) + " and is read as a " + std::string(r.tipo->nome) +
                 ": its fields are taken from what follows");
      continue;
    }
    const auto prefissi = inizi(*r.tipo);
    const bool normale = std::any_of(prefissi.begin(), prefissi.end(), [&](std::string_view p) { return t.starts_with(p); });
    if (!normale) {
      avviso("keyword-inside-word", qui,
             tra_apici(senza_spazi(r.chiave.testo)) + " is read as a " + std::string(r.tipo->nome) +
                 " because it holds the keyword " + tra_apici(r.tipo->chiave.parola));
      continue;
    }
    if (e_riga(r, "curva")) {
      const std::string_view resto = std::string_view(t).substr(5);
      const bool sinistra = t.find('s') != std::string::npos;
      const bool scritta = !resto.empty() && (resto[0] == 's' || resto[0] == 'd');
      int cifre = 0;
      for (char d : std::string_view("123456")) cifre += t.find(d) != std::string::npos ? 1 : 0;
      if (cifre == 0) continue;  // no class at all: an error of its own (curve-without-class)
      if (!scritta || (resto[0] == 'd' && sinistra) || cifre > 1) {
        avviso("keyword-inside-word", qui,
               tra_apici(senza_spazi(r.chiave.testo)) + " is read as a " + (sinistra ? "left" : "right") +
                   " curve (an \"s\" anywhere in the field makes it left) of class " +
                   std::string(1, t[t.find_first_of("123456")]) +
                   " (the first of the digits 1 to 6, tested in that order): write `curvas` or `curvad` and one digit");
      }
    }
  }
}

void Controllo::righe() {
  const RigaVista* lunghezza = lunghezza_;
  for (const RigaVista& r : r_.righe) {
    // Fields taken from the lines after the keyword's.
    for (std::size_t i = 0; i < r.campi.size(); ++i) {
      if (r.campi[i].linea == r.chiave.linea) continue;
      Diagnostica& g = avviso("row-spans-lines", luogo_chiave(r),
                              "the " + std::string(r.tipo->nome) + " is short of fields on its line: " +
                                  nome_campo(r, i) + " is taken from line " + n(r.campi[i].linea));
      nota(g, luogo_valore(r, i),
           "this field is read as field " + n(static_cast<std::int64_t>(i) + 2) + " of the row");
      break;
    }
    if (!r.riuscita) continue;
    for (std::size_t i = 0; i < r.numeri.size() && i < r.tipo->campi.size(); ++i) {
      if (!r.numeri[i]) continue;
      const std::int64_t v = *r.numeri[i];
      const CampoRiga& f = r.tipo->campi[i];
      const auto [a, b] = limiti_larghezza(f.larghezza);
      if ((f.minimo > a || f.massimo < b) && (v < f.minimo || v > f.massimo)) {
        std::string come;
        if (e_riga(r, "pendenza")) {
          come = "it is stored as " + n(static_cast<std::int64_t>((v + scarto_pendenza) & 0xFF) - scarto_pendenza);
        } else if (f.massimo == 255 && f.minimo == 0) {
          come = "it is stored as " + n(v & 0xFF);
        } else if (f.minimo == -32768 && f.massimo == 32767) {
          come = "it is stored as " + n(static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF)));
        } else {
          come = "the packed value it goes into no longer reads back as written";
        }
        avviso("value-wraps", luogo_valore(r, i),
               nome_campo(r, i) + " is " + tra_apici(r.campi[i].testo) + ": expected " + n(f.minimo) + " to " +
                   n(f.massimo) + "; " + come);
      }
    }
    if (e_riga(r, "velocit") && r.numeri.size() >= 2 && r.numeri[1] && *r.numeri[1] % passo_velocita != 0) {
      avviso("precision-lost", luogo_valore(r, 1),
             nome_campo(r, 1) + " is " + tra_apici(r.campi[1].testo) +
                 ": the cells keep speeds in steps of 5 km/h, so it is stored as " +
                 n(arrotonda(*r.numeri[1], passo_velocita) * passo_velocita) + " km/h");
    }
    if (e_riga(r, "indicatori_v")) {
      for (std::size_t i = 5; i <= 7 && i < r.numeri.size(); ++i) {
        if (r.numeri[i] && *r.numeri[i] % 5 != 0) {
          avviso("precision-lost", luogo_valore(r, i),
                 nome_campo(r, i) + " is " + tra_apici(r.campi[i].testo) +
                     ": the board keeps it as a fifth, so it reads back as " + n(arrotonda(*r.numeri[i], 5) * 5) +
                     " km/h");
        }
      }
    }
    if (r.tipo->posizionale && !r.numeri.empty() && r.numeri[0]) {
      const std::int64_t p = *r.numeri[0];
      if (p % metri_cella != 0 && !e_riga(r, "stazione")) {
        avviso("precision-lost", luogo_valore(r, 0),
               nome_campo(r, 0) + " is " + tra_apici(r.campi[0].testo) +
                   ": rows take effect in whole 50 m cells, so it is placed as if at " +
                   n(arrotonda(p, metri_cella) * metri_cella) + " m");
      }
      if (lunghezza != nullptr && p > lunghezza_linea() && !senza_lunghezza_) {
        Diagnostica& g = avviso("beyond-line-end", luogo_valore(r, 0),
                                "the " + std::string(r.tipo->nome) + " at " + n(p) + " m lies past the line's end, in "
                                                                                      "the 7000 m run-out");
        nota(g, luogo_valore(*lunghezza, 0), "the line is " + n(lunghezza_linea()) + " m long, set here");
      }
    }
  }
}

void Controllo::ordine_e_doppioni() {
  // Rows of one kind along the line, and general rows given twice.
  std::map<const DescrizioneRiga*, const RigaVista*> ultima;
  std::map<const DescrizioneRiga*, std::int64_t> fine_precedente;
  for (const RigaVista& r : r_.righe) {
    const DescrizioneRiga* k = r.tipo;
    const auto precedente = ultima.find(k);
    const RigaVista* prima = precedente != ultima.end() ? precedente->second : nullptr;
    ultima[k] = &r;
    // The end of the previous curve or hill section, then this one's for the next.
    std::optional<std::int64_t> fine_prima;
    if (const auto f = fine_precedente.find(k); f != fine_precedente.end()) fine_prima = f->second;
    if (r.numeri.size() >= 2 && r.numeri[0] && r.numeri[1]) {
      fine_precedente[k] = e_riga(r, "curva") ? *r.numeri[0] + *r.numeri[1] : *r.numeri[1];
    }
    if (!k->posizionale) {
      if (prima != nullptr) {
        Diagnostica& g = avviso("duplicate-row", luogo_chiave(r),
                                "the " + std::string(k->nome) + " is given twice: this one overwrites the first");
        nota(g, luogo_chiave(*prima), "the first is here");
      }
      continue;
    }
    if (prima == nullptr || r.numeri.empty() || !r.numeri[0] || prima->numeri.empty() || !prima->numeri[0]) continue;
    const std::int64_t p = *r.numeri[0], q = *prima->numeri[0];
    const bool profilo = e_riga(r, "pendenza") || e_riga(r, "velocit") || e_riga(r, "aderenza");
    const bool ordinata = profilo || e_riga(r, "curva") || e_riga(r, "montagna");
    if (e_riga(r, "stazione") && p < q) {
      Diagnostica& g = avviso("stations-out-of-order", luogo_valore(r, 0),
                              "the station at " + n(p) + " m comes after the station at " + n(q) +
                                  " m: stations are compared with the row before them and must follow the line");
      nota(g, luogo_chiave(*prima), "the previous station row is here");
    } else if (ordinata && p < q) {
      Diagnostica& g = avviso("out-of-order", luogo_valore(r, 0),
                              "the " + std::string(k->nome) + " at " + n(p) + " m comes after the one at " + n(q) +
                                  " m: rows of this kind must come in increasing order of position");
      nota(g, luogo_chiave(*prima), "the previous one is here");
    } else if (profilo && p == q) {
      Diagnostica& g = avviso("duplicate-row", luogo_valore(r, 0),
                              "a second " + std::string(k->nome) + " at " + n(p) +
                                  " m: the first one's value fills one more cell and this one's follows it");
      nota(g, luogo_chiave(*prima), "the first is here");
    }
    // Curves and hill sections that overlap the one before.
    if ((e_riga(r, "curva") || e_riga(r, "montagna")) && p >= q && fine_prima && p < *fine_prima) {
      Diagnostica& g = avviso("clashing-features", luogo_valore(r, 0),
                              "the " + std::string(k->nome) + " starts at " + n(p) + " m, before the previous one ends at " +
                                  n(*fine_prima) +
                                  (e_riga(r, "curva") ? " m: its curved metres start where the previous curve ends"
                                                      : " m: the later section's type overwrites the earlier one's"));
      nota(g, luogo_chiave(*prima), "the previous one is here");
    }
  }

  // A station stop written over a feature placed before it.
  for (const RigaVista& r : r_.righe) {
    if (!r.treno || !e_riga(r, "stazione") || !r.riuscita) continue;
    for (std::int64_t c : celle_della_riga(r)) {
      const RigaVista* o = occupante(c, &r);
      if (o == nullptr || o == &r || e_riga(*o, "stazione")) continue;
      Diagnostica& g = avviso("clashing-features", luogo_chiave(r),
                              "the station's stop goes into cell " + n(c) + ", written over the " +
                                  std::string(o->tipo->nome) + " there without an error");
      nota(g, luogo_chiave(*o), "the " + std::string(o->tipo->nome) + " is here");
    }
  }
}

void Controllo::velocita_e_cartelli() {
  std::vector<const RigaVista*> cartelli;
  for (const RigaVista& r : r_.righe) {
    if (!r.treno && e_riga(r, "indicatori_v") && r.riuscita && r.numeri.size() >= 4 && r.numeri[0] && r.numeri[3]) {
      cartelli.push_back(&r);
    }
  }
  std::stable_sort(cartelli.begin(), cartelli.end(),
                   [](const RigaVista* a, const RigaVista* b) { return *a->numeri[0] < *b->numeri[0]; });
  bool prima_velocita = true, prima_aderenza = true;
  for (const RigaVista& r : r_.righe) {
    if (!r.treno || r.numeri.size() < 2 || !r.numeri[0] || !r.numeri[1]) continue;
    const bool velocita = e_riga(r, "velocit");
    if (!velocita && !e_riga(r, "aderenza")) continue;
    const std::int64_t p = *r.numeri[0];
    bool& prima = velocita ? prima_velocita : prima_aderenza;
    if (prima && cella_di(p) > 0) {
      avviso("first-row-not-at-zero", luogo_valore(r, 0),
             std::string("the first ") + (velocita ? "speed-limit" : "adhesion") + " row is at " + n(p) +
                 " m: the cells before it get " + (velocita ? "a speed of 0 km/h" : "an adhesion of 0") +
                 ", a value nobody chose; start the list at 0 m");
    }
    prima = false;
    if (!velocita) continue;
    // The last board at or before p (the boards are sorted by position, in file order on a tie).
    const auto dopo = std::upper_bound(cartelli.begin(), cartelli.end(), p,
                                       [](std::int64_t q, const RigaVista* c) { return q < *c->numeri[0]; });
    const RigaVista* in_vigore = dopo == cartelli.begin() ? nullptr : *(dopo - 1);
    if (in_vigore != nullptr && *in_vigore->numeri[3] != *r.numeri[1]) {
      Diagnostica& g = avviso("speed-disagrees-with-boards", luogo_valore(r, 1),
                              "the train's limit from " + n(p) + " m is " + n(*r.numeri[1]) +
                                  " km/h, but the boards in force there give rank C " + n(*in_vigore->numeri[3]) +
                                  " km/h");
      nota(g, luogo_valore(*in_vigore, 3), "the board in force, at " + n(*in_vigore->numeri[0]) + " m");
    }
  }
}

void Controllo::testi() {
  // A UTF-8 byte-order mark at the start of a file: said once, as itself.
  for (const auto& [d, treno] : {std::pair{&d_.linea, false}, std::pair{&d_.treno, true}}) {
    if (d->testo && d->testo->starts_with("\xEF\xBB\xBF")) {
      avviso("utf8-text", {d->nome, 1, 1, 4},
             "the file starts with a UTF-8 byte-order mark: the descriptions are Windows-1252 text; save it as "
             "Windows-1252, without the mark");
    }
  }
  auto guarda = [this](const CampoLetto& c, bool treno) {
    std::string_view t = c.testo;
    if (c.linea == 1 && c.colonna == 1 && t.starts_with("\xEF\xBB\xBF")) t.remove_prefix(3);
    bool controllo = false, utf8 = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
      const auto b = static_cast<unsigned char>(t[i]);
      if ((b < 0x20 && b != '\t') || b == 0x7F) controllo = true;
      if (b >= 0xC2 && b <= 0xF4 && i + 1 < t.size() && (static_cast<unsigned char>(t[i + 1]) & 0xC0) == 0x80) {
        utf8 = true;
      }
    }
    if (controllo) {
      avviso("control-character", luogo(c, treno),
             "the field " + tra_apici(t) + " holds a control byte: the simulator shows it as it is");
    }
    if (utf8) {
      const auto inteso = cp1252_da_utf8(t);
      std::string messaggio = "the field " + tra_apici(t) +
                              " holds UTF-8 bytes, but the files are Windows-1252: the simulator shows it as written "
                              "here";
      if (inteso) messaggio += ", not as " + tra_apici(*inteso);
      avviso("utf8-text", luogo(c, treno), messaggio + "; save the description as Windows-1252");
    }
  };
  for (const CampoVisto& c : r_.campi) guarda(c.c, c.treno);
  for (const RigaVista& r : r_.righe) {
    for (std::size_t i = 0; i < r.campi.size() && i < r.tipo->campi.size(); ++i) {
      if (r.tipo->campi[i].larghezza == Larghezza::testo) guarda(r.campi[i], r.treno);
    }
  }
}

}  // namespace scenario
