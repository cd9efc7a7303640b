// `memorizza_dati`: the line half, then the train half, under the one failure handler of the
// reading.
#include <filesystem>
#include <exception>
#include <system_error>

#include "reader/interno.h"

namespace scenario {

Esito cancella_descrizione(const Descrizione& d) {
  if (d.da_cancellare.empty()) return Esito::fatto();
  std::error_code ec;
  std::filesystem::remove(d.da_cancellare, ec);
  if (ec) return std::move(Esito::guasto(Guasto::non_cancellato).in({d.nome, 0, 0, 0}));
  return Esito::fatto();
}

namespace {

// The failure handler: code 25, `posizione_errore` unchanged, both descriptions deleted
// where the program owns them and still there. Nothing more can be done about a file that
// will not go here, so this last attempt reports nothing.
Esito guasto_lettura(Modello& m, const Descrizioni& d, Esito e) {
  registra(m, e);
  (void)cancella_descrizione(d.linea);
  (void)cancella_descrizione(d.treno);
  return e;
}

// A code from the line half other than a range stop ends the reading; the train half's
// outcome, when it has one, is the last set.
Esito leggi_entrambe(Modello& m, const Descrizioni& d, Osservatore* o) {
  StatoLettura stato;
  const Esito linea = leggi_linea(m, d.linea, stato, o);
  if (!linea.ok() && !linea.fuori_percorso()) return linea;
  Esito treno = leggi_treno(m, d.treno, stato, o);
  return treno.ok() ? linea : treno;
}

}  // namespace

Esito memorizza_dati(Modello& m, const Descrizioni& d, Osservatore* osservatore) {
  // The catch is the backstop for what the library itself may throw (memory exhaustion
  // while sizing or copying): it takes the same way out, so no failure escapes the reading
  // and none skips the cleanup.
  Esito e = Esito::guasto(Guasto::memoria);
  try {
    e = leggi_entrambe(m, d, osservatore);
  } catch (const std::exception&) {
  }
  if (e.e_guasto()) {
    // A check deletes nothing; a failure that still ends it (memory) is its last finding.
    if (osservatore != nullptr) {
      osservatore->esito(e);
      return e;
    }
    return guasto_lettura(m, d, std::move(e));
  }
  return e;
}

}  // namespace scenario
