#pragma once

// The measures' parts of the search for several new PODs: each measure's bound for the branch
// and bound, and the heuristics that find the first good sets.

#include <memory>

#include "popmap/setproblem.h"

namespace davrenta::fastsearch_detail {

// Minimize Travel.
std::unique_ptr<SetBounder> MakeTravelBounder(const SetProblem& sp, int p, Pool& pool);
// PODs added one at a time, each where it saves the most travel.
Support GreedyTravel(const SetProblem& sp, int p);
// Exchanges of one POD for another cell while one saves travel.
Support InterchangeTravel(const SetProblem& sp, int p, Support s, const SetClock& clock,
                          Pool& pool);
// The exchanges, then a few kicks (PODs moved at random, exchanges again) kept when better.
Support SearchNearTravel(const SetProblem& sp, int p, Support s, const SetClock& clock, Pool& pool,
                         int kicks);

// The population a set covers: under Maximum Number Served the cells a new POD is strictly
// nearer to than every existing POD; for the coverage study the cells with a POD, existing or
// new, within the radius.
bool Covers(const SetProblem& sp, int j, int k);
bool PreCovered(const SetProblem& sp, int k);

// Maximum covered population; keys are the population negated.
std::unique_ptr<SetBounder> MakeCoverBounder(const SetProblem& sp, int p, Pool& pool);
Support GreedyCover(const SetProblem& sp, int p);
Support InterchangeCover(const SetProblem& sp, int p, Support s, const SetClock& clock);

// Under a population goal: when p PODs can cover every cell of positive population that some
// POD can cover, no set covers more, and the first set in slot order that covers them all is
// the answer (Yes, best replaced by it). No when that does not settle it (some cell cannot be
// covered with the others, or populations too small or negative for the shortcut to be exact).
enum class CoverSettles { Yes, No, Stopped };
// Populations below this share of the total make the shortcut inexact.
inline constexpr double kSignificant = 1e-11;
CoverSettles SettleByCover(const SetProblem& sp, int p, Incumbent& best, SetClock& clock);

// Minimize Maximum Distance: the smallest radius that p PODs cover, proved by covers, then
// the first set in slot order that reaches it. heuristic receives the first value found.
SetSearchOutcome SearchMaxDistance(const SetProblem& sp, int p, Incumbent& best, SetClock& clock,
                                   double* heuristic);

// The fewest candidates that bring every area cell within radius of a POD (existing ones
// count), at most limit of them, and the first such set in cell order.
struct CoverCount {
    bool found = false;  // a cover of at most limit candidates exists (or was found)
    bool proven = false; // the count is the fewest, and the set the first
    int pods = 0;
    int lower = 0; // fewer than this cannot cover
    Support set;
};
CoverCount FewestCovering(const SetProblem& sp, double radius, int limit, SetClock& clock);

// The whole search of p PODs for a goal: heuristics, then the proof.
struct SetAnswer {
    Incumbent best;
    SetSearchOutcome outcome;
    double heuristic = 0; // key of the heuristics' set
};
SetAnswer SolveSets(const SetProblem& sp, int p, Pool& pool, SetClock& clock);

} // namespace davrenta::fastsearch_detail
