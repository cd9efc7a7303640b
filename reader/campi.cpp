#include "reader/campi.h"

#include <limits>

namespace scenario {
namespace {

bool spazio(char c) { return c == ' ' || c == '\t'; }
bool cifra(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool LettoreCampi::a_fine_riga() const { return !finito() && (dati_[pos_] == '\r' || dati_[pos_] == '\n'); }

void LettoreCampi::avanza() { ++pos_; }

void LettoreCampi::consuma_fine_riga() {
  if (dati_[pos_] == '\r' && pos_ + 1 < dati_.size() && dati_[pos_ + 1] == '\n') ++pos_;
  ++pos_;
  ++linea_;
  inizio_linea_ = pos_;
}

void LettoreCampi::salta_spazi() {
  while (!finito() && spazio(dati_[pos_])) avanza();
}

void LettoreCampi::segna_inizio() {
  linea_campo_ = linea_;
  colonna_campo_ = static_cast<std::int32_t>(pos_ - inizio_linea_ + 1);
  colonna_fine_campo_ = colonna_campo_;
  inizio_byte_ = pos_;
  fine_byte_ = pos_;
}

void LettoreCampi::segna_fine(std::size_t fine) {
  colonna_fine_campo_ = static_cast<std::int32_t>(fine - inizio_linea_ + 1);
  fine_byte_ = fine;
}

void LettoreCampi::salta_riga() {
  if (linea_ != linea_campo_) return;
  while (!finito() && !a_fine_riga()) avanza();
  if (!finito()) consuma_fine_riga();
}

std::nullopt_t LettoreCampi::fallisce(Guasto perche) {
  guasto_ = perche;
  return std::nullopt;
}

std::optional<Campo> LettoreCampi::testo() {
  if (finito()) return fallisce(Guasto::fine_dati);
  salta_spazi();
  segna_inizio();
  Campo campo{{}, linea_campo_, colonna_campo_, colonna_campo_};
  if (!finito() && dati_[pos_] == '"') {
    avanza();
    const std::size_t inizio = pos_;
    while (!finito() && dati_[pos_] != '"' && !a_fine_riga()) avanza();
    campo.testo.assign(dati_.substr(inizio, pos_ - inizio));
    if (!finito() && dati_[pos_] == '"') avanza();
    segna_fine(pos_);
    while (!finito() && dati_[pos_] != ',' && !a_fine_riga()) avanza();
  } else {
    const std::size_t inizio = pos_;
    while (!finito() && dati_[pos_] != ',' && !a_fine_riga()) avanza();
    std::size_t fine = pos_;
    while (fine > inizio && spazio(dati_[fine - 1])) --fine;
    campo.testo.assign(dati_.substr(inizio, fine - inizio));
    segna_fine(fine);
  }
  campo.colonna_fine = colonna_fine_campo_;
  if (a_fine_riga()) {
    consuma_fine_riga();
  } else if (!finito()) {
    avanza();  // the comma
  }
  return campo;
}

std::optional<std::int64_t> LettoreCampi::numero(std::int64_t minimo, std::int64_t massimo) {
  if (finito()) return fallisce(Guasto::fine_dati);
  salta_spazi();
  segna_inizio();
  if (finito()) return 0;
  if (dati_[pos_] == ',') {
    avanza();
    return 0;
  }
  if (a_fine_riga()) {
    consuma_fine_riga();
    return 0;
  }
  bool negativo = false;
  if (dati_[pos_] == '-' || dati_[pos_] == '+') {
    negativo = dati_[pos_] == '-';
    avanza();
  }
  // A field that is not a number: it spans up to the next delimiter.
  auto non_numero = [this] {
    std::size_t fine = pos_;
    while (fine < dati_.size() && dati_[fine] != ',' && !spazio(dati_[fine]) && dati_[fine] != '\r' &&
           dati_[fine] != '\n') {
      ++fine;
    }
    segna_fine(fine);
    return fallisce(Guasto::non_numero);
  };
  if (finito() || !cifra(dati_[pos_])) return non_numero();
  // Digits accumulate in 64 bits and stop growing once past any field's width.
  constexpr std::int64_t tetto = std::numeric_limits<std::int64_t>::max() / 20;
  std::int64_t valore = 0;
  while (!finito() && cifra(dati_[pos_])) {
    if (valore < tetto) valore = valore * 10 + (dati_[pos_] - '0');
    avanza();
  }
  if (!finito() && !spazio(dati_[pos_]) && dati_[pos_] != ',' && !a_fine_riga()) return non_numero();
  segna_fine(pos_);
  salta_spazi();
  if (!finito()) {
    if (dati_[pos_] == ',') {
      avanza();
    } else if (a_fine_riga()) {
      consuma_fine_riga();
    }
  }
  if (negativo) valore = -valore;
  if (valore < minimo || valore > massimo) return fallisce(Guasto::troppo_grande);
  return valore;
}

std::optional<std::int32_t> LettoreCampi::numero_32() {
  auto v = numero(std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
  if (!v) return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

std::optional<std::int16_t> LettoreCampi::numero_16() {
  auto v = numero(std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max());
  if (!v) return std::nullopt;
  return static_cast<std::int16_t>(*v);
}

std::optional<std::uint8_t> LettoreCampi::numero_8() {
  auto v = numero(0, 255);
  if (!v) return std::nullopt;
  return static_cast<std::uint8_t>(*v);
}

}  // namespace scenario
