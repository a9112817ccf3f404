#pragma once
// smwave-batch follows the dialogue through the answers to learn the waveform file's name and whether
// the run integrates or differentiates; this checks that walk against what smwave really did.
#include <optional>
#include <string>

#include "regress/outcome.hpp"
#include "regress/scenario.hpp"

namespace smwave::regress {

// How the batch's reading of `scenario`'s answers disagrees with smwave's run `outcome`, or nothing:
// a run that wrote its waveform file must have answers the batch accepts (but for a name the batch
// keeps for other files); answers the batch accepts must give the file smwave wrote and the
// integration answer smwave took, and must not stop smwave's console reads.
std::optional<std::string> batch_disagreement(const Scenario& scenario, const Outcome& outcome);

}  // namespace smwave::regress
