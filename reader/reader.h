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
#include "reader/righe.h"

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

// Reads both descriptions into the model: the line half, then (unless the line half ended
// with a hard stop) the train half. Each code goes into the error state as it is found; a
// run-time failure in either half ends the reading with code 25 and deletes both
// descriptions that are to be deleted. Returns the outcome last set into the error state,
// with its place in the descriptions (success when none was set).
//
// With an observer the reading is a check (reader/righe.h): every code is reported to it as
// it is found and the reading goes on; nothing is deleted.
Esito memorizza_dati(Modello& m, const Descrizioni& d, Osservatore* osservatore = nullptr);

}  // namespace scenario
