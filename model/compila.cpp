// The compile step (placeholder until the completion pass lands).
#include "model/compila.h"

namespace scenario {

EsitoCompilazione memorizza_percorso(Modello& m, std::int32_t& scrivi_linea, Descrizioni& d, Destinazione& dove) {
  EsitoCompilazione esito;
  m.scrivi_linea = scrivi_linea;
  azzera_voci(m);
  memorizza_dati(m, d);
  if (m.celle.size() < 2) {
    esito.senza_celle = true;
    return esito;
  }
  completa_celle(m);
  esito.scrittura = scrivi_file_binari(m, dove);
  return esito;
}

void completa_celle(Modello&) {}

std::string_view descrizione_codice(std::int32_t) { return "error"; }

}  // namespace scenario
