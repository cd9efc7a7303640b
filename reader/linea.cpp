// The line half of the reading (placeholder until the line reader lands).
#include "reader/interno.h"

namespace scenario {

Esito leggi_linea(Modello& m, Descrizione& linea, StatoLettura& stato, FineLinea& fine) {
  (void)linea;
  (void)stato;
  m.codice_errore = 101;
  fine = FineLinea::fermata;
  return Esito::fatto();
}

}  // namespace scenario
