// How the two halves of the reading meet, and the rules both readers share: reading keyword
// and value fields with their places, the minus-field skip, the deletion of a description.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/esito.h"
#include "model/modello.h"
#include "reader/campi.h"
#include "reader/parole.h"
#include "reader/reader.h"

namespace scenario {

// Values kept for the length of one reading, shared by both halves.
struct StatoLettura {
  std::int32_t slot_cartello = prima_voce_cartello;  // next entry a sign text would take; stations stop below it
};

// The line half. Its outcome: success or a range stop (code 15), after which the train half
// runs; any other code is a hard stop; a run-time failure (code 25) is left to the caller's
// handler. Every code but 25 is already in the error state when it returns.
Esito leggi_linea(Modello& m, const Descrizione& linea, StatoLettura& stato);

// The train half, with the same kinds of outcome.
Esito leggi_treno(Modello& m, const Descrizione& treno, StatoLettura& stato);

// Deletes a description the program owns. A deletion that fails is a run-time failure.
Esito cancella_descrizione(const Descrizione& d);

// The reading of one description: its fields, each with its place, and the keyword field of
// the current row. Failures carry the place of the field that could not be read; outcomes of
// a row carry the place of its keyword field.
class LetturaDescrizione {
 public:
  LetturaDescrizione(Modello& m, const Descrizione& d)
      : m_(m), d_(d), campi_(d.testo ? std::string_view(*d.testo) : std::string_view()) {}

 protected:
  // True when nothing of the file is left: the last read reached the end of the file.
  [[nodiscard]] bool finito() const { return campi_.finito(); }

  // Reads the next field as the keyword field.
  Esito leggi_chiave() {
    auto c = campi_.testo();
    if (!c) return fallita();
    chiave_ = std::move(*c);
    return Esito::fatto();
  }

  // The minus-field skip: while the keyword field holds "-", up to `volte` times, the next
  // field takes its place. With `ferma_a_fine`, a read that reaches the end of the file stops
  // the skip and sets `fine`.
  Esito salta_campi_meno(int volte, bool ferma_a_fine, bool& fine) {
    for (int i = 0; i < volte && contiene_esatto(chiave_.testo, "-"); ++i) {
      if (Esito e = leggi_chiave(); !e.ok()) return e;
      if (ferma_a_fine && finito()) {
        fine = true;
        break;
      }
    }
    return Esito::fatto();
  }

  // Reads the value fields in order, each straight into its place; stops at the first that
  // cannot be read, keeping what was read before it.
  template <typename... T>
  Esito valori(T&... v) {
    Esito e = Esito::fatto();
    [[maybe_unused]] const bool tutti = ((e = valore(v)).ok() && ...);
    return e;
  }

  // The place of the current keyword field, and of the field last read.
  [[nodiscard]] Luogo luogo_chiave() const {
    return {d_.nome, chiave_.linea, chiave_.colonna, chiave_.colonna_fine};
  }
  [[nodiscard]] Luogo luogo_campo() const {
    return {d_.nome, campi_.linea(), campi_.colonna(), campi_.colonna_fine()};
  }
  [[nodiscard]] Luogo luogo_file() const { return {d_.nome, 0, 0, 0}; }

  // An outcome of the current row, at its keyword field.
  Esito della_riga(Esito e) const { return std::move(e.in(luogo_chiave())); }

  Modello& m_;
  const Descrizione& d_;
  LettoreCampi campi_;
  Campo chiave_;

 private:
  Esito fallita() const { return std::move(Esito::guasto(campi_.perche()).in(luogo_campo())); }
  template <typename T>
  Esito numero(const std::optional<T>& letto, T& v) const {
    if (!letto) return fallita();
    v = *letto;
    return Esito::fatto();
  }
  Esito valore(std::int32_t& v) { return numero(campi_.numero_32(), v); }
  Esito valore(std::int16_t& v) { return numero(campi_.numero_16(), v); }
  Esito valore(std::uint8_t& v) { return numero(campi_.numero_8(), v); }
  Esito valore(std::string& v) {
    auto c = campi_.testo();
    if (!c) return fallita();
    v = std::move(c->testo);
    return Esito::fatto();
  }
};

}  // namespace scenario
