#include "documents/scrittore.h"

#include <array>

#include "documents/documents.h"
#include "output/output.h"

namespace scenario {
namespace {

std::string con_treno(const std::string& p, const std::string& t, std::string_view coda) {
  std::string nome = p;
  nome += '_';
  nome += t;
  nome += coda;
  return nome;
}

std::string nome_note(const std::string& p, const std::string& t) { return con_treno(p, t, "_note.txt"); }
std::string nome_rallentamenti(const std::string& p, const std::string& t) {
  return con_treno(p, t, "_rallentamenti.txt");
}
std::string nome_scheda(const std::string& p, const std::string& t) { return con_treno(p, t, "_scheda_treno.txt"); }

const std::array<DocumentoIncorporato, 5> documenti{{
    {"dati_linea", nome_descrizione_linea, righe_linea},
    {"dati_treno", nome_descrizione_treno, righe_treno},
    {"dati_note", nome_note, righe_note},
    {"dati_rallentamenti", nome_rallentamenti, righe_rallentamenti},
    {"dati_scheda", nome_scheda, righe_scheda_treno},
}};

}  // namespace

std::string nome_descrizione_linea(const std::string& p, const std::string&) { return p + "_linea.txt"; }
std::string nome_descrizione_treno(const std::string& p, const std::string& t) { return con_treno(p, t, "-.txt"); }

std::optional<TabellaRighe> tabella_righe(std::span<const std::string_view> righe) {
  if (righe.size() > slot_tabella - 1) return std::nullopt;
  TabellaRighe t(righe.begin(), righe.end());
  t.push_back(marcatore_fine);
  return t;
}

std::string testo_documento(const TabellaRighe& tabella) {
  std::string testo;
  for (std::string_view riga : tabella) {
    if (riga == marcatore_fine) break;
    testo += riga;
    testo += "\r\n";
  }
  return testo;
}

std::span<const DocumentoIncorporato> documenti_incorporati() { return documenti; }

std::optional<std::string> scrivi_documento(const DocumentoIncorporato& d, const Modello& m,
                                            const std::filesystem::path& cartella) {
  const std::string nome = d.nome_file(m.nome_percorso, m.nome_treno);
  const auto tabella = tabella_righe(d.righe());
  if (!tabella) return nome + ": the document has more than 1000 lines";
  if (auto errore = scrivi_intero(cartella / nome, testo_documento(*tabella))) return nome + ": " + *errore;
  return std::nullopt;
}

std::optional<std::string> dati_linea(const Modello& m, const std::filesystem::path& c) {
  return scrivi_documento(documenti[0], m, c);
}
std::optional<std::string> dati_treno(const Modello& m, const std::filesystem::path& c) {
  return scrivi_documento(documenti[1], m, c);
}
std::optional<std::string> dati_note(const Modello& m, const std::filesystem::path& c) {
  return scrivi_documento(documenti[2], m, c);
}
std::optional<std::string> dati_rallentamenti(const Modello& m, const std::filesystem::path& c) {
  return scrivi_documento(documenti[3], m, c);
}
std::optional<std::string> dati_scheda(const Modello& m, const std::filesystem::path& c) {
  return scrivi_documento(documenti[4], m, c);
}

}  // namespace scenario
