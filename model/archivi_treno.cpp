// Train feature stores: `memo_segnale` places one signal, `memo_rallentamento` one slowdown.
#include <cstdint>

#include "model/aritmetica.h"
#include "model/archivi.h"

namespace scenario {

namespace {

constexpr std::int32_t codice_segnale_occupato = 16;
constexpr std::int32_t codice_avviso_occupato = 17;
constexpr std::int32_t codice_inizio_occupato = 18;
constexpr std::int32_t codice_fine_occupato = 19;
constexpr std::int32_t codice_preavvisi_occupati = 20;

// Slowdowns at or before this position have no warning point and no pre-warning steps.
constexpr std::int64_t soglia_avviso = 1500;
// The warning point stands this many metres before the start.
constexpr std::int64_t distanza_avviso = 1200;

}  // namespace

// Tests the signal cell, then writes it and the four approach marks two, four, six and eight
// cells before it. A mark outside `celle` is a failure once the cells before it are written.
Esito memo_segnale(Modello& m, std::int32_t posizione, std::int32_t& sx, std::int32_t& s1, std::int32_t& s2,
                   std::int32_t& s3, std::int32_t& rapp, std::int32_t& dx, std::int32_t& d1, std::int32_t& d2,
                   std::int32_t& d3, std::int32_t& tempo) {
  const std::int64_t i = cella_di(posizione, 1);
  Cella* c = cella(m, i);
  if (c == nullptr) return Esito::guasto();
  if (!libera(*c)) {
    m.codice_errore = codice_segnale_occupato;
    return Esito::fatto();
  }
  c->tipo = tipo_cella::segnale;
  c->valore4 = bassi_16(std::int64_t{rapp} * 10 + std::int64_t{sx} * 3 + dx);
  c->valore1 = bassi_16(std::int64_t{s1} * 10 + d1);
  c->valore2 = bassi_16(std::int64_t{s2} * 10 + d2);
  c->valore3 = bassi_16(std::int64_t{s3} * 10 + d3);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  c->tempo_segnale = sx == 2 ? bassi_8(tempo) : std::uint8_t{0};
  const std::int64_t codice = std::int64_t{sx} * 3 + dx;
  for (std::int64_t b = 1; b <= 4; ++b) {
    Cella* p = cella(m, i - 2 * b);
    if (p == nullptr) return Esito::guasto();
    p->preavviso = bassi_8(codice * 10 + b);
  }
  return Esito::fatto();
}

// Tests the warning, start and end cells before writing anything; the four pre-warning cells
// are tested only after the others are written, so a clash there (code 20) keeps them.
Esito memo_rallentamento(Modello& m, std::int32_t x, std::int32_t& v, std::int32_t& l, std::int32_t& f_tt,
                         std::int32_t f_ta, std::int32_t& d_v) {
  const bool con_avviso = x > soglia_avviso;
  if (!con_avviso) f_ta = 0;
  Cella* w = nullptr;
  if (con_avviso) {
    w = cella(m, cella_di(std::int64_t{x} - distanza_avviso, 1));
    if (w == nullptr) return Esito::guasto();
    if (!libera(*w)) {
      m.codice_errore = codice_avviso_occupato;
      return Esito::fatto();
    }
  }
  Cella* a = cella(m, cella_di(x, 1));
  if (a == nullptr) return Esito::guasto();
  if (!libera(*a)) {
    m.codice_errore = codice_inizio_occupato;
    return Esito::fatto();
  }
  Cella* e = cella(m, cella_di(std::int64_t{x} + l, 1));
  if (e == nullptr) return Esito::guasto();
  if (!libera(*e)) {
    m.codice_errore = codice_fine_occupato;
    return Esito::fatto();
  }

  e->tipo = tipo_cella::fine_rallentamento;
  if (d_v != 0) e->valore2 = bassi_16(d_v);
  a->tipo = tipo_cella::inizio_rallentamento;
  if (d_v != 0) a->valore2 = bassi_16(d_v);
  if (con_avviso) {
    w->tipo = tipo_cella::avviso_rallentamento;
    if (d_v != 0) w->valore2 = bassi_16(d_v);
    w->valore1 = bassi_16(v);
  }
  a->valore1 = bassi_16(v);
  e->valore1 = bassi_16(v);
  a->valore3 = bassi_16(f_tt);
  e->valore3 = bassi_16(f_tt);

  if (f_ta == 0) return Esito::fatto();
  const std::int64_t primo = cella_di(std::int64_t{x} - distanza_avviso, 0);
  for (std::int64_t j = 0; j < 4; ++j) {
    const Cella* p = cella(m, primo - j);
    if (p == nullptr) return Esito::guasto();
    if (!libera(*p)) {
      m.codice_errore = codice_preavvisi_occupati;
      return Esito::fatto();
    }
  }
  for (std::int64_t j = 0; j < 4; ++j) {
    Cella* p = cella(m, primo - j);
    if (p == nullptr) return Esito::guasto();
    p->tipo = tipo_cella::preavviso_rallentamento;
    p->valore1 = bassi_16(j + 1);
    if (d_v != 0) p->valore2 = bassi_16(j + 1);
  }
  return Esito::fatto();
}

}  // namespace scenario
