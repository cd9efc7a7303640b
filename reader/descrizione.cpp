// Loading a description file from disk for the reader.
#include "files/files.h"
#include "reader/reader.h"

namespace scenario {

Descrizione leggi_descrizione(const std::filesystem::path& file, bool cancella_dopo) {
  Descrizione d;
  d.nome = file.string();
  FileLetto letto = leggi_intero(file, massimo_descrizione);
  d.testo = std::move(letto.dati);
  d.illeggibile = std::move(letto.perche);
  if (cancella_dopo) d.da_cancellare = file;
  return d;
}

}  // namespace scenario
