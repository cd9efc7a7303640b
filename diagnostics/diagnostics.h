// The checks of an author's descriptions: every problem at once, each located at its file,
// line and column and said in words, the errors that make the compile step set a code and
// the warnings about what it accepts but drops or changes without a word. A layer beside the
// compile step: it reads with the same readers (as a check, reader/righe.h) and changes
// nothing the compile step writes.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/esito.h"
#include "reader/reader.h"

namespace scenario {

enum class Gravita : std::uint8_t { errore, avviso };

// A related place: "the line ends at 30000 m, set here".
struct Nota {
  Luogo luogo;
  std::string messaggio;
};

struct Diagnostica {
  Gravita gravita = Gravita::errore;
  std::string_view id;                 // stable, kebab case: "unknown-keyword"
  std::optional<std::int32_t> codice;  // the compile step's code or numbered report, where it sets one
  Luogo luogo;                         // file, line, column, end column; line 0: the file as a whole
  std::string messaggio;               // what was found and what is expected, Windows-1252 quoted text escaped
  std::vector<Nota> note;
};

// Every diagnostic id, with its severity, the code it goes with and what it means in a line.
struct Identificativo {
  std::string_view id;
  Gravita gravita;
  std::optional<std::int32_t> codice;
  std::string_view sommario;
};
[[nodiscard]] std::span<const Identificativo> identificativi();

struct OpzioniControllo {
  std::string nome_percorso;
  std::string nome_treno;
  std::int32_t scrivi_linea = 1;  // 0: the plan is not built and curve rows are passed over
};

// Checks both descriptions. The result is in the order of the files (line description
// first), then of their lines and columns.
[[nodiscard]] std::vector<Diagnostica> controlla(const Descrizioni& d, const OpzioniControllo& o);

// How many errors and warnings.
struct Conteggio {
  int errori = 0;
  int avvisi = 0;
};
[[nodiscard]] Conteggio conta(std::span<const Diagnostica> diagnostiche);

// Prints the diagnostics as compilers do: "FILE:LINE:COL: error: message [id]", the source line
// quoted with ^~~~ under the field, "FILE:LINE:COL: note: ..." for each note, then a closing
// line "N errors, M warnings" (unless `conteggio` is false). Colour only when asked. The
// descriptions give the quoted lines.
void stampa(std::ostream& out, std::span<const Diagnostica> diagnostiche, const Descrizioni& d, bool colore,
            bool conteggio = true);

// The character a Windows-1252 byte stands for; U+FFFD for the five bytes the code page
// leaves undefined.
[[nodiscard]] char32_t carattere_cp1252(unsigned char b);

// Appends the UTF-8 bytes of a character (up to U+FFFF: all Windows-1252 holds).
void metti_utf8(std::string& s, char32_t u);

// Windows-1252 text as UTF-8, for a terminal or a JSON string; control bytes (but tab) are
// written as \xNN, the five bytes the code page leaves undefined as U+FFFD.
[[nodiscard]] std::string utf8_da_cp1252(std::string_view testo);

// UTF-8 text as Windows-1252; nothing when it is not valid UTF-8 or holds a character the
// code page cannot hold.
[[nodiscard]] std::optional<std::string> cp1252_da_utf8(std::string_view testo);

}  // namespace scenario
