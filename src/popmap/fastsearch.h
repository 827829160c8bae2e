#pragma once

#include "popmap/search.h"

namespace davrenta {

// The searches the program runs. Every table they write equals the exhaustive reference's.
SearchOutcome OnePodSearch(ModuleState& state, const SearchControl& control = {});
SearchOutcome TwoPodSearch(ModuleState& state, const SearchControl& control = {});

} // namespace davrenta
