#pragma once

// The two-POD pair search's driver: the seed rows, then every first cell in parallel, each
// row handed to the measure's own file (pairtravel, pairserved, pairmaxdistance).

#include "popmap/fastgrid.h"
#include "popmap/fastreach.h"
#include "popmap/fastsearch.h"
#include "popmap/threadpool.h"

namespace davrenta::fastsearch_detail {

struct PairOutcome {
    bool completed = false;      // false when the run was cancelled
    int first = -1, second = -1; // candidates of the winning pair; -1 when no pair wins
};

// The winner of the two-POD search under one of the three measures: the pair that the reference's
// scan over all ordered pairs keeps, that is the best value with ties going to the earliest
// pair in that scan. Progress is reported once per first cell.
PairOutcome SearchPairs(const Grid& g, const Cap& prior, Measure measure, Pool& pool,
                        FastSearchStats* stats);

} // namespace davrenta::fastsearch_detail
