// Train feature stores: signals, slowdowns, speed-cap points and the stations' cells.
#include <cstdint>

#include "model/aritmetica.h"
#include "model/archivi.h"

namespace scenario {

namespace {

// Slowdowns at or before this position have no warning point and no pre-warning steps.
constexpr std::int64_t soglia_avviso = 1500;
// The warning point stands this many metres before the start.
constexpr std::int64_t distanza_avviso = 1200;
// A station zone must start at least this far after the previous zone's end.
constexpr std::int64_t distacco_stazioni = 350;
// The zone of a station of type 5 or 6 ends this far past its position.
constexpr std::int64_t coda_stazione_corta = 150;
// A nonzero `opzione_3` lengthens the zone's end by this much (types outside 5..8).
constexpr std::int64_t allungo_zona = 50;
// Approach marks of a station: 80 + z in the z-th cell before the stop cell.
constexpr std::uint8_t base_preavviso_stazione = 80;
// A signal's time value from 1 to this is raised to one more.
constexpr std::int32_t tempo_minimo = 100;
// Zones shorter than this clear `opzione_4`.
constexpr std::int32_t zona_lunga = 600;

}  // namespace

// Tests the signal cell, then writes it and the four approach marks two, four, six and eight
// cells before it. A mark outside `celle` is a failure once the cells before it are written.
Esito memo_segnale(Modello& m, std::int32_t posizione, std::int32_t sx, std::int32_t s1, std::int32_t s2,
                   std::int32_t s3, std::int32_t rapp, std::int32_t dx, std::int32_t d1, std::int32_t d2,
                   std::int32_t d3, std::int32_t tempo) {
  const std::int64_t i = cella_di(posizione, 1);
  Cella* c = cella(m, i);
  if (c == nullptr) return Esito::guasto(Guasto::fuori_modello);
  if (!libera(*c)) return Esito::errore(codice::segnale_occupato, posizione);
  c->tipo = tipo_cella::segnale;
  c->valore4 = bassi_16(std::int64_t{rapp} * 10 + std::int64_t{sx} * 3 + dx);
  c->valore1 = bassi_16(std::int64_t{s1} * 10 + d1);
  c->valore2 = bassi_16(std::int64_t{s2} * 10 + d2);
  c->valore3 = bassi_16(std::int64_t{s3} * 10 + d3);
  if (tempo >= 1 && tempo <= tempo_minimo) tempo = tempo_minimo + 1;
  c->tempo_segnale = sx == 2 ? bassi_8(tempo) : std::uint8_t{0};
  const std::int64_t codice_marca = std::int64_t{sx} * 3 + dx;
  for (std::int64_t b = 1; b <= 4; ++b) {
    Cella* p = cella(m, i - 2 * b);
    if (p == nullptr) return Esito::guasto(Guasto::fuori_modello);
    p->preavviso = bassi_8(codice_marca * 10 + b);
  }
  return Esito::fatto();
}

// Tests the warning, start and end cells before writing anything; the four pre-warning cells
// are tested only after the others are written, so a clash there (code 20) keeps them.
Esito memo_rallentamento(Modello& m, std::int32_t x, std::int32_t v, std::int32_t l, std::int32_t f_tt,
                         std::int32_t f_ta, std::int32_t d_v) {
  const bool con_avviso = x > soglia_avviso;
  if (!con_avviso) f_ta = 0;
  Cella* w = nullptr;
  if (con_avviso) {
    w = cella(m, cella_di(std::int64_t{x} - distanza_avviso, 1));
    if (w == nullptr) return Esito::guasto(Guasto::fuori_modello);
    if (!libera(*w)) return Esito::errore(codice::avviso_occupato, x);
  }
  Cella* a = cella(m, cella_di(x, 1));
  if (a == nullptr) return Esito::guasto(Guasto::fuori_modello);
  if (!libera(*a)) return Esito::errore(codice::inizio_occupato, x);
  Cella* e = cella(m, cella_di(std::int64_t{x} + l, 1));
  if (e == nullptr) return Esito::guasto(Guasto::fuori_modello);
  if (!libera(*e)) return Esito::errore(codice::fine_occupata, x);

  e->tipo = tipo_cella::fine_rallentamento;
  if (d_v != 0) e->valore2 = bassi_16(d_v);
  a->tipo = tipo_cella::inizio_rallentamento;
  if (d_v != 0) a->valore2 = bassi_16(d_v);
  if (con_avviso) {
    w->tipo = tipo_cella::avviso_rallentamento;
    if (d_v != 0) w->valore2 = bassi_16(d_v);
    w->valore1 = bassi_16(v);
  }
  a->valore1 = bassi_16(v);
  e->valore1 = bassi_16(v);
  a->valore3 = bassi_16(f_tt);
  e->valore3 = bassi_16(f_tt);

  if (f_ta == 0) return Esito::fatto();
  const std::int64_t primo = cella_di(std::int64_t{x} - distanza_avviso, 0);
  for (std::int64_t j = 0; j < 4; ++j) {
    const Cella* p = cella(m, primo - j);
    if (p == nullptr) return Esito::guasto(Guasto::fuori_modello);
    if (!libera(*p)) return Esito::errore(codice::preavvisi_occupati, x);
  }
  for (std::int64_t j = 0; j < 4; ++j) {
    Cella* p = cella(m, primo - j);
    if (p == nullptr) return Esito::guasto(Guasto::fuori_modello);
    p->tipo = tipo_cella::preavviso_rallentamento;
    p->valore1 = bassi_16(j + 1);
    if (d_v != 0) p->valore2 = bassi_16(j + 1);
  }
  return Esito::fatto();
}

// A speed-cap point in the free cell of its position (no +1). A position before cell 0 is
// outside the model.
Esito memo_abbattimento(Modello& m, std::int32_t posizione, std::int32_t velocita) {
  Cella* c = cella(m, cella_di(posizione));
  if (c == nullptr) return Esito::guasto(Guasto::fuori_modello);
  if (!libera(*c)) return Esito::errore(codice::abbattimento_occupato, posizione);
  if (velocita > 0) {
    c->tipo = tipo_cella::abbattimento;
    c->valore1 = bassi_16(velocita);
  } else {
    c->tipo = tipo_cella::abbattimento_senza_velocita;
  }
  return Esito::fatto();
}

namespace {

Esito poni_32(std::int32_t& campo, std::int64_t valore) {
  const auto v = stretto<std::int32_t>(valore);
  if (!v) return Esito::guasto(Guasto::troppo_grande);
  campo = *v;
  return Esito::fatto();
}

bool corta(std::uint8_t tipo) { return tipo >= stazione_tipo_corto_da && tipo <= stazione_tipo_corto_a; }
bool doppia(std::uint8_t tipo) { return tipo >= stazione_tipo_doppio_da && tipo <= stazione_tipo_doppio_a; }

// The zone of a station around its position, by type, into its entry. A zone that does not
// fit 32 bits fails with the end written first for types 5 and 6, the start first otherwise.
Esito zona(Voce& s, std::int64_t lunghezza) {
  const ZonaStazione z = zona_stazione(s.tipo, s.posizione_m, lunghezza, s.opzione_3);
  if (corta(s.tipo)) {
    if (Esito e = poni_32(s.fine_zona, z.fine); !e.ok()) return e;
    if (Esito e = poni_32(s.inizio_zona, z.inizio); !e.ok()) return e;
  } else {
    if (Esito e = poni_32(s.inizio_zona, z.inizio); !e.ok()) return e;
    if (Esito e = poni_32(s.fine_zona, z.fine); !e.ok()) return e;
  }
  if (corta(s.tipo) || doppia(s.tipo)) s.opzione_3 = 0;
  return Esito::fatto();
}

// Approach marks 81..84 in the four cells before the stop cell (only `preavviso`).
Esito preavvisi(Modello& m, const Voce& s) {
  if (s.tipo >= stazione_senza_fermata || corta(s.tipo)) return Esito::fatto();
  for (std::int64_t z = 1; z <= 4; ++z) {
    // c = fine_zona / 50 - z - 1, tested exactly against 1 and then rounded.
    const std::int64_t metri = std::int64_t{s.fine_zona} - metri_cella * (z + 1);
    if (metri <= metri_cella) continue;
    Cella* c = cella(m, arrotonda(metri, metri_cella));
    if (c == nullptr) return Esito::guasto(Guasto::fuori_modello);
    c->preavviso = bassi_8(base_preavviso_stazione + z);
  }
  return Esito::fatto();
}

}  // namespace

ZonaStazione zona_stazione(std::uint8_t tipo, std::int64_t p, std::int64_t lunghezza, std::uint8_t opzione_3) {
  const bool fermata = tipo < stazione_senza_fermata;
  const bool preavvisi = fermata && !corta(tipo);
  if (corta(tipo)) return {p - lunghezza, p + coda_stazione_corta, fermata, preavvisi};
  if (doppia(tipo)) return {p - lunghezza, p + lunghezza, fermata, preavvisi};
  const std::int64_t allunga = opzione_3 != 0 ? allungo_zona : 0;
  return {arrotonda(2 * p - lunghezza, 2), arrotonda(2 * p + lunghezza + 2 * allunga, 2), fermata, preavvisi};
}

Esito memo_stazione(Modello& m, std::int32_t k, std::int32_t lunghezza_zona) {
  if (k < 1 || k >= numero_voci) return Esito::guasto(Guasto::fuori_modello);
  Voce& s = m.voci[static_cast<std::size_t>(k)];
  if (Esito e = zona(s, lunghezza_zona); !e.ok()) return e;
  if (lunghezza_zona < zona_lunga) s.opzione_4 = 0;
  if (k == 1) {
    s.opzione_3 = 0;
    s.opzione_4 = 0;
  }
  if (Esito e = preavvisi(m, s); !e.ok()) return e;
  if (s.tipo < stazione_senza_fermata) {
    // Stop cell c = fine_zona / 50 - 1; it must lie above cell 1. Written over anything.
    const std::int64_t metri = std::int64_t{s.fine_zona} - metri_cella;
    if (metri <= metri_cella) return Esito::errore(codice::fermata_troppo_presto);
    Cella* c = cella(m, arrotonda(metri, metri_cella));
    if (c == nullptr) return Esito::guasto(Guasto::fuori_modello);
    c->tipo = tipo_cella::fermata;
    c->valore1 = bassi_16(k);
  }
  if (k > 1 && std::int64_t{s.inizio_zona} - distacco_stazioni < m.voci[static_cast<std::size_t>(k - 1)].fine_zona) {
    return Esito::errore(codice::zone_vicine, s.posizione_m);
  }
  return Esito::fatto();
}

}  // namespace scenario
