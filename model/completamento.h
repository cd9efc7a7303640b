// The completion pass: one forward pass over cells 1 .. ultima_cella - 2 that adds speed-cap
// points (cell kind 12, value 180) before signals behind a slowdown warning board (rule A),
// ahead of a slowdown (rule B), inside a slow slowdown (rule C) and before a signal shortly
// after a slowdown (rule D), with fixed fall-back cells when the preferred one is taken.
#pragma once

#include <vector>

#include "model/esito.h"
#include "model/modello.h"

namespace scenario {

// Runs the pass. Each case that finds no free cell sets the error state (11, 12 or 13 with
// its position, replacing any earlier code) and the pass goes on; the outcomes are returned
// in the order they were set. A model without cells is left as it is.
std::vector<Esito> completa_celle(Modello& m);

}  // namespace scenario
