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

// What a search of several new PODs reports as it goes: the best value found so far (when
// there is one), the bound it has proven on the optimum (below it for Minimize Travel and
// Minimize Maximum Distance, above it for Maximum Number Served), their relative gap and the
// time spent.
struct SetProgress {
    int pods = 0; // the number of new PODs being searched
    bool haveBest = false;
    double best = 0;
    double bound = 0;
    double gap = 1;
    double seconds = 0;
};

// What a running search tells its caller and how it is stopped.
struct SearchControl {
    // Called once per candidate (one POD) or per first cell (two PODs), on the searching thread.
    std::function<void(int done, int total)> progress;
    // Checked between candidates; set it to abandon the search.
    const std::atomic<bool>* cancel = nullptr;
    // Searches of three or more new PODs (and the POD-count and coverage studies): called on
    // the searching thread, at most ten times a second and once more at the end.
    std::function<void(const SetProgress&)> bounds;
    // Seconds after which a search of three or more new PODs stops with the best set found;
    // 0 for no limit. The searches of one or two PODs always run to the end.
    double timeLimit = 0;

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
// - Several PODs (any count p, the general method that runs from three on): a set of p new
//   PODs is written as its slots n+1..n+p in cell order, a cell possibly repeated (two PODs on
//   one cell act as one, as in the pair search); its value is computed exactly as the one- and
//   two-POD searches compute theirs (the served population as one sum in cell order over the
//   cells any new POD serves). Of sets of exactly equal value, the one whose slots come first
//   lexicographically in cell order wins: for p = 1 and p = 2 that is the location and pair
//   the scans above keep. So a set that repeats its first cell comes before one that puts that
//   POD on a later cell: when fewer PODs reach the best value, the first cell of the map takes
//   the spare ones. What the searches of several PODs report as they go, how they stop at a
//   time limit, and what they prove is in setsearch.h.
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
// would not fit the 31 slots, runs the one- or two-POD search (or, for three or more new PODs,
// SetSearch) and clears the flag when the search fails or is cancelled. Proven, Bound, Gap and
// NewPodsLine / NewPodsColumn are written for every count.
SearchOutcome RunSearch(ModuleState& state, const SearchControl& control = {});

// The POD-count screen's boxes for several new PODs: the count, a whole number from 3 to 31
// (the search itself checks the problem's free slots), and the time limit in seconds, above 0,
// an empty box meaning none. A refusal is the message to show.
Result<int> ReadSeveralPodCount(std::string_view text);
Result<double> ReadSearchTimeLimit(std::string_view text);

// "Calculating->12.500%"
std::string ProgressText(int done, int total);

// The near-optimal step: reads the bound as an input box does, marks "%" on the numbered map
// and builds the near-optimal map. A bound outside 0..1 is refused with a message and nothing
// changes.
Status MarkNearOptimal(PopMap& fl, std::string_view boundText);

} // namespace davrenta
