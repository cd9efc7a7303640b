// Reading the binary files back into the model's records: the inverse of the writers, for
// the tools and the tests. Every read is checked; a short or overlong file gives nothing.
#include "output/codifica.h"
#include "output/output.h"

namespace scenario {

std::optional<std::array<Voce, numero_voci>> decodifica_simulazione(std::string_view dati) {
  Lettore l(dati);
  std::array<Voce, numero_voci> voci;
  for (Voce& v : voci) {
    auto tipo = l.get_u8();
    auto inizio = l.get_i32();
    auto fine = l.get_i32();
    auto posizione = l.get_i32();
    auto classe = l.get_u8();
    auto n = l.get_i16();
    if (!tipo || !inizio || !fine || !posizione || !classe || !n || *n < 0) return std::nullopt;
    auto nome = l.get_bytes(static_cast<std::size_t>(*n));
    auto p1 = l.get_i16(), p2 = l.get_i16(), p3 = l.get_i16(), p4 = l.get_i16(), p5 = l.get_i16();
    auto o1 = l.get_u8(), o2 = l.get_u8(), o3 = l.get_u8(), o4 = l.get_u8();
    auto orario = l.get_i32();
    if (!nome || !p1 || !p2 || !p3 || !p4 || !p5 || !o1 || !o2 || !o3 || !o4 || !orario) return std::nullopt;
    v = Voce{*tipo, *inizio, *fine, *posizione, *classe, std::string(*nome), *p1, *p2, *p3, *p4, *p5,
             *o1,   *o2,     *o3,   *o4,         *orario};
  }
  if (l.resto() != 0) return std::nullopt;
  return voci;
}

std::optional<std::vector<Cella>> decodifica_treno(std::string_view dati) {
  if (dati.size() % 15 != 0) return std::nullopt;
  Lettore l(dati);
  std::vector<Cella> celle(dati.size() / 15);
  for (Cella& c : celle) {
    c.tipo = *l.get_u8();
    c.valore1 = *l.get_i16();
    c.valore2 = *l.get_i16();
    c.valore3 = *l.get_i16();
    c.valore4 = *l.get_i16();
    c.tempo_segnale = *l.get_u8();
    c.preavviso = *l.get_u8();
    c.tipo_montagna = *l.get_u8();
    c.velocita = *l.get_u8();
    c.pendenza = *l.get_u8();
    c.aderenza = *l.get_u8();
  }
  return celle;
}

std::optional<Tracciato> decodifica_linea(std::string_view dati) {
  // The two coordinate runs have the same number of metres; find it by reading the first run
  // up to the point where the rest, read the same way, ends the file exactly.
  Tracciato t;
  Lettore l(dati);
  std::vector<std::pair<Etichetta, double>> valori;
  while (l.resto() > 0) {
    auto tag = l.get_u16();
    if (!tag) return std::nullopt;
    if (*tag == static_cast<std::uint16_t>(Etichetta::vuoto)) {
      valori.emplace_back(Etichetta::vuoto, 0.0);
    } else if (*tag == static_cast<std::uint16_t>(Etichetta::intero)) {
      auto v = l.get_i16();
      if (!v) return std::nullopt;
      valori.emplace_back(Etichetta::intero, *v);
    } else if (*tag == static_cast<std::uint16_t>(Etichetta::doppio)) {
      auto v = l.get_f64();
      if (!v) return std::nullopt;
      valori.emplace_back(Etichetta::doppio, *v);
    } else {
      return std::nullopt;
    }
  }
  if (valori.size() % 2 != 0) return std::nullopt;
  const std::size_t metri = valori.size() / 2;
  t.dimensiona(static_cast<std::int64_t>(metri) - 1);
  for (int c = 0; c < 2; ++c) {
    for (std::size_t m = 0; m < metri; ++m) {
      const auto& [e, v] = valori[static_cast<std::size_t>(c) * metri + m];
      t.etichette[static_cast<std::size_t>(c)][m] = e;
      t.valori[static_cast<std::size_t>(c)][m] = v;
    }
  }
  return t;
}

}  // namespace scenario
