// Whole-number arithmetic of the route model: rounding half to even on the exact value of a
// quotient, and checked narrowing. Positions are carried in 64 bits so that sums like
// p + 100 or p / 50 + 1 can never overflow.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>

namespace scenario {

// num / den rounded to the nearest whole number, halves to the even neighbour. den > 0.
[[nodiscard]] constexpr std::int64_t arrotonda(std::int64_t num, std::int64_t den) {
  std::int64_t q = num / den;
  std::int64_t r = num % den;
  if (r < 0) {  // floor division
    r += den;
    q -= 1;
  }
  const std::int64_t doppio = 2 * r;
  if (doppio > den || (doppio == den && (q % 2 != 0))) q += 1;
  return q;
}

// The value as T when it fits, else nothing.
template <typename T>
[[nodiscard]] constexpr std::optional<T> stretto(std::int64_t v) {
  if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) return std::nullopt;
  return static_cast<T>(v);
}

// The low 16 bits of v, as a signed 16-bit value (a store that keeps the low bits).
[[nodiscard]] constexpr std::int16_t bassi_16(std::int64_t v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(v) & 0xFFFFu));
}

// The low 8 bits of v.
[[nodiscard]] constexpr std::uint8_t bassi_8(std::int64_t v) {
  return static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) & 0xFFu);
}

static_assert(arrotonda(75, 50) == 2);
static_assert(arrotonda(125, 50) == 2);
static_assert(arrotonda(-25, 50) == 0);
static_assert(arrotonda(-75, 50) == -2);
static_assert(arrotonda(225000, 50) == 4500);

}  // namespace scenario
