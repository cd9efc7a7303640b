#include "model/modello.h"

#include "model/aritmetica.h"

namespace scenario {

void Tracciato::dimensiona(std::int64_t lunghezza_estesa) {
  const std::size_t n = lunghezza_estesa < 0 ? 0 : static_cast<std::size_t>(lunghezza_estesa) + 1;
  for (std::size_t c = 0; c < 2; ++c) {
    etichette[c].assign(n, Etichetta::vuoto);
    valori[c].assign(n, 0.0);
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

bool fuori_percorso(const Modello& m, std::int64_t posizione, std::int64_t margine) {
  return posizione + margine > std::int64_t{metri_cella} * m.ultima_cella;
}

void azzera_voci(Modello& m) {
  m.codice_errore = codice::nessuno;
  for (Voce& v : m.voci) v = Voce{};
}

void dimensiona_percorso(Modello& m, std::int32_t lunghezza_linea) {
  const std::int64_t estesa = std::int64_t{lunghezza_linea} + coda_percorso;
  const std::int64_t ultima = arrotonda(estesa, metri_cella);
  m.lunghezza_estesa = static_cast<std::int32_t>(estesa);
  m.ultima_cella = static_cast<std::int32_t>(ultima);
  m.celle.assign(ultima < 0 ? 0 : static_cast<std::size_t>(ultima) + 1, Cella{});
  if (m.scrivi_linea != 0) m.tracciato.dimensiona(estesa);
}

void registra(Modello& m, const Esito& e) {
  m.codice_errore = e.codice();
  if (e.posizione()) m.posizione_errore = *e.posizione();
}

}  // namespace scenario
