#pragma once

// The reach computation: against a ceiling on every area cell's distance, which map lines a
// POD at each candidate can bring below it, and what the ceiling alone gives, so that an
// evaluation walks only the cells a new POD can change.

#include <vector>

#include "popmap/fastgrid.h"

namespace davrenta::fastsearch_detail {

// A ceiling on every area cell's distance (the nearest existing POD, or a stand-in used only
// for bounds) with what an evaluation against the ceiling alone gives: the terms pop * value,
// their running sums and maxima, and for each candidate line the range of area cells that a
// POD on that line can bring strictly below the ceiling. Outside that range a new POD changes
// no term, so a sum can start from the running sum and a maximum from the prefix and suffix
// maxima.
struct Cap {
    std::vector<double> value, term;
    std::vector<double> prefixSum; // K + 1 entries, the reference's running total
    std::vector<double> prefixMax; // K + 1 entries, starting from 0
    std::vector<double> suffixMax; // K + 1 entries, ending with 0
    double max = 0;
    // Per candidate: the area cells [begin, end) of the lines on which a POD there can come
    // strictly below the ceiling of some cell; empty ranges are (K, K).
    std::vector<int> reachBegin, reachEnd;
};

// In two steps, as the grid: the reach needs the ceiling only (so it may be built while the
// preparation runs), the terms the populations.
Cap MakeReach(const Grid& g, std::vector<double> value);
void AddTerms(Cap& cap, const Grid& g);
Cap MakeCap(const Grid& g, std::vector<double> value);

class Pool;

// PrepareSearch on the calling thread and, meanwhile on a helper, the part of the grid that
// does not depend on it; then the populations and the existing PODs' ceiling. g.prepared says
// whether the preparation succeeded, g.failure why not.
void PrepareGrid(ModuleState& state, Pool& pool, Grid& g, Cap& prior);

} // namespace davrenta::fastsearch_detail
