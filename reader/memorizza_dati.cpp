// `memorizza_dati`: the line half, then the train half, under the one failure handler of the
// reading.
#include <filesystem>
#include <system_error>

#include "reader/interno.h"

namespace scenario {

namespace {

constexpr std::int32_t codice_guasto = 25;

// Deletes a description the program owns, if it is still there. Nothing else can be done
// about a file that will not go, so an error here is not reported.
void cancella_se_resta(const Descrizione& d) noexcept {
  if (d.da_cancellare.empty()) return;
  std::error_code ec;
  std::filesystem::remove(d.da_cancellare, ec);
}

// The failure handler: code 25, `posizione_errore` unchanged, both descriptions deleted
// where the program owns them.
void guasto_lettura(Modello& m, const Descrizioni& d) noexcept {
  m.codice_errore = codice_guasto;
  cancella_se_resta(d.linea);
  cancella_se_resta(d.treno);
}

Esito leggi_entrambe(Modello& m, Descrizioni& d) {
  StatoLettura stato;
  FineLinea fine = FineLinea::fermata;
  if (!leggi_linea(m, d.linea, stato, fine)) return Esito::guasto();
  if (fine != FineLinea::continua) return Esito::fatto();
  return leggi_treno(m, d.treno, stato);
}

}  // namespace

void memorizza_dati(Modello& m, Descrizioni& d) {
  // Failures travel back as Esito. The catch is the backstop for what the library itself
  // may throw (memory exhaustion while sizing or copying): it takes the same way out, so no
  // failure escapes the reading and none skips the cleanup.
  try {
    if (leggi_entrambe(m, d).ok()) return;
  } catch (...) {
  }
  guasto_lettura(m, d);
}

}  // namespace scenario
