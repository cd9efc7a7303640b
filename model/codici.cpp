#include "model/codici.h"

#include <cstddef>

namespace scenario {
namespace {

constexpr const char* testo_riempitivo = "aabbccddeeffgghhiillmmnnoo";
constexpr std::size_t caratteri_contati = 25;

unsigned char minuscola(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A: return 0x9A;  // Š
    case 0x8C: return 0x9C;  // Œ
    case 0x8E: return 0x9E;  // Ž
    case 0x9F: return 0xFF;  // Ÿ
    default: return c;
  }
}

// Steps shared by both codes: join, lower-case, append the fill text.
std::string testo_di_lavoro(const Modello& m) {
  return minuscole_cp1252(campo(m.voci, testata::nome_treno) + campo(m.voci, testata::nome_percorso)) +
         testo_riempitivo;
}

}  // namespace

std::string minuscole_cp1252(const std::string& testo) {
  std::string r = testo;
  for (char& c : r) c = static_cast<char>(minuscola(static_cast<unsigned char>(c)));
  return r;
}

std::int32_t codice_gara_og(const Modello& m) {
  const std::string t = testo_di_lavoro(m);
  std::int32_t somma = 0;
  for (std::size_t i = 0; i < caratteri_contati; ++i) somma += static_cast<unsigned char>(t[i]);
  return somma;
}

std::int32_t codice_gara_st(const Modello& m) {
  const std::string t = testo_di_lavoro(m);
  std::int32_t somma = 0;
  for (std::size_t i = 0; i < caratteri_contati; ++i) {
    somma += static_cast<std::int32_t>(i + 1) * static_cast<unsigned char>(t[i]);
  }
  return somma;
}

}  // namespace scenario
