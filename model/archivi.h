// The feature stores: place line features (hill sections, speed-indicator boards, chainage
// order) and train features (signals, slowdowns) into the route cells. They report clashes
// through the error state; an access outside the model is a failure (Esito::guasto()).
#pragma once

#include <cstdint>

#include "model/esito.h"
#include "model/modello.h"

namespace scenario {

// Line features.
Esito memo_montagna(Modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo);
Esito memo_indicatori_v_max(Modello& m, std::int32_t posizione, std::int32_t& vas, std::int32_t& vbs,
                            std::int32_t& vcs, std::int16_t& strisces, std::int32_t& vad, std::int32_t& vbd,
                            std::int32_t& vcd, std::int16_t& strisced);
Esito progressive_ordina(Modello& m);

// Train features.
Esito memo_segnale(Modello& m, std::int32_t posizione, std::int32_t& sx, std::int32_t& s1, std::int32_t& s2,
                   std::int32_t& s3, std::int32_t& rapp, std::int32_t& dx, std::int32_t& d1, std::int32_t& d2,
                   std::int32_t& d3, std::int32_t& tempo);
Esito memo_rallentamento(Modello& m, std::int32_t x, std::int32_t& v, std::int32_t& l, std::int32_t& f_tt,
                         std::int32_t f_ta, std::int32_t& d_v);

}  // namespace scenario
