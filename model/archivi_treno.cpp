// Train feature stores (placeholder).
#include "model/archivi.h"

namespace scenario {

Esito memo_segnale(Modello&, std::int32_t, std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&,
                   std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t&) {
  return Esito::fatto();
}
Esito memo_rallentamento(Modello&, std::int32_t, std::int32_t&, std::int32_t&, std::int32_t&, std::int32_t,
                         std::int32_t&) {
  return Esito::fatto();
}

}  // namespace scenario
