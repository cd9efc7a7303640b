// The train half of `memorizza_dati`: reads the train description row by row into the route
// model (general data, speed and adhesion profiles, stations, signals, slowdowns, speed caps).
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "model/aritmetica.h"
#include "model/archivi.h"
#include "reader/interno.h"

namespace scenario {

namespace {

// At most this many keyword fields holding "-" are dropped in a row.
constexpr int meno_dopo = 2;
constexpr std::int64_t margine_riga = 100;      // range test of every positioned row
constexpr std::int64_t margine_stazione = 800;  // range test of a station
constexpr std::int32_t multiplo_zona = 100;     // a zone length is a multiple of this

constexpr std::int64_t min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t max32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t min16 = std::numeric_limits<std::int16_t>::min();
constexpr std::int64_t max16 = std::numeric_limits<std::int16_t>::max();
constexpr CampoRiga posizione_m{"position", "m", Larghezza::n32, min32, max32};
constexpr CampoRiga byte(std::string_view nome) { return {nome, "", Larghezza::n8, 0, 255}; }
constexpr CampoRiga parola16(std::string_view nome) { return {nome, "", Larghezza::n16, min16, max16}; }
// A 32-bit value kept in a 16-bit field: its low 16 bits.
constexpr CampoRiga in16(std::string_view nome, std::string_view unita) {
  return {nome, unita, Larghezza::n32, min16, max16};
}
// A signal value packed with another: apart while it stays a digit.
constexpr CampoRiga cifra(std::string_view nome) { return {nome, "", Larghezza::n32, 0, 9}; }

// The value fields of each row.
constexpr CampoRiga campi_massa[] = {{"braked-mass percentage", "%", Larghezza::n32, min32, max32}};
constexpr CampoRiga campi_vetture[] = {{"number of coaches", "", Larghezza::n32, min32, max32}};
// The speed is stored divided by 5 in a byte.
constexpr CampoRiga campi_velocita[] = {posizione_m, {"speed", "km/h", Larghezza::n32, 0, 1277}};
constexpr CampoRiga campi_aderenza[] = {posizione_m, {"adhesion", "", Larghezza::n32, 0, 255}};
constexpr CampoRiga campi_orologio[] = {parola16("hours"), parola16("minutes"), parola16("seconds")};
constexpr CampoRiga campi_sabbia[] = {parola16("sand")};
constexpr CampoRiga campi_segnale[] = {posizione_m,   {"sx", "", Larghezza::n32, 0, 3}, cifra("s1"), cifra("s2"),
                                       cifra("s3"),   {"rapp", "", Larghezza::n32, 0, 3275},
                                       {"dx", "", Larghezza::n32, 0, 2}, cifra("d1"), cifra("d2"), cifra("d3"),
                                       {"tempo", "", Larghezza::n32, 0, 255}};
constexpr CampoRiga campi_rallentamento[] = {posizione_m,
                                             in16("speed", "km/h"),
                                             {"length", "m", Larghezza::n32, min32, max32},
                                             in16("code f_tt", ""),
                                             {"pre-warning flag f_ta", "", Larghezza::n32, min32, max32},
                                             in16("step value d_v", "")};
constexpr CampoRiga campi_abbattimento[] = {posizione_m, in16("cap speed", "km/h")};
constexpr CampoRiga campi_stazione[] = {posizione_m,
                                        byte("type"),
                                        {"zone length", "m", Larghezza::n32, min32, max32},
                                        byte("code"),
                                        byte("option 4"),
                                        byte("option 3"),
                                        parola16("parameter 1"),
                                        parola16("parameter 2"),
                                        byte("option 1"),
                                        parola16("parameter 3"),
                                        parola16("parameter 4"),
                                        parola16("parameter 5"),
                                        byte("option 2"),
                                        {"hours", "", Larghezza::n32, min32, max32},
                                        {"minutes", "", Larghezza::n32, min32, max32},
                                        {"seconds", "", Larghezza::n32, min32, max32},
                                        {"name", "", Larghezza::testo, 0, 0}};

// A profile with the place of the row whose value is in force (the file alone before any).
struct ProfiloLetto {
  Profilo profilo;
  Luogo riga_in_vigore;
};

class LetturaTreno : public LetturaDescrizione {
 public:
  LetturaTreno(Modello& m, const Descrizione& d, StatoLettura& stato, Osservatore* o)
      : LetturaDescrizione(m, d, o), stato_(stato) {
    velocita_.riga_in_vigore = luogo_file();
    aderenza_.riga_in_vigore = luogo_file();
  }

  static std::vector<DescrizioneRiga> descrizioni() {
    std::vector<DescrizioneRiga> d;
    for (const Riga& r : righe()) d.push_back(r.descrizione);
    return d;
  }

  Esito leggi() {
    if (oss_) oss_->inizio(d_.nome, true);
    if (!d_.testo) {
      Esito e = std::move(Esito::guasto(Guasto::file_illeggibile).in(luogo_file()));
      return prosegue(e) ? Esito::fatto() : e;
    }
    // Reaching the end before "[generale]" is not an error: nothing of the file is used.
    bool trovato = false;
    if (Esito e = cerca_generale(trovato); !e.ok()) return e;
    if (oss_ && trovato) oss_->sezione(Sezione::treno);
    Esito righe = leggi_righe();
    if (righe.e_guasto()) return righe;
    registra_se_errore(righe);
    if (!righe.ok() && !righe.fuori_percorso()) {
      // A hard stop: the file goes, no end processing.
      if (Esito e = cancella_descrizione(d_); !e.ok()) return e;
      return righe;
    }
    return elaborazione_finale(std::move(righe));
  }

 private:
  using Gestore = Esito (LetturaTreno::*)();
  struct Riga {
    DescrizioneRiga descrizione;
    Gestore gestore;
  };

  // The rows, tested in this order. Each test is independent: a field holding two keywords is
  // handled as both rows, each reading its own values.
  static std::span<const Riga> righe() {
    constexpr Sezione t = Sezione::treno;
    static constexpr Riga tabella[] = {
        {{{"frenata", "massa"}, "braked-mass row", campi_massa, false, t}, &LetturaTreno::riga_massa_frenata},
        {{{"vetture"}, "coaches row", campi_vetture, false, t}, &LetturaTreno::riga_vetture},
        {{{"velocit"}, "speed-limit row", campi_velocita, true, t}, &LetturaTreno::riga_velocita},
        {{{"aderenza"}, "adhesion row", campi_aderenza, true, t}, &LetturaTreno::riga_aderenza},
        {{{"orologio"}, "clock row", campi_orologio, false, t}, &LetturaTreno::riga_orologio},
        {{{"sabbia"}, "sand row", campi_sabbia, false, t}, &LetturaTreno::riga_sabbia},
        {{{"segnale"}, "signal row", campi_segnale, true, t}, &LetturaTreno::riga_segnale},
        {{{"rallentamento"}, "slowdown row", campi_rallentamento, true, t}, &LetturaTreno::riga_rallentamento},
        {{{"abbattimento"}, "speed-cap row", campi_abbattimento, true, t}, &LetturaTreno::riga_abbattimento},
        {{{"stazione"}, "station row", campi_stazione, true, t}, &LetturaTreno::riga_stazione},
    };
    return tabella;
  }

  void registra_se_errore(const Esito& e) {
    if (!e.ok()) registra(m_, e);
  }

  // The rows up to the end of the file, or up to the first row that does not succeed. The
  // field delivered by a read that reaches the end of the file is not looked at.
  Esito leggi_righe() {
    while (!finito()) {
      bool fine = false;
      if (Esito e = campo_chiave(meno_dopo, true, fine); !e.ok()) return e;
      if (fine) break;
      for (const Riga& r : righe()) {
        if (!r.descrizione.chiave.riconosce(chiave_.testo)) continue;
        const Esito e = riga(r.descrizione, [this, &r] { return (this->*r.gestore)(); });
        if (e.ok()) continue;
        if (!prosegue(e)) return e;
        break;  // in a check: the rest of the line has been passed over
      }
    }
    return Esito::fatto();
  }

  // The range test of a row at `posizione`: code 15 at the row.
  Esito posizione(std::int32_t p, std::int64_t margine = margine_riga) const {
    if (!fuori_percorso(m_, p, margine)) return Esito::fatto();
    return della_riga(Esito::errore(codice::fuori_percorso, p));
  }

  // A profile's failure: a speed whose byte does not fit fails at the row that set it; a cell
  // outside the route at the current row.
  Esito del_profilo(Esito e, const ProfiloLetto& p) const {
    if (e.perche() == Guasto::troppo_grande) return std::move(e.in(p.riga_in_vigore));
    return della_riga(std::move(e));
  }

  // --- row handlers -------------------------------------------------------------------------

  Esito riga_massa_frenata() { return valori(campo(m_.voci, testata::massa_frenata)); }

  Esito riga_vetture() { return valori(campo(m_.voci, testata::numero_vetture)); }

  Esito riga_velocita() {
    std::int32_t p = 0, velocita = 0;
    if (Esito e = valori(p, velocita); !e.ok()) return e;
    if (Esito e = posizione(p); !e.ok()) return e;
    if (Esito e = memo_velocita(m_, velocita_.profilo, p, velocita); !e.ok()) return del_profilo(std::move(e), velocita_);
    velocita_.riga_in_vigore = luogo_chiave();
    return Esito::fatto();
  }

  Esito riga_aderenza() {
    std::int32_t p = 0, valore = 0;
    if (Esito e = valori(p, valore); !e.ok()) return e;
    if (Esito e = posizione(p); !e.ok()) return e;
    if (Esito e = memo_aderenza(m_, aderenza_.profilo, p, valore); !e.ok()) return del_profilo(std::move(e), aderenza_);
    aderenza_.riga_in_vigore = luogo_chiave();
    return Esito::fatto();
  }

  Esito riga_orologio() {
    return valori(campo(m_.voci, testata::ore), campo(m_.voci, testata::minuti), campo(m_.voci, testata::secondi));
  }

  Esito riga_sabbia() { return valori(campo(m_.voci, testata::sabbia)); }

  Esito riga_segnale() {
    std::int32_t p = 0, sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0, dx = 0, d1 = 0, d2 = 0, d3 = 0, tempo = 0;
    if (Esito e = valori(p, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo); !e.ok()) return e;
    if (Esito e = posizione(p); !e.ok()) return e;
    return della_riga(memo_segnale(m_, p, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo));
  }

  Esito riga_rallentamento() {
    std::int32_t x = 0, v = 0, l = 0, f_tt = 0, f_ta = 0, d_v = 0;
    if (Esito e = valori(x, v, l, f_tt, f_ta, d_v); !e.ok()) return e;
    if (Esito e = posizione(x); !e.ok()) return e;
    return della_riga(memo_rallentamento(m_, x, v, l, f_tt, f_ta, d_v));
  }

  Esito riga_abbattimento() {
    std::int32_t p = 0, velocita = 0;
    if (Esito e = valori(p, velocita); !e.ok()) return e;
    if (Esito e = posizione(p); !e.ok()) return e;
    return della_riga(memo_abbattimento(m_, p, velocita));
  }

  // A station: its fields go into entry k as they are read, so a stop part-way keeps the
  // fields before it; then the store builds its zone, approach marks and stop cell.
  Esito riga_stazione() {
    // Entry k already holds a sign text (every slot down to it is taken by signs): storing
    // the station would overwrite it.
    if (k_ > stato_.slot_cartello) return della_riga(Esito::errore(codice::troppe_stazioni));
    if (k_ < 1 || k_ >= numero_voci) return della_riga(Esito::guasto(Guasto::fuori_modello));
    Voce& s = m_.voci[static_cast<std::size_t>(k_)];

    if (Esito e = valori(s.posizione_m); !e.ok()) return e;
    const std::int32_t p = s.posizione_m;
    if (Esito e = posizione(p, margine_stazione); !e.ok()) return e;
    if (p % metri_cella != 0) return della_riga(Esito::errore(codice::stazione_non_multipla, p));
    std::int32_t lunghezza = 0;
    if (Esito e = valori(s.tipo, lunghezza); !e.ok()) return e;
    if (lunghezza % multiplo_zona != 0) return della_riga(Esito::errore(codice::zona_non_multipla, p));
    if (Esito e = valori(s.classe, s.opzione_4, s.opzione_3, s.parametro_1, s.parametro_2, s.opzione_1,
                         s.parametro_3, s.parametro_4, s.parametro_5, s.opzione_2);
        !e.ok()) {
      return e;
    }
    std::int32_t ore = 0, minuti = 0, secondi = 0;
    if (Esito e = valori(ore, minuti, secondi); !e.ok()) return e;
    const auto orario = stretto<std::int32_t>((std::int64_t{ore} * 60 + minuti) * 60 + secondi);
    if (!orario) return della_riga(Esito::guasto(Guasto::troppo_grande));
    s.orario = *orario;
    if (Esito e = valori(s.nome); !e.ok()) return e;

    if (Esito e = memo_stazione(m_, k_, lunghezza); !e.ok()) return della_riga(std::move(e));
    ++k_;
    if (k_ >= stato_.slot_cartello) return della_riga(Esito::errore(codice::troppe_stazioni));
    return Esito::fatto();
  }

  // --- end processing -----------------------------------------------------------------------

  // End of the file or range stop: delete the description, complete the speed and adhesion
  // profiles up to `ultima_cella` - 3, check the chainage entries of the line.
  Esito elaborazione_finale(Esito righe) {
    if (Esito e = cancella_descrizione(d_); !e.ok()) return e;
    if (Esito e = completa_velocita(m_, velocita_.profilo); !e.ok() && !prosegue(e.in(velocita_.riga_in_vigore))) {
      return e;
    }
    if (Esito e = completa_aderenza(m_, aderenza_.profilo); !e.ok() && !prosegue(e.in(aderenza_.riga_in_vigore))) {
      return e;
    }
    for (int i = voce_progressiva_tre; i <= voce_progressiva_uno; ++i) {
      const Voce& v = m_.voci[static_cast<std::size_t>(i)];
      if (v.inizio_zona % metri_cella != 0 || v.fine_zona % metri_cella != 0) {
        // The code concerns rows of the line description: no place in this file; the
        // position stays as it was.
        Esito e = Esito::errore(codice::progressiva_non_multipla);
        registra(m_, e);
        if (prosegue(e)) return Esito::fatto();
        return e;
      }
    }
    return righe;
  }

  StatoLettura& stato_;
  ProfiloLetto velocita_;
  ProfiloLetto aderenza_;
  std::int32_t k_ = 1;  // the entry of the next station
};

}  // namespace

std::span<const DescrizioneRiga> tipi_riga_treno() {
  static const std::vector<DescrizioneRiga> righe = LetturaTreno::descrizioni();
  return righe;
}

Esito leggi_treno(Modello& m, const Descrizione& treno, StatoLettura& stato, Osservatore* osservatore) {
  LetturaTreno lettura(m, treno, stato, osservatore);
  return lettura.leggi();
}

}  // namespace scenario
