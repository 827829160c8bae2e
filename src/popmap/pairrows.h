#pragma once

// What the pair search's driver and its three measures share: the best pair so far, which
// the threads share, and one measure's part of the search (its bounds and its row routine),
// with the bookkeeping every measure needs.

#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "popmap/fastgrid.h"
#include "popmap/fastkernel.h"
#include "popmap/fastreach.h"
#include "popmap/fastsearch.h"
#include "popmap/threadpool.h"

namespace davrenta::fastsearch_detail {

inline constexpr double kInf = std::numeric_limits<double>::infinity();
inline constexpr std::int64_t kNoKey = std::numeric_limits<std::int64_t>::max();
// The rounding allowance of the sum bounds, relative to the sums involved.
inline constexpr double kSlack = 1e-9;
// Second cells evaluated side by side by the sum measures.
inline constexpr int kLanes = 4;

struct Best {
    double value;
    std::int64_t key;
};

// The best pair so far, shared by the threads. Its value only improves, so a stale read is a
// weaker but still valid bound.
class SharedBest {
  public:
    explicit SharedBest(bool minimize)
        : minimize_(minimize), best_{minimize ? kInf : -kInf, kNoKey}, value_(best_.value) {}

    double Value() const { return value_.load(std::memory_order_relaxed); }

    Best Snapshot() {
        std::lock_guard<std::mutex> lock(mutex_);
        return best_;
    }

    // True when (value, key) became the best.
    bool Offer(double value, std::int64_t key) {
        const double current = Value();
        if (minimize_ ? !(value <= current) : !(value >= current))
            return false; // strictly worse, or not a number
        std::lock_guard<std::mutex> lock(mutex_);
        const bool better = minimize_ ? value < best_.value : value > best_.value;
        if (better || (value == best_.value && key < best_.key)) {
            best_ = {value, key};
            value_.store(value, std::memory_order_relaxed);
            return true;
        }
        return false;
    }

  private:
    bool minimize_;
    std::mutex mutex_;
    Best best_;
    std::atomic<double> value_;
};

// One measure's part of the pair search. The driver has the one-POD figures against the
// existing PODs computed, lets the measure derive its bounds and ranking from them, then calls
// Row for the seed rows and for every first cell of the scan, from any thread.
class PairRows {
  public:
    PairRows(const Grid& g, const Cap& prior, Pool& pool, bool minimize);
    virtual ~PairRows() = default;
    PairRows(const PairRows&) = delete;
    PairRows& operator=(const PairRows&) = delete;

    // The one-POD figures, the measure's bounds and the ranking of second cells. False when
    // the run was stopped.
    bool Prepare();

    // The pairs of first cell a with second cells from list (ranked best bound first). With
    // laterOnly, only second cells from a on in cell order: the main scan. Seeds pass any
    // list and both orders are then covered by the symmetric keys. worker indexes the
    // per-thread scratch.
    virtual void Row(int a, const std::vector<int>& list, bool laterOnly, int worker) = 0;

    // Candidates ranked by the measure's one-POD bound, best first.
    const std::vector<int>& Rank() const { return rank_; }
    SharedBest& BestSoFar() { return best_; }
    // Whether a best value replaces the starting best, which no pair may equal.
    bool Wins(double value) const { return minimize_ ? value < kBigValue : value > 0; }
    void AddStats(FastSearchStats& stats) const;

  protected:
    // From the one-POD figures of every candidate: the bound's ingredients, and rank_ sorted
    // best bound first where the bound allows it. False when the run was stopped.
    virtual bool PrepareBounds(SingleResults& single) = 0;

    std::int64_t Key(int first, int second) const {
        return static_cast<std::int64_t>(first) * g_.C + second;
    }
    // The key of a symmetric pair is its earlier order.
    std::int64_t SymmetricKey(int a, int b) const { return a <= b ? Key(a, b) : Key(b, a); }

    bool NonNegativePopulations() const;
    // One-POD figures of every candidate against a ceiling, a line per item.
    bool SinglePass(const Cap& cap, SingleResults& out);

    const Grid& g_;
    const Cap& prior_;
    Pool& pool_;
    SharedBest best_;
    std::vector<int> rank_;
    bool bounded_ = false; // whether the measure's bounds discard pairs
    std::atomic<std::int64_t> evaluated_{0}, cutShort_{0}, rowsSkipped_{0}, blockPruned_{0};

  private:
    bool minimize_;
};

// The three measures: minimize travel, maximum number served, minimize maximum distance.
std::unique_ptr<PairRows> MakeTravelRows(const Grid& g, const Cap& prior, Pool& pool);
std::unique_ptr<PairRows> MakeServedRows(const Grid& g, const Cap& prior, Pool& pool);
std::unique_ptr<PairRows> MakeMaxDistanceRows(const Grid& g, const Cap& prior, Pool& pool);

} // namespace davrenta::fastsearch_detail
