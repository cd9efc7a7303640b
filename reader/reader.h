// The description reader: reads the line description and then the train description into
// the route model (`memorizza_dati`), calling the feature stores for each row.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/esito.h"
#include "model/modello.h"
#include "reader/campi.h"
#include "reader/parole.h"

namespace scenario {

// One description handed to the reader.
struct Descrizione {
  std::string nome;                      // the file name shown in messages
  std::optional<std::string> testo;      // its bytes; nothing when the file is missing or unreadable
  std::filesystem::path da_cancellare;   // deleted when the reader is done with it; empty: the caller keeps the file
  std::string illeggibile = {};          // why there are no bytes, in words
};

struct Descrizioni {
  Descrizione linea;
  Descrizione treno;
};

// The largest description read: far beyond any real line, small enough to hold in memory.
inline constexpr std::uintmax_t massimo_descrizione = std::uintmax_t{64} << 20;

// A description file from disk: its bytes (nothing when it is not a regular file, is larger
// than `massimo_descrizione` or cannot be read; `illeggibile` then says why), its path as the
// name for messages, and, when `cancella_dopo`, the path to delete once it is read.
[[nodiscard]] Descrizione leggi_descrizione(const std::filesystem::path& file, bool cancella_dopo);

// How a row is recognised from its keyword field: the field must contain `parola`, and
// `anche` when it is not empty; letter case is ignored unless `esatta`.
struct Chiave {
  constexpr Chiave(std::string_view p, std::string_view a = {}, bool e = false) : parola(p), anche(a), esatta(e) {}

  std::string_view parola;
  std::string_view anche;
  bool esatta;

  [[nodiscard]] bool riconosce(std::string_view campo) const {
    auto c = [this, campo](std::string_view p) { return esatta ? contiene_esatto(campo, p) : contiene(campo, p); };
    return c(parola) && (anche.empty() || c(anche));
  }
};

// The rows each reader knows, in the order it tests them: the general rows of the line, its
// feature rows, and the rows of the train.
[[nodiscard]] std::vector<Chiave> chiavi_generali_linea();
[[nodiscard]] std::vector<Chiave> chiavi_caratteristiche_linea();
[[nodiscard]] std::vector<Chiave> chiavi_treno();

// Reads both descriptions into the model: the line half, then (unless the line half ended
// with a hard stop) the train half. Each code goes into the error state as it is found; a
// run-time failure in either half ends the reading with code 25 and deletes both
// descriptions that are to be deleted. Returns the outcome last set into the error state,
// with its place in the descriptions (success when none was set).
Esito memorizza_dati(Modello& m, const Descrizioni& d);

}  // namespace scenario
