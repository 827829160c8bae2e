#pragma once

// Several new PODs at once, optimal with a proof; how the optimum grows with the number of
// PODs; and how few PODs bring every cell within a distance.
//
// What the windows call, and what they get:
// - SetSearch: the search of NewPodCount new PODs by the general method (RunSearch calls it for
//   three or more; one and two keep their exhaustive searches). It writes the same tables as
//   the one- and two-POD searches (BestTravel, BestMaxDistance, BestServed, BestServedTravel,
//   PodServed, the service maps with a label per new POD, NewPodLabel) and NewPodsLine /
//   NewPodsColumn, Proven, Bound and Gap.
// - PodCountCurve: the optimum for 1..P new PODs beside the value that placing them one at a
//   time reaches.
// - FewestPodsToCover, LargestPopulationWithin: the coverage study.
// All of them run on the calling thread with helpers from a pool, report SearchControl::bounds
// from the calling thread, stop at SearchControl::timeLimit with the best found (never called
// optimal unless proven) and end at SearchControl::cancel. Their results do not depend on the
// number of threads.

#include <optional>
#include <utility>
#include <vector>

#include "popmap/search.h"

namespace davrenta {

struct SetSearchStats {
    int threads = 0;
    long long nodes = 0;  // branch-and-bound nodes (or cover searches' nodes)
    double heuristic = 0; // the value of the first set the heuristics found
    double seconds = 0;
};

struct SetSearchOptions {
    // Threads, the calling one included; 0 takes one per core.
    int threads = 0;
    SetSearchStats* stats = nullptr;
};

// The search of fl.NewPodCount new PODs (1..31 - ExistingPodCount) under the performance
// measure and distance method, the existing PODs kept.
//
// The result: the set of the best value, ties going to the set whose PODs, in slot order,
// come first in cell order (see search.h). Its figures are computed in cell order exactly as
// the one- and two-POD searches compute theirs, so they do not depend on how the set was
// found. Slots n+1..n+p of PodLine, PodColumn and PodSymbol hold the set.
//
// Done: a result, Proven true unless the time limit ended the search first (then Bound and Gap
// say how far from proven it is). Cancelled: the tables hold the best set found so far, if
// any, written whole; Proven false. Failed: the message says why.
SearchOutcome SetSearch(ModuleState& state, const SearchControl& control = {},
                        const SetSearchOptions& options = {});

using CellList = std::vector<std::pair<int, int>>; // (line, column), in cell order

// One row of the POD-count study.
struct PodCountRow {
    int pods = 0;
    double optimal = 0;  // the measure's value of the best set of this many new PODs
    bool proven = false; // false when the time limit came first
    double bound = 0;    // the proven bound on the optimum (equal to it when proven)
    CellList cells;      // the best set
    // The measure's value of the first PODs placed one at a time (the one-POD search, its
    // location added as an existing POD, then searched again); empty when the one-POD search
    // found no location before this many were placed.
    std::optional<double> oneAtATime;
};

// Rows for 1..maxPods new PODs (maxPods at most 31 - ExistingPodCount). The time limit holds
// for the whole study. Cancel gives a failure saying so.
Result<std::vector<PodCountRow>> PodCountCurve(const ModuleState& state, int maxPods,
                                               const SearchControl& control = {},
                                               const SetSearchOptions& options = {});

// Coverage: radius in the units of the chosen distance method as the searches compute them
// (BestMaxDistance's units, before the results' "(X SCALE)" factor); a cell is covered when a
// POD, existing or new, lies at a distance of at most the radius.
struct CoverAnswer {
    double radius = 0;
    int pods = 0;        // the fewest new PODs that cover every area cell
    CellList cells;      // their cells, the first such set in cell order
    bool proven = false; // false when the time limit came first: pods is then the best found
    int lowerBound = 0;  // fewer than this cannot cover (equal to pods when proven)
};
Result<CoverAnswer> FewestPodsToCover(const ModuleState& state, double radius,
                                      const SearchControl& control = {},
                                      const SetSearchOptions& options = {});

struct CoveredPopulation {
    double radius = 0;
    int pods = 0;
    double population = 0; // one sum, in cell order, over the covered area cells
    CellList cells;
    bool proven = false;
    double bound = 0; // no set of this many PODs covers more
    double gap = 0;
};
Result<CoveredPopulation> LargestPopulationWithin(const ModuleState& state, double radius, int pods,
                                                  const SearchControl& control = {},
                                                  const SetSearchOptions& options = {});

} // namespace davrenta
