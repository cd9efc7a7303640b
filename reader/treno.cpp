// The train half of the reading (placeholder until the train reader lands).
#include "reader/interno.h"

namespace scenario {

Esito leggi_treno(Modello& m, Descrizione& treno, StatoLettura& stato) {
  (void)m;
  (void)treno;
  (void)stato;
  return Esito::fatto();
}

}  // namespace scenario
