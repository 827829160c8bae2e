#include "popmap/fastsearch.h"

namespace davrenta {

SearchOutcome OnePodSearch(ModuleState& state, const SearchControl& control) {
    return PlainOnePodSearch(state, control);
}

SearchOutcome TwoPodSearch(ModuleState& state, const SearchControl& control) {
    return PlainTwoPodSearch(state, control);
}

} // namespace davrenta
