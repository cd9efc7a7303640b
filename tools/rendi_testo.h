// Text pieces shared by the figures and the page of `percorso render`: numbers written the
// same way whatever the locale, the scenario's Windows-1252 texts as escaped UTF-8, and
// positions, chainages and times in the words an author reads on the timetable sheet.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "diagnostics/diagnostics.h"

namespace scenario::testo {

// A number with `decimali` decimals, "-0.0" written as "0.0".
inline void numero(std::string& s, double v, int decimali = 1) {
  char buf[64];
  if (!std::isfinite(v) || v > 1e15 || v < -1e15) v = 0;  // NaN and absurd values never reach a file
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimali);
  std::string_view n(buf, static_cast<std::size_t>(r.ptr - buf));
  if (n.size() > 1 && n[0] == '-' && n.find_first_not_of("-0.") == std::string_view::npos) n.remove_prefix(1);
  s += n;
}

inline void intero(std::string& s, std::int64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  s.append(buf, static_cast<std::size_t>(r.ptr - buf));
}

// Windows-1252 text as UTF-8, escaped for XML and HTML text and attribute values. Control
// characters are dropped; the five bytes the code page leaves undefined become U+FFFD.
inline void xml(std::string& s, std::string_view cp1252) {
  for (const char ch : cp1252) {
    const auto b = static_cast<unsigned char>(ch);
    switch (b) {
      case '&': s += "&amp;"; continue;
      case '<': s += "&lt;"; continue;
      case '>': s += "&gt;"; continue;
      case '"': s += "&quot;"; continue;
      case '\'': s += "&#39;"; continue;
      default: break;
    }
    if (b < 0x20) {
      if (b == '\t') s += ' ';
      continue;
    }
    metti_utf8(s, carattere_cp1252(b));
  }
}

// Plain ASCII text of the program's own, escaped the same way.
inline std::string xml(std::string_view cp1252) {
  std::string s;
  xml(s, cp1252);
  return s;
}

// Metres as kilometres with three decimals: 180350 gives "180.350", -500 gives "-0.500".
inline std::string km(std::int64_t metri) {
  std::string s;
  if (metri < 0) s += '-';
  const std::uint64_t a = metri < 0 ? 0 - static_cast<std::uint64_t>(metri) : static_cast<std::uint64_t>(metri);
  s += std::to_string(a / 1000);
  s += '.';
  const std::string resto = std::to_string(a % 1000);
  s.append(3 - resto.size(), '0');
  s += resto;
  return s;
}

// Seconds since midnight as hh:mm:ss.
inline std::string ora(std::int64_t secondi) {
  if (secondi < 0) return "-" + ora(-secondi);
  const auto due = [](std::int64_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return due(secondi / 3600) + ":" + due(secondi / 60 % 60) + ":" + due(secondi % 60);
}

}  // namespace scenario::testo
