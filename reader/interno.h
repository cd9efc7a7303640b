// How the two halves of the reading meet inside the reader.
#pragma once

#include <cstdint>

#include "model/esito.h"
#include "model/modello.h"
#include "reader/reader.h"

namespace scenario {

// Values kept for the length of one reading, shared by both halves.
struct StatoLettura {
  std::int32_t slot_cartello = prima_voce_cartello;  // next entry a sign text would take; stations stop below it
};

// How the line half ended.
enum class FineLinea {
  continua,  // end of the file or a range stop (code 15): the train half runs
  fermata,   // a hard stop (codes 101, 102, 1, 3, 4, 5, 103, 6, 21): the train half does not run
};

// The line half. Returns Esito::guasto() on a run-time failure (the caller's handler then sets
// code 25 and deletes the descriptions); otherwise says in `fine` how it ended.
Esito leggi_linea(Modello& m, Descrizione& linea, StatoLettura& stato, FineLinea& fine);

// The train half. Returns Esito::guasto() on a run-time failure.
Esito leggi_treno(Modello& m, Descrizione& treno, StatoLettura& stato);

}  // namespace scenario
