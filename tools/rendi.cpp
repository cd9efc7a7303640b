// `percorso render`: the page, or one figure, from an author's descriptions (compiled in
// memory) or from a scenario's binary files.
#include <algorithm>
#include <ostream>

#include "documents/documents.h"
#include "output/output.h"
#include "tools/rendi.h"

namespace scenario {

int rendi(const OpzioniRendi& o, std::ostream&, std::ostream& err) {
  Caricamento c;
  if (!o.cartella_binari.empty()) {
    c = carica_file_binari(o.cartella_binari, o.percorso, o.treno);
    if (!c.dati) {
      err << "percorso: " << c.errore << "\n";
      return 2;
    }
  } else {
    Descrizioni d{leggi_descrizione(o.file_linea, false), leggi_descrizione(o.file_treno, false)};
    for (const Descrizione* x : {&d.linea, &d.treno}) {
      if (!x->testo) {
        err << "percorso: cannot read " << x->nome << "\n";
        return 2;
      }
    }
    // Without names the descriptions compile as the embedded scenario's do.
    c = compila_in_memoria(d, o.percorso.empty() ? std::string(nome_percorso_incorporato) : o.percorso,
                           o.treno.empty() ? std::string(nome_treno_incorporato) : o.treno);
  }
  for (const Diagnostica& d : c.diagnostiche) {
    if (!d.file.empty()) {
      err << d.file;
      if (d.linea > 0) err << ":" << d.linea << (d.colonna > 0 ? ":" + std::to_string(d.colonna) : "");
      err << ": ";
    } else {
      err << "percorso: ";
    }
    err << (d.gravita == Gravita::errore ? "error: " : d.gravita == Gravita::avviso ? "warning: " : "note: ")
        << d.messaggio << "\n";
  }

  const Quadro q = analizza(*c.dati);
  std::string dati;
  if (o.figura) {
    if (auto errore = converti_svg(svg_figura(q, *o.figura, true), o.formato, dati)) {
      err << "percorso: " << *errore << "\n";
      return 2;
    }
  } else {
    dati = pagina_html(q, c.diagnostiche);
  }
  if (auto errore = scrivi_intero(o.uscita, dati)) {
    err << "percorso: cannot write " << o.uscita.string() << ": " << *errore << "\n";
    return 2;
  }
  const bool errori = std::any_of(c.diagnostiche.begin(), c.diagnostiche.end(),
                                  [](const Diagnostica& d) { return d.gravita == Gravita::errore; });
  return errori ? 1 : 0;
}

}  // namespace scenario
