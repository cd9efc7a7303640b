// Start-up: the names, the wait window, the five document writers, the compile step, and the
// report of anything that went wrong.
#include <optional>
#include <system_error>
#include <utility>

#include "app/app.h"
#include "compile/compile.h"
#include "documents/documents.h"
#include "files/files.h"

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

// The two descriptions the run writes. They are the run's own: the reader deletes them when it
// has read them, and on every other way out (a document that could not be written, an
// interruption, an exception) they are deleted here.
class DescrizioniProprie {
 public:
  DescrizioniProprie(std::filesystem::path linea, std::filesystem::path treno)
      : linea_(std::move(linea)), treno_(std::move(treno)) {}
  ~DescrizioniProprie() {
    if (consegnate_) return;
    std::error_code ec;
    std::filesystem::remove(linea_, ec);
    std::filesystem::remove(treno_, ec);
  }
  DescrizioniProprie(const DescrizioniProprie&) = delete;
  DescrizioniProprie& operator=(const DescrizioniProprie&) = delete;
  // The reader has run to its end: what it deleted or kept stands.
  void consegna() { consegnate_ = true; }

 private:
  std::filesystem::path linea_, treno_;
  bool consegnate_ = false;
};

// The work of the run: the five documents, then the compile step. Returns the message for the
// person, or nothing after a clean run or an interruption.
std::optional<std::string> corsa(const std::filesystem::path& cartella, Modello& m) {
  CartellaSuDisco dove(cartella);
  const auto file_linea = cartella / nome_descrizione_linea(m.nome_percorso, m.nome_treno);
  const auto file_treno = cartella / nome_descrizione_treno(m.nome_percorso, m.nome_treno);
  DescrizioniProprie proprie(file_linea, file_treno);
  if (auto errore = scrivi_documenti(dove, m.nome_percorso, m.nome_treno)) return "Cannot write " + *errore;
  // Interrupted: stop before the binary files, so the folder keeps the set it had.
  if (interruzione_in_attesa()) return std::nullopt;

  const Descrizioni descrizioni{leggi_descrizione(file_linea, true), leggi_descrizione(file_treno, true)};
  const EsitoCompilazione esito = memorizza_percorso(m, 1, descrizioni, dove);
  proprie.consegna();

  if (esito.rapporto != 0) return testo_errore(std::to_string(esito.rapporto));
  if (esito.scrittura.guasto) return "Cannot write " + *esito.scrittura.guasto;
  if (esito.senza_celle) {
    return rapporto_codice(m, esito.esito) + "\nThe line has no route cells, so no binary file was written.";
  }
  if (m.codice_errore != 0) return rapporto_codice(m, esito.esito);
  return std::nullopt;
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

  std::optional<std::string> problema;
  {
    // One run at a time in a folder: a second one would delete the descriptions this one is
    // reading, or mix its files with this one's.
    EsitoBlocco blocco = blocca_cartella(cartella, attesa_cartella, [&schermo] {
      schermo.nota("Another run is working in this folder: waiting for it to end.");
    });
    if (!blocco.blocco) problema = "Cannot start: " + blocco.perche + ".";
    if (blocco.blocco) {
      const SegnaliRimandati rimandati;
      problema = corsa(cartella, m);
    }  // a signal held back meanwhile ends the process here, the run cleaned up
  }  // the lock goes before any message, which may wait for a person

  if (problema) {
    schermo.chiudi_attesa();
    schermo.messaggio(*problema);
    return 1;
  }
  schermo.chiudi_attesa();
  return 0;
}

}  // namespace scenario
