// The feature stores: each places one kind of row's feature into the route model. A store
// tests the cells it needs and reports a clash as an outcome with the code (the reader adds
// the row's position and place); an access outside the model is a run-time failure.
#pragma once

#include <cstdint>
#include <string>

#include "model/esito.h"
#include "model/modello.h"

namespace scenario {

// --- line features ---------------------------------------------------------------------------

// One hill section over the cells from round(inizio / 50) to round(fine / 50 - 1). Types 11 to
// 20 stand for type - 10 with a filler mark in every fourth free cell; a section starting 150 m
// or less after the previous row's section becomes type 3.
Esito memo_montagna(Modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t tipo);

// One speed-indicator board in cell round(posizione / 50 + 1): for each rank the first-set
// speed x 20 + the second-set speed / 5, and the stripe counts as strisces x 10 + strisced.
Esito memo_indicatori_v_max(Modello& m, std::int32_t posizione, std::int32_t vas, std::int32_t vbs,
                            std::int32_t vcs, std::int16_t strisces, std::int32_t vad, std::int32_t vbd,
                            std::int32_t vcd, std::int16_t strisced);

// One indication sign in cell round(posizione / 50 + 1), its text in entry `slot`.
Esito memo_cartello(Modello& m, std::int32_t posizione, const std::string& testo, std::int32_t slot);

// Puts the three chainage entries (81..83) in order, once, after the general block.
Esito progressive_ordina(Modello& m);

// --- profiles along the cells --------------------------------------------------------------

// A profile (gradient, speed limit, adhesion) fills one byte of each cell from a cursor: a row
// writes the value in force into the cells before its own cell, then its value holds.
struct Profilo {
  std::int64_t cursore = 0;    // the next cell to write
  std::int32_t in_vigore = 0;  // the value of the last row read
};

// A gradient row: cells up to round(posizione / 50) get the gradient in force + 100.
Esito memo_pendenza(Modello& m, Profilo& p, std::int32_t posizione, std::int32_t pendenza);
// A speed row: cells up to round(posizione / 50) get the speed in force / 5, never past the
// last cell; a speed whose fifth does not fit a byte is a failure (troppo_grande).
Esito memo_velocita(Modello& m, Profilo& p, std::int32_t posizione, std::int32_t velocita);
// An adhesion row: cells up to round(posizione / 50) get the low 8 bits of the value in force.
Esito memo_aderenza(Modello& m, Profilo& p, std::int32_t posizione, std::int32_t aderenza);
// After the last row: the value in force up to cell ultima_cella - 3 (at least one cell).
Esito completa_pendenza(Modello& m, Profilo& p);
Esito completa_velocita(Modello& m, Profilo& p);
Esito completa_aderenza(Modello& m, Profilo& p);

// --- train features --------------------------------------------------------------------------

// One signal in cell round(posizione / 50 + 1), with approach marks 2, 4, 6 and 8 cells before it.
Esito memo_segnale(Modello& m, std::int32_t posizione, std::int32_t sx, std::int32_t s1, std::int32_t s2,
                   std::int32_t s3, std::int32_t rapp, std::int32_t dx, std::int32_t d1, std::int32_t d2,
                   std::int32_t d3, std::int32_t tempo);

// One slowdown: start, end, warning point 1200 m before (when x > 1500) and its pre-warning steps.
Esito memo_rallentamento(Modello& m, std::int32_t x, std::int32_t v, std::int32_t l, std::int32_t f_tt,
                         std::int32_t f_ta, std::int32_t d_v);

// One speed-cap point in cell round(posizione / 50): with the speed when it is above 0.
Esito memo_abbattimento(Modello& m, std::int32_t posizione, std::int32_t velocita);

// Station types whose zone is built differently, and the first type with no stop cell.
inline constexpr std::uint8_t stazione_tipo_corto_da = 5;  // types 5, 6: zone ends 150 m on
inline constexpr std::uint8_t stazione_tipo_corto_a = 6;
inline constexpr std::uint8_t stazione_tipo_doppio_da = 7;  // types 7, 8: zone both sides
inline constexpr std::uint8_t stazione_tipo_doppio_a = 8;
inline constexpr std::uint8_t stazione_senza_fermata = 25;  // from this type on: no marks, no stop cell

// The zone of a station of type `tipo` at `posizione` with zone length `lunghezza`: from
// `inizio` to `fine`, in metres (`opzione_3` nonzero lengthens it by 50 m for the types
// outside 5..8). Whether a stop cell and approach marks go with it is `fermata`, `preavvisi`.
struct ZonaStazione {
  std::int64_t inizio;
  std::int64_t fine;
  bool fermata;
  bool preavvisi;
};
[[nodiscard]] ZonaStazione zona_stazione(std::uint8_t tipo, std::int64_t posizione, std::int64_t lunghezza,
                                         std::uint8_t opzione_3);

// Station k, whose row fields the reader has stored in entry k: its zone from the zone
// length, its approach marks and stop cell, and the 350 m distance from station k - 1.
Esito memo_stazione(Modello& m, std::int32_t k, std::int32_t lunghezza_zona);

}  // namespace scenario
