// Reading the binary files back into the model's records: the inverse of the writers, for
// the tools and the tests. Every read is checked; a short or overlong file gives nothing.
#include "output/codifica.h"
#include "output/output.h"

namespace scenario {

std::optional<std::array<Voce, numero_voci>> decodifica_simulazione(std::string_view dati) {
  Lettore l(dati);
  std::array<Voce, numero_voci> voci;
  for (Voce& v : voci) {
    bool ok = true;
    campi_voce(v, [&](const char*, auto& campo) { ok = ok && l.prendi(campo); });
    if (!ok) return std::nullopt;
  }
  if (l.resto() != 0) return std::nullopt;
  return voci;
}

std::optional<std::vector<Cella>> decodifica_treno(std::string_view dati) {
  if (dati.size() % dimensione_cella != 0) return std::nullopt;
  Lettore l(dati);
  std::vector<Cella> celle(dati.size() / dimensione_cella);
  for (Cella& c : celle) {
    bool ok = true;
    campi_cella(c, [&](const char*, auto& campo) { ok = ok && l.prendi(campo); });
    if (!ok) return std::nullopt;
  }
  return celle;
}

std::optional<Tracciato> decodifica_linea(std::string_view dati) {
  // The file is one run of tagged values: every metre's coordinate 0, then every metre's
  // coordinate 1. Read them all, then split the run in two halves of equal length.
  Lettore l(dati);
  std::vector<std::pair<Etichetta, double>> valori;
  while (l.resto() > 0) {
    std::uint16_t tag = 0;
    if (!l.prendi(tag)) return std::nullopt;
    if (tag == static_cast<std::uint16_t>(Etichetta::vuoto)) {
      valori.emplace_back(Etichetta::vuoto, 0.0);
    } else if (tag == static_cast<std::uint16_t>(Etichetta::intero)) {
      std::int16_t v = 0;
      if (!l.prendi(v)) return std::nullopt;
      valori.emplace_back(Etichetta::intero, v);
    } else if (tag == static_cast<std::uint16_t>(Etichetta::doppio)) {
      double v = 0;
      if (!l.prendi(v)) return std::nullopt;
      valori.emplace_back(Etichetta::doppio, v);
    } else {
      return std::nullopt;
    }
  }
  if (valori.size() % 2 != 0) return std::nullopt;
  const std::size_t metri = valori.size() / 2;
  Tracciato t;
  t.dimensiona(static_cast<std::int64_t>(metri) - 1);
  for (std::size_t c = 0; c < 2; ++c) {
    for (std::size_t m = 0; m < metri; ++m) {
      const auto& [e, v] = valori[c * metri + m];
      t.etichette[c][m] = e;
      t.valori[c][m] = v;
    }
  }
  return t;
}

}  // namespace scenario
