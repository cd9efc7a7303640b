// `controlla`: reads both descriptions as a check (the readers report every field, row and
// code and go on), runs the completion pass and the header checks on what they stored, and
// turns all of it into diagnostics: the errors with the compile step's codes, said at the
// field that causes them, and the warnings about what the compile step accepts silently.
#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "compile/compile.h"
#include "diagnostics/controllo.h"
#include "model/archivi.h"
#include "model/completamento.h"
#include "output/output.h"

namespace scenario {

// --- input that is surely not a description -----------------------------------------------------

bool Controllo::sano(const Descrizione& d, bool treno) {
  const std::string_view t = *d.testo;
  const Luogo file = luogo_file(treno);
  if (t.find_first_not_of(" \t\r\n") == std::string_view::npos) {
    errore("empty-file", std::nullopt, file,
           std::string(treno ? "the train description" : "the line description") +
               " is empty: expected a \"[generale]\" block and its rows");
    return false;
  }
  const bool bom16 = t.size() >= 2 && ((t[0] == '\xFF' && t[1] == '\xFE') || (t[0] == '\xFE' && t[1] == '\xFF'));
  std::size_t nul = 0, nul_alterni = 0, controllo = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const auto b = static_cast<unsigned char>(t[i]);
    if (b == 0) {
      ++nul;
      if (i > 0 && t[i - 1] != '\0') ++nul_alterni;
    } else if (b < 0x20 && b != '\t' && b != '\r' && b != '\n') {
      ++controllo;
    }
  }
  if (bom16 || (nul > 0 && nul_alterni * 4 >= t.size() / 2)) {
    errore("utf16-content", std::nullopt, file,
           "the file is UTF-16 text: descriptions are single-byte Windows-1252 text; save it as Windows-1252 "
           "(\"ANSI\") with CR LF line ends");
    return false;
  }
  if (nul > 0 || controllo * 20 > t.size()) {
    errore("binary-content", std::nullopt, file,
           "the file holds " + n(static_cast<std::int64_t>(nul + controllo)) +
               " binary bytes (NUL or control bytes): it is not a description");
    return false;
  }
  return true;
}

// Fields that hold a row keyword of each description, counted over the whole file.
std::pair<int, int> parole_di(std::string_view testo) {
  int linea = 0, treno = 0;
  LettoreCampi l(testo);
  while (!l.finito()) {
    auto c = l.testo();
    if (!c) break;
    for (const DescrizioneRiga& r : tipi_riga_linea()) linea += r.chiave.riconosce(c->testo) ? 1 : 0;
    if (contiene(c->testo, "lunghezza") && contiene(c->testo, "percorso")) ++linea;
    for (const DescrizioneRiga& r : tipi_riga_treno()) treno += r.chiave.riconosce(c->testo) ? 1 : 0;
  }
  return {linea, treno};
}

void Controllo::scambiate() {
  const auto [linea_in_linea, treno_in_linea] = parole_di(*d_.linea.testo);
  const auto [linea_in_treno, treno_in_treno] = parole_di(*d_.treno.testo);
  if (treno_in_linea > linea_in_linea && linea_in_treno > treno_in_treno) {
    errore("swapped-descriptions", std::nullopt, luogo_file(false),
           "this looks like a train description (" + n(treno_in_linea) + " train rows, " + n(linea_in_linea) +
               " line rows), and the train description looks like a line description: the two files are given the "
               "other way round");
  } else if (treno_in_linea > linea_in_linea) {
    errore("swapped-descriptions", std::nullopt, luogo_file(false),
           "this looks like a train description (" + n(treno_in_linea) + " train rows, " + n(linea_in_linea) +
               " line rows) given as the line description");
  } else if (linea_in_treno > treno_in_treno) {
    errore("swapped-descriptions", std::nullopt, luogo_file(true),
           "this looks like a line description (" + n(linea_in_treno) + " line rows, " + n(treno_in_treno) +
               " train rows) given as the train description");
  }
}

// --- the run -------------------------------------------------------------------------------------

std::vector<Diagnostica> Controllo::esegui() {
  if (o_.nome_percorso.empty()) {
    avviso("empty-name", Luogo{},
           "the route name is empty: the files are named `_linea.dat`, `_" + o_.nome_treno + ".sim` and `_" +
               o_.nome_treno + ".dat`");
  }
  if (o_.nome_treno.empty()) {
    avviso("empty-name", Luogo{},
           "the train name is empty: the files are named `" + o_.nome_percorso + "_.sim` and `" + o_.nome_percorso +
               "_.dat`");
  }
  bool sani = true;
  for (const auto& [d, treno] : {std::pair{&d_.linea, false}, std::pair{&d_.treno, true}}) {
    if (!d->testo) {
      // What the compile step makes of it: code 101 for the line description, 25 for the train's.
      errore(treno ? "unreadable-file" : "line-description-missing", treno ? codice::guasto : codice::linea_mancante,
             luogo_file(treno),
             "cannot read the " + std::string(treno ? "train" : "line") + " description: " + d->illeggibile);
      sani = false;
    } else if (!sano(*d, treno)) {
      sani = false;
    }
  }
  if (sani) scambiate();
  const bool scambio = std::any_of(out_.begin(), out_.end(), [](const Diagnostica& g) {
    return g.id == "swapped-descriptions";
  });
  if (!sani || scambio) {
    return std::move(out_);
  }

  m_.nome_percorso = o_.nome_percorso;
  m_.nome_treno = o_.nome_treno;
  m_.scrivi_linea = o_.scrivi_linea;
  azzera_voci(m_);
  (void)memorizza_dati(m_, d_, &r_);
  // Without a length the route has no cells: every row is beyond it, said once.
  lunghezza_ = lunghezza_letta();
  senza_lunghezza_ = lunghezza_ == nullptr;
  const bool nessuna_riga_lunghezza = std::none_of(r_.righe.begin(), r_.righe.end(), [](const RigaVista& r) {
    return !r.treno && e_riga(r, "percorso");
  });
  if (nessuna_riga_lunghezza) {
    const CampoVisto* generale = nullptr;
    const CampoVisto* fine_blocco = nullptr;
    for (const CampoVisto& c : r_.campi) {
      if (c.treno) continue;
      if (c.prima_del_generale && contiene(c.c.testo, "[generale]")) generale = &c;
      if (!c.prima_del_generale && c.sezione == Sezione::generale) fine_blocco = &c;
    }
    if (generale != nullptr) {
      Diagnostica& g = errore("no-line-length", codice::guasto, luogo(generale->c, false),
                              "the general block has no `lunghezza percorso` row: the route has no cells, so no row "
                              "can be placed and nothing is written");
      if (fine_blocco != nullptr) {
        nota(g, luogo(fine_blocco->c, false),
             "the general block ends here, at the first field that looks like a header");
      }
    }
  }
  const bool generale_treno = std::any_of(r_.campi.begin(), r_.campi.end(), [](const CampoVisto& c) {
    return c.treno && c.prima_del_generale && contiene(c.c.testo, "[generale]");
  });
  if (!generale_treno) {
    errore("no-general-block", std::nullopt, luogo_file(true),
           "no `[generale]` field: nothing of the train description is used, so the scenario would have no "
           "stations, no speed limits and no signals");
  } else if (std::none_of(r_.righe.begin(), r_.righe.end(), [](const RigaVista& r) { return r.treno; })) {
    errore("empty-file", std::nullopt, luogo_file(true),
           "the train description has no rows after `[generale]`: the scenario would have no stations, no speed "
           "limits and no signals");
  }
  if (m_.celle.size() >= 2) completamento_ = completa_celle(m_);

  esiti();
  completamento();
  testata();
  parole_chiave();
  righe();
  ordine_e_doppioni();
  velocita_e_cartelli();
  testi();
  rete_di_sicurezza();

  // In the order of the files (line description first), then of lines and columns; the
  // order found within one place.
  std::vector<std::pair<std::tuple<int, std::int32_t, std::int32_t, std::size_t>, std::size_t>> ordine;
  for (std::size_t i = 0; i < out_.size(); ++i) {
    const Luogo& l = out_[i].luogo;
    const int file = l.file.empty() ? 0 : l.file == d_.linea.nome ? 1 : 2;
    ordine.push_back({{file, l.linea, l.colonna, i}, i});
  }
  std::sort(ordine.begin(), ordine.end());
  std::vector<Diagnostica> ordinate;
  ordinate.reserve(out_.size());
  for (const auto& [chiave, i] : ordine) ordinate.push_back(std::move(out_[i]));
  return ordinate;
}

// --- rows and places -------------------------------------------------------------------------------

const RigaVista* Controllo::riga_di(const Luogo& l) const {
  if (l.file.empty() || l.linea <= 0) return nullptr;
  if (indice_righe_.empty()) {
    // Each row by the place of its keyword and of each of its fields; the first row wins.
    for (const RigaVista& r : r_.righe) {
      indice_righe_.emplace(std::tuple(r.treno, r.chiave.linea, r.chiave.colonna), &r);
      for (const CampoLetto& c : r.campi) indice_righe_.emplace(std::tuple(r.treno, c.linea, c.colonna), &r);
    }
  }
  const bool treno = l.file == d_.treno.nome && l.file != d_.linea.nome;
  const auto trovata = indice_righe_.find(std::tuple(treno, l.linea, l.colonna));
  return trovata != indice_righe_.end() ? trovata->second : nullptr;
}

std::optional<std::size_t> Controllo::campo_di(const RigaVista& r, const Luogo& l) const {
  for (std::size_t i = 0; i < r.campi.size(); ++i) {
    if (r.campi[i].linea == l.linea && r.campi[i].colonna == l.colonna) return i;
  }
  return std::nullopt;
}

const RigaVista* Controllo::lunghezza_letta() const {
  const RigaVista* ultima = nullptr;
  for (const RigaVista& r : r_.righe) {
    if (!r.treno && e_riga(r, "percorso") && r.numeri.size() == 1 && r.numeri[0] && *r.numeri[0] <= lunghezza_massima &&
        *r.numeri[0] >= -coda_percorso) {
      ultima = &r;
    }
  }
  return ultima;
}

// The cells a row's point features take (the cells it must find free).
std::vector<std::int64_t> Controllo::celle_della_riga(const RigaVista& r) const {
  const std::int64_t p = numero(r, 0);
  if (!r.treno) {
    if (e_riga(r, "indicatori_v") || e_riga(r, "indicat")) return {cella_di(p, 1)};
    return {};
  }
  if (e_riga(r, "segnale")) return {cella_di(p, 1)};
  if (e_riga(r, "abbattimento")) return {cella_di(p)};
  if (e_riga(r, "rallentamento")) {
    std::vector<std::int64_t> c{cella_di(p, 1), cella_di(p + numero(r, 2), 1)};
    if (p > 1500) {
      c.push_back(cella_di(p - 1200, 1));
      if (numero(r, 4) != 0) {
        for (std::int64_t j = 0; j < 4; ++j) c.push_back(cella_di(p - 1200) - j);
      }
    }
    return c;
  }
  if (e_riga(r, "stazione") && r.numeri.size() >= 6) {
    const auto z = zona_stazione(static_cast<std::uint8_t>(numero(r, 1)), p, numero(r, 2),
                                 static_cast<std::uint8_t>(numero(r, 5)));
    if (z.fermata) return {arrotonda(z.fine - metri_cella, metri_cella)};
  }
  return {};
}

// The last row before `prima_di` (in reading order) that put a point feature into `cella`.
const RigaVista* Controllo::occupante(std::int64_t cella, const RigaVista* prima_di) const {
  const RigaVista* trovata = nullptr;
  for (const RigaVista& r : r_.righe) {
    if (&r == prima_di) break;
    if (!r.riuscita) continue;
    for (std::int64_t c : celle_della_riga(r)) {
      if (c == cella) trovata = &r;
    }
  }
  return trovata;
}

// --- outcomes ----------------------------------------------------------------------------------------

void Controllo::esiti() {
  for (const Esito& e : r_.esiti) esito(e);
}

void Controllo::esito(const Esito& e) {
  const RigaVista* r = riga_di(e.luogo());
  const std::optional<std::size_t> campo = r != nullptr ? campo_di(*r, e.luogo()) : std::nullopt;
  const std::int32_t c = e.codice();
  if (senza_lunghezza_ && (r == nullptr || !e_riga(*r, "percorso")) &&
      (c == codice::fuori_percorso || (e.e_guasto() && e.perche() == Guasto::fuori_modello))) {
    return;  // said once, at the general block
  }
  if (e.e_guasto()) return guasto(e, r, campo);
  if (r == nullptr) {
    switch (c) {
      case codice::generale_mancante: {
        bool ultimo = false;
        for (const CampoVisto& v : r_.campi) {
          ultimo = ultimo || (!v.treno && v.c.linea == e.luogo().linea && v.c.colonna == e.luogo().colonna &&
                              contiene(v.c.testo, "[generale]"));
        }
        Diagnostica& g = errore("no-general-block", c, ultimo ? e.luogo() : luogo_file(false),
                                ultimo ? "`[generale]` is the file's last field: the general block has no rows"
                                       : "no `[generale]` field: nothing of the line description can be read");
        nota(g, luogo_file(false), "the line description starts with a field holding \"[generale]\", then its general rows");
        return;
      }
      case codice::progressiva_non_multipla: {
        bool detta = false;
        for (const RigaVista& v : r_.righe) {
          if (v.treno || v.tipo->chiave.anche != "progressiva") continue;
          for (std::size_t i = 0; i < 2 && i < v.numeri.size(); ++i) {
            if (v.numeri[i] && *v.numeri[i] % metri_cella != 0) {
              errore("chainage-not-multiple", c, luogo_valore(v, i),
                     nome_campo(v, i) + " is " + tra_apici(v.campi[i].testo) + ": " +
                         multipli_vicini(*v.numeri[i], 50));
              detta = true;
            }
          }
        }
        if (!detta) {
          errore("chainage-not-multiple", c, luogo_file(false),
                 "a chainage entry's position or value is not a multiple of 50 m");
        }
        return;
      }
      default:
        errore(id_del_codice(c), c, e.luogo(), std::string(descrizione_codice(c)));
        return;
    }
  }
  const std::int64_t p = numero(*r, 0);
  switch (c) {
    case codice::lunghezza_eccessiva:
      errore("line-too-long", c, luogo_valore(*r, 0),
             nome_campo(*r, 0) + " is " + tra_apici(r->campi[0].testo) + ": expected at most 1000000 m");
      return;
    case codice::ripetizione_inizio:
    case codice::ripetizione_fine: {
      const std::size_t i = c == codice::ripetizione_inizio ? 0 : 1;
      errore(c == codice::ripetizione_inizio ? "cab-signal-start-not-multiple" : "cab-signal-end-not-multiple", c,
             luogo_valore(*r, i),
             nome_campo(*r, i) + " is " + tra_apici(r->campi[i].testo) + ": " + multipli_vicini(numero(*r, i), 50));
      return;
    }
    case codice::ripetizione_codici:
      errore("cab-signal-code-count", c, luogo_chiave(*r),
             "the cab-signal repetition row's keyword " + tra_apici(r->chiave.testo) +
                 " names neither 4 nor 9 codes: expected `ripetizione segnali 4 codici` or `ripetizione segnali 9 "
                 "codici`");
      return;
    case codice::cartello_occupato: return occupata(e, *r, "sign-cell-taken");
    case codice::abbattimento_occupato: return occupata(e, *r, "speed-cap-cell-taken");
    case codice::segnale_occupato: return occupata(e, *r, "signal-cell-taken");
    case codice::avviso_occupato: return occupata(e, *r, "slowdown-warning-cell-taken");
    case codice::inizio_occupato: return occupata(e, *r, "slowdown-start-cell-taken");
    case codice::fine_occupata: return occupata(e, *r, "slowdown-end-cell-taken");
    case codice::preavvisi_occupati: return occupata(e, *r, "slowdown-steps-cell-taken");
    case codice::indicatore_occupato: return occupata(e, *r, "board-cell-taken");
    case codice::stazione_non_multipla:
      errore("station-position-not-multiple", c, luogo_valore(*r, 0),
             nome_campo(*r, 0) + " is " + tra_apici(r->campi[0].testo) + ": " + multipli_vicini(p, 50));
      return;
    case codice::zona_non_multipla:
      errore("station-zone-not-multiple", c, luogo_valore(*r, 2),
             nome_campo(*r, 2) + " is " + tra_apici(r->campi[2].testo) + ": " + multipli_vicini(numero(*r, 2), 100));
      return;
    case codice::troppe_stazioni: {
      int cartelli = 0;
      const RigaVista* ultimo = nullptr;
      for (const RigaVista& v : r_.righe) {
        if (!v.treno && e_riga(v, "indicat") && v.riuscita) {
          ++cartelli;
          ultimo = &v;
        }
      }
      Diagnostica& g = errore("too-many-stations", c, luogo_chiave(*r),
                              "too many stations: stations and sign texts share the entries 1 to 80, and the line "
                              "has " + n(cartelli) + " signs, so at most " + n(std::max(0, 78 - cartelli)) +
                                  " stations fit");
      if (ultimo != nullptr) nota(g, luogo_chiave(*ultimo), "the last sign takes its entry here");
      return;
    }
    case codice::fuori_percorso: {
      const bool stazione = e_riga(*r, "stazione");
      const std::int64_t ultima = ultima_posizione(stazione ? 800 : 100);
      Diagnostica& g = errore("beyond-route", c, luogo_valore(*r, 0),
                              nome_campo(*r, 0) + " is " + tra_apici(r->campi.empty() ? "" : r->campi[0].testo) +
                                  ": beyond the route; rows of this kind may stand at " + n(ultima) + " m at most");
      if (const RigaVista* l = lunghezza_) {
        nota(g, luogo_valore(*l, 0),
             "the line is " + n(lunghezza_linea()) + " m long, set here; the route runs 7000 m further, to " +
                 n(std::int64_t{metri_cella} * m_.ultima_cella) + " m");
      }
      return;
    }
    case codice::zone_vicine: {
      const auto z = zona_stazione(static_cast<std::uint8_t>(numero(*r, 1)), p, numero(*r, 2),
                                   static_cast<std::uint8_t>(numero(*r, 5)));
      Diagnostica& g = errore("stations-too-close", c, luogo_chiave(*r),
                              "the station zone starts at " + n(z.inizio) +
                                  " m, less than 350 m after the previous station's zone ends");
      const RigaVista* prima = nullptr;
      for (const RigaVista& v : r_.righe) {
        if (&v == r) break;
        if (v.treno && e_riga(v, "stazione") && v.riuscita) prima = &v;
      }
      if (prima != nullptr) {
        const auto zp = zona_stazione(static_cast<std::uint8_t>(numero(*prima, 1)), numero(*prima, 0),
                                      numero(*prima, 2), static_cast<std::uint8_t>(numero(*prima, 5)));
        nota(g, luogo_chiave(*prima), "the previous station's zone ends at " + n(zp.fine) + " m");
      }
      return;
    }
    case codice::fermata_troppo_presto: {
      const auto z = zona_stazione(static_cast<std::uint8_t>(numero(*r, 1)), p, numero(*r, 2),
                                   static_cast<std::uint8_t>(numero(*r, 5)));
      errore("stop-cell-too-early", c, luogo_chiave(*r),
             "the station's zone ends at " + n(z.fine) + " m, so its stop cell would be cell " +
                 n(arrotonda(z.fine - 50, 50)) + ": expected above cell 1 (a zone ending past 100 m)");
      return;
    }
    case codice::generale_mancante:
      errore("no-general-block", c, e.luogo(), "`[generale]` is the file's last field: the general block has no rows");
      return;
    case codice::curva_o_piano: {
      bool cifra = false;
      for (char d : std::string_view("123456")) cifra = cifra || r->chiave.testo.find(d) != std::string_view::npos;
      if (!cifra) {
        errore("curve-without-class", c, luogo_chiave(*r),
               "the curve keyword " + tra_apici(r->chiave.testo) +
                   " has no class digit: expected `curvas` or `curvad` followed by 1 to 6");
      } else {
        errore("plan-too-long", c, luogo_chiave(*r),
               "the curve from " + n(p) + " m to " + n(p + numero(*r, 1)) +
                   " m takes the plan of the line past metre 1000000");
      }
      return;
    }
    default:
      errore(id_del_codice(c), c, luogo_chiave(*r), std::string(descrizione_codice(c)));
      return;
  }
}

// A code 25: what failed, at the field or row.
void Controllo::guasto(const Esito& e, const RigaVista* r, std::optional<std::size_t> campo) {
  constexpr std::int32_t c = codice::guasto;
  if (r == nullptr) {
    switch (e.perche()) {
      case Guasto::file_illeggibile:
        errore("unreadable-file", c, e.luogo(), "the train description cannot be read");
        return;
      case Guasto::fine_dati:
        errore("row-cut-short", c, e.luogo(), "the file ends inside a row");
        return;
      default:
        errore("outside-route", c, e.luogo(), "the reading reaches outside the route");
        return;
    }
  }
  switch (e.perche()) {
    case Guasto::non_numero: {
      const std::size_t i = campo.value_or(r->campi.size() - 1);
      std::string atteso = "expected a whole number";
      if (i < r->tipo->campi.size()) {
        const CampoRiga& f = r->tipo->campi[i];
        const auto [a, b] = f.minimo < f.massimo ? std::pair(f.minimo, f.massimo) : limiti_larghezza(f.larghezza);
        if (a > -2147483648LL || b < 2147483647LL) atteso += " from " + n(a) + " to " + n(b);
      }
      Diagnostica& g = errore("not-a-number", c, luogo_valore(*r, i),
                              nome_campo(*r, i) + " is " + tra_apici(r->campi[i].testo) + ": " + atteso);
      if (i < r->campi.size() && r->campi[i].linea != r->chiave.linea) {
        nota(g, luogo_chiave(*r),
             "the " + std::string(r->tipo->nome) + " starts here: " + tra_apici(r->chiave.testo) + " holds the keyword " +
                 tra_apici(r->tipo->chiave.parola) + ", and a row takes its fields from the lines after it");
      }
      return;
    }
    case Guasto::troppo_grande: {
      if (campo) {
        const std::size_t i = *campo;
        const auto [a, b] = limiti_larghezza(i < r->tipo->campi.size() ? r->tipo->campi[i].larghezza : Larghezza::n32);
        errore("value-too-large", c, luogo_valore(*r, i),
               nome_campo(*r, i) + " is " + tra_apici(r->campi[i].testo) + ": it does not fit its field; expected " +
                   n(a) + " to " + n(b));
        return;
      }
      std::string perche = "a value of this row is too large for the field it is stored in";
      if (e_riga(*r, "velocit")) {
        perche = "a speed of " + n(numero(*r, 1)) + " km/h does not fit the cell's byte (speed / 5 up to 255): "
                 "expected 0 to 1277 km/h";
      } else if (e_riga(*r, "indicatori_v")) {
        perche = "a rank's speed pair (first-set speed x 20 + second-set speed / 5) does not fit 16 bits: expected "
                 "first-set speeds up to 1638 km/h";
      } else if (e_riga(*r, "stazione")) {
        perche = "the station's time in seconds does not fit 32 bits";
      }
      errore("value-too-large", c, luogo_chiave(*r), r->tipo->nome.data() + std::string(": ") + perche);
      return;
    }
    case Guasto::fine_dati: {
      const std::size_t i = r->campi.empty() ? 0 : r->campi.size() - 1;
      errore("row-cut-short", c, luogo_chiave(*r),
             "the file ends inside this " + std::string(r->tipo->nome) + ": " + nome_campo(*r, i) + " is missing");
      return;
    }
    case Guasto::fuori_modello: {
      const std::int64_t p = numero(*r, 0);
      if (e_riga(*r, "percorso")) {
        errore("outside-route", c, luogo_valore(*r, 0),
               nome_campo(*r, 0) + " is " + tra_apici(r->campi.empty() ? "" : r->campi[0].testo) +
                   ": expected at least -7000 m (the route is the line and 7000 m more, and would have no cells)");
        return;
      }
      if (e_riga(*r, "montagna") && m_.n_montagne >= massimo_montagne) {
        int quante = 0;
        for (const RigaVista& v : r_.righe) {
          if (&v == r) break;
          quante += !v.treno && e_riga(v, "montagna") ? 1 : 0;
        }
        if (quante >= massimo_montagne) {
          errore("too-many-hill-sections", c, luogo_chiave(*r),
                 "hill section number " + n(quante + 1) + ": at most 80 hill sections fit");
          return;
        }
      }
      if (e_riga(*r, "indicat")) {
        int quanti = 0;
        for (const RigaVista& v : r_.righe) {
          if (&v == r) break;
          quanti += !v.treno && e_riga(v, "indicat") && v.riuscita ? 1 : 0;
        }
        if (quanti >= prima_voce_cartello) {
          errore("too-many-signs", c, luogo_chiave(*r), "sign number " + n(quanti + 1) + ": at most 80 signs fit");
          return;
        }
      }
      const std::int64_t fine_percorso = std::int64_t{metri_cella} * m_.ultima_cella;
      std::string perche;
      if (e_riga(*r, "montagna")) {
        perche = "the hill section from " + n(p) + " m to " + n(numero(*r, 1)) +
                 " m reaches outside the route's cells (0 to " + n(fine_percorso) + " m)";
      } else if (e_riga(*r, "curva")) {
        perche = "the curve ends at " + n(p + numero(*r, 1)) + " m, past the end of the plan at " +
                 n(m_.lunghezza_estesa) + " m";
      } else if (e_riga(*r, "segnale")) {
        perche = "the signal at " + n(p) +
                 " m puts its approach marks (2 to 8 cells before it) before the first cell: signals stand at 325 m "
                 "or more";
      } else if (e_riga(*r, "rallentamento")) {
        perche = "the slowdown from " + n(p) + " m to " + n(p + numero(*r, 2)) +
                 " m (with its warning point 1200 m before it) reaches outside the route's cells (0 to " +
                 n(fine_percorso) + " m)";
      } else if (e_riga(*r, "stazione")) {
        perche = "the station's zone, stop cell or approach marks fall outside the route's cells (0 to " +
                 n(fine_percorso) + " m)";
      } else if (e_riga(*r, "pendenza") || e_riga(*r, "velocit") || e_riga(*r, "aderenza")) {
        perche = "rows at one position push the profile past the route's last cell";
      } else {
        perche = "the " + std::string(r->tipo->nome) + " at " + n(p) + " m lies outside the route's cells (0 to " +
                 n(fine_percorso) + " m)";
      }
      errore("outside-route", c, luogo_chiave(*r), perche);
      return;
    }
    default:
      errore(id_del_codice(c), c, luogo_chiave(*r), std::string(descrizione_codice(c)));
      return;
  }
}

// A feature on a cell that already holds one: which cell, what is there, and the row that put it.
void Controllo::occupata(const Esito& e, const RigaVista& r, std::string_view id) {
  const std::int64_t p = numero(r, 0);
  std::int64_t cella = cella_di(p, 1);
  std::string cosa = "the " + std::string(r.tipo->nome) + " at " + n(p) + " m";
  const std::int32_t c = e.codice();
  if (c == codice::abbattimento_occupato) {
    cella = cella_di(p);
  } else if (c == codice::avviso_occupato) {
    cella = cella_di(p - 1200, 1);
    cosa = "the warning point of the slowdown at " + n(p) + " m (1200 m before it)";
  } else if (c == codice::fine_occupata) {
    cella = cella_di(p + numero(r, 2), 1);
    cosa = "the end of the slowdown at " + n(p) + " m (at " + n(p + numero(r, 2)) + " m)";
  } else if (c == codice::inizio_occupato) {
    cosa = "the start of the slowdown at " + n(p) + " m";
  } else if (c == codice::preavvisi_occupati) {
    const std::int64_t primo = cella_di(p - 1200);
    for (std::int64_t j = 0; j < 4; ++j) {
      const Cella* x = scenario::cella(m_, primo - j);
      if (x != nullptr && !libera(*x)) {
        cella = primo - j;
        break;
      }
    }
    cosa = "a pre-warning step of the slowdown at " + n(p) + " m";
  }
  const Cella* x = scenario::cella(m_, cella);
  const std::string dentro = x != nullptr ? nome_tipo_cella(x->tipo) : "a feature";
  Diagnostica& g = errore(id, c, luogo_chiave(r),
                          cosa + " falls on cell " + n(cella) + " (" + n(cella * metri_cella - metri_cella) +
                              " m), which already holds " + dentro);
  if (const RigaVista* o = occupante(cella, &r)) {
    nota(g, luogo_chiave(*o), "the " + std::string(o->tipo->nome) + " that put it there");
  }
}

// The completion pass's cases with no free cell, at the rows that made them.
void Controllo::completamento() {
  for (const Esito& e : completamento_) {
    const std::int64_t cella = e.posizione().value_or(0) / metri_cella;
    const RigaVista* riga = nullptr;
    std::string_view id = "no-cell-in-slowdown";
    std::string messaggio;
    auto cerca = [&](auto&& prova) {
      for (const RigaVista& r : r_.righe) {
        if (r.treno && r.riuscita && prova(r)) riga = &r;
      }
    };
    if (e.codice() == codice::completamento_segnale) {
      id = "no-cell-for-signal-cap";
      cerca([&](const RigaVista& r) { return e_riga(r, "segnale") && cella_di(numero(r, 0), 1) == cella; });
      messaggio = "the signal in cell " + n(cella) +
                  " stands up to 20 cells behind a slowdown warning board, so one of the two cells before it must take "
                  "a speed-cap point, and neither is free or holds one";
    } else if (e.codice() == codice::completamento_avvicinamento) {
      id = "no-cell-ahead-of-slowdown";
      cerca([&](const RigaVista& r) { return e_riga(r, "rallentamento") && cella_di(numero(r, 0), 1) == cella; });
      // The group whose three cells hold features other than speed-cap points.
      std::string gruppo = "one group";
      for (const auto& [da, a] : {std::pair{5, 7}, std::pair{11, 13}, std::pair{18, 20}}) {
        bool piena = true;
        for (std::int64_t k = da; k <= a; ++k) {
          const Cella* x = scenario::cella(m_, cella - k);
          piena = piena && x != nullptr && !libera(*x) && x->tipo != tipo_cella::abbattimento;
        }
        if (piena) {
          gruppo = "the group of cells " + n(cella - a) + " to " + n(cella - da) + " (" + n(da) + " to " + n(a) +
                   " before it)";
          break;
        }
      }
      messaggio = "the slowdown starting in cell " + n(cella) +
                  " needs a speed-cap point in each of the cell groups 5 to 7, 11 to 13 and 18 to 20 before it, and " +
                  gruppo + " has no free cell";
    } else {
      cerca([&](const RigaVista& r) {
        if (!e_riga(r, "rallentamento")) return false;
        const std::int64_t a = cella_di(numero(r, 0), 1), b = cella_di(numero(r, 0) + numero(r, 2), 1);
        return a <= cella && cella <= b + 12;
      });
      messaggio = "no free cell for a speed-cap point around cell " + n(cella) +
                  ", inside a slowdown slower than 110 km/h or before a signal up to 12 cells after its end";
    }
    errore(id, e.codice(), riga != nullptr ? luogo_chiave(*riga) : luogo_file(true), messaggio);
  }
}

// The header slots of cell 1 and the route header must be empty before the marks and codes.
void Controllo::testata() {
  const Cella* uno = scenario::cella(m_, 1);
  if (uno == nullptr) return;
  const bool marca = uno->valore1 != 0 || campo(m_.voci, testata::marca_linea) != 0;
  const bool codici = uno->valore2 != 0 || campo(m_.voci, testata::codice_pesato) != 0;
  if (!marca && !codici) return;
  const RigaVista* chi = occupante(1, nullptr);
  if (chi == nullptr) {
    // The completion pass's point ahead of a slowdown can take cell 1 too.
    for (const RigaVista& r : r_.righe) {
      if (r.treno && e_riga(r, "rallentamento") && r.riuscita && cella_di(numero(r, 0), 1) <= 21) chi = &r;
    }
  }
  const Luogo dove = chi != nullptr ? luogo_chiave(*chi) : luogo_file(false);
  const std::string chi_parole = chi != nullptr ? "the " + std::string(chi->tipo->nome) : "a feature";
  if (marca) {
    errore("header-mark-taken", rapporto::marca_occupata, dove,
           chi_parole + " puts a value into cell 1, which holds the header of the train data file: the compile step "
                        "stops with report 1250 and writes nothing");
  } else {
    errore("scenario-code-taken", rapporto::codice_occupato, dove,
           chi_parole + " puts a second value into cell 1, where the scenario code goes: the compile step stops with "
                        "report 1251 and writes nothing");
  }
}

// The compile step itself, in memory: if it ends with a code or a report the checks did not
// say, say it, so that a check without errors always means a clean compile.
void Controllo::rete_di_sicurezza() {
  class Nulla final : public Destinazione {
   public:
    std::optional<std::string> scrivi(const std::string&, std::string_view) override { return std::nullopt; }
    std::optional<std::string> scrivi_a_pezzi(const std::string&, const Pezzi&) override { return std::nullopt; }
  } nulla;
  Modello m;
  m.nome_percorso = o_.nome_percorso;
  m.nome_treno = o_.nome_treno;
  const EsitoCompilazione esito = memorizza_percorso(m, o_.scrivi_linea, d_, nulla);
  const std::int32_t c = esito.rapporto != 0 ? esito.rapporto : m.codice_errore;
  if (c == 0) return;
  for (const Diagnostica& g : out_) {
    if (g.gravita == Gravita::errore && g.codice == c) return;
  }
  const Luogo l = esito.esito.luogo();
  errore(id_del_codice(c), c, l.file.empty() ? luogo_file(false) : l,
         std::string(esito.rapporto != 0 ? descrizione_rapporto(c) : descrizione_codice(c)));
}

// The first id that goes with a code, for a code said in the compile step's own words.
std::string_view id_del_codice(std::int32_t codice) {
  if (codice == codice::guasto) return "outside-route";
  for (const Identificativo& i : identificativi()) {
    if (i.codice == codice) return i.id;
  }
  return "outside-route";
}

std::vector<Diagnostica> controlla(const Descrizioni& d, const OpzioniControllo& o) {
  return Controllo(d, o).esegui();
}

}  // namespace scenario
