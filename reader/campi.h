// The field reader: the stream of fields that both descriptions are made of. A field ends at a
// comma or a line end; text and number fields follow the rules below. Every field carries the
// line and column where it starts, so an error can be shown at its place in the file.
//
//  - Blanks are space and tab; a line end is CR LF, a lone CR or a lone LF.
//  - Text: leading blanks skipped, runs to the next comma or line end, trailing blanks
//    removed, delimiter consumed. A text starting with a double quote runs to the next quote
//    or the line end; the quoted text is kept exactly; anything after the closing quote up to
//    the next comma or line end is dropped and that delimiter consumed.
//  - Number: leading blanks skipped; a comma, line end or end of data right there reads 0 (the
//    delimiter is consumed). Otherwise an optional sign and digits, then blanks are skipped
//    and a comma or line end found directly there is consumed. Anything else right after the
//    digits, a sign without digits, or a value too wide for its field is a failure.
//  - Reading any field when nothing of the data is left is a failure.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/esito.h"

namespace scenario {

struct Campo {
  std::string testo;
  std::int32_t linea = 0;         // 1-based
  std::int32_t colonna = 0;       // 1-based, in bytes (one byte is one Windows-1252 character)
  std::int32_t colonna_fine = 0;  // one past the field's last byte
};

class LettoreCampi {
 public:
  explicit LettoreCampi(std::string_view dati) : dati_(dati) {}

  // True when nothing of the data is left: the last read "reached the end of the file".
  [[nodiscard]] bool finito() const { return pos_ >= dati_.size(); }

  // Each read returns nothing on a failure (the reading then ends with code 25); `perche`
  // then says why.
  [[nodiscard]] std::optional<Campo> testo();
  [[nodiscard]] std::optional<std::int32_t> numero_32();
  [[nodiscard]] std::optional<std::int16_t> numero_16();
  [[nodiscard]] std::optional<std::uint8_t> numero_8();

  // Where the field last read (or tried) stands: its line, first column and the column after
  // its last byte. A number that failed spans up to the next comma, blank or line end.
  [[nodiscard]] std::int32_t linea() const { return linea_campo_; }
  [[nodiscard]] std::int32_t colonna() const { return colonna_campo_; }
  [[nodiscard]] std::int32_t colonna_fine() const { return colonna_fine_campo_; }
  [[nodiscard]] Guasto perche() const { return guasto_; }
  // The bytes of that field as they stand in the file (a quoted text with its quotes).
  [[nodiscard]] std::string_view grezzo() const { return dati_.substr(inizio_byte_, fine_byte_ - inizio_byte_); }

  // Passes over the rest of the line of the field last read, its line end included, unless
  // the reading has already left that line (the checks go on reading after a row they could
  // not read, with the next line).
  void salta_riga();

 private:
  [[nodiscard]] std::optional<std::int64_t> numero(std::int64_t minimo, std::int64_t massimo);
  void salta_spazi();
  bool a_fine_riga() const;
  void consuma_fine_riga();
  void avanza();
  void segna_inizio();
  void segna_fine(std::size_t fine);
  [[nodiscard]] std::nullopt_t fallisce(Guasto perche);

  std::string_view dati_;
  std::size_t pos_ = 0;
  std::int32_t linea_ = 1;
  std::size_t inizio_linea_ = 0;
  std::int32_t linea_campo_ = 0;
  std::int32_t colonna_campo_ = 0;
  std::int32_t colonna_fine_campo_ = 0;
  std::size_t inizio_byte_ = 0;
  std::size_t fine_byte_ = 0;
  Guasto guasto_ = Guasto::nessuno;
};

}  // namespace scenario
