#include "documents/scrittore.h"

#include <array>

#include "documents/documents.h"

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

// The scenario program's five document writers, in their order.
const std::array<DocumentoIncorporato, 5> documenti{{
    {nome_descrizione_linea, righe_linea},           // dati_linea
    {nome_descrizione_treno, righe_treno},           // dati_treno
    {nome_note, righe_note},                         // dati_note
    {nome_rallentamenti, righe_rallentamenti},       // dati_rallentamenti
    {nome_scheda, righe_scheda_treno},               // dati_scheda
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

std::string testo_righe(std::span<const std::string_view> righe) {
  std::string testo;
  for (std::string_view riga : righe) (testo += riga) += "\r\n";
  return testo;
}

std::optional<std::string> testo_documento(const DocumentoIncorporato& d) {
  const auto tabella = tabella_righe(d.righe());
  if (!tabella) return std::nullopt;
  return testo_documento(*tabella);
}

}  // namespace scenario
