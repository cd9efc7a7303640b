// The compile step: read both descriptions, run the completion pass over the cells, stamp
// the header marks and scenario codes, and write the three binary files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/modello.h"
#include "output/output.h"
#include "reader/reader.h"

namespace scenario {

inline constexpr std::int16_t marca_linea = 610;
inline constexpr std::int16_t marca_percorso = 5121;

struct EsitoCompilazione {
  std::int32_t rapporto = 0;   // 0, or the numbered report (1250, 1251) that stopped the run
  bool senza_celle = false;    // the route cells were never sized, or end before cell 1: nothing written
  EsitoScrittura scrittura;    // the files written and the first write failure
};

// The whole compile step on the model. The names in m.nome_percorso / m.nome_treno must be set.
[[nodiscard]] EsitoCompilazione memorizza_percorso(Modello& m, std::int32_t& scrivi_linea, Descrizioni& d,
                                                   Destinazione& dove);

// The completion pass over cells 1 .. ultima_cella - 2 (rules A to D).
void completa_celle(Modello& m);

// What an error code means, in words.
[[nodiscard]] std::string_view descrizione_codice(std::int32_t codice);

// The whole error state in words: code, position, meaning, and the file, line and column of
// the row that set it where there is one.
[[nodiscard]] std::string spiega_errore(const Modello& m);

}  // namespace scenario
