// The rows of the two descriptions as the readers know them: how each is recognised, its
// name in words and its value fields. And the observer that follows a reading field by
// field: the checks use both to say what the reader did with every field, without a second
// reader of their own.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "model/esito.h"
#include "reader/parole.h"

namespace scenario {

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

// How a value field is read.
enum class Larghezza : std::uint8_t { n32, n16, n8, testo };

// One value field of a row. Values from `minimo` to `massimo` are stored as given; beyond
// them what is stored wraps, mixes with another field or is cut.
struct CampoRiga {
  std::string_view nome;   // "position", "gradient"
  std::string_view unita;  // "m", "km/h", "per mille"; empty: none
  Larghezza larghezza;
  std::int64_t minimo;
  std::int64_t massimo;
};

// Where a reader stands: in the general block of the line description, among the line's
// feature rows, or among the rows of the train description.
enum class Sezione : std::uint8_t { generale, linea, treno };

// One row kind: its keyword test, its name in words, its value fields in order. A
// positioned row's first value is its position along the line, in metres.
struct DescrizioneRiga {
  Chiave chiave;
  std::string_view nome;  // "gradient row"
  std::span<const CampoRiga> campi;
  bool posizionale;
  Sezione sezione;
};

// The rows each reader knows, in the order it tests them.
[[nodiscard]] std::span<const DescrizioneRiga> tipi_riga_generale();
[[nodiscard]] std::span<const DescrizioneRiga> tipi_riga_linea();
[[nodiscard]] std::span<const DescrizioneRiga> tipi_riga_treno();

// A field as it stands in the file.
struct CampoLetto {
  std::string_view testo;    // its bytes (a quoted text with its quotes)
  std::int32_t linea = 0;    // 1-based
  std::int32_t colonna = 0;  // 1-based
  std::int32_t colonna_fine = 0;
};

// Follows a reading. A reading with an observer is a check: it never stops at a code but
// reports it and goes on with the next row (after a field it could not read, with the next
// line), so that every problem is found at once; it deletes nothing.
class Osservatore {
 public:
  virtual ~Osservatore() = default;
  // A description starts (`treno`: the train description), and the section the reader is in.
  virtual void inizio(std::string_view file, bool treno) = 0;
  virtual void sezione(Sezione s) = 0;
  // A field passed over before the field holding "[generale]", and that field itself.
  virtual void prima_del_generale(const CampoLetto& c) = 0;
  // A field read where a keyword field stands: `scartato` when it holds "-" and the next
  // field takes its place; `guardato` false for the file's last field, which is never used.
  virtual void chiave(const CampoLetto& c, bool scartato, bool guardato) = 0;
  // The current keyword field is taken as row `r`; then its value fields, each with the
  // number read (nothing for a text or a field that could not be read).
  virtual void riga(const DescrizioneRiga& r) = 0;
  virtual void valore(const CampoLetto& c, std::optional<std::int64_t> numero) = 0;
  // An outcome: a code (with its place) the compile step would set, found here.
  virtual void esito(const Esito& e) = 0;
};

}  // namespace scenario
