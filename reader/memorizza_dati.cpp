// Reading both descriptions (placeholder until the failure handler lands).
#include "reader/interno.h"

namespace scenario {

void memorizza_dati(Modello& m, Descrizioni& d) {
  StatoLettura stato;
  FineLinea fine = FineLinea::fermata;
  if (!leggi_linea(m, d.linea, stato, fine)) {
    m.codice_errore = 25;
    return;
  }
  if (fine == FineLinea::continua && !leggi_treno(m, d.treno, stato)) m.codice_errore = 25;
}

}  // namespace scenario
