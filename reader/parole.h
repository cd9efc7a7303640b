// Keyword tests of the readers: a keyword is found by substring, never by equality.
#pragma once

#include <string_view>

namespace scenario {

// True when `parola` occurs in `campo`, ASCII letter case ignored.
[[nodiscard]] inline bool contiene(std::string_view campo, std::string_view parola) {
  auto minuscola = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  if (parola.size() > campo.size()) return false;
  for (std::size_t i = 0; i + parola.size() <= campo.size(); ++i) {
    std::size_t j = 0;
    while (j < parola.size() && minuscola(campo[i + j]) == minuscola(parola[j])) ++j;
    if (j == parola.size()) return true;
  }
  return false;
}

// True when `parola` occurs in `campo` with exactly its letter case.
[[nodiscard]] inline bool contiene_esatto(std::string_view campo, std::string_view parola) {
  return campo.find(parola) != std::string_view::npos;
}

}  // namespace scenario
