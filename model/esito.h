// The outcome of every step that reads or stores: success, or what went wrong (the error
// code), where on the line (the metre position that goes with the code) and where in a
// description (file, line, column). The route model's numeric error state is set from an
// outcome by `registra`; the words for it are written once, above the model.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/errori.h"

namespace scenario {

// Where in a description something stands.
struct Luogo {
  std::string file;                // empty: no place in a file
  std::int32_t linea = 0;          // 1-based; 0: the file as a whole
  std::int32_t colonna = 0;        // 1-based, in characters
  std::int32_t colonna_fine = 0;   // one past the field's last column; 0 when unknown

  [[nodiscard]] bool vuoto() const { return file.empty(); }
};

// Why the reading met a run-time failure (code 25).
enum class Guasto : std::uint8_t {
  nessuno,
  non_numero,        // a value field that is not a whole number
  troppo_grande,     // a number too large for its field
  fine_dati,         // the file ends inside a row
  fuori_modello,     // a row reaches outside the route cells, the plan or the entry table
  file_illeggibile,  // a description that cannot be opened or read
  non_cancellato,    // a description the program owns that could not be deleted
  memoria,           // the library ran out of memory
};

class [[nodiscard]] Esito {
 public:
  // Success.
  static Esito fatto() { return Esito(); }
  // A code, with the metre position that goes with it where the code has one.
  static Esito errore(std::int32_t codice, std::optional<std::int32_t> posizione = std::nullopt) {
    Esito e;
    e.codice_ = codice;
    e.posizione_ = posizione;
    return e;
  }
  // A run-time failure: code 25, the position left as it was.
  static Esito guasto(Guasto perche) {
    Esito e;
    e.codice_ = codice::guasto;
    e.guasto_ = perche;
    return e;
  }

  [[nodiscard]] bool ok() const { return codice_ == 0; }
  [[nodiscard]] bool e_guasto() const { return codice_ == codice::guasto; }
  // A range stop: the reading of the current file ends, what follows it still runs.
  [[nodiscard]] bool fuori_percorso() const { return codice_ == codice::fuori_percorso; }

  [[nodiscard]] std::int32_t codice() const { return codice_; }
  [[nodiscard]] const std::optional<std::int32_t>& posizione() const { return posizione_; }
  [[nodiscard]] Guasto perche() const { return guasto_; }
  [[nodiscard]] const Luogo& luogo() const { return luogo_; }

  // The place, unless one is already set: the innermost step that knows it wins.
  Esito& in(Luogo l) {
    if (luogo_.vuoto()) luogo_ = std::move(l);
    return *this;
  }

 private:
  Esito() = default;
  std::int32_t codice_ = 0;
  std::optional<std::int32_t> posizione_;
  Guasto guasto_ = Guasto::nessuno;
  Luogo luogo_;
};

}  // namespace scenario
