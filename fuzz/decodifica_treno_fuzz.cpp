// Fuzz target: the decoder of the train data file. Any bytes are decoded or refused; what is decoded
// is written back to the very same bytes.
#include <cstdlib>

#include "output/output.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  const std::string_view file(reinterpret_cast<const char*>(dati), n);
  const auto decodificato = scenario::decodifica_treno(file);
  if (decodificato && scenario::file_treno(*decodificato) != file) std::abort();
  return 0;
}
