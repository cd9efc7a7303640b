// The line half of the reading: the general block, the chainage order, the feature rows
// (gradients, curves, hill sections, speed boards, signs), the plan of the line, and the
// deletion of the line description.
#include <filesystem>
#include <system_error>

#include "model/aritmetica.h"
#include "model/archivi.h"
#include "reader/interno.h"
#include "reader/parole.h"

namespace scenario {
namespace {

constexpr std::int32_t lunghezza_massima = 1000000;
constexpr std::int64_t piano_massimo = 1000000;

class LetturaLinea {
 public:
  LetturaLinea(Modello& m, Descrizione& d, StatoLettura& stato)
      : m_(m), d_(d), stato_(stato), campi_(d.testo ? std::string_view(*d.testo) : std::string_view()) {}

  Esito leggi(FineLinea& fine);

 private:
  // Reads one field into `riga`, remembering where it stands.
  Esito campo() {
    auto c = campi_.testo();
    if (!c) return guasto();
    m_.riga = std::move(c->testo);
    linea_riga_ = c->linea;
    colonna_riga_ = c->colonna;
    return Esito::fatto();
  }
  Esito numero(std::int32_t& v) {
    auto n = campi_.numero_32();
    if (!n) return guasto();
    v = *n;
    return Esito::fatto();
  }
  // A failure: where the field that could not be read stands.
  Esito guasto() {
    m_.luogo_errore = {d_.nome, campi_.linea(), campi_.colonna()};
    return Esito::guasto();
  }
  // A code set by this row: where its keyword field stands.
  void codice(std::int32_t c) {
    m_.codice_errore = c;
    m_.luogo_errore = {d_.nome, linea_riga_, colonna_riga_};
  }
  void codice(std::int32_t c, std::int32_t posizione) {
    codice(c);
    m_.posizione_errore = posizione;
  }
  void cancella() {
    if (d_.da_cancellare.empty()) return;
    std::error_code ec;
    std::filesystem::remove(d_.da_cancellare, ec);
  }
  // A hard stop: the file goes, the code stays, the train half does not run.
  Esito ferma(FineLinea& fine) {
    cancella();
    fine = FineLinea::fermata;
    return Esito::fatto();
  }
  // The position check of every feature row: a failure when the route has no cells yet (a
  // feature row before any length row); code 15 and `fuori` when (p + 100) / 50 lies beyond
  // the last cell.
  Esito posizione(std::int32_t p, bool& fuori) {
    if (m_.celle.empty()) return guasto();
    if (static_cast<std::int64_t>(p) + 100 <= 50 * static_cast<std::int64_t>(m_.ultima_cella)) return Esito::fatto();
    codice(15, p);
    fuori = true;
    return Esito::fatto();
  }
  // The gradient in force into the cell at the gradient cursor, which then advances.
  Esito scrivi_pendenza() {
    Cella* c = cella(m_, cursore_pendenza_);
    if (c == nullptr) return guasto();
    c->pendenza = bassi_8(static_cast<std::int64_t>(pendenza_precedente_) + 100);
    ++cursore_pendenza_;
    return Esito::fatto();
  }

  Esito blocco_generale(bool& fermo);
  Esito righe_generali(bool& fermo);
  Esito righe_caratteristiche(bool& fermo);
  Esito riga_pendenza(bool& uscita);
  Esito riga_curva(bool& uscita, bool& fermo);
  Esito riga_montagna(bool& uscita, bool& fermo);
  Esito riga_indicatori(bool& uscita, bool& fermo);
  Esito riga_cartello(bool& uscita, bool& fermo);
  Esito passi_piano(std::int64_t fino, double k, bool controlla_milione, bool& milione);
  Esito completa();

  Modello& m_;
  Descrizione& d_;
  StatoLettura& stato_;
  LettoreCampi campi_;
  std::int32_t linea_riga_ = 0;
  std::int32_t colonna_riga_ = 0;
  std::int64_t cursore_pendenza_ = 0;
  std::int32_t pendenza_precedente_ = 0;
  std::int64_t cursore_piano_ = 2;
};

Esito LetturaLinea::leggi(FineLinea& fine) {
  fine = FineLinea::fermata;
  m_.voci[voce_testata_percorso].nome = m_.nome_percorso;
  m_.voci[voce_testata_treno].nome = m_.nome_treno;
  if (!d_.testo) {
    m_.codice_errore = 101;
    m_.luogo_errore = {d_.nome, 0, 0};
    return Esito::fatto();
  }
  // Find the general block; a file with nothing (more) to read has none.
  do {
    if (campi_.finito()) {
      m_.codice_errore = 102;
      m_.luogo_errore = {d_.nome, 0, 0};
      return ferma(fine);
    }
    if (!campo().ok()) return Esito::guasto();
    if (campi_.finito()) {
      codice(102);
      return ferma(fine);
    }
  } while (!contiene(m_.riga, "[generale]"));

  bool fermo = false;
  if (!blocco_generale(fermo).ok()) return Esito::guasto();
  if (fermo) return ferma(fine);

  if (!progressive_ordina(m_).ok()) return guasto();
  m_.n_montagne = 0;
  stato_.slot_cartello = prima_voce_cartello;
  cursore_pendenza_ = 0;
  pendenza_precedente_ = 0;
  cursore_piano_ = 2;
  if (m_.scrivi_linea != 0) {
    Tracciato& t = m_.tracciato;
    if (!t.imposta_intero(0, 0, 0) || !t.imposta_intero(0, 1, 0) || !t.imposta_intero(1, 0, 0) ||
        !t.imposta_intero(1, 1, 1)) {
      return guasto();
    }
  }
  if (!righe_caratteristiche(fermo).ok()) return Esito::guasto();
  if (fermo) return ferma(fine);
  cancella();
  if (!completa().ok()) return Esito::guasto();
  fine = FineLinea::continua;
  return Esito::fatto();
}

Esito LetturaLinea::blocco_generale(bool& fermo) {
  while (!campi_.finito()) {
    if (!campo().ok()) return Esito::guasto();
    if (campi_.finito()) break;
    for (int i = 0; i < 10; ++i) {
      if (contiene_esatto(m_.riga, "-") && !campo().ok()) return Esito::guasto();
    }
    if (!righe_generali(fermo).ok()) return Esito::guasto();
    if (fermo) return Esito::fatto();
    // The block ends at the first header-like field that does not start with a minus sign.
    const auto primo = m_.riga.find_first_not_of(" \t");
    if (primo != std::string::npos && m_.riga[primo] != '-' && contiene_esatto(m_.riga, "[") &&
        contiene_esatto(m_.riga, "]")) {
      break;
    }
  }
  return Esito::fatto();
}

Esito LetturaLinea::righe_generali(bool& fermo) {
  const std::string riga = m_.riga;
  if (contiene(riga, "percorso") && contiene(riga, "lunghezza")) {
    std::int32_t l = 0;
    if (!numero(l).ok()) return Esito::guasto();
    m_.voci[voce_generale].fine_zona = l;
    if (l > lunghezza_massima) {
      codice(1);
      fermo = true;
      return Esito::fatto();
    }
    if (l < -7000) return guasto();  // the route would have fewer than no cells
    dimensiona_percorso(m_, l + 7000);
  }
  const std::pair<const char*, int> progressive[] = {
      {"tre", voce_progressiva_tre}, {"due", voce_progressiva_due}, {"uno", voce_progressiva_uno}};
  for (const auto& [parola, indice] : progressive) {
    if (!contiene_esatto(riga, parola) || !contiene_esatto(riga, "progressiva")) continue;
    Voce& v = m_.voci[static_cast<std::size_t>(indice)];
    if (!numero(v.inizio_zona).ok() || !numero(v.fine_zona).ok() || !numero(v.posizione_m).ok()) {
      return Esito::guasto();
    }
  }
  Voce& percorso = m_.voci[voce_testata_percorso];
  const std::pair<const char*, std::int32_t*> sfondi[] = {
      {"uno", &percorso.inizio_zona}, {"due", &percorso.posizione_m}, {"tre", &percorso.fine_zona}};
  for (const auto& [parola, dove] : sfondi) {
    if (contiene_esatto(riga, "sfondo") && contiene_esatto(riga, parola) && !numero(*dove).ok()) {
      return Esito::guasto();
    }
  }
  if (contiene_esatto(riga, "segnali") && contiene_esatto(riga, "ripetizione")) {
    Voce& treno = m_.voci[voce_testata_treno];
    if (!numero(treno.inizio_zona).ok() || !numero(treno.fine_zona).ok()) return Esito::guasto();
    if (treno.inizio_zona % 50 != 0) {
      codice(3);
    } else if (treno.fine_zona % 50 != 0) {
      codice(4);
    } else if (contiene_esatto(riga, "4")) {
      treno.posizione_m = 4;
    } else if (contiene_esatto(riga, "9")) {
      treno.posizione_m = 9;
    } else {
      codice(5);
    }
    if (m_.codice_errore != 0) {
      fermo = true;
      return Esito::fatto();
    }
    if (treno.fine_zona == 0) treno.posizione_m = 0;
  }
  return Esito::fatto();
}

Esito LetturaLinea::righe_caratteristiche(bool& fermo) {
  while (!campi_.finito()) {
    if (!campo().ok()) return Esito::guasto();
    if (campi_.finito()) break;
    bool esci = false;
    for (int i = 0; i < 2 && contiene_esatto(m_.riga, "-"); ++i) {
      if (!campo().ok()) return Esito::guasto();
      if (campi_.finito()) {
        esci = true;
        break;
      }
    }
    if (esci) break;
    const std::string riga = m_.riga;
    bool uscita = false;
    if (contiene(riga, "pendenza") && !riga_pendenza(uscita).ok()) return Esito::guasto();
    if (uscita) break;
    if (contiene(riga, "curva") && m_.scrivi_linea != 0 && !riga_curva(uscita, fermo).ok()) return Esito::guasto();
    if (uscita || fermo) break;
    if (contiene(riga, "montagna") && !riga_montagna(uscita, fermo).ok()) return Esito::guasto();
    if (uscita || fermo) break;
    if (contiene(riga, "indicatori_v") && !riga_indicatori(uscita, fermo).ok()) return Esito::guasto();
    if (uscita || fermo) break;
    if (contiene(riga, "indicat") && contiene(riga, "cartello") && !riga_cartello(uscita, fermo).ok()) {
      return Esito::guasto();
    }
    if (uscita || fermo) break;
  }
  return Esito::fatto();
}

Esito LetturaLinea::riga_pendenza(bool& uscita) {
  std::int32_t p = 0, g = 0;
  if (!numero(p).ok() || !numero(g).ok()) return Esito::guasto();
  if (!posizione(p, uscita).ok()) return Esito::guasto();
  if (uscita) return Esito::fatto();
  const std::int64_t c = arrotonda(p, 50);
  if (c > 0) {
    do {
      if (!scrivi_pendenza().ok()) return Esito::guasto();
    } while (cursore_pendenza_ < c);
  }
  pendenza_precedente_ = g;
  return Esito::fatto();
}

// Plan metres from the cursor up to `fino`: straight steps when k is 0, else turned by k
// radians per metre. Each step re-derives the direction from the two points before it. With
// `controlla_milione`, stops (setting `milione`) once the cursor passes 1,000,000.
Esito LetturaLinea::passi_piano(std::int64_t fino, double k, bool controlla_milione, bool& milione) {
  Tracciato& t = m_.tracciato;
  auto& x = t.valori[0];
  auto& y = t.valori[1];
  auto& ex = t.etichette[0];
  auto& ey = t.etichette[1];
  const std::int64_t ultimo = t.metri() - 1;
  while (cursore_piano_ <= fino) {
    if (cursore_piano_ > ultimo || cursore_piano_ < 2) return guasto();  // outside the plan
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
    if (controlla_milione && cursore_piano_ > piano_massimo) {
      milione = true;
      return Esito::fatto();
    }
  }
  return Esito::fatto();
}

Esito LetturaLinea::riga_curva(bool& uscita, bool& fermo) {
  std::int32_t p = 0, n = 0;
  if (!numero(p).ok() || !numero(n).ok()) return Esito::guasto();
  if (!posizione(p, uscita).ok()) return Esito::guasto();
  if (uscita) return Esito::fatto();
  static constexpr std::pair<char, double> classi[] = {{'1', 0.0001}, {'2', 0.0002}, {'3', 0.0004},
                                                       {'4', 0.001},  {'5', 0.002},  {'6', 0.003}};
  double k = 0;
  for (const auto& [cifra, valore] : classi) {
    if (m_.riga.find(cifra) != std::string::npos) {
      k = valore;
      break;
    }
  }
  if (k == 0) {
    codice(103);
    fermo = true;
    return Esito::fatto();
  }
  if (contiene(m_.riga, "s")) k = -k;
  const std::int64_t fine_curva = static_cast<std::int64_t>(p) + n;
  for (const auto& [limite, passo] : {std::pair{static_cast<std::int64_t>(p), 0.0}, std::pair{fine_curva, k}}) {
    bool milione = false;
    if (!passi_piano(limite, passo, true, milione).ok()) return Esito::guasto();
    if (milione) {
      codice(103);
      fermo = true;
      return Esito::fatto();
    }
  }
  return Esito::fatto();
}

Esito LetturaLinea::riga_montagna(bool& uscita, bool& fermo) {
  std::int32_t inizio = 0, fine = 0, tipo = 0;
  if (!numero(inizio).ok() || !numero(fine).ok() || !numero(tipo).ok()) return Esito::guasto();
  if (!posizione(inizio, uscita).ok()) return Esito::guasto();
  if (uscita) return Esito::fatto();
  if (!memo_montagna(m_, inizio, fine, tipo).ok()) return guasto();
  if (m_.codice_errore > 0) {
    codice(m_.codice_errore, inizio);
    fermo = true;
  }
  return Esito::fatto();
}

Esito LetturaLinea::riga_indicatori(bool& uscita, bool& fermo) {
  std::int32_t v[9] = {};
  for (std::int32_t& x : v) {
    if (!numero(x).ok()) return Esito::guasto();
  }
  if (!posizione(v[0], uscita).ok()) return Esito::guasto();
  if (uscita) return Esito::fatto();
  // The stripe counts are passed as their low 16 bits.
  std::int16_t strisces = bassi_16(v[4]);
  std::int16_t strisced = bassi_16(v[8]);
  if (!memo_indicatori_v_max(m_, v[0], v[1], v[2], v[3], strisces, v[5], v[6], v[7], strisced).ok()) {
    return guasto();
  }
  if (m_.codice_errore > 0) {
    codice(m_.codice_errore, v[0]);
    fermo = true;
  }
  return Esito::fatto();
}

Esito LetturaLinea::riga_cartello(bool& uscita, bool& fermo) {
  const std::int32_t riga_parola = linea_riga_, colonna_parola = colonna_riga_;
  std::int32_t p = 0;
  if (!numero(p).ok() || !campo().ok()) return Esito::guasto();
  linea_riga_ = riga_parola;
  colonna_riga_ = colonna_parola;
  if (!posizione(p, uscita).ok()) return Esito::guasto();
  if (uscita) return Esito::fatto();
  Cella* c = cella(m_, cella_di(p, 1));
  if (c == nullptr) return guasto();
  if (!libera(*c)) {
    codice(6, p);
    fermo = true;
    return Esito::fatto();
  }
  c->tipo = tipo_cella::cartello;
  c->valore1 = bassi_16(stato_.slot_cartello);
  // Entry 0 is never filled: an 81st sign has no entry to take.
  if (stato_.slot_cartello < 1 || stato_.slot_cartello >= numero_voci) return guasto();
  m_.voci[static_cast<std::size_t>(stato_.slot_cartello)].nome = m_.riga;
  stato_.slot_cartello -= 1;
  return Esito::fatto();
}

// After the feature rows: the last gradient up to ultima_cella - 3, the plan straight to the
// end but for its last two metres.
Esito LetturaLinea::completa() {
  do {
    if (!scrivi_pendenza().ok()) return Esito::guasto();
  } while (cursore_pendenza_ < static_cast<std::int64_t>(m_.ultima_cella) - 2);
  if (m_.scrivi_linea != 0) {
    bool milione = false;
    if (!passi_piano(static_cast<std::int64_t>(m_.lunghezza_estesa) - 2, 0, false, milione).ok()) {
      return Esito::guasto();
    }
  }
  return Esito::fatto();
}

}  // namespace

Esito leggi_linea(Modello& m, Descrizione& linea, StatoLettura& stato, FineLinea& fine) {
  LetturaLinea lettura(m, linea, stato);
  return lettura.leggi(fine);
}

}  // namespace scenario
