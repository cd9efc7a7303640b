// Little-endian packing of the binary files, in one place: each record's layout is written
// down once, as the order of its fields (`campi_cella`, `campi_voce`), and the writers, the
// decoders and the tools that print the files all walk that order. `metti` appends a value's
// bytes, `Lettore::prendi` reads one back; both hold on any host.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "model/modello.h"

namespace scenario {

// The fields of a cell in file order, each with its name: f(name, field).
template <typename C, typename F>
constexpr void campi_cella(C& c, F&& f) {
  f("tipo", c.tipo);
  f("valore1", c.valore1);
  f("valore2", c.valore2);
  f("valore3", c.valore3);
  f("valore4", c.valore4);
  f("tempo_segnale", c.tempo_segnale);
  f("preavviso", c.preavviso);
  f("tipo_montagna", c.tipo_montagna);
  f("velocita", c.velocita);
  f("pendenza", c.pendenza);
  f("aderenza", c.aderenza);
}

// The fields of an entry in file order. `nome` is written as a signed 16-bit length and its
// bytes, with no terminator.
template <typename V, typename F>
constexpr void campi_voce(V& v, F&& f) {
  f("tipo", v.tipo);
  f("inizio_zona", v.inizio_zona);
  f("fine_zona", v.fine_zona);
  f("posizione_m", v.posizione_m);
  f("classe", v.classe);
  f("nome", v.nome);
  f("parametro_1", v.parametro_1);
  f("parametro_2", v.parametro_2);
  f("parametro_3", v.parametro_3);
  f("parametro_4", v.parametro_4);
  f("parametro_5", v.parametro_5);
  f("opzione_1", v.opzione_1);
  f("opzione_2", v.opzione_2);
  f("opzione_3", v.opzione_3);
  f("opzione_4", v.opzione_4);
  f("orario", v.orario);
}

// Bytes of one cell record: 15.
inline constexpr std::size_t dimensione_cella = [] {
  std::size_t n = 0;
  const Cella c{};
  campi_cella(c, [&n](const char*, const auto& campo) { n += sizeof(campo); });
  return n;
}();
static_assert(dimensione_cella == 15);

// Bytes of an entry with an empty name: the fields above, the name's 16-bit length counting 2;
// a name adds its length.
inline constexpr std::size_t dimensione_voce_vuota = 34;

// The longest name the 16-bit length field can say.
inline constexpr std::size_t nome_massimo = 32767;

// A tagged value of the line data file: the 2-byte tag, then nothing, a 16-bit integer or a
// binary64 as the tag says.
inline constexpr std::size_t dimensione_etichetta = 2;
[[nodiscard]] constexpr std::size_t dimensione_valore(Etichetta e) {
  return dimensione_etichetta + (e == Etichetta::intero ? 2 : e == Etichetta::doppio ? 8 : 0);
}

// Appends v's bytes, least significant first.
template <typename T>
  requires std::is_integral_v<T>
void metti(std::string& out, T v) {
  using U = std::make_unsigned_t<T>;
  const auto u = static_cast<U>(v);
  for (std::size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFFu));
}

// A name: its length as a signed 16-bit value, then its bytes. A longer name is cut so that
// field and bytes agree.
inline void metti(std::string& out, const std::string& nome) {
  const std::size_t n = nome.size() > nome_massimo ? nome_massimo : nome.size();
  metti(out, static_cast<std::int16_t>(n));
  out.append(nome, 0, n);
}

// Encodes into a buffer with room for the value; returns the position after it.
inline char* scrivi_u16(char* p, std::uint16_t v) {
  p[0] = static_cast<char>(v & 0xFFu);
  p[1] = static_cast<char>((v >> 8) & 0xFFu);
  return p + 2;
}

inline char* scrivi_u64(char* p, std::uint64_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, 8);
  } else {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFFu);
  }
  return p + 8;
}

// Reads values back from a byte run; every read is checked against the end.
class Lettore {
 public:
  explicit Lettore(std::string_view dati) : dati_(dati) {}
  [[nodiscard]] std::size_t resto() const { return dati_.size() - pos_; }

  // An integer of T's width; false (nothing read) when the bytes run out.
  template <typename T>
    requires std::is_integral_v<T>
  [[nodiscard]] bool prendi(T& v) {
    if (resto() < sizeof(T)) return false;
    std::uint64_t u = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      u |= std::uint64_t{static_cast<unsigned char>(dati_[pos_ + i])} << (8 * i);
    }
    pos_ += sizeof(T);
    v = static_cast<T>(static_cast<std::make_unsigned_t<T>>(u));
    return true;
  }
  // A name: a signed 16-bit length that must not be negative, then that many bytes.
  [[nodiscard]] bool prendi(std::string& nome) {
    std::int16_t n = 0;
    if (!prendi(n) || n < 0 || resto() < static_cast<std::size_t>(n)) return false;
    nome.assign(dati_.substr(pos_, static_cast<std::size_t>(n)));
    pos_ += static_cast<std::size_t>(n);
    return true;
  }
  [[nodiscard]] bool prendi(double& v) {
    std::uint64_t bit = 0;
    if (!prendi(bit)) return false;
    v = std::bit_cast<double>(bit);
    return true;
  }

 private:
  std::string_view dati_;
  std::size_t pos_ = 0;
};

}  // namespace scenario
