#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "popmap/model.h"
#include "state/result.h"

namespace davrenta {

struct ModuleState;

// What a running search tells its caller and how it is stopped.
struct SearchControl {
    // Called once per candidate (one POD) or per first cell (two PODs), on the searching thread.
    std::function<void(int done, int total)> progress;
    // Checked between candidates; set it to abandon the search.
    const std::atomic<bool>* cancel = nullptr;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

enum class SearchStatus { Done, Failed, Cancelled };

struct SearchOutcome {
    SearchStatus status = SearchStatus::Done;
    std::string message;  // the message box text of a failure
};

// Distance from cell (i, j) to a POD at (line, column) under a distance method; any method
// other than 2 or 3 is rectilinear.
double PodDistance(int method, int dl, int dc);

// Steps shared by every search: the numbered map, the cell counts and populations, the prior
// evaluation of the existing PODs and its results. Returns the failure message when the
// search cannot go on (a symbol missing from the map, no population).
Status PrepareSearch(ModuleState& state);

// After the best location is known: served populations and the "x"/"X" marks.
void FinishSearch(PopMap& fl, int newPods);

// The exhaustive searches, kept as the reference the fast searches must match exactly.
SearchOutcome PlainOnePodSearch(ModuleState& state, const SearchControl& control = {});
SearchOutcome PlainTwoPodSearch(ModuleState& state, const SearchControl& control = {});

// What the map screen's OK runs: sets the search result flag, refuses a problem whose PODs
// would not fit the 31 slots, runs the one- or two-POD search and clears the flag when the
// search fails or is cancelled.
SearchOutcome RunSearch(ModuleState& state, const SearchControl& control = {});

// "Calculating->12.500%"
std::string ProgressText(int done, int total);

// The near-optimal step: reads the bound as an input box does, marks "%" on the numbered map
// and builds the near-optimal map. A bound outside 0..1 is refused with a message and nothing
// changes.
Status MarkNearOptimal(PopMap& fl, std::string_view boundText);

} // namespace davrenta
