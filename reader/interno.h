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
#include "reader/righe.h"

namespace scenario {

// Values kept for the length of one reading, shared by both halves.
struct StatoLettura {
  std::int32_t slot_cartello = prima_voce_cartello;  // next entry a sign text would take; stations stop below it
};

// The line half. Its outcome: success or a range stop (code 15), after which the train half
// runs; any other code is a hard stop; a run-time failure (code 25) is left to the caller's
// handler. Every code but 25 is already in the error state when it returns.
Esito leggi_linea(Modello& m, const Descrizione& linea, StatoLettura& stato, Osservatore* osservatore = nullptr);

// The train half, with the same kinds of outcome.
Esito leggi_treno(Modello& m, const Descrizione& treno, StatoLettura& stato, Osservatore* osservatore = nullptr);

// Deletes a description the program owns. A deletion that fails is a run-time failure.
Esito cancella_descrizione(const Descrizione& d);

// The reading of one description: its fields, each with its place, and the keyword field of
// the current row. Failures carry the place of the field that could not be read; outcomes of
// a row carry the place of its keyword field. With an observer the reading is a check, and
// every field read is reported to it.
class LetturaDescrizione {
 public:
  LetturaDescrizione(Modello& m, const Descrizione& d, Osservatore* osservatore)
      : m_(m), d_(d), oss_(osservatore), campi_(d.testo ? std::string_view(*d.testo) : std::string_view()) {}

 protected:
  // True when nothing of the file is left: the last read reached the end of the file.
  [[nodiscard]] bool finito() const { return campi_.finito(); }
  [[nodiscard]] bool controllo() const { return oss_ != nullptr; }

  // Reads the next field as the keyword field.
  Esito leggi_chiave() {
    auto c = campi_.testo();
    if (!c) return fallita();
    chiave_ = std::move(*c);
    chiave_letta_ = letto();
    return Esito::fatto();
  }

  // Reads the next keyword field: a field, and while it holds "-" (at most `volte` times) the
  // field after it. `fine` is set when a read reached the end of the file: that field is not
  // looked at. Inside the line's general block only the first read is tested for the end
  // (`fine_nel_salto` false); elsewhere every read is.
  Esito campo_chiave(int volte, bool fine_nel_salto, bool& fine) {
    if (Esito e = leggi_chiave(); !e.ok()) return e;
    if (finito()) return alla_fine(fine);
    for (int i = 0; i < volte && contiene_esatto(chiave_.testo, "-"); ++i) {
      if (oss_) oss_->chiave(chiave_letta_, true, true);
      if (Esito e = leggi_chiave(); !e.ok()) return e;
      if (fine_nel_salto && finito()) return alla_fine(fine);
    }
    if (oss_) oss_->chiave(chiave_letta_, false, true);
    return Esito::fatto();
  }

  // Fields passed over up to the first that holds "[generale]": false when the file ends first.
  Esito cerca_generale(bool& trovato) {
    trovato = false;
    while (!finito()) {
      if (Esito e = leggi_chiave(); !e.ok()) return e;
      if (oss_) oss_->prima_del_generale(chiave_letta_);
      if (contiene(chiave_.testo, "[generale]")) {
        trovato = true;
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

  // Runs the row `r` of the current keyword field through `gestore`.
  template <typename F>
  Esito riga(const DescrizioneRiga& r, F&& gestore) {
    if (oss_) oss_->riga(r);
    return gestore();
  }

  // In a check, an outcome is reported and the reading goes on with the next line (what is
  // left of a row it stopped in the middle of is no row): true. Otherwise false: the caller
  // stops.
  bool prosegue(const Esito& e) {
    if (!oss_) return false;
    oss_->esito(e);
    campi_.salta_riga();
    return true;
  }

  [[nodiscard]] const CampoLetto& chiave_letta() const { return chiave_letta_; }

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
  Osservatore* oss_;
  LettoreCampi campi_;
  Campo chiave_;

 private:
  [[nodiscard]] CampoLetto letto() const {
    return {campi_.grezzo(), campi_.linea(), campi_.colonna(), campi_.colonna_fine()};
  }
  Esito alla_fine(bool& fine) {
    if (oss_) oss_->chiave(chiave_letta_, false, false);
    fine = true;
    return Esito::fatto();
  }
  Esito fallita() const { return std::move(Esito::guasto(campi_.perche()).in(luogo_campo())); }
  template <typename T>
  Esito numero(const std::optional<T>& letto_, T& v) {
    if (oss_) oss_->valore(letto(), letto_ ? std::optional<std::int64_t>(*letto_) : std::nullopt);
    if (!letto_) return fallita();
    v = *letto_;
    return Esito::fatto();
  }
  Esito valore(std::int32_t& v) { return numero(campi_.numero_32(), v); }
  Esito valore(std::int16_t& v) { return numero(campi_.numero_16(), v); }
  Esito valore(std::uint8_t& v) { return numero(campi_.numero_8(), v); }
  Esito valore(std::string& v) {
    auto c = campi_.testo();
    if (oss_) oss_->valore(letto(), std::nullopt);
    if (!c) return fallita();
    v = std::move(c->testo);
    return Esito::fatto();
  }

  CampoLetto chiave_letta_;
};

}  // namespace scenario
