#pragma once

// What the searches for several new PODs share: the map as sets of candidates see it (distances
// by offset, the candidates within a radius of an area cell), the figures of a set computed as
// the reference computes them, the order that breaks ties between sets, and the clock and
// cancel flag every stage watches.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "popmap/fastgrid.h"
#include "popmap/search.h"
#include "popmap/threadpool.h"

namespace davrenta::fastsearch_detail {

// Distinct candidates in increasing cell order: the cells of a set of new PODs. A set of p
// PODs may hold fewer distinct cells (two PODs on one cell act as one).
using Support = std::vector<int>;

// The p PODs of a support in slot order: its first cell repeated until there are p, then the
// others in cell order. Ties between sets go to the one whose slots come first,
// lexicographically in cell order.
std::vector<int> Slots(const Support& s, int p);
bool SlotsBefore(const Support& a, const Support& b, int p);

struct SetFigures {
    double travel = 0;
    double maxDistance = 0;
    double served = 0; // one sum, in cell order, over the cells a new POD takes
};

// The smallest relative step the rounding of a sum of n terms can make, with room to spare:
// a bound computed with m operations on terms of magnitude M is within RoundingSlack(m) * M of
// the exact one (u = 2^-53; (n + 2) u / (1 - n u) < 4 n u for n below 10^12).
inline double RoundingSlack(double operations) {
    return 4.0 * (operations + 2.0) * 1.1102230246251565e-16;
}
// The absolute error a product can add when it falls into the subnormal range, per product.
inline constexpr double kUnderflowSlack = 4.9406564584124654e-324;

// What a search over sets optimizes: one of the three measures, or the population within a
// radius of a POD (the coverage study).
enum class SetGoal { Travel, Served, MaxDistance, CoveredWithin };
SetGoal GoalOf(Measure measure);

// The map for sets: the fast searches' grid with what sets need beside it.
class SetProblem {
  public:
    SetProblem(const Grid& grid, SetGoal goal, double radius = 0);

    const Grid& g;
    SetGoal goal;
    double radius; // CoveredWithin: a cell counts when a POD lies within this distance
    int C = 0, K = 0;

    // Distance at line offset |dl| and column offset |dc|.
    double At(int adl, int adc) const {
        return g.dist[static_cast<std::size_t>((adl + kMapLines - 1) * kColumnSpan + adc +
                                               kMapColumns - 1)];
    }
    double Distance(int cand, int cell) const { return g.Distance(cand, cell); }
    // The largest distance from an area cell to any candidate.
    const std::vector<double>& Farthest() const { return farthest_; }

    // Calls f(first, last, d) for every run of candidates [first, last] on one map line whose
    // distance to area cell k is below r (or at most r when !strict), possibly with a few more
    // beyond it; d[j - first] is the distance of candidate j.
    template <typename F> void Disc(int k, double r, bool strict, F&& f) const {
        const int lk = g.cellLine[static_cast<std::size_t>(k)];
        const int ck = g.cellColumn[static_cast<std::size_t>(k)];
        auto inside = [&](double d) { return strict ? d < r : d <= r; };
        // The widest column offset in reach shrinks as the line offset grows.
        int reach = kMapColumns - 1;
        for (int adl = 0; adl < kMapLines; ++adl) {
            while (reach >= 0 && !inside(At(adl, reach)))
                --reach;
            if (reach < 0)
                return;
            for (int side : {-1, 1}) {
                if (adl == 0 && side > 0)
                    continue;
                const int l = lk + side * adl;
                if (l < 1 || l > g.lastLine)
                    continue;
                const int length = g.candLineStart[l + 1] - g.candLineStart[l];
                const int c0 = std::max(1, ck - reach);
                const int c1 = std::min(length, ck + reach);
                if (c0 > c1)
                    continue;
                const double* d = g.dist.data() + (l - lk + kMapLines - 1) * kColumnSpan +
                                  (c0 - ck + kMapColumns - 1);
                f(g.candLineStart[l] + c0 - 1, g.candLineStart[l] + c1 - 1, d);
            }
        }
    }

    // Every area cell's distance to its nearest POD, existing or in the set (the same double
    // whatever the order of the PODs).
    void Minima(const Support& s, std::vector<double>& m) const;
    // Calls f(k) for every area cell k at a distance of at most r from candidate j.
    template <typename F> void CellsNear(int j, double r, F&& f) const {
        const int lj = g.candLine[static_cast<std::size_t>(j)];
        const int cj = g.candColumn[static_cast<std::size_t>(j)];
        int reach = kMapColumns - 1;
        for (int adl = 0; adl < kMapLines; ++adl) {
            while (reach >= 0 && !(At(adl, reach) <= r))
                --reach;
            if (reach < 0)
                return;
            for (int side : {-1, 1}) {
                if (adl == 0 && side > 0)
                    continue;
                const int l = lj + side * adl;
                if (l < 1 || l > g.lastLine)
                    continue;
                const auto begin = g.cellColumn.begin() + g.cellLineStart[l];
                const auto end = g.cellColumn.begin() + g.cellLineStart[l + 1];
                for (auto it = std::lower_bound(begin, end, cj - reach);
                     it != end && *it <= cj + reach; ++it)
                    f(static_cast<int>(it - g.cellColumn.begin()));
            }
        }
    }

    // The figures of a set, exactly as the reference evaluates the PODs in slot order.
    SetFigures Figures(const Support& s) const;
    SetFigures FiguresOfMinima(const std::vector<double>& m) const;
    // The value the search compares, as a number to minimize: the total travel, the largest
    // distance, or a population negated (negating is exact). A population is one sum in cell
    // order over the cells a new POD takes (served) or that lie within the radius of a POD.
    double Key(const Support& s) const;
    double KeyOfMinima(const std::vector<double>& m) const;
    // The key as the goal shows it.
    double ValueOfKey(double key) const { return Maximizes() ? -key : key; }
    bool Maximizes() const { return goal == SetGoal::Served || goal == SetGoal::CoveredWithin; }

  private:
    std::vector<double> farthest_;
};

// The clock and the cancel flag of a search for several PODs, and the progress it reports.
class SetClock {
  public:
    // pods is what the progress reports name.
    SetClock(const SearchControl& control, int pods);
    // True once the search should end: cancelled, or out of time.
    bool Stopping() const;
    bool Cancelled() const { return control_.cancelled(); }
    bool OutOfTime() const;
    double Elapsed() const;
    // Reports best value, bound and gap, at most every tenth of a second unless forced.
    void Report(bool haveBest, double best, double bound, bool force = false);
    const SearchControl& Control() const { return control_; }

  private:
    const SearchControl& control_;
    std::chrono::steady_clock::time_point start_;
    double limit_;
    double lastReport_ = -1;
    int pods_;
};

// The relative gap between a best value and a bound: |best - bound| / max(|best|, |bound|),
// 0 when they are equal.
double RelativeGap(double best, double bound);

// The best set found so far by a search that minimizes a key, with the tie rule.
struct Incumbent {
    int p = 0;
    bool have = false;
    double key = 0;
    Support set;

    // True when the set became the best: a smaller key, or the same key with earlier slots.
    bool Offer(double value, const Support& s);
    // Whether every set with a key of at least bound and slots from `first` on can be left
    // out: strictly worse, or tied and not earlier.
    bool Excludes(double bound, const Support& first) const;
};

// The branch and bound over sets that the sum measures share. A node keeps some candidates
// open and some closed; its sets are the supports of at most p cells that hold the open ones
// and none of the closed ones.
struct SetNode {
    Support open;
    std::vector<std::uint64_t> closed; // one bit per candidate
    std::vector<double> multipliers;   // the bound's, handed on to the children
    double bound = 0;                  // rigorous lower bound on the keys of the node's sets
    int depth = 0;

    bool IsClosed(int j) const {
        return (closed[static_cast<std::size_t>(j) >> 6] >> (j & 63)) & 1U;
    }
    void Close(int j) { closed[static_cast<std::size_t>(j) >> 6] |= std::uint64_t{1} << (j & 63); }
    bool IsOpen(int j) const;
};

// The support with the earliest slots among a node's sets.
Support FirstSupport(const SetNode& node, int C, int p);

// What a measure's bound says about a node.
struct NodeBound {
    double bound = 0;       // rigorous lower bound on the keys of the node's sets
    std::vector<int> pick;  // the relaxation's choice beyond the open candidates
    std::vector<int> close; // candidates every set with them is strictly worse than best
    std::vector<int> open;  // candidates every set without them is strictly worse than best
    int branch = -1;        // the candidate to branch on, -1 for none
};

class SetBounder {
  public:
    virtual ~SetBounder() = default;
    // A bound that holds for every set, found without work.
    virtual double Floor() const = 0;
    // Multipliers for the root, from the best set known.
    virtual std::vector<double> Start(const Support& best) = 0;
    // The node's bound, improving its multipliers with up to `iterations` steps aimed at the
    // best key; stops early once the node can be left out. Now and then it hands the
    // relaxation's choice (with the open candidates) to tryPick, with the bound so far; it may
    // better the best.
    virtual NodeBound Bound(SetNode& node, const Incumbent& best, int iterations,
                            const std::function<void(const Support&, double)>& tryPick) = 0;
};

// Whether a node with this many free candidates and room for this many more is small enough
// to try every set of it.
bool NodeEnumerable(int freeCount, int room);

// Finer work for the branch and bound: better sets from a starting one.
using Improver = std::function<Support(const Support&)>;

// The set with PODs moved to cells drawn at random: one on even kicks t, two on odd ones.
Support Kick(const Support& s, int C, int t, std::mt19937& rng);

struct SetSearchOutcome {
    bool proven = false;  // every other set is worse or tied and later
    bool stopped = false; // ended by the time limit or cancel
    double bound = 0;     // rigorous lower bound on the key of every set
    long long nodes = 0;  // nodes (or searches) the proof took
};

// Branch and bound on top of a measure's bound. best holds the starting set (from the
// heuristics) and ends holding the best set found. Every kickEvery nodes (0: never) the best
// set is kicked and improved again.
SetSearchOutcome BranchAndBound(const SetProblem& sp, int p, SetBounder& bounder,
                                const Improver& improve, Incumbent& best, SetClock& clock,
                                long long kickEvery = 0);

} // namespace davrenta::fastsearch_detail
