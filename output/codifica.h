// Little-endian packing of the binary files, in one place: each Put appends a value's bytes,
// each Get reads one back. The writers and the decoders share these, so a layout is written
// down once and holds on any host.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

namespace scenario {

inline void put_u8(std::string& out, std::uint8_t v) { out.push_back(static_cast<char>(v)); }

inline void put_u16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFFu));
  out.push_back(static_cast<char>((v >> 8) & 0xFFu));
}

inline void put_i16(std::string& out, std::int16_t v) { put_u16(out, static_cast<std::uint16_t>(v)); }

inline void put_u32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
}

inline void put_i32(std::string& out, std::int32_t v) { put_u32(out, static_cast<std::uint32_t>(v)); }

inline void put_f64(std::string& out, double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFFu));
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
  [[nodiscard]] std::size_t posizione() const { return pos_; }
  [[nodiscard]] std::size_t resto() const { return dati_.size() - pos_; }

  std::optional<std::uint64_t> get_le(std::size_t n) {
    if (resto() < n) return std::nullopt;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) {
      v |= static_cast<std::uint64_t>(static_cast<unsigned char>(dati_[pos_ + i])) << (8 * i);
    }
    pos_ += n;
    return v;
  }
  std::optional<std::uint8_t> get_u8() { return map<std::uint8_t>(get_le(1)); }
  std::optional<std::uint16_t> get_u16() { return map<std::uint16_t>(get_le(2)); }
  std::optional<std::int16_t> get_i16() {
    auto v = get_u16();
    if (!v) return std::nullopt;
    return static_cast<std::int16_t>(*v);
  }
  std::optional<std::int32_t> get_i32() {
    auto v = get_le(4);
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*v));
  }
  std::optional<double> get_f64() {
    auto v = get_le(8);
    if (!v) return std::nullopt;
    return std::bit_cast<double>(*v);
  }
  std::optional<std::string_view> get_bytes(std::size_t n) {
    if (resto() < n) return std::nullopt;
    auto s = dati_.substr(pos_, n);
    pos_ += n;
    return s;
  }

 private:
  template <typename T>
  static std::optional<T> map(std::optional<std::uint64_t> v) {
    if (!v) return std::nullopt;
    return static_cast<T>(*v);
  }
  std::string_view dati_;
  std::size_t pos_ = 0;
};

}  // namespace scenario
