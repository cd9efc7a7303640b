// Windows-1252 and UTF-8: the descriptions are Windows-1252, terminals and JSON are UTF-8.
#include <array>

#include "diagnostics/diagnostics.h"

namespace scenario {
namespace {

// 0x80..0x9F: the code page's own characters; 0 where it defines none.
constexpr std::array<char32_t, 32> alti = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

void metti_utf8(std::string& s, char32_t u) {
  if (u < 0x80) {
    s += static_cast<char>(u);
  } else if (u < 0x800) {
    s += static_cast<char>(0xC0 | (u >> 6));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (u >> 12));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  }
}

char32_t carattere_cp1252(unsigned char b) {
  if (b < 0x80 || b >= 0xA0) return b;
  return alti[b - 0x80] != 0 ? alti[b - 0x80] : 0xFFFD;
}

std::string utf8_da_cp1252(std::string_view testo) {
  static constexpr char esadecimali[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(testo.size());
  for (const char ch : testo) {
    const auto b = static_cast<unsigned char>(ch);
    if ((b < 0x20 && b != '\t') || b == 0x7F) {
      s += "\\x";
      s += esadecimali[b >> 4];
      s += esadecimali[b & 0xF];
    } else {
      metti_utf8(s, carattere_cp1252(b));
    }
  }
  return s;
}

std::optional<std::string> cp1252_da_utf8(std::string_view testo) {
  std::string s;
  for (std::size_t i = 0; i < testo.size();) {
    const auto b = static_cast<unsigned char>(testo[i]);
    char32_t u = 0;
    std::size_t n = 0;
    if (b < 0x80) {
      u = b;
      n = 1;
    } else if ((b & 0xE0) == 0xC0) {
      u = b & 0x1F;
      n = 2;
    } else if ((b & 0xF0) == 0xE0) {
      u = b & 0x0F;
      n = 3;
    } else if ((b & 0xF8) == 0xF0) {
      u = b & 0x07;
      n = 4;
    } else {
      return std::nullopt;
    }
    if (i + n > testo.size()) return std::nullopt;
    for (std::size_t k = 1; k < n; ++k) {
      const auto c = static_cast<unsigned char>(testo[i + k]);
      if ((c & 0xC0) != 0x80) return std::nullopt;
      u = (u << 6) | (c & 0x3F);
    }
    i += n;
    // The shortest form only: an overlong sequence is not UTF-8.
    if ((n == 2 && u < 0x80) || (n == 3 && u < 0x800) || (n == 4 && u < 0x10000)) return std::nullopt;
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      s += static_cast<char>(static_cast<unsigned char>(u));
      continue;
    }
    bool trovato = false;
    for (std::size_t k = 0; k < alti.size(); ++k) {
      if (alti[k] != 0 && alti[k] == u) {
        s += static_cast<char>(static_cast<unsigned char>(0x80 + k));
        trovato = true;
        break;
      }
    }
    if (!trovato) return std::nullopt;
  }
  return s;
}

}  // namespace scenario
