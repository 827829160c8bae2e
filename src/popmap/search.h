#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "popmap/model.h"
#include "state/result.h"
#include "state/shellstate.h"

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
    std::string message; // the message box text of a failure
};

// Distance from cell (i, j) to a POD at (line, column) under a distance method; any value
// other than Euclidean or squared Euclidean is rectilinear.
double PodDistance(Metric method, int dl, int dc);

// The contract every search keeps, plain or fast:
// - Slots: a problem holds at most 31 PODs. A search of m new PODs refuses, before touching the
//   state, a problem whose ExistingPodCount is outside 0..30 or leaves fewer than m free slots
//   (CheckPodSlots); it writes its candidates into slots n+1 (and n+2) and leaves the last one
//   tried there, so slots past ExistingPodCount are never existing PODs.
// - Ties: the comparisons are strict, so of equally good locations the first in cell order
//   (line by line, column by column) stays; of equally good pairs the first in the scan over
//   all ordered pairs (first cell, then second cell, both in cell order). Under "Maximum
//   Number Served" a pair's value is one sum, in cell order, over the cells either new POD
//   serves, so both orders of a pair have the same value and the earlier one stays.
// - Progress: called on the searching thread (for the fast searches possibly a worker, never
//   two at once), once per candidate (one POD) or per first cell (two PODs), done = 1, 2, ...
//   in order. Cancellation is checked between candidates; a cancelled search is not a failure.

// A problem's room for newPods more PODs; the refusal says why.
Status CheckPodSlots(const PopMap& fl, int newPods);

// The starting best of every search: progress at 0 of the cell count, the worst values, and the
// input map as the best map, so that a search in which nothing wins shows no earlier problem.
void StartBest(PopMap& fl);

// The comparison of one candidate (or pair) with the best so far under the performance
// measure; on a strict improvement it takes the candidate's figures and returns true.
bool TakeIfBetter(PopMap& fl, double travel, double maxDistance, double served);

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
