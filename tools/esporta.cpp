// `percorso export`: writes the five embedded documents, byte for byte as the scenario program
// writes them, so an author can start a new scenario from the embedded one.
#include <memory>
#include <ostream>
#include <system_error>

#include "compile/compile.h"
#include "documents/documents.h"
#include "files/files.h"
#include "tools/percorso.h"

namespace scenario {
namespace {

int esporta(const std::filesystem::path& cartella, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  std::filesystem::create_directories(cartella, ec);
  if (ec) {
    err << "percorso: cannot create " << cartella.string() << ": " << ec.message() << "\n";
    return 2;
  }
  EsitoBlocco blocco = blocca_cartella(cartella, attesa_cartella, [&] {
    err << "percorso: another run is writing into " << cartella.string() << ": waiting for it to end\n";
  });
  if (!blocco.blocco) {
    err << "percorso: " << blocco.perche << "\n";
    return 2;
  }
  const std::string percorso(nome_percorso_incorporato), treno(nome_treno_incorporato);
  CartellaSuDisco dove(cartella);
  std::optional<std::string> guasto;
  {
    const SegnaliRimandati rimandati;  // the five documents are written as a set
    guasto = scrivi_documenti(dove, percorso, treno);
  }
  if (auto errore = guasto) {
    err << "percorso: cannot write into " << cartella.string() << ": " << *errore << "\n";
    return 2;
  }
  for (const DocumentoIncorporato& d : documenti_incorporati()) {
    out << (cartella / d.nome_file(percorso, treno)).string() << "\n";
  }
  return 0;
}

}  // namespace

Sottocomando comando_export(CLI::App& percorso) {
  auto cartella = std::make_shared<std::string>(".");
  CLI::App* c = percorso.add_subcommand(
      "export", "Write the five embedded documents (line and train descriptions, notes, slowdown order, "
                "timetable sheet) byte for byte as the scenario program writes them; nothing else.");
  c->add_option("-o,--output", *cartella, "Folder to write into (created if missing)")->capture_default_str();
  c->footer(
      "Examples:\n"
      "  percorso export -o mia\n"
      "  percorso export");
  return {c, [cartella](std::ostream& out, std::ostream& err) { return esporta(*cartella, out, err); }};
}

}  // namespace scenario
