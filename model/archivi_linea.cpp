// Line feature stores: hill sections, speed-indicator boards and the order of the three
// chainage entries.
#include <algorithm>
#include <array>
#include <optional>
#include <tuple>

#include "model/aritmetica.h"
#include "model/archivi.h"

namespace scenario {

Esito memo_montagna(Modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo) {
  bool segni = false;
  if (tipo > 10) {
    tipo -= 10;
    segni = true;
  }
  if (m.n_montagne >= massimo_montagne) return Esito::guasto();  // an 81st section does not fit
  m.n_montagne += 1;
  const auto n = static_cast<std::size_t>(m.n_montagne);
  m.montagna_inizio[n] = inizio;
  m.montagna_fine[n] = fine;
  // The gap is measured from the section of the previous row, not the nearest one.
  if (n > 1 && static_cast<std::int64_t>(inizio) - m.montagna_fine[n - 1] <= 150) tipo = 3;
  const std::int64_t prima = arrotonda(inizio, 50);
  const std::int64_t ultima = arrotonda(static_cast<std::int64_t>(fine) - 50, 50);
  std::int64_t j = 0;
  for (std::int64_t i = prima; i <= ultima; ++i) {
    Cella* c = cella(m, i);
    if (c == nullptr) return Esito::guasto();
    ++j;
    c->tipo_montagna = bassi_8(tipo);
    if (segni && j % 4 == 0 && c->tipo == tipo_cella::niente) c->tipo = tipo_cella::riempitivo_montagna;
  }
  return Esito::fatto();
}

namespace {

// round(v1 × 20 + v2 / 5) into a 16-bit field: the product in 32 bits, the sum exact.
std::optional<std::int16_t> coppia_velocita(std::int32_t primo, std::int32_t secondo) {
  const auto prodotto = stretto<std::int32_t>(static_cast<std::int64_t>(primo) * 20);
  if (!prodotto) return std::nullopt;
  return stretto<std::int16_t>(arrotonda(static_cast<std::int64_t>(*prodotto) * 5 + secondo, 5));
}

}  // namespace

Esito memo_indicatori_v_max(Modello& m, std::int32_t posizione, std::int32_t& vas, std::int32_t& vbs,
                            std::int32_t& vcs, std::int16_t& strisces, std::int32_t& vad, std::int32_t& vbd,
                            std::int32_t& vcd, std::int16_t& strisced) {
  Cella* c = cella(m, cella_di(posizione, 1));
  if (c == nullptr) return Esito::guasto();
  if (!libera(*c)) {
    m.codice_errore = 21;
    return Esito::fatto();
  }
  c->tipo = tipo_cella::indicatore_v_max;
  for (auto [campo, primo, secondo] : {std::tuple{&c->valore1, vas, vad}, std::tuple{&c->valore2, vbs, vbd},
                                       std::tuple{&c->valore3, vcs, vcd}}) {
    const auto v = coppia_velocita(primo, secondo);
    if (!v) return Esito::guasto();
    *campo = *v;
  }
  c->valore4 = bassi_16(static_cast<std::int64_t>(strisces) * 10 + strisced);
  return Esito::fatto();
}

Esito progressive_ordina(Modello& m) {
  // Entries as read: T from the "tre" row (81), D from "due" (82), U from "uno" (83).
  const Voce t = m.voci[voce_progressiva_tre];
  const Voce d = m.voci[voce_progressiva_due];
  const Voce u = m.voci[voce_progressiva_uno];
  std::array<Voce, 3> esito;
  if (static_cast<std::int64_t>(t.inizio_zona) + d.inizio_zona + u.inizio_zona != 0) {
    // Largest first value first; on a tie the entry from the higher number goes first.
    esito = {u, d, t};
    std::stable_sort(esito.begin(), esito.end(),
                     [](const Voce& a, const Voce& b) { return a.inizio_zona > b.inizio_zona; });
  } else if (u.fine_zona > 0) {
    esito = {u, d, t};
  } else if (d.fine_zona > 0) {
    esito = {d, t, u};
  } else if (t.fine_zona > 0) {
    esito = {t, d, u};
  } else {
    esito = {Voce{}, Voce{}, Voce{}};
  }
  for (std::size_t i = 0; i < esito.size(); ++i) {
    Voce& v = m.voci[voce_progressiva_tre + i];
    v.inizio_zona = esito[i].inizio_zona;
    v.fine_zona = esito[i].fine_zona;
    v.posizione_m = esito[i].posizione_m;
  }
  for (std::size_t i = 0; i < esito.size(); ++i) {
    Voce& v = m.voci[voce_progressiva_tre + i];
    if (v.posizione_m != 1) continue;
    const auto piu_cento = stretto<std::int32_t>(static_cast<std::int64_t>(v.fine_zona) + 100);
    if (!piu_cento) return Esito::guasto();
    v.fine_zona = *piu_cento;
  }
  return Esito::fatto();
}

}  // namespace scenario
