// The train half of `memorizza_dati`: reads the train description row by row into the route
// model (general data, speed and adhesion profiles, stations, signals, slowdowns, speed caps).
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "model/aritmetica.h"
#include "model/archivi.h"
#include "reader/campi.h"
#include "reader/interno.h"
#include "reader/parole.h"

namespace scenario {

namespace {

constexpr std::string_view marca_generale = "[generale]";
// At most this many keyword fields holding "-" are dropped in a row.
constexpr int massimo_campi_meno = 2;
constexpr std::int64_t metri_cella = 50;
constexpr std::int64_t margine_riga = 100;      // range test of every positioned row
constexpr std::int64_t margine_stazione = 800;  // range test of a station
constexpr std::int64_t distacco_stazioni = 350;

namespace codice {
constexpr std::int32_t progressiva_non_multipla = 2;
constexpr std::int32_t abbattimento_occupato = 7;
constexpr std::int32_t stazione_non_multipla = 8;
constexpr std::int32_t zona_non_multipla = 9;
constexpr std::int32_t troppe_stazioni = 10;
constexpr std::int32_t fuori_percorso = 15;
constexpr std::int32_t zone_vicine = 22;
constexpr std::int32_t fermata_troppo_presto = 24;
}  // namespace codice

// How the reading of the rows ends before the end of the file.
enum class Arresto {
  nessuno,
  intervallo,  // code 15: the end processing still runs
  duro,        // any other code: the file is deleted and the half returns at once
};

class LettoreTreno {
 public:
  LettoreTreno(Modello& m, const Descrizione& d, StatoLettura& stato, std::string_view testo)
      : m_(m),
        d_(d),
        stato_(stato),
        lettore_(testo),
        luogo_velocita_{d.nome, 0, 0},
        luogo_aderenza_{d.nome, 0, 0} {}

  Esito leggi() {
    if (!cerca_generale()) return Esito::guasto();
    while (arresto_ == Arresto::nessuno) {
      bool fine = false;
      if (!leggi_parola_chiave(fine)) return Esito::guasto();
      if (fine) break;
      if (!prova_righe()) return Esito::guasto();
    }
    if (arresto_ == Arresto::duro) return cancella_descrizione();
    return elaborazione_finale();
  }

 private:
  using Gestore = Esito (LettoreTreno::*)();
  struct Riga {
    std::string_view parola;
    std::string_view anche;  // a second word the field must hold too; empty: none
    Gestore gestore;
  };


  // --- fields -------------------------------------------------------------------------------

  Luogo qui() const { return {d_.nome, lettore_.linea(), lettore_.colonna()}; }
  Luogo riga_corrente() const { return {d_.nome, chiave_.linea, chiave_.colonna}; }

  // A read that failed: the place is that of the field being read.
  Esito campo_guasto() {
    m_.luogo_errore = qui();
    return Esito::guasto();
  }
  // Any other failure of a row (an access outside the model, a value that does not fit).
  Esito riga_guasta() {
    m_.luogo_errore = riga_corrente();
    return Esito::guasto();
  }

  Esito leggi_uno(std::int32_t& v) { return assegna(lettore_.numero_32(), v); }
  Esito leggi_uno(std::int16_t& v) { return assegna(lettore_.numero_16(), v); }
  Esito leggi_uno(std::uint8_t& v) { return assegna(lettore_.numero_8(), v); }
  Esito leggi_uno(std::string& v) {
    auto campo = lettore_.testo();
    if (!campo) return campo_guasto();
    v = std::move(campo->testo);
    return Esito::fatto();
  }
  template <typename T>
  Esito assegna(const std::optional<T>& letto, T& v) {
    if (!letto) return campo_guasto();
    v = *letto;
    return Esito::fatto();
  }
  // Reads the values in order, each straight into its place, and stops at the first failure:
  // what was read before it stays stored.
  template <typename... T>
  Esito leggi_valori(T&... v) {
    return (leggi_uno(v).ok() && ...) ? Esito::fatto() : Esito::guasto();
  }

  Esito leggi_campo_chiave() {
    auto campo = lettore_.testo();
    if (!campo) return campo_guasto();
    chiave_ = std::move(*campo);
    m_.riga = chiave_.testo;
    return Esito::fatto();
  }

  // Drops fields up to the first that holds "[generale]". Reaching the end here is a normal
  // end: the main loop then stops at once. An empty description counts the same.
  Esito cerca_generale() {
    while (!lettore_.finito()) {
      if (!leggi_campo_chiave()) return Esito::guasto();
      if (contiene(m_.riga, marca_generale)) return Esito::fatto();
    }
    return Esito::fatto();
  }

  // The next keyword field into `riga`. `fine` is set when the end of the file was reached
  // before or by the read that would deliver it; that field is not looked at.
  Esito leggi_parola_chiave(bool& fine) {
    if (lettore_.finito()) {
      fine = true;
      return Esito::fatto();
    }
    if (!leggi_campo_chiave()) return Esito::guasto();
    for (int n = 0; !lettore_.finito() && n < massimo_campi_meno && contiene(m_.riga, "-"); ++n) {
      if (!leggi_campo_chiave()) return Esito::guasto();
    }
    fine = lettore_.finito();
    return Esito::fatto();
  }

  Esito prova_righe() {
    // The row tests, in their order. Each is independent: a field holding two keywords is
    // handled as both rows, each reading its own values.
    static constexpr std::array<Riga, 10> righe{{
        {"frenata", "massa", &LettoreTreno::riga_massa_frenata},
        {"vetture", "", &LettoreTreno::riga_vetture},
        {"velocit", "", &LettoreTreno::riga_velocita},
        {"aderenza", "", &LettoreTreno::riga_aderenza},
        {"orologio", "", &LettoreTreno::riga_orologio},
        {"sabbia", "", &LettoreTreno::riga_sabbia},
        {"segnale", "", &LettoreTreno::riga_segnale},
        {"rallentamento", "", &LettoreTreno::riga_rallentamento},
        {"abbattimento", "", &LettoreTreno::riga_abbattimento},
        {"stazione", "", &LettoreTreno::riga_stazione},
    }};
    for (const Riga& r : righe) {
      if (!contiene(m_.riga, r.parola)) continue;
      if (!r.anche.empty() && !contiene(m_.riga, r.anche)) continue;
      if (!(this->*r.gestore)()) return Esito::guasto();
      if (arresto_ != Arresto::nessuno) return Esito::fatto();
    }
    return Esito::fatto();
  }

  // --- stops --------------------------------------------------------------------------------

  bool fuori_percorso(std::int64_t posizione, std::int64_t margine) const {
    return posizione + margine > metri_cella * m_.ultima_cella;
  }

  void ferma(Arresto arresto, std::int32_t codice_errore, std::optional<std::int32_t> posizione) {
    m_.codice_errore = codice_errore;
    if (posizione) m_.posizione_errore = *posizione;
    m_.luogo_errore = riga_corrente();
    arresto_ = arresto;
  }
  void ferma_intervallo(std::int32_t posizione) { ferma(Arresto::intervallo, codice::fuori_percorso, posizione); }
  void ferma_duro(std::int32_t codice_errore, std::optional<std::int32_t> posizione) {
    ferma(Arresto::duro, codice_errore, posizione);
  }

  // Calls a store. A code 15 left pending by the line half does not count: the reading stops
  // only when the store itself set a code; otherwise the pending code stays.
  template <typename Archivio>
  Esito chiama_archivio(std::int32_t posizione, Archivio archivio) {
    const std::int32_t pendente = m_.codice_errore;
    m_.codice_errore = 0;
    const Esito esito = archivio();
    const std::int32_t nuovo = m_.codice_errore;
    if (nuovo == 0) m_.codice_errore = pendente;
    if (!esito) return riga_guasta();
    if (nuovo > 0) ferma_duro(nuovo, posizione);
    return Esito::fatto();
  }

  Esito cancella_descrizione() {
    if (d_.da_cancellare.empty()) return Esito::fatto();
    std::error_code ec;
    std::filesystem::remove(d_.da_cancellare, ec);
    if (ec) {
      m_.luogo_errore = {d_.nome, 0, 0};
      return Esito::guasto();
    }
    return Esito::fatto();
  }

  // --- speed and adhesion profiles ----------------------------------------------------------

  // One cell of the speed profile at the fill index, with the speed in force / 5 as a byte.
  // A speed whose byte does not fit fails at the place of the row that set it.
  Esito scrivi_velocita(const Luogo& se_fuori) {
    Cella* c = cella(m_, indice_velocita_);
    if (c == nullptr) {
      m_.luogo_errore = se_fuori;
      return Esito::guasto();
    }
    const auto byte = stretto<std::uint8_t>(arrotonda(velocita_in_vigore_, 5));
    if (!byte) {
      m_.luogo_errore = luogo_velocita_;
      return Esito::guasto();
    }
    c->velocita = *byte;
    ++indice_velocita_;
    return Esito::fatto();
  }

  Esito scrivi_aderenza(const Luogo& se_fuori) {
    Cella* c = cella(m_, indice_aderenza_);
    if (c == nullptr) {
      m_.luogo_errore = se_fuori;
      return Esito::guasto();
    }
    c->aderenza = bassi_8(aderenza_in_vigore_);
    ++indice_aderenza_;
    return Esito::fatto();
  }

  // --- row handlers -------------------------------------------------------------------------

  Esito riga_massa_frenata() { return leggi_valori(m_.voci[voce_generale].inizio_zona); }

  Esito riga_vetture() { return leggi_valori(m_.voci[voce_generale].posizione_m); }

  // Fills the cells before this row's cell with the speed in force (at least one cell when
  // the cell is above 0, never past `ultima_cella`); this row's speed then holds.
  Esito riga_velocita() {
    std::int32_t posizione = 0;
    std::int32_t velocita = 0;
    if (!leggi_valori(posizione, velocita)) return Esito::guasto();
    if (fuori_percorso(posizione, margine_riga)) {
      ferma_intervallo(posizione);
      return Esito::fatto();
    }
    const std::int64_t n = cella_di(posizione);
    if (n > 0) {
      do {
        if (indice_velocita_ >= m_.ultima_cella) break;
        if (!scrivi_velocita(riga_corrente())) return Esito::guasto();
      } while (indice_velocita_ < n);
    }
    velocita_in_vigore_ = velocita;
    luogo_velocita_ = riga_corrente();
    return Esito::fatto();
  }

  // As the speed rows, with the low 8 bits of the value. Rows in one cell push the fill index
  // on by one each; past `ultima_cella` that is a failure.
  Esito riga_aderenza() {
    std::int32_t posizione = 0;
    std::int32_t valore = 0;
    if (!leggi_valori(posizione, valore)) return Esito::guasto();
    if (fuori_percorso(posizione, margine_riga)) {
      ferma_intervallo(posizione);
      return Esito::fatto();
    }
    const std::int64_t n = cella_di(posizione);
    if (n > 0) {
      do {
        if (!scrivi_aderenza(riga_corrente())) return Esito::guasto();
      } while (indice_aderenza_ < n);
    }
    aderenza_in_vigore_ = valore;
    luogo_aderenza_ = riga_corrente();
    return Esito::fatto();
  }

  Esito riga_orologio() {
    Voce& t = m_.voci[voce_testata_treno];
    return leggi_valori(t.parametro_3, t.parametro_4, t.parametro_5);
  }

  Esito riga_sabbia() { return leggi_valori(m_.voci[voce_testata_treno].parametro_1); }

  Esito riga_segnale() {
    std::int32_t posizione = 0, sx = 0, s1 = 0, s2 = 0, s3 = 0, rapp = 0, dx = 0, d1 = 0, d2 = 0, d3 = 0, tempo = 0;
    if (!leggi_valori(posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo)) return Esito::guasto();
    if (fuori_percorso(posizione, margine_riga)) {
      ferma_intervallo(posizione);
      return Esito::fatto();
    }
    return chiama_archivio(posizione,
                           [&] { return memo_segnale(m_, posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo); });
  }

  Esito riga_rallentamento() {
    std::int32_t x = 0, v = 0, l = 0, f_tt = 0, f_ta = 0, d_v = 0;
    if (!leggi_valori(x, v, l, f_tt, f_ta, d_v)) return Esito::guasto();
    if (fuori_percorso(x, margine_riga)) {
      ferma_intervallo(x);
      return Esito::fatto();
    }
    return chiama_archivio(x, [&] { return memo_rallentamento(m_, x, v, l, f_tt, f_ta, d_v); });
  }

  // A speed-cap point in the free cell of its position (no +1). A position before cell 0 is
  // outside the model.
  Esito riga_abbattimento() {
    std::int32_t posizione = 0;
    std::int32_t velocita = 0;
    if (!leggi_valori(posizione, velocita)) return Esito::guasto();
    if (fuori_percorso(posizione, margine_riga)) {
      ferma_intervallo(posizione);
      return Esito::fatto();
    }
    Cella* c = cella(m_, cella_di(posizione));
    if (c == nullptr) return riga_guasta();
    if (!libera(*c)) {
      ferma_duro(codice::abbattimento_occupato, posizione);
      return Esito::fatto();
    }
    if (velocita > 0) {
      c->tipo = tipo_cella::abbattimento;
      c->valore1 = bassi_16(velocita);
    } else {
      c->tipo = tipo_cella::abbattimento_senza_velocita;
    }
    return Esito::fatto();
  }

  Esito poni_32(std::int32_t& campo, std::int64_t valore) {
    const auto v = stretto<std::int32_t>(valore);
    if (!v) return riga_guasta();
    campo = *v;
    return Esito::fatto();
  }

  // The zone of a station around its position, by type.
  Esito zona(Voce& s, std::int64_t lunghezza) {
    const std::int64_t p = s.posizione_m;
    if (s.tipo == 5 || s.tipo == 6) {
      if (!poni_32(s.fine_zona, p + 150) || !poni_32(s.inizio_zona, p - lunghezza)) return Esito::guasto();
      s.opzione_3 = 0;
      return Esito::fatto();
    }
    if (s.tipo == 7 || s.tipo == 8) {
      if (!poni_32(s.inizio_zona, p - lunghezza) || !poni_32(s.fine_zona, p + lunghezza)) return Esito::guasto();
      s.opzione_3 = 0;
      return Esito::fatto();
    }
    const std::int64_t allunga = s.opzione_3 != 0 ? 50 : 0;
    if (!poni_32(s.inizio_zona, arrotonda(2 * p - lunghezza, 2))) return Esito::guasto();
    return poni_32(s.fine_zona, arrotonda(2 * p + lunghezza + 2 * allunga, 2));
  }

  // Approach marks 81..84 in the four cells before the stop cell (only `preavviso`).
  Esito preavvisi_stazione(const Voce& s) {
    if (s.tipo >= 25 || s.tipo == 5 || s.tipo == 6) return Esito::fatto();
    for (std::int64_t z = 1; z <= 4; ++z) {
      // c = fine_zona / 50 - z - 1, tested exactly against 1 and then rounded.
      const std::int64_t metri = std::int64_t{s.fine_zona} - metri_cella * (z + 1);
      if (metri <= metri_cella) continue;
      Cella* c = cella(m_, arrotonda(metri, metri_cella));
      if (c == nullptr) return riga_guasta();
      c->preavviso = bassi_8(80 + z);
    }
    return Esito::fatto();
  }

  // A station: its entry k in `voci`, its zone, its approach marks and its stop cell. What
  // is read is stored as it comes, so a stop part-way keeps the fields before it.
  Esito riga_stazione() {
    // Entry k already holds a sign text (every slot is taken by signs): storing the station
    // would overwrite it.
    if (k_ > stato_.slot_cartello) {
      ferma_duro(codice::troppe_stazioni, std::nullopt);
      return Esito::fatto();
    }
    if (k_ < 1 || k_ >= numero_voci) return riga_guasta();
    Voce& s = m_.voci[static_cast<std::size_t>(k_)];

    if (!leggi_valori(s.posizione_m)) return Esito::guasto();
    const std::int32_t posizione = s.posizione_m;
    if (fuori_percorso(posizione, margine_stazione)) {
      ferma_intervallo(posizione);
      return Esito::fatto();
    }
    if (posizione % metri_cella != 0) {
      ferma_duro(codice::stazione_non_multipla, posizione);
      return Esito::fatto();
    }
    std::int32_t lunghezza = 0;
    if (!leggi_valori(s.tipo, lunghezza)) return Esito::guasto();
    if (lunghezza % 100 != 0) {
      ferma_duro(codice::zona_non_multipla, posizione);
      return Esito::fatto();
    }
    if (!leggi_valori(s.classe, s.opzione_4, s.opzione_3, s.parametro_1, s.parametro_2, s.opzione_1, s.parametro_3,
                      s.parametro_4, s.parametro_5, s.opzione_2)) {
      return Esito::guasto();
    }
    std::int32_t ore = 0, minuti = 0, secondi = 0;
    if (!leggi_valori(ore, minuti, secondi)) return Esito::guasto();
    if (!poni_32(s.orario, (std::int64_t{ore} * 60 + minuti) * 60 + secondi)) return Esito::guasto();
    if (!leggi_valori(s.nome)) return Esito::guasto();

    if (!zona(s, lunghezza)) return Esito::guasto();
    if (lunghezza < 600) s.opzione_4 = 0;
    if (k_ == 1) {
      s.opzione_3 = 0;
      s.opzione_4 = 0;
    }
    if (!preavvisi_stazione(s)) return Esito::guasto();
    if (s.tipo < 25) {
      // Stop cell c = fine_zona / 50 - 1; it must lie above cell 1. Written over anything.
      const std::int64_t metri = std::int64_t{s.fine_zona} - metri_cella;
      if (metri <= metri_cella) {
        ferma_duro(codice::fermata_troppo_presto, std::nullopt);
        return Esito::fatto();
      }
      Cella* c = cella(m_, arrotonda(metri, metri_cella));
      if (c == nullptr) return riga_guasta();
      c->tipo = tipo_cella::fermata;
      c->valore1 = bassi_16(k_);
    }
    if (k_ > 1 && std::int64_t{s.inizio_zona} - distacco_stazioni <
                      m_.voci[static_cast<std::size_t>(k_ - 1)].fine_zona) {
      ferma_duro(codice::zone_vicine, posizione);
      return Esito::fatto();
    }
    ++k_;
    if (k_ >= stato_.slot_cartello) ferma_duro(codice::troppe_stazioni, std::nullopt);
    return Esito::fatto();
  }

  // --- end processing -----------------------------------------------------------------------

  // End of the file or range stop: delete the description, complete the speed and adhesion
  // profiles up to `ultima_cella` - 3, check the chainage entries of the line.
  Esito elaborazione_finale() {
    if (!cancella_descrizione()) return Esito::guasto();
    do {
      if (!scrivi_velocita(luogo_velocita_)) return Esito::guasto();
    } while (indice_velocita_ < std::int64_t{m_.ultima_cella} - 2);
    do {
      if (!scrivi_aderenza(luogo_aderenza_)) return Esito::guasto();
    } while (indice_aderenza_ < std::int64_t{m_.ultima_cella} - 2);

    for (int i = voce_progressiva_tre; i <= voce_progressiva_uno; ++i) {
      const Voce& v = m_.voci[static_cast<std::size_t>(i)];
      if (v.inizio_zona % metri_cella != 0 || v.fine_zona % metri_cella != 0) {
        // The code concerns rows of the line description: no place in this file.
        m_.codice_errore = codice::progressiva_non_multipla;
        m_.luogo_errore = Luogo{};
        break;
      }
    }
    return Esito::fatto();
  }

  Modello& m_;
  const Descrizione& d_;
  StatoLettura& stato_;
  LettoreCampi lettore_;
  Campo chiave_;
  Arresto arresto_ = Arresto::nessuno;

  std::int64_t indice_velocita_ = 0;
  std::int64_t indice_aderenza_ = 0;
  std::int32_t velocita_in_vigore_ = 0;
  std::int32_t aderenza_in_vigore_ = 0;
  // The rows that set the speed and the adhesion in force (the file alone before any row).
  Luogo luogo_velocita_;
  Luogo luogo_aderenza_;
  std::int32_t k_ = 1;
};

}  // namespace

Esito leggi_treno(Modello& m, Descrizione& treno, StatoLettura& stato) {
  if (!treno.testo) {
    m.luogo_errore = {treno.nome, 0, 0};
    return Esito::guasto();
  }
  LettoreTreno lettore(m, treno, stato, *treno.testo);
  return lettore.leggi();
}

}  // namespace scenario
