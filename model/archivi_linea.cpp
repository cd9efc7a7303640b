// Line feature stores: hill sections, speed-indicator boards, signs, the order of the three
// chainage entries, and the profiles along the cells.
#include <algorithm>
#include <array>
#include <optional>
#include <tuple>

#include "model/aritmetica.h"
#include "model/archivi.h"

namespace scenario {
namespace {

// A section starting this close after the previous row's section becomes type 3.
constexpr std::int64_t distacco_montagne = 150;
constexpr std::int32_t tipo_montagna_vicina = 3;
// Types above this stand for the type less this, with filler marks.
constexpr std::int32_t tipo_con_segni = 10;
// The filler mark goes into every this-many-th cell of a marked section.
constexpr std::int64_t passo_segni = 4;
// A board's speed pair is first x 20 + second / 5.
constexpr std::int64_t peso_prima = 20;
constexpr std::int64_t divisore_seconda = 5;
// A chainage entry whose third value is 1 has this added to its second.
constexpr std::int64_t aggiunta_progressiva = 100;

// round(v1 x 20 + v2 / 5) into a 16-bit field: the product in 32 bits, the sum exact.
std::optional<std::int16_t> coppia_velocita(std::int32_t primo, std::int32_t secondo) {
  const auto prodotto = stretto<std::int32_t>(static_cast<std::int64_t>(primo) * peso_prima);
  if (!prodotto) return std::nullopt;
  return stretto<std::int16_t>(
      arrotonda(static_cast<std::int64_t>(*prodotto) * divisore_seconda + secondo, divisore_seconda));
}

}  // namespace

Esito memo_montagna(Modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t tipo) {
  bool segni = false;
  if (tipo > tipo_con_segni) {
    tipo -= tipo_con_segni;
    segni = true;
  }
  if (m.n_montagne >= massimo_montagne) return Esito::guasto(Guasto::fuori_modello);  // no 81st section
  m.n_montagne += 1;
  const auto n = static_cast<std::size_t>(m.n_montagne);
  m.montagna_inizio[n] = inizio;
  m.montagna_fine[n] = fine;
  // The gap is measured from the section of the previous row, not the nearest one.
  if (n > 1 && static_cast<std::int64_t>(inizio) - m.montagna_fine[n - 1] <= distacco_montagne) {
    tipo = tipo_montagna_vicina;
  }
  const std::int64_t prima = cella_di(inizio);
  const std::int64_t ultima = cella_di(fine, -1);
  std::int64_t j = 0;
  for (std::int64_t i = prima; i <= ultima; ++i) {
    Cella* c = cella(m, i);
    if (c == nullptr) return Esito::guasto(Guasto::fuori_modello);
    ++j;
    c->tipo_montagna = bassi_8(tipo);
    if (segni && j % passo_segni == 0 && c->tipo == tipo_cella::niente) c->tipo = tipo_cella::riempitivo_montagna;
  }
  return Esito::fatto();
}

Esito memo_indicatori_v_max(Modello& m, std::int32_t posizione, std::int32_t vas, std::int32_t vbs,
                            std::int32_t vcs, std::int16_t strisces, std::int32_t vad, std::int32_t vbd,
                            std::int32_t vcd, std::int16_t strisced) {
  Cella* c = cella(m, cella_di(posizione, 1));
  if (c == nullptr) return Esito::guasto(Guasto::fuori_modello);
  if (!libera(*c)) return Esito::errore(codice::indicatore_occupato, posizione);
  c->tipo = tipo_cella::indicatore_v_max;
  for (auto [campo, primo, secondo] : {std::tuple{&c->valore1, vas, vad}, std::tuple{&c->valore2, vbs, vbd},
                                       std::tuple{&c->valore3, vcs, vcd}}) {
    const auto v = coppia_velocita(primo, secondo);
    if (!v) return Esito::guasto(Guasto::troppo_grande);
    *campo = *v;
  }
  c->valore4 = bassi_16(static_cast<std::int64_t>(strisces) * 10 + strisced);
  return Esito::fatto();
}

Esito memo_cartello(Modello& m, std::int32_t posizione, const std::string& testo, std::int32_t slot) {
  Cella* c = cella(m, cella_di(posizione, 1));
  if (c == nullptr) return Esito::guasto(Guasto::fuori_modello);
  if (!libera(*c)) return Esito::errore(codice::cartello_occupato, posizione);
  c->tipo = tipo_cella::cartello;
  c->valore1 = bassi_16(slot);
  // Entry 0 is never filled: an 81st sign has no entry to take.
  if (slot < 1 || slot >= numero_voci) return Esito::guasto(Guasto::fuori_modello);
  m.voci[static_cast<std::size_t>(slot)].nome = testo;
  return Esito::fatto();
}

Esito progressive_ordina(Modello& m) {
  // Entries as read: T from the "tre" row (81), D from "due" (82), U from "uno" (83).
  const Voce t = m.voci[voce_progressiva_tre];
  const Voce d = m.voci[voce_progressiva_due];
  const Voce u = m.voci[voce_progressiva_uno];
  std::array<Voce, 3> esito;
  if (static_cast<std::int64_t>(t.inizio_zona) + d.inizio_zona + u.inizio_zona != 0) {
    // Largest first value first; on a tie the entry from the higher number goes first.
    esito = {u, d, t};
    std::stable_sort(esito.begin(), esito.end(),
                     [](const Voce& a, const Voce& b) { return a.inizio_zona > b.inizio_zona; });
  } else if (u.fine_zona > 0) {
    esito = {u, d, t};
  } else if (d.fine_zona > 0) {
    esito = {d, t, u};
  } else if (t.fine_zona > 0) {
    esito = {t, d, u};
  } else {
    esito = {Voce{}, Voce{}, Voce{}};
  }
  for (std::size_t i = 0; i < esito.size(); ++i) {
    Voce& v = m.voci[voce_progressiva_tre + i];
    v.inizio_zona = esito[i].inizio_zona;
    v.fine_zona = esito[i].fine_zona;
    v.posizione_m = esito[i].posizione_m;
  }
  // A third value of 1 adds 100 to the second.
  for (std::size_t i = 0; i < esito.size(); ++i) {
    Voce& v = m.voci[voce_progressiva_tre + i];
    if (v.posizione_m != 1) continue;
    const auto piu_cento = stretto<std::int32_t>(static_cast<std::int64_t>(v.fine_zona) + aggiunta_progressiva);
    if (!piu_cento) return Esito::guasto(Guasto::troppo_grande);
    v.fine_zona = *piu_cento;
  }
  return Esito::fatto();
}

// --- profiles -------------------------------------------------------------------------------

namespace {

// How a profile turns the value in force into its cell byte; nothing when it does not fit.
struct TipoProfilo {
  std::uint8_t Cella::*campo;
  std::optional<std::uint8_t> (*byte)(std::int32_t valore);
  bool fino_all_ultima;  // a row never writes past the last cell (the speed profile)
};

constexpr TipoProfilo pendenza{&Cella::pendenza,
                               [](std::int32_t g) -> std::optional<std::uint8_t> { return bassi_8(std::int64_t{g} + scarto_pendenza); },
                               false};
constexpr TipoProfilo velocita{&Cella::velocita,
                               [](std::int32_t v) { return stretto<std::uint8_t>(arrotonda(v, passo_velocita)); }, true};
constexpr TipoProfilo aderenza{&Cella::aderenza,
                               [](std::int32_t a) -> std::optional<std::uint8_t> { return bassi_8(a); }, false};

// The value in force into the cell at the cursor, which then advances.
Esito scrivi(Modello& m, Profilo& p, const TipoProfilo& t) {
  Cella* c = cella(m, p.cursore);
  if (c == nullptr) return Esito::guasto(Guasto::fuori_modello);
  const auto b = t.byte(p.in_vigore);
  if (!b) return Esito::guasto(Guasto::troppo_grande);
  c->*t.campo = *b;
  ++p.cursore;
  return Esito::fatto();
}

// A row: the cells before its own cell (at least one when that cell is above 0), then its
// value holds.
Esito riga(Modello& m, Profilo& p, const TipoProfilo& t, std::int32_t posizione, std::int32_t valore) {
  const std::int64_t n = cella_di(posizione);
  if (n > 0) {
    do {
      if (t.fino_all_ultima && p.cursore >= m.ultima_cella) break;
      if (Esito e = scrivi(m, p, t); !e.ok()) return e;
    } while (p.cursore < n);
  }
  p.in_vigore = valore;
  return Esito::fatto();
}

// After the last row: up to cell ultima_cella - 3, at least one cell.
Esito completa(Modello& m, Profilo& p, const TipoProfilo& t) {
  do {
    if (Esito e = scrivi(m, p, t); !e.ok()) return e;
  } while (p.cursore < std::int64_t{m.ultima_cella} - 2);
  return Esito::fatto();
}

}  // namespace

Esito memo_pendenza(Modello& m, Profilo& p, std::int32_t posizione, std::int32_t g) {
  return riga(m, p, pendenza, posizione, g);
}
Esito memo_velocita(Modello& m, Profilo& p, std::int32_t posizione, std::int32_t v) {
  return riga(m, p, velocita, posizione, v);
}
Esito memo_aderenza(Modello& m, Profilo& p, std::int32_t posizione, std::int32_t a) {
  return riga(m, p, aderenza, posizione, a);
}
Esito completa_pendenza(Modello& m, Profilo& p) { return completa(m, p, pendenza); }
Esito completa_velocita(Modello& m, Profilo& p) { return completa(m, p, velocita); }
Esito completa_aderenza(Modello& m, Profilo& p) { return completa(m, p, aderenza); }

}  // namespace scenario
