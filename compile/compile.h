// The compile pipeline: the scenario program's compile step (`memorizza_percorso`) on top of
// the reader, the route model and the binary writers; the writing of the five embedded
// documents; and the error state put into words, once, for the program's message box and
// for `percorso` alike.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/esito.h"
#include "model/modello.h"
#include "output/output.h"
#include "reader/reader.h"

namespace scenario {

struct EsitoCompilazione {
  Esito esito = Esito::fatto();      // the outcome last set into the error state (reading or completion pass)
  std::vector<Esito> completamento;  // every case of the completion pass that found no free cell
  std::int32_t rapporto = 0;         // 0, or the numbered report (1250, 1251) that stopped the run
  bool senza_celle = false;          // the route cells were never sized, or end before cell 1: nothing written
  EsitoScrittura scrittura;          // the files written and the first write failure
};

// The whole compile step on the model: read both descriptions, run the completion pass,
// stamp the header marks and the scenario codes, write the binary files (the line data file
// only when `scrivi_linea` is nonzero). The names in m.nome_percorso / m.nome_treno must be set.
[[nodiscard]] EsitoCompilazione memorizza_percorso(Modello& m, std::int32_t scrivi_linea, const Descrizioni& d,
                                                   Destinazione& dove);

// Writes the five embedded documents in their order, each whole. On failure returns
// "<file name>: <reason>" and writes no later document.
[[nodiscard]] std::optional<std::string> scrivi_documenti(Destinazione& dove, const std::string& nome_percorso,
                                                          const std::string& nome_treno);

// What an error code means, and what a numbered report means, in words.
[[nodiscard]] std::string_view descrizione_codice(std::int32_t codice);
[[nodiscard]] std::string_view descrizione_rapporto(std::int32_t rapporto);

// The error state in words: "<meaning> (code N, position P m)".
[[nodiscard]] std::string parole_errore(const Modello& m);

}  // namespace scenario
