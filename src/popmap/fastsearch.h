#pragma once

#include <cstdint>

#include "popmap/search.h"

namespace davrenta {

// Counts that show how much work the bounds saved; for benchmarks and tests.
struct FastSearchStats {
    int threads = 0;
    std::int64_t pairsEvaluated = 0;    // pair evaluations carried to the end (two new PODs)
    std::int64_t pairsCutShort = 0;     // evaluations stopped once the partial sum lost
    std::int64_t rowsSkipped = 0;       // first cells whose every pair the bound excluded
    std::int64_t pairsBlockBounded = 0; // pairs excluded by the served bound block by block
    bool bounded = false;               // false when the inputs allowed no pruning at all
};

struct FastSearchOptions {
    // Threads, the calling one included; 0 takes one per core. The results do not depend on it.
    int threads = 0;
    // Wider vector instructions where the processor has them; the results are the same
    // either way (tests switch them off to cover the portable code).
    bool wideVectors = true;
    FastSearchStats* stats = nullptr;
};

// The searches the program runs. Every table they write equals the exhaustive reference's,
// bit for bit; only the work differs. The progress callback may be called from a worker
// thread, but never from two threads at once, and always with done = 1, 2, ... in order.
SearchOutcome OnePodSearch(ModuleState& state, const SearchControl& control = {});
SearchOutcome TwoPodSearch(ModuleState& state, const SearchControl& control = {});
SearchOutcome OnePodSearch(ModuleState& state, const SearchControl& control,
                           const FastSearchOptions& options);
SearchOutcome TwoPodSearch(ModuleState& state, const SearchControl& control,
                           const FastSearchOptions& options);

} // namespace davrenta
