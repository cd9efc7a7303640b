// Scenario codes: two check numbers derived from the train and route names, stamped into the
// headers of the binary files.
#pragma once

#include <cstdint>
#include <string>

#include "model/modello.h"

namespace scenario {

// Lower-cases Windows-1252 text: A-Z and À-Þ (but ×) add 0x20; Š, Œ, Ž, Ÿ become š, œ, ž, ÿ.
[[nodiscard]] std::string minuscole_cp1252(const std::string& testo);

// Plain code: the sum of the first 25 character codes of the train name (entry 86), the route
// name (entry 85) and the fill text, lower-cased.
[[nodiscard]] std::int32_t codice_gara_og(const Modello& m);
// Weighted code: the sum of character code times position (from 1) over the same 25.
[[nodiscard]] std::int32_t codice_gara_st(const Modello& m);

}  // namespace scenario
