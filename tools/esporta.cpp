// `percorso export`: writes the five embedded documents, byte for byte as the scenario program
// writes them, so an author can start a new scenario from the embedded one.
#include <ostream>
#include <system_error>

#include "compile/compile.h"
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
  const std::string percorso(nome_percorso_incorporato), treno(nome_treno_incorporato);
  CartellaSuDisco dove(cartella);
  if (auto errore = scrivi_documenti(dove, percorso, treno)) {
    err << "percorso: cannot write into " << cartella.string() << ": " << *errore << "\n";
    return 2;
  }
  for (const DocumentoIncorporato& d : documenti_incorporati()) {
    out << (cartella / d.nome_file(percorso, treno)).string() << "\n";
  }
  return 0;
}

}  // namespace scenario
