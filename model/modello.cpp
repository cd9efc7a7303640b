#include "model/modello.h"
#include "model/aritmetica.h"

#include <cstddef>

namespace scenario {

void Tracciato::dimensiona(std::int64_t lunghezza_estesa) {
  const std::size_t n = lunghezza_estesa < 0 ? 0 : static_cast<std::size_t>(lunghezza_estesa) + 1;
  for (int c = 0; c < 2; ++c) {
    etichette[c].assign(n, Etichetta::vuoto);
    valori[c].assign(n, 0.0);
  }
}

void Tracciato::libera() {
  for (int c = 0; c < 2; ++c) {
    etichette[c] = {};
    valori[c] = {};
  }
}

Cella* cella(Modello& m, std::int64_t i) {
  if (i < 0 || i >= static_cast<std::int64_t>(m.celle.size())) return nullptr;
  return &m.celle[static_cast<std::size_t>(i)];
}

const Cella* cella(const Modello& m, std::int64_t i) {
  if (i < 0 || i >= static_cast<std::int64_t>(m.celle.size())) return nullptr;
  return &m.celle[static_cast<std::size_t>(i)];
}

void azzera_voci(Modello& m) {
  m.codice_errore = 0;
  for (Voce& v : m.voci) v = Voce{};
}

void dimensiona_percorso(Modello& m, std::int32_t lunghezza_estesa) {
  m.lunghezza_estesa = lunghezza_estesa;
  const std::int64_t ultima = arrotonda(lunghezza_estesa, 50);
  m.ultima_cella = static_cast<std::int32_t>(ultima);
  m.celle.assign(ultima < 0 ? 0 : static_cast<std::size_t>(ultima) + 1, Cella{});
  if (m.scrivi_linea != 0) {
    m.tracciato.dimensiona(lunghezza_estesa);
  }
}

}  // namespace scenario
