// Loading a description file from disk for the reader.
#include <fstream>
#include <iterator>

#include "reader/reader.h"

namespace scenario {

Descrizione leggi_descrizione(const std::filesystem::path& file, bool cancella_dopo) {
  Descrizione d;
  d.nome = file.string();
  std::error_code ec;
  if (std::filesystem::is_regular_file(file, ec)) {
    std::ifstream in(file, std::ios::binary);
    std::string dati{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.good() || in.eof()) d.testo = std::move(dati);
  }
  if (cancella_dopo) d.da_cancellare = file;
  return d;
}

}  // namespace scenario
