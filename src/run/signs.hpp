#pragma once
// The sign questions: each component may be reversed before it is transformed.
#include "run/state.hpp"

namespace smwave {

// Asks " Change +/-? (YES=1)?? :" and, on 1, one question per component; negates each chosen
// component (samples 1..nt, at most the stored ones) right after its answer.
void ask_signs(RunState& run);

}  // namespace smwave
