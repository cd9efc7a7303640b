// `percorso export`: writes the five embedded documents, byte for byte as the scenario program
// writes them, so an author can start a new scenario from the embedded one.
#include <ostream>
#include <system_error>

#include "app/app.h"
#include "documents/documents.h"
#include "tools/percorso.h"

namespace scenario {

int esporta(const std::filesystem::path& cartella, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  std::filesystem::create_directories(cartella, ec);
  if (ec) {
    err << "percorso: cannot create " << cartella.string() << ": " << ec.message() << "\n";
    return 2;
  }
  Modello m;
  m.nome_percorso = std::string(nome_percorso_incorporato);
  m.nome_treno = std::string(nome_treno_incorporato);
  for (const DocumentoIncorporato& d : documenti_incorporati()) {
    if (auto errore = scrivi_documento(d, m, cartella)) {
      err << "percorso: cannot write into " << cartella.string() << ": " << *errore << "\n";
      return 2;
    }
    out << (cartella / d.nome_file(m.nome_percorso, m.nome_treno)).string() << "\n";
  }
  return 0;
}

}  // namespace scenario
