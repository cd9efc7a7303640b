// Line feature stores (placeholder).
#include "model/archivi.h"

namespace scenario {

Esito memo_montagna(Modello&, std::int32_t, std::int32_t, std::int32_t&) { return Esito::fatto(); }
Esito memo_indicatori_v_max(Modello&, std::int32_t, std::int32_t&, std::int32_t&, std::int32_t&, std::int16_t&,
                            std::int32_t&, std::int32_t&, std::int32_t&, std::int16_t&) {
  return Esito::fatto();
}
void progressive_ordina(Modello&) {}

}  // namespace scenario
