// Start-up: the names, the wait window, the five document writers, the compile step, and the
// report of anything that went wrong.
#include <system_error>

#include "app/app.h"
#include "compile/compile.h"
#include "documents/documents.h"

namespace scenario {
namespace {

// The error state in words, for the message box, with the row that set it where there is one.
std::string rapporto_codice(const Modello& m, const Esito& e) {
  std::string testo = "The scenario was compiled with an error: " + parole_errore(m);
  const Luogo& l = e.luogo();
  if (!l.vuoto() && l.linea > 0) {
    testo += ", at " + std::filesystem::path(l.file).filename().string() + " line " + std::to_string(l.linea) +
             ", column " + std::to_string(l.colonna);
  }
  return testo + ".";
}

}  // namespace

std::string testo_errore(std::string_view numero) { return " Errore n. " + std::string(numero); }

std::optional<std::filesystem::path> cartella_del_programma() {
  std::error_code ec;
  const auto eseguibile = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || !eseguibile.has_parent_path()) return std::nullopt;
  return eseguibile.parent_path();
}

int Form_Load(const std::filesystem::path& cartella, Schermo& schermo) {
  Modello m;
  m.nome_percorso = std::string(nome_percorso_incorporato);
  m.nome_treno = std::string(nome_treno_incorporato);
  schermo.mostra_attesa();

  auto fallisce = [&](const std::string& testo) {
    schermo.chiudi_attesa();
    schermo.messaggio(testo);
    return 1;
  };

  CartellaSuDisco dove(cartella);
  if (auto errore = scrivi_documenti(dove, m.nome_percorso, m.nome_treno)) return fallisce("Cannot write " + *errore);

  const Descrizioni descrizioni{
      leggi_descrizione(cartella / nome_descrizione_linea(m.nome_percorso, m.nome_treno), true),
      leggi_descrizione(cartella / nome_descrizione_treno(m.nome_percorso, m.nome_treno), true)};
  const EsitoCompilazione esito = memorizza_percorso(m, 1, descrizioni, dove);

  if (esito.rapporto != 0) return fallisce(testo_errore(std::to_string(esito.rapporto)));
  if (esito.scrittura.guasto) return fallisce("Cannot write " + *esito.scrittura.guasto);
  if (esito.senza_celle) {
    return fallisce(rapporto_codice(m, esito.esito) + "\nThe line has no route cells, so no binary file was written.");
  }
  if (m.codice_errore != 0) return fallisce(rapporto_codice(m, esito.esito));
  schermo.chiudi_attesa();
  return 0;
}

}  // namespace scenario
