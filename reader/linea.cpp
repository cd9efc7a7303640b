// The line half of the reading: the general block, the chainage order, the feature rows
// (gradients, curves, hill sections, speed boards, signs), the plan of the line, and the
// deletion of the line description.
#include <limits>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "model/aritmetica.h"
#include "model/archivi.h"
#include "reader/interno.h"

namespace scenario {
namespace {

constexpr std::string_view marca_generale = "[generale]";
// The plan of the line may not run past this metre.
constexpr std::int64_t piano_massimo = 1000000;
// The range test of every feature row: (position + 100) / 50 must not exceed the last cell.
constexpr std::int64_t margine_riga = 100;
// Keyword fields holding "-" dropped in a row: inside the general block, and after it.
constexpr int meno_nel_generale = 10;
constexpr int meno_dopo = 2;

constexpr std::int64_t min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t max32 = std::numeric_limits<std::int32_t>::max();
constexpr CampoRiga posizione_m{"position", "m", Larghezza::n32, min32, max32};

// The value fields of each row.
constexpr CampoRiga campi_lunghezza[] = {{"length", "m", Larghezza::n32, min32, max32}};
constexpr CampoRiga campi_progressiva[] = {{"position from which it applies", "m", Larghezza::n32, min32, max32},
                                           {"value added", "m", Larghezza::n32, min32, max32},
                                           {"flag", "", Larghezza::n32, min32, max32}};
constexpr CampoRiga campi_sfondo[] = {{"setting", "", Larghezza::n32, min32, max32}};
constexpr CampoRiga campi_ripetizione[] = {{"start", "m", Larghezza::n32, min32, max32},
                                           {"end", "m", Larghezza::n32, min32, max32}};
// The gradient is stored plus 100 in a byte.
constexpr CampoRiga campi_pendenza[] = {posizione_m, {"gradient", "per mille", Larghezza::n32, -100, 155}};
constexpr CampoRiga campi_curva[] = {{"start", "m", Larghezza::n32, min32, max32},
                                     {"length", "m", Larghezza::n32, min32, max32}};
// A type above 10 is stored less 10, in a byte.
constexpr CampoRiga campi_montagna[] = {{"start", "m", Larghezza::n32, min32, max32},
                                        {"end", "m", Larghezza::n32, min32, max32},
                                        {"type", "", Larghezza::n32, 0, 265}};
// Each rank's pair is first x 20 + second / 5 in 16 bits: the two read back apart while the
// second is below 100; the stripes are first x 10 + second, apart while the second is below 10.
constexpr CampoRiga campi_indicatori[] = {posizione_m,
                                          {"rank A speed", "km/h", Larghezza::n32, 0, 1638},
                                          {"rank B speed", "km/h", Larghezza::n32, 0, 1638},
                                          {"rank C speed", "km/h", Larghezza::n32, 0, 1638},
                                          {"stripes", "", Larghezza::n32, 0, 3276},
                                          {"second-set rank A speed", "km/h", Larghezza::n32, 0, 99},
                                          {"second-set rank B speed", "km/h", Larghezza::n32, 0, 99},
                                          {"second-set rank C speed", "km/h", Larghezza::n32, 0, 99},
                                          {"second-set stripes", "", Larghezza::n32, 0, 9}};
constexpr CampoRiga campi_cartello[] = {posizione_m, {"text", "", Larghezza::testo, 0, 0}};

// Heading change per metre of each curve class, tested in this order.
constexpr std::pair<char, double> classi_curva[] = {{'1', 0.0001}, {'2', 0.0002}, {'3', 0.0004},
                                                    {'4', 0.001},  {'5', 0.002},  {'6', 0.003}};

class LetturaLinea : public LetturaDescrizione {
 public:
  LetturaLinea(Modello& m, const Descrizione& d, StatoLettura& stato, Osservatore* o)
      : LetturaDescrizione(m, d, o), stato_(stato) {}

  Esito leggi();

 private:
  using Gestore = Esito (LetturaLinea::*)();
  struct Riga {
    DescrizioneRiga descrizione;
    bool solo_con_piano;  // curves are read only while the plan of the line is built
    Gestore gestore;
  };

 public:
  // The rows of the general block, tested in this order; the chainage, background and
  // cab-signal tokens must stand in lower case.
  static std::span<const Riga> righe_generali() {
    constexpr Sezione g = Sezione::generale;
    static constexpr Riga righe[] = {
        {{{"percorso", "lunghezza"}, "line length row", campi_lunghezza, false, g}, false,
         &LetturaLinea::riga_lunghezza},
        {{{"tre", "progressiva", true}, "chainage row three", campi_progressiva, false, g}, false,
         &LetturaLinea::riga_progressiva<voce_progressiva_tre>},
        {{{"due", "progressiva", true}, "chainage row two", campi_progressiva, false, g}, false,
         &LetturaLinea::riga_progressiva<voce_progressiva_due>},
        {{{"uno", "progressiva", true}, "chainage row one", campi_progressiva, false, g}, false,
         &LetturaLinea::riga_progressiva<voce_progressiva_uno>},
        {{{"sfondo", "uno", true}, "background row one", campi_sfondo, false, g}, false, &LetturaLinea::riga_sfondo_uno},
        {{{"sfondo", "due", true}, "background row two", campi_sfondo, false, g}, false, &LetturaLinea::riga_sfondo_due},
        {{{"sfondo", "tre", true}, "background row three", campi_sfondo, false, g}, false, &LetturaLinea::riga_sfondo_tre},
        {{{"segnali", "ripetizione", true}, "cab-signal repetition row", campi_ripetizione, false, g}, false,
         &LetturaLinea::riga_ripetizione},
    };
    return righe;
  }

  // The feature rows after the general block, tested in this order.
  static std::span<const Riga> righe_caratteristiche() {
    constexpr Sezione l = Sezione::linea;
    static constexpr Riga righe[] = {
        {{{"pendenza"}, "gradient row", campi_pendenza, true, l}, false, &LetturaLinea::riga_pendenza},
        {{{"curva"}, "curve row", campi_curva, true, l}, true, &LetturaLinea::riga_curva},
        {{{"montagna"}, "hill-section row", campi_montagna, true, l}, false, &LetturaLinea::riga_montagna},
        {{{"indicatori_v"}, "speed-indicator board row", campi_indicatori, true, l}, false,
         &LetturaLinea::riga_indicatori},
        {{{"indicat", "cartello"}, "sign row", campi_cartello, true, l}, false, &LetturaLinea::riga_cartello},
    };
    return righe;
  }

  static std::vector<DescrizioneRiga> descrizioni(std::span<const Riga> righe) {
    std::vector<DescrizioneRiga> d;
    for (const Riga& r : righe) d.push_back(r.descrizione);
    return d;
  }

 private:
  // Runs every row whose keyword the field holds, in table order, until one does not succeed
  // (in a check, every one).
  Esito prova(std::span<const Riga> righe) {
    for (const Riga& r : righe) {
      if (!r.descrizione.chiave.riconosce(chiave_.testo) || (r.solo_con_piano && m_.scrivi_linea == 0)) continue;
      const Esito e = riga(r.descrizione, [this, &r] { return (this->*r.gestore)(); });
      if (e.ok()) continue;
      if (!prosegue(e)) return e;
      break;  // in a check: the rest of the line has been passed over
    }
    return Esito::fatto();
  }

  // A hard stop: the code goes into the error state and the file is deleted. In a check the
  // code has been reported and the reading goes on.
  Esito ferma(Esito e) {
    registra(m_, e);
    if (prosegue(e)) return Esito::fatto();
    if (Esito c = cancella_descrizione(d_); !c.ok()) return c;
    return e;
  }

  // The range test of a feature row at position p: code 15 at the row.
  Esito posizione(std::int32_t p) const {
    if (!fuori_percorso(m_, p, margine_riga)) return Esito::fatto();
    return della_riga(Esito::errore(codice::fuori_percorso, p));
  }

  Esito blocco_generale();
  Esito righe_del_blocco();
  Esito righe_dopo_il_blocco();
  Esito completa();
  Esito passi_piano(std::int64_t fino, double k, bool fino_al_milione);

  Esito riga_lunghezza();
  template <int indice>
  Esito riga_progressiva() {
    Voce& v = m_.voci[indice];
    return valori(v.inizio_zona, v.fine_zona, v.posizione_m);
  }
  Esito riga_sfondo_uno() { return valori(campo(m_.voci, testata::sfondo_uno)); }
  Esito riga_sfondo_due() { return valori(campo(m_.voci, testata::sfondo_due)); }
  Esito riga_sfondo_tre() { return valori(campo(m_.voci, testata::sfondo_tre)); }
  Esito riga_ripetizione();
  Esito riga_pendenza();
  Esito riga_curva();
  Esito riga_montagna();
  Esito riga_indicatori();
  Esito riga_cartello();

  StatoLettura& stato_;
  // The line length of the last length row accepted: the route is sized for it once, when
  // the general block ends, so repeated length rows cost what one costs.
  std::optional<std::int32_t> lunghezza_;
  Profilo pendenza_;
  std::int64_t cursore_piano_ = 2;
};

Esito LetturaLinea::leggi() {
  if (oss_) oss_->inizio(d_.nome, false);
  campo(m_.voci, testata::nome_percorso) = m_.nome_percorso;
  campo(m_.voci, testata::nome_treno) = m_.nome_treno;
  if (!d_.testo) {
    // Nothing is opened, so nothing is deleted.
    Esito e = std::move(Esito::errore(codice::linea_mancante).in(luogo_file()));
    registra(m_, e);
    return prosegue(e) ? Esito::fatto() : e;
  }
  // Find the general block; a file with nothing (more) to read has none.
  while (true) {
    if (finito()) return ferma(std::move(Esito::errore(codice::generale_mancante).in(luogo_file())));
    if (Esito e = leggi_chiave(); !e.ok()) return e;
    if (oss_) oss_->prima_del_generale(chiave_letta());
    if (finito()) return ferma(della_riga(Esito::errore(codice::generale_mancante)));
    if (contiene(chiave_.testo, marca_generale)) break;
  }

  if (oss_) oss_->sezione(Sezione::generale);
  if (Esito e = blocco_generale(); !e.ok()) return e.e_guasto() ? e : ferma(std::move(e));

  if (oss_) oss_->sezione(Sezione::linea);
  if (Esito e = progressive_ordina(m_); !e.ok() && !prosegue(e.in(luogo_campo()))) return e;
  m_.n_montagne = 0;
  stato_.slot_cartello = prima_voce_cartello;
  pendenza_ = Profilo{};
  cursore_piano_ = 2;
  if (m_.scrivi_linea != 0) {
    // The seeds are small integers; every computed metre is a double.
    Tracciato& t = m_.tracciato;
    if (!t.imposta_intero(0, 0, 0) || !t.imposta_intero(0, 1, 0) || !t.imposta_intero(1, 0, 0) ||
        !t.imposta_intero(1, 1, 1)) {
      Esito e = std::move(Esito::guasto(Guasto::fuori_modello).in(luogo_campo()));
      if (!prosegue(e)) return e;
    }
  }

  Esito righe = righe_dopo_il_blocco();
  if (righe.e_guasto()) return righe;
  if (!righe.ok() && !righe.fuori_percorso()) return ferma(std::move(righe));
  // A range stop ends only the reading of the rows.
  if (righe.fuori_percorso()) registra(m_, righe);
  if (Esito e = cancella_descrizione(d_); !e.ok()) return e;
  if (Esito e = completa(); !e.ok() && !prosegue(e)) return e;
  return righe;
}

// The general block, then the sizing of the route for the last length row accepted, on
// every way out.
Esito LetturaLinea::blocco_generale() {
  Esito e = righe_del_blocco();
  if (lunghezza_) dimensiona_percorso(m_, *lunghezza_);
  return e;
}

Esito LetturaLinea::righe_del_blocco() {
  while (!finito()) {
    bool fine = false;
    if (Esito e = campo_chiave(meno_nel_generale, false, fine); !e.ok()) return e;
    if (fine) break;
    if (Esito e = prova(righe_generali()); !e.ok()) return e;
    // The block ends at the first header-like field that does not start with a minus sign.
    const std::string& t = chiave_.testo;
    const auto primo = t.find_first_not_of(" \t");
    if (primo != std::string::npos && t[primo] != '-' && contiene_esatto(t, "[") && contiene_esatto(t, "]")) break;
  }
  return Esito::fatto();
}

Esito LetturaLinea::righe_dopo_il_blocco() {
  while (!finito()) {
    bool fine = false;
    if (Esito e = campo_chiave(meno_dopo, true, fine); !e.ok()) return e;
    if (fine) break;
    if (Esito e = prova(righe_caratteristiche()); !e.ok()) return e;
  }
  return Esito::fatto();
}

Esito LetturaLinea::riga_lunghezza() {
  std::int32_t l = 0;
  if (Esito e = valori(l); !e.ok()) return e;
  campo(m_.voci, testata::lunghezza_linea) = l;
  if (l > lunghezza_massima) return della_riga(Esito::errore(codice::lunghezza_eccessiva));
  // The route would have fewer than no cells.
  if (l < -coda_percorso) return std::move(Esito::guasto(Guasto::fuori_modello).in(luogo_campo()));
  lunghezza_ = l;
  return Esito::fatto();
}

Esito LetturaLinea::riga_ripetizione() {
  std::int32_t& inizio = campo(m_.voci, testata::ripetizione_inizio);
  std::int32_t& fine = campo(m_.voci, testata::ripetizione_fine);
  if (Esito e = valori(inizio, fine); !e.ok()) return e;
  if (inizio % metri_cella != 0) return della_riga(Esito::errore(codice::ripetizione_inizio));
  if (fine % metri_cella != 0) return della_riga(Esito::errore(codice::ripetizione_fine));
  std::int32_t& codici = campo(m_.voci, testata::ripetizione_codici);
  if (contiene_esatto(chiave_.testo, "4")) {
    codici = 4;
  } else if (contiene_esatto(chiave_.testo, "9")) {
    codici = 9;
  } else {
    return della_riga(Esito::errore(codice::ripetizione_codici));
  }
  if (fine == 0) codici = 0;
  return Esito::fatto();
}

Esito LetturaLinea::riga_pendenza() {
  std::int32_t p = 0, g = 0;
  if (Esito e = valori(p, g); !e.ok()) return e;
  if (Esito e = posizione(p); !e.ok()) return e;
  return della_riga(memo_pendenza(m_, pendenza_, p, g));
}

// Plan metres from the cursor up to `fino`: straight steps when k is 0, else turned by k
// radians per metre. Each step re-derives the direction from the two points before it. With
// `fino_al_milione`, the cursor may not pass metre 1,000,000 (code 103).
Esito LetturaLinea::passi_piano(std::int64_t fino, double k, bool fino_al_milione) {
  Tracciato& t = m_.tracciato;
  auto& x = t.valori[0];
  auto& y = t.valori[1];
  auto& ex = t.etichette[0];
  auto& ey = t.etichette[1];
  const std::int64_t ultimo = t.metri() - 1;
  while (cursore_piano_ <= fino) {
    if (cursore_piano_ > ultimo || cursore_piano_ < 2) return Esito::guasto(Guasto::fuori_modello);
    const auto i = static_cast<std::size_t>(cursore_piano_);
    const double d0 = x[i - 1] - x[i - 2];
    const double d1 = y[i - 1] - y[i - 2];
    if (k == 0) {
      x[i] = x[i - 1] + d0;
      y[i] = y[i - 1] + d1;
    } else {
      x[i] = x[i - 1] + (d0 + k * d1);
      y[i] = y[i - 1] + (d1 - k * d0);
    }
    ex[i] = Etichetta::doppio;
    ey[i] = Etichetta::doppio;
    ++cursore_piano_;
    if (fino_al_milione && cursore_piano_ > piano_massimo) return Esito::errore(codice::curva_o_piano);
  }
  return Esito::fatto();
}

// A curve: the straight metres up to its start, then the curved metres to its end. A curve
// starting behind the plan cursor has no straight part.
Esito LetturaLinea::riga_curva() {
  std::int32_t p = 0, n = 0;
  if (Esito e = valori(p, n); !e.ok()) return e;
  if (Esito e = posizione(p); !e.ok()) return e;
  double k = 0;
  for (const auto& [cifra, valore] : classi_curva) {
    if (chiave_.testo.find(cifra) != std::string::npos) {
      k = valore;
      break;
    }
  }
  if (k == 0) return della_riga(Esito::errore(codice::curva_o_piano));
  if (contiene(chiave_.testo, "s")) k = -k;  // "s": a left curve
  if (Esito e = passi_piano(p, 0.0, true); !e.ok()) return della_riga(std::move(e));
  return della_riga(passi_piano(std::int64_t{p} + n, k, true));
}

Esito LetturaLinea::riga_montagna() {
  std::int32_t inizio = 0, fine = 0, tipo = 0;
  if (Esito e = valori(inizio, fine, tipo); !e.ok()) return e;
  if (Esito e = posizione(inizio); !e.ok()) return e;
  return della_riga(memo_montagna(m_, inizio, fine, tipo));
}

Esito LetturaLinea::riga_indicatori() {
  std::int32_t p = 0, vas = 0, vbs = 0, vcs = 0, strisces = 0, vad = 0, vbd = 0, vcd = 0, strisced = 0;
  if (Esito e = valori(p, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced); !e.ok()) return e;
  if (Esito e = posizione(p); !e.ok()) return e;
  // The stripe counts are passed as their low 16 bits.
  return della_riga(memo_indicatori_v_max(m_, p, vas, vbs, vcs, bassi_16(strisces), vad, vbd, vcd,
                                          bassi_16(strisced)));
}

// A sign takes the next entry from 80 down for its text.
Esito LetturaLinea::riga_cartello() {
  std::int32_t p = 0;
  std::string testo;
  if (Esito e = valori(p, testo); !e.ok()) return e;
  if (Esito e = posizione(p); !e.ok()) return e;
  if (Esito e = memo_cartello(m_, p, testo, stato_.slot_cartello); !e.ok()) return della_riga(std::move(e));
  stato_.slot_cartello -= 1;
  return Esito::fatto();
}

// After the feature rows: the last gradient up to ultima_cella - 3, the plan straight to the
// end but for its last two metres.
Esito LetturaLinea::completa() {
  if (Esito e = completa_pendenza(m_, pendenza_); !e.ok()) return std::move(e.in(luogo_campo()));
  if (m_.scrivi_linea != 0) {
    if (Esito e = passi_piano(std::int64_t{m_.lunghezza_estesa} - 2, 0, false); !e.ok()) {
      return std::move(e.in(luogo_campo()));
    }
  }
  return Esito::fatto();
}

}  // namespace

std::span<const DescrizioneRiga> tipi_riga_generale() {
  static const std::vector<DescrizioneRiga> righe = LetturaLinea::descrizioni(LetturaLinea::righe_generali());
  return righe;
}

std::span<const DescrizioneRiga> tipi_riga_linea() {
  static const std::vector<DescrizioneRiga> righe = LetturaLinea::descrizioni(LetturaLinea::righe_caratteristiche());
  return righe;
}

Esito leggi_linea(Modello& m, const Descrizione& linea, StatoLettura& stato, Osservatore* osservatore) {
  LetturaLinea lettura(m, linea, stato, osservatore);
  return lettura.leggi();
}

}  // namespace scenario
