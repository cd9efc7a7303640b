#include "tools/autore.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "documents/documents.h"
#include "model/errori.h"

namespace scenario {
namespace {

// A name that would not name the files: a path separator, "." or "..", a control byte, or a
// character Windows-1252 cannot hold. Returns why, or nothing when the name is fine.
std::optional<std::string> nome_sbagliato(const std::string& nome, std::string& cp1252) {
  if (nome.find_first_of("/\\") != std::string::npos) return "it holds a path separator";
  if (nome == "." || nome == "..") return "it is `" + nome + "`";
  for (const char c : nome) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "it holds a control character";
  }
  auto convertito = cp1252_da_utf8(nome);
  if (!convertito) return "it holds a character Windows-1252 cannot hold";
  cp1252 = std::move(*convertito);
  return std::nullopt;
}

// Words built from the command line and file names (UTF-8) as the diagnostics hold them
// (Windows-1252): a character the code page cannot hold becomes "?".
std::string in_cp1252(std::string_view utf8) {
  if (auto t = cp1252_da_utf8(utf8)) return *t;
  std::string s;
  for (const char c : utf8) s += static_cast<unsigned char>(c) < 0x80 ? c : '?';
  return s;
}

Diagnostica errore_di(std::string_view id, std::optional<std::int32_t> codice, Luogo l, std::string_view messaggio) {
  return {Gravita::errore, id, codice, std::move(l), in_cp1252(messaggio), {}};
}

}  // namespace

std::optional<Ingressi> leggi_ingressi(const std::filesystem::path& linea, const std::filesystem::path& treno,
                                       const std::optional<std::string>& percorso,
                                       const std::optional<std::string>& nome_treno, Diagnostica& perche) {
  Ingressi in;
  in.descrizioni = {leggi_descrizione(linea, false), leggi_descrizione(treno, false)};
  for (const Descrizione* d : {&in.descrizioni.linea, &in.descrizioni.treno}) {
    if (!d->testo) {
      // What the compile step makes of it: code 101 for the line description, 25 for the train's.
      const bool linea_mancante = d == &in.descrizioni.linea;
      perche = errore_di(linea_mancante ? "line-description-missing" : "unreadable-file",
                         linea_mancante ? codice::linea_mancante : codice::guasto, {d->nome, 0, 0, 0},
                         "cannot read " + d->nome + ": " + d->illeggibile);
      return std::nullopt;
    }
  }
  // The names from the inputs' names, where they follow the convention.
  std::optional<std::string> da_linea, da_treno;
  const std::string nl = linea.filename().string(), nt = treno.filename().string();
  constexpr std::string_view coda_linea = "_linea.txt", coda_treno = "-.txt";
  if (nl.size() >= coda_linea.size() && nl.ends_with(coda_linea)) {
    da_linea = nl.substr(0, nl.size() - coda_linea.size());
    if (nt.starts_with(*da_linea + "_") && nt.ends_with(coda_treno) &&
        nt.size() >= da_linea->size() + 1 + coda_treno.size()) {
      da_treno = nt.substr(da_linea->size() + 1, nt.size() - da_linea->size() - 1 - coda_treno.size());
    }
  }
  std::string p = percorso.value_or(da_linea.value_or(std::string(nome_percorso_incorporato)));
  std::string t = nome_treno.value_or(da_linea && da_treno ? *da_treno : std::string(nome_treno_incorporato));
  if (!percorso && !nome_treno) {
    if (!da_linea || !da_treno) {
      in.note.push_back("the inputs' names do not follow <route>_linea.txt and <route>_<train>-.txt, so the files "
                        "take the embedded names: route `" + p + "`, train `" + t +
                        "` (--route and --train choose others)");
    }
  }
  for (auto [nome, dove, cosa] : {std::tuple{&p, &in.percorso, "route"}, std::tuple{&t, &in.treno, "train"}}) {
    if (auto no = nome_sbagliato(*nome, *dove)) {
      perche = errore_di("bad-name", std::nullopt, Luogo{},
                         std::string("the ") + cosa + " name `" + *nome + "` cannot name the files: " + *no);
      return std::nullopt;
    }
  }
  return in;
}

nlohmann::json in_json(std::span<const Diagnostica> diagnostiche) {
  nlohmann::json tutte = nlohmann::json::array();
  auto luogo = [](nlohmann::json& j, const Luogo& l) {
    j["file"] = l.file;
    j["line"] = l.linea;
    j["column"] = l.colonna;
  };
  for (const Diagnostica& g : diagnostiche) {
    nlohmann::json j;
    j["severity"] = g.gravita == Gravita::errore ? "error" : "warning";
    j["id"] = std::string(g.id);
    j["code"] = g.codice ? nlohmann::json(*g.codice) : nlohmann::json(nullptr);
    luogo(j, g.luogo);
    j["end_column"] = g.luogo.colonna_fine;
    j["message"] = utf8_da_cp1252(g.messaggio);
    j["notes"] = nlohmann::json::array();
    for (const Nota& n : g.note) {
      nlohmann::json k;
      luogo(k, n.luogo);
      k["message"] = utf8_da_cp1252(n.messaggio);
      j["notes"].push_back(std::move(k));
    }
    tutte.push_back(std::move(j));
  }
  return tutte;
}

void mostra_diagnostiche(std::ostream& err, std::span<const Diagnostica> diagnostiche, const Descrizioni& d,
                         bool conteggio) {
  const char* no_color = std::getenv("NO_COLOR");
  const bool colore = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1 && no_color == nullptr;
  stampa(err, diagnostiche, d, colore, conteggio);
}

std::string nome_su_disco(const std::string& nome) { return utf8_da_cp1252(nome); }

}  // namespace scenario
