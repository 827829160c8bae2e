#include "popmap/fastpairs.h"

#include <algorithm>
#include <numeric>

#include "popmap/pairrows.h"

// How the pair search stays exact.
//
// Every pair it does not discard is evaluated over the area cells in cell order with the
// reference's own operations, so its figures are the reference's doubles. The winner is the
// best value, ties going to the smallest key first * C + second, which is the pair that the
// reference's strict comparisons keep; the order in which pairs are evaluated and the number
// of threads therefore change nothing.
//
// Symmetry: a cell's minimum over {existing, a, b} is the same double in either order of a and
// b, and the cells that a or b serves are the same set, summed in the same cell order, so all
// three values of (a, b) and (b, a) are identical and only pairs with a <= b can be the first
// best.
//
// A pair is discarded only when it is provably strictly worse than a pair already evaluated;
// each measure's file gives its bound and why it holds. Any negative or non-finite population
// or total switches the two sum bounds off.

namespace davrenta::fastsearch_detail {

namespace {

// Seed rows: the best few first cells by the one-POD bound, each against the others.
constexpr int kSeedCount = 16;

std::unique_ptr<PairRows> MakeRows(const Grid& g, const Cap& prior, Measure measure, Pool& pool) {
    switch (measure) {
    case Measure::MinimizeTravel:
        return MakeTravelRows(g, prior, pool);
    case Measure::MaximumServed:
        return MakeServedRows(g, prior, pool);
    case Measure::MinimizeMaxDistance:
        return MakeMaxDistanceRows(g, prior, pool);
    default:
        return nullptr;
    }
}

} // namespace

PairRows::PairRows(const Grid& g, const Cap& prior, Pool& pool, bool minimize)
    : g_(g), prior_(prior), pool_(pool), best_(minimize), minimize_(minimize) {}

bool PairRows::Prepare() {
    const int C = g_.C;
    SingleResults single(C);
    if (!SinglePass(prior_, single))
        return false;
    rank_.resize(C);
    std::iota(rank_.begin(), rank_.end(), 0);
    return PrepareBounds(single);
}

void PairRows::AddStats(FastSearchStats& stats) const {
    stats.pairsEvaluated = evaluated_.load();
    stats.pairsCutShort = cutShort_.load();
    stats.rowsSkipped = rowsSkipped_.load();
    stats.pairsBlockBounded = blockPruned_.load();
    stats.bounded = bounded_;
}

bool PairRows::NonNegativePopulations() const {
    return std::all_of(g_.pop.begin(), g_.pop.end(), [](double p) { return p >= 0; });
}

bool PairRows::SinglePass(const Cap& cap, SingleResults& out) {
    return pool_.Run(g_.lastLine, nullptr, false, 0, [&](int item, int) {
        const int line = item + 1;
        EvaluateCandidates(g_, cap, g_.candLineStart[line], g_.candLineStart[line + 1], out);
    });
}

PairOutcome SearchPairs(const Grid& g, const Cap& prior, Measure measure, Pool& pool,
                        FastSearchStats* stats) {
    PairOutcome outcome;
    const std::unique_ptr<PairRows> rows = MakeRows(g, prior, measure, pool);
    if (!rows || !rows->Prepare())
        return outcome;
    const int C = g.C;
    const std::vector<int>& rank = rows->Rank();
    SharedBest& best = rows->BestSoFar();

    // A few likely pairs first, so that the bounds bite from the first row on.
    std::vector<int> top(rank.begin(), rank.begin() + std::min(C, kSeedCount));
    for (int a : top)
        rows->Row(a, top, false, 0);
    for (int round = 0; round < 2 && !pool.Stopping(); ++round) {
        const Best b = best.Snapshot();
        if (b.key == kNoKey)
            break;
        rows->Row(static_cast<int>(b.key / C), rank, false, 0);
        rows->Row(static_cast<int>(b.key % C), rank, false, 0);
    }
    if (pool.Stopping())
        return outcome;

    outcome.completed =
        pool.Run(C, nullptr, true, C, [&](int a, int worker) { rows->Row(a, rank, true, worker); });
    if (stats)
        rows->AddStats(*stats);
    if (!outcome.completed)
        return outcome;
    const Best b = best.Snapshot();
    if (b.key != kNoKey && rows->Wins(b.value)) {
        outcome.first = static_cast<int>(b.key / C);
        outcome.second = static_cast<int>(b.key % C);
    }
    return outcome;
}

} // namespace davrenta::fastsearch_detail
