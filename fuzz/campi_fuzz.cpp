// Fuzz target: the field reader. The first part says which kind of field to read each time
// (text, 32-, 16- or 8-bit number, in turn); the rest is the data. Every read either fails or
// takes at least one byte, and every place it reports lies within the data.
#include <cstdlib>

#include "ingresso.h"
#include "reader/campi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  scenario::fuzz::Ingresso ingresso(dati, n);
  const std::string_view tipi = ingresso.parte();
  const std::string_view testo = ingresso.resto();
  scenario::LettoreCampi campi(testo);
  for (std::size_t i = 0; !campi.finito(); ++i) {
    // More reads than bytes: a read that succeeded without taking a byte.
    if (i > testo.size()) std::abort();
    const unsigned tipo = tipi.empty() ? static_cast<unsigned>(i % 4) : static_cast<unsigned char>(tipi[i % tipi.size()]) % 4u;
    bool letto = false;
    switch (tipo) {
      case 0: letto = campi.testo().has_value(); break;
      case 1: letto = campi.numero_32().has_value(); break;
      case 2: letto = campi.numero_16().has_value(); break;
      default: letto = campi.numero_8().has_value(); break;
    }
    if (campi.linea() < 1 || campi.colonna() < 1 || campi.colonna_fine() < campi.colonna()) std::abort();
    if (static_cast<std::size_t>(campi.linea()) > testo.size() + 1) std::abort();
    if (!letto) break;
  }
  return 0;
}
