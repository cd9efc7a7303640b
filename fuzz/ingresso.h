// What the fuzz targets share: the input cut into parts that may each hold any byte, a
// destination that only counts bytes, and the bound on the line length a target accepts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "output/output.h"
#include "reader/reader.h"

namespace scenario::fuzz {

// The fuzzer's bytes read from the front: a part is a 4-byte little-endian length and that
// many bytes (fewer when the input ends first); the rest is the last part. No byte value is
// taken as a separator, so every part may hold any byte.
class Ingresso {
 public:
  Ingresso(const std::uint8_t* dati, std::size_t n) : dati_(reinterpret_cast<const char*>(dati), n) {}

  std::uint32_t numero() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4 && !dati_.empty(); ++i) {
      v |= std::uint32_t{static_cast<unsigned char>(dati_.front())} << (8 * i);
      dati_.remove_prefix(1);
    }
    return v;
  }
  std::string_view parte() {
    const std::size_t n = std::min<std::size_t>(numero(), dati_.size());
    const std::string_view p = dati_.substr(0, n);
    dati_.remove_prefix(n);
    return p;
  }
  std::string_view resto() {
    const std::string_view r = dati_;
    dati_ = {};
    return r;
  }

 private:
  std::string_view dati_;
};

// Takes every byte of every file and keeps only their count: the writers run in full, with
// nothing held in memory.
class Scarico final : public Destinazione {
 public:
  std::optional<std::string> scrivi(const std::string&, std::string_view dati) override {
    byte_ += dati.size();
    return std::nullopt;
  }
  std::optional<std::string> scrivi_a_pezzi(const std::string&, const Pezzi& pezzi) override {
    pezzi([this](std::string_view pezzo) {
      byte_ += pezzo.size();
      return true;
    });
    return std::nullopt;
  }

 private:
  std::size_t byte_ = 0;
};

// The longest line (in metres, the route's tail included) whose plan a target computes. The
// per-metre work of longer lines is the same loop over more metres, covered by the tests and
// the benchmarks; here it would only slow every run.
inline constexpr std::int32_t metri_con_piano = 30000 + 7000;

// The route length the line description sets, read without the plan (cheap at any length):
// a target computes the plan only when this is within `metri_con_piano`.
inline bool piano_accettabile(std::string_view linea) {
  Modello m;
  m.scrivi_linea = 0;
  const Descrizioni d{{"linea", std::string(linea), {}}, {"treno", std::nullopt, {}}};
  (void)memorizza_dati(m, d);
  return m.lunghezza_estesa <= metri_con_piano;
}

}  // namespace scenario::fuzz
