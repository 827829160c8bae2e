#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <unordered_map>

#include "popmap/setmeasures.h"

// Covers: can k PODs bring every given area cell within a radius r? Minimize Maximum Distance
// asks it for a sorted list of radii (the value of a set is always one of the distances the
// searches compute, or an existing POD's), the coverage study for one radius. A cover is
// exact, so no rounding allowance is needed: d <= r compares the same doubles as the figures.
//
// The question is answered on a few cells at a time (a relaxation): the cells of a small
// sample are covered exactly, by a branch and bound over the distinct ways candidates cover
// the sample; if the cover found also covers every cell, the answer is yes; if the sample
// cannot be covered, the answer is no; otherwise the cells it misses join the sample. The
// sample stays small because a handful of far-apart cells already decides most radii. Before
// that, a greedy cover and a few moves of its PODs answer most radii that have a cover.
//
// The first cover in slot order is found by the same question with one more "cell" that only
// candidates from a range of cells cover: the first cell of the first cover is the smallest
// end of the range for which a cover exists, found by bisection, and so on for the next ones.

namespace davrenta::fastsearch_detail {

namespace {

using Bits = std::vector<std::uint64_t>;

bool Test(const Bits& b, int i) {
    return (b[static_cast<std::size_t>(i) >> 6] >> (i & 63)) & 1U;
}
void Set(Bits& b, int i) {
    b[static_cast<std::size_t>(i) >> 6] |= std::uint64_t{1} << (i & 63);
}
bool Empty(const Bits& b) {
    return std::all_of(b.begin(), b.end(), [](std::uint64_t w) { return w == 0; });
}
bool Subset(const Bits& a, const Bits& b) { // a within b
    for (std::size_t w = 0; w < a.size(); ++w)
        if (a[w] & ~b[w])
            return false;
    return true;
}
int Count(const Bits& b) {
    int n = 0;
    for (std::uint64_t w : b)
        n += __builtin_popcountll(w);
    return n;
}

enum class Answer { Yes, No, Stopped };

// The rounding room of a sum of at most a few thousand values of at most 1: a bound above k by
// more than this is above k.
constexpr double kDualAllowance = 1e-9;
// Cells the cover search weighs for its branching, those with the fewest patterns.
constexpr std::size_t kLookCells = 4;

// The exact cover of a small sample: patterns are the distinct sets of sample cells that one
// candidate covers, each kept only when no other pattern holds it.
class SmallCover {
  public:
    SmallCover(int m, std::vector<Bits> patterns, const SetClock& clock)
        : m_(m), words_((m + 63) / 64), patterns_(std::move(patterns)), clock_(clock) {
        byCell_.assign(static_cast<std::size_t>(m), {});
        for (std::size_t q = 0; q < patterns_.size(); ++q)
            for (int e = 0; e < m; ++e)
                if (Test(patterns_[q], e))
                    byCell_[static_cast<std::size_t>(e)].push_back(static_cast<int>(q));
        excluded_.assign(patterns_.size(), 0);
        // A cell every pattern of which also covers another cell makes that other cell
        // redundant: covering the first covers it. Among cells with the same patterns the first
        // stays.
        const std::size_t pw = (patterns_.size() + 63) / 64;
        std::vector<Bits> holders(static_cast<std::size_t>(m),
                                  Bits(std::max<std::size_t>(pw, 1), 0));
        for (int e = 0; e < m; ++e)
            for (int q : byCell_[static_cast<std::size_t>(e)])
                Set(holders[static_cast<std::size_t>(e)], q);
        active_.assign(static_cast<std::size_t>(words_), 0);
        for (int b = 0; b < m; ++b) {
            bool redundant = false;
            for (int a = 0; a < m && !redundant; ++a) {
                if (a == b || byCell_[static_cast<std::size_t>(a)].size() >
                                  byCell_[static_cast<std::size_t>(b)].size())
                    continue;
                if (!Subset(holders[static_cast<std::size_t>(a)],
                            holders[static_cast<std::size_t>(b)]))
                    continue;
                redundant = a < b || byCell_[static_cast<std::size_t>(a)].size() <
                                         byCell_[static_cast<std::size_t>(b)].size();
            }
            if (!redundant)
                Set(active_, b);
        }
    }

    // Patterns covering the whole sample with at most k of them.
    Answer Solve(int k, std::vector<int>& chosen) {
        const Bits& all = active_;
        if (Greedy(all, k, chosen))
            return Answer::Yes;
        chosen.clear();
        return Search(all, k, chosen);
    }

    // The fewest patterns the whole sample needs, at least.
    int Lower() {
        const Bits& all = active_;
        const double dual = Dual(all);
        return std::isfinite(dual) ? static_cast<int>(std::ceil(dual - kDualAllowance)) : m_ + 1;
    }

    long long Nodes() const { return nodes_; }

  private:
    // Each time the pattern covering the most cells still open, at most k of them.
    bool Greedy(Bits uncovered, int k, std::vector<int>& chosen) const {
        chosen.clear();
        while (!Empty(uncovered)) {
            if (static_cast<int>(chosen.size()) == k)
                return false;
            int best = -1, most = 0;
            for (std::size_t q = 0; q < patterns_.size(); ++q) {
                int gain = 0;
                for (std::size_t w = 0; w < uncovered.size(); ++w)
                    gain += __builtin_popcountll(uncovered[w] & patterns_[q][w]);
                if (gain > most) {
                    most = gain;
                    best = static_cast<int>(q);
                }
            }
            if (best < 0)
                return false;
            chosen.push_back(best);
            for (std::size_t w = 0; w < uncovered.size(); ++w)
                uncovered[w] &= ~patterns_[static_cast<std::size_t>(best)][w];
        }
        return true;
    }

    // A lower bound on the patterns the uncovered cells need: a solution of the covering LP's
    // dual (a value per cell, at most 1 in all on every pattern still usable), raised greedily
    // cell by cell, those with the fewest patterns first. Infinite when a cell has no pattern.
    // cells_ ends holding the uncovered cells, the fewest usable patterns first (then in cell
    // order).
    double Dual(const Bits& uncovered) {
        keyed_.clear();
        for (std::size_t w = 0; w < uncovered.size(); ++w)
            for (std::uint64_t bits = uncovered[w]; bits != 0; bits &= bits - 1) {
                const int e = static_cast<int>(w * 64) + __builtin_ctzll(bits);
                std::uint64_t n = 0;
                for (int q : byCell_[static_cast<std::size_t>(e)])
                    n += excluded_[static_cast<std::size_t>(q)] ? 0 : 1;
                keyed_.push_back(n << 32 | static_cast<std::uint64_t>(e));
            }
        std::sort(keyed_.begin(), keyed_.end());
        cells_.clear();
        for (std::uint64_t key : keyed_)
            cells_.push_back(static_cast<int>(key & 0xffffffffU));
        if (!keyed_.empty() && (keyed_.front() >> 32) == 0)
            return std::numeric_limits<double>::infinity();
        // Excluded patterns start with an infinite residual, so the minimum passes them by.
        residual_.resize(patterns_.size());
        for (std::size_t q = 0; q < patterns_.size(); ++q)
            residual_[q] = excluded_[q] ? std::numeric_limits<double>::infinity() : 1.0;
        double total = 0;
        for (int e : cells_) {
            double u = std::numeric_limits<double>::infinity();
            for (int q : byCell_[static_cast<std::size_t>(e)])
                u = std::min(u, residual_[static_cast<std::size_t>(q)]);
            if (!(u > 0))
                continue;
            total += u;
            for (int q : byCell_[static_cast<std::size_t>(e)])
                residual_[static_cast<std::size_t>(q)] -= u;
        }
        return total;
    }

    // The patterns worth trying for a cell, as (cells newly covered, negated; pattern), the
    // most newly covered first. A pattern whose still-open cells another pattern of the cell
    // holds too is never needed: a cover with it covers with the other in its place. That
    // holds when the other is excluded as well, as every cover with an excluded pattern is
    // known to fail. A holder precedes what it holds, and among patterns equal on the open
    // cells the first is kept.
    void Branches(int cell, const Bits& uncovered, std::vector<std::pair<int, int>>& order) const {
        order.clear();
        for (int q : byCell_[static_cast<std::size_t>(cell)]) {
            if (excluded_[static_cast<std::size_t>(q)])
                continue;
            int gain = 0;
            for (std::size_t w = 0; w < uncovered.size(); ++w)
                gain +=
                    __builtin_popcountll(uncovered[w] & patterns_[static_cast<std::size_t>(q)][w]);
            order.emplace_back(-gain, q);
        }
        std::sort(order.begin(), order.end());
        std::size_t kept = 0;
        for (std::size_t i = 0; i < order.size(); ++i) {
            const Bits& qb = patterns_[static_cast<std::size_t>(order[i].second)];
            bool held = false;
            auto holds = [&](const Bits& ob) {
                for (std::size_t w = 0; w < uncovered.size(); ++w)
                    if (qb[w] & uncovered[w] & ~ob[w])
                        return false;
                return true;
            };
            for (std::size_t j = 0; j < kept && !held; ++j)
                held = holds(patterns_[static_cast<std::size_t>(order[j].second)]);
            for (int o : byCell_[static_cast<std::size_t>(cell)])
                if (!held && excluded_[static_cast<std::size_t>(o)])
                    held = holds(patterns_[static_cast<std::size_t>(o)]);
            if (!held)
                order[kept++] = order[i];
        }
        order.resize(kept);
    }

    Answer Search(const Bits& uncovered, int k, std::vector<int>& chosen) {
        if (Empty(uncovered))
            return Answer::Yes;
        if (k <= 0)
            return Answer::No;
        if ((++nodes_ & 1023) == 0 && clock_.Stopping())
            return Answer::Stopped;
        // Infinite, and so above k, when a cell has no pattern left.
        if (Dual(uncovered) > k + kDualAllowance)
            return Answer::No;
        // Of the few cells with the fewest patterns left, the one with the fewest branches.
        std::vector<std::pair<int, int>> order;
        const std::size_t look = std::min<std::size_t>(cells_.size(), kLookCells);
        const std::vector<int> first(cells_.begin(), cells_.begin() + static_cast<long>(look));
        for (int e : first) {
            Branches(e, uncovered, branches_);
            if (order.empty() || branches_.size() < order.size())
                order.swap(branches_);
            if (order.size() <= 1)
                break;
        }
        std::vector<int> tried;
        Answer answer = Answer::No;
        for (const auto& [negGain, q] : order) {
            Bits rest = uncovered;
            for (std::size_t w = 0; w < rest.size(); ++w)
                rest[w] &= ~patterns_[static_cast<std::size_t>(q)][w];
            chosen.push_back(q);
            const Answer a = Search(rest, k - 1, chosen);
            if (a == Answer::Yes) {
                answer = a;
                break;
            }
            chosen.pop_back();
            if (a == Answer::Stopped) {
                answer = a;
                break;
            }
            // Every cover with q is known to fail from here on.
            excluded_[static_cast<std::size_t>(q)] = 1;
            tried.push_back(q);
        }
        for (int q : tried)
            excluded_[static_cast<std::size_t>(q)] = 0;
        return answer;
    }

    int m_, words_;
    std::vector<Bits> patterns_;
    const SetClock& clock_;
    std::vector<std::vector<int>> byCell_;
    std::vector<char> excluded_;
    Bits active_; // the cells not made redundant by another
    std::vector<int> cells_;
    std::vector<std::uint64_t> keyed_;
    std::vector<std::pair<int, int>> branches_;
    std::vector<double> residual_;
    long long nodes_ = 0;
};

// Counts of labelled area cells within a radius of a candidate, from per-line running counts:
// a few lookups per map line in reach instead of a visit to every cell in reach, which pays
// when the radius takes in far more cells than there are labels times lines.
class NearCounts {
  public:
    NearCounts(const SetProblem& sp, double r, int labels)
        : sp_(sp), labels_(labels), lines_(sp.g.lastLine + 2) {
        // The widest column offset in reach at each line offset, as CellsNear walks them.
        int reach = kMapColumns - 1;
        for (int adl = 0; adl < kMapLines; ++adl) {
            while (reach >= 0 && !(sp.At(adl, reach) <= r))
                --reach;
            if (reach < 0)
                break;
            reach_.push_back(reach);
        }
        running_.assign(static_cast<std::size_t>(labels_ * lines_ * kWidth), 0);
    }

    // Map positions in reach of a candidate, at most: what a visit to every cell would cost.
    double Window() const {
        double w = 0;
        for (std::size_t adl = 0; adl < reach_.size(); ++adl)
            w += (adl == 0 ? 1 : 2) * (2.0 * reach_[adl] + 1);
        return w;
    }
    double Lookups() const {
        return 2.0 * labels_ * (2.0 * static_cast<double>(reach_.size()) - 1);
    }

    // label(e): the label of area cell e, or -1 for none; called for each given cell.
    template <typename L> void Build(const std::vector<int>& cells, L&& label) {
        std::fill(running_.begin(), running_.end(), 0);
        for (int e : cells) {
            const int t = label(e);
            if (t >= 0)
                ++running_[At(t, sp_.g.cellLine[static_cast<std::size_t>(e)],
                              sp_.g.cellColumn[static_cast<std::size_t>(e)])];
        }
        for (int t = 0; t < labels_; ++t)
            for (int l = 1; l < lines_; ++l)
                for (int c = 1; c < kWidth; ++c)
                    running_[At(t, l, c)] += running_[At(t, l, c - 1)];
    }

    // out[t]: the labelled cells of label t within the radius of candidate j.
    void Count(int j, std::vector<int>& out) const {
        std::fill(out.begin(), out.end(), 0);
        const int lj = sp_.g.candLine[static_cast<std::size_t>(j)];
        const int cj = sp_.g.candColumn[static_cast<std::size_t>(j)];
        for (std::size_t adl = 0; adl < reach_.size(); ++adl) {
            const int a = std::max(1, cj - reach_[adl]) - 1;
            const int b = std::min(kMapColumns, cj + reach_[adl]);
            for (int side : {-1, 1}) {
                if (adl == 0 && side > 0)
                    continue;
                const int l = lj + side * static_cast<int>(adl);
                if (l < 1 || l > sp_.g.lastLine)
                    continue;
                for (int t = 0; t < labels_; ++t)
                    out[static_cast<std::size_t>(t)] +=
                        running_[At(t, l, b)] - running_[At(t, l, a)];
            }
        }
    }

  private:
    static constexpr int kWidth = kMapColumns + 1; // columns 0..kMapColumns, 0 holding none
    std::size_t At(int t, int l, int c) const {
        return static_cast<std::size_t>((t * lines_ + l) * kWidth + c);
    }

    const SetProblem& sp_;
    int labels_, lines_;
    std::vector<int> reach_;
    std::vector<int> running_;
};

// Covers of area cells: within one radius, or (under Maximum Number Served, strict) nearer
// than every existing POD.
class RadiusCovers {
  public:
    RadiusCovers(const SetProblem& sp, double radius, SetClock& clock, bool strict = false)
        : sp_(sp), r_(radius), clock_(clock), strict_(strict) {}

    bool Within(int j, int k) const {
        const double d = sp_.Distance(j, k);
        return strict_ ? d < sp_.g.prior[static_cast<std::size_t>(k)] : d <= r_;
    }

    // The cells that need a new POD: no existing POD within the radius.
    std::vector<int> Needing() const {
        std::vector<int> cells;
        for (int k = 0; k < sp_.K; ++k)
            if (!(sp_.g.prior[static_cast<std::size_t>(k)] <= r_))
                cells.push_back(k);
        return cells;
    }

    // Whether at most k candidates from lo on cover the cells (and, when rangeEnd >= lo, one
    // of them lies in lo..rangeEnd); with minimize, the fewest (k is then the most allowed and
    // comes back as the count). sample carries the relaxation's cells from call to call.
    Answer Decide(const std::vector<int>& cells, int lo, int rangeEnd, int& k, bool minimize,
                  std::vector<int>& sample, Support* cover) {
        const int C = sp_.C;
        if (cells.empty() && rangeEnd < lo) {
            k = 0;
            if (cover)
                cover->clear();
            return Answer::Yes;
        }
        if (lo >= C)
            return Answer::No;
        const bool range = rangeEnd >= lo;
        // Cells of the sample that still need covering.
        std::vector<char> needed(static_cast<std::size_t>(sp_.K), 0);
        for (int e : cells)
            needed[static_cast<std::size_t>(e)] = 1;
        std::vector<int> s;
        for (int e : sample)
            if (needed[static_cast<std::size_t>(e)] && std::find(s.begin(), s.end(), e) == s.end())
                s.push_back(e);
        if (s.empty() && !cells.empty())
            s.push_back(cells.front());
        // A quick greedy cover answers most questions that have a yes. (Moving its PODs is
        // left to the caller, which starts the moves from its best set.)
        if (!strict_) {
            Support greedy;
            if (Greedy(cells, lo, rangeEnd, k, greedy)) {
                if (!minimize) {
                    if (cover)
                        *cover = std::move(greedy);
                    return Answer::Yes;
                }
                k = std::min(k, static_cast<int>(greedy.size()));
            }
        }
        int floor = 1;
        for (;;) {
            const int m = static_cast<int>(s.size()) + (range ? 1 : 0);
            const int words = (m + 63) / 64;
            // Each candidate's pattern; the distinct ones, with a representative each.
            std::unordered_map<std::string, int> seen;
            std::vector<Bits> patterns;
            std::vector<std::vector<int>> members; // the candidates of each pattern
            for (int j = lo; j < C; ++j) {
                Bits b(static_cast<std::size_t>(std::max(words, 1)), 0);
                for (std::size_t x = 0; x < s.size(); ++x)
                    if (Within(j, s[x]))
                        Set(b, static_cast<int>(x));
                if (range && j <= rangeEnd)
                    Set(b, m - 1);
                if (Empty(b))
                    continue;
                std::string key(reinterpret_cast<const char*>(b.data()),
                                b.size() * sizeof(std::uint64_t));
                const auto [at, fresh] =
                    seen.emplace(std::move(key), static_cast<int>(patterns.size()));
                if (fresh) {
                    patterns.push_back(std::move(b));
                    members.emplace_back();
                }
                members[static_cast<std::size_t>(at->second)].push_back(j);
            }
            // Only patterns no other pattern holds.
            std::vector<int> order(patterns.size());
            std::iota(order.begin(), order.end(), 0);
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
                return Count(patterns[static_cast<std::size_t>(a)]) >
                       Count(patterns[static_cast<std::size_t>(b)]);
            });
            std::vector<Bits> kept;
            std::vector<int> keptPattern;
            for (int q : order) {
                bool held = false;
                for (const Bits& other : kept)
                    if (Subset(patterns[static_cast<std::size_t>(q)], other)) {
                        held = true;
                        break;
                    }
                if (!held) {
                    kept.push_back(patterns[static_cast<std::size_t>(q)]);
                    keptPattern.push_back(q);
                }
            }
            SmallCover small(m, std::move(kept), clock_);
            nodes_ += 1;
            std::vector<int> chosen;
            Answer a = Answer::No;
            int used = k;
            if (minimize) {
                for (int t = std::max(floor, std::min(small.Lower(), k)); t <= k; ++t) {
                    a = small.Solve(t, chosen);
                    if (a != Answer::No) {
                        used = t;
                        break;
                    }
                    floor = t + 1;
                }
            } else {
                a = small.Solve(k, chosen);
            }
            nodes_ += small.Nodes();
            sample = s;
            if (a != Answer::Yes)
                return a;
            // Each chosen pattern's candidate: the one of its class that leaves the fewest
            // cells uncovered.
            std::vector<const std::vector<int>*> classes;
            for (int q : chosen)
                classes.push_back(
                    &members[static_cast<std::size_t>(keptPattern[static_cast<std::size_t>(q)])]);
            Support x = Repair(cells, classes);
            std::sort(x.begin(), x.end());
            // The cells the sample's cover misses, the farthest first.
            std::vector<std::pair<double, int>> missed = Missed(cells, x);
            if (missed.empty()) {
                k = used;
                if (cover)
                    *cover = std::move(x);
                return Answer::Yes;
            }
            // A sample's cover that misses only a few cells, moved a little, often covers
            // every cell: a yes without growing the sample further (checked cell by cell, as
            // the sample's cover is).
            Support moved = x;
            if (!minimize && !range && lo == 0 && !strict_ && missed.size() * 50 <= cells.size() &&
                MovesCover(cells, k, moved) && Missed(cells, moved).empty()) {
                if (cover)
                    *cover = std::move(moved);
                return Answer::Yes;
            }
            AddFarApart(missed, s);
        }
    }

    long long Nodes() const { return nodes_; }

    // Whether moves of the PODs of x, one at a time, reach a cover of the cells by k
    // candidates; x is then that cover, in cell order.
    bool MovesCover(const std::vector<int>& cells, int k, Support& x) const {
        if (cells.empty() || !Swaps(cells, k, x))
            return false;
        std::sort(x.begin(), x.end());
        x.erase(std::unique(x.begin(), x.end()), x.end());
        return true;
    }

  private:
    // Greedy cover of the cells by at most k candidates from lo on (the first from lo..rangeEnd
    // when a range is asked): each time the candidate covering the most cells still open.
    bool Greedy(const std::vector<int>& cells, int lo, int rangeEnd, int k, Support& out) const {
        const int C = sp_.C;
        std::vector<char> open(static_cast<std::size_t>(sp_.K), 0);
        for (int e : cells)
            open[static_cast<std::size_t>(e)] = 1;
        std::vector<int> gain(static_cast<std::size_t>(C), 0);
        for (int e : cells)
            sp_.Disc(e, r_, false, [&](int first, int last, const double* d) {
                for (int j = std::max(first, lo); j <= last; ++j)
                    gain[static_cast<std::size_t>(j)] += d[j - first] <= r_ ? 1 : 0;
            });
        std::size_t left = cells.size();
        out.clear();
        for (int step = 0; step < k && left > 0; ++step) {
            const int end = step == 0 && rangeEnd >= lo ? rangeEnd + 1 : C;
            int pick = -1;
            for (int j = lo; j < end; ++j)
                if (pick < 0 ||
                    gain[static_cast<std::size_t>(j)] > gain[static_cast<std::size_t>(pick)])
                    pick = j;
            if (pick < 0 || (gain[static_cast<std::size_t>(pick)] == 0 && step > 0))
                break;
            out.push_back(pick);
            sp_.CellsNear(pick, r_, [&](int e) {
                if (!open[static_cast<std::size_t>(e)])
                    return;
                open[static_cast<std::size_t>(e)] = 0;
                --left;
                sp_.Disc(e, r_, false, [&](int first, int last, const double* d) {
                    for (int j = std::max(first, lo); j <= last; ++j)
                        gain[static_cast<std::size_t>(j)] -= d[j - first] <= r_ ? 1 : 0;
                });
            });
        }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return left == 0 && (rangeEnd < lo || (!out.empty() && out.front() <= rangeEnd));
    }

    // Moves of one POD at a time, from x towards a cover of the cells by k candidates: each
    // step takes a cell still uncovered and moves the POD whose move onto a candidate near that
    // cell leaves the fewest cells uncovered, even when that is not fewer (the POD just moved
    // stays for a few steps). True with x a cover.
    bool Swaps(const std::vector<int>& cells, int k, Support& x) const {
        const std::size_t K = static_cast<std::size_t>(sp_.K);
        std::vector<int> slot(static_cast<std::size_t>(k), -1); // -1: no POD yet
        for (std::size_t i = 0; i < x.size() && i < slot.size(); ++i)
            slot[i] = x[i];
        std::vector<char> needed(K, 0);
        for (int e : cells)
            needed[static_cast<std::size_t>(e)] = 1;
        // Per cell the number of PODs within the radius and the xor of their slots, which is
        // the slot itself when there is one.
        std::vector<int> count(K, 0), sole(K, 0);
        std::vector<int> loss(static_cast<std::size_t>(k), 0);
        auto place = [&](int i, int by) {
            sp_.CellsNear(slot[static_cast<std::size_t>(i)], r_, [&](int e) {
                if (!needed[static_cast<std::size_t>(e)])
                    return;
                count[static_cast<std::size_t>(e)] += by;
                sole[static_cast<std::size_t>(e)] ^= i;
            });
        };
        for (int i = 0; i < k; ++i)
            if (slot[static_cast<std::size_t>(i)] >= 0)
                place(i, 1);
        std::vector<int> shared(static_cast<std::size_t>(k), 0);
        std::vector<int> tabu(static_cast<std::size_t>(k), -1);
        // Labels for the running counts: 0 for a cell no POD covers, 1 + i for one POD i alone
        // covers.
        NearCounts near(sp_, r_, k + 1);
        const bool counted = near.Lookups() * static_cast<double>(sp_.C) <
                             near.Window() * static_cast<double>(cells.size());
        std::vector<int> tally(static_cast<std::size_t>(k + 1), 0);
        std::uint64_t random = 0x9e3779b97f4a7c15ULL;
        int bestLeft = std::numeric_limits<int>::max(), stale = 0;
        const int maxStale = 8 * k;
        for (int step = 0; stale < maxStale; ++step) {
            if ((step & 15) == 0 && clock_.Stopping())
                return false;
            std::vector<int> open;
            std::fill(loss.begin(), loss.end(), 0);
            for (int e : cells) {
                const int n = count[static_cast<std::size_t>(e)];
                if (n == 0)
                    open.push_back(e);
                else if (n == 1)
                    ++loss[static_cast<std::size_t>(sole[static_cast<std::size_t>(e)])];
            }
            const int left = static_cast<int>(open.size());
            if (counted && left > 0)
                near.Build(cells, [&](int e) {
                    const int n = count[static_cast<std::size_t>(e)];
                    return n == 0 ? 0 : n == 1 ? 1 + sole[static_cast<std::size_t>(e)] : -1;
                });
            if (left == 0) {
                x.clear();
                for (int j : slot)
                    if (j >= 0)
                        x.push_back(j);
                return true;
            }
            if (left < bestLeft) {
                bestLeft = left;
                stale = 0;
            } else {
                ++stale;
            }
            random ^= random << 13;
            random ^= random >> 7;
            random ^= random << 17;
            const int target = open[static_cast<std::size_t>(random % open.size())];
            int bestI = -1, bestJ = -1, bestAfter = std::numeric_limits<int>::max();
            sp_.Disc(target, r_, false, [&](int first, int last, const double* d) {
                for (int j = first; j <= last; ++j) {
                    if (!(d[j - first] <= r_))
                        continue;
                    int gained = 0;
                    if (counted) {
                        near.Count(j, tally);
                        gained = tally[0];
                        std::copy(tally.begin() + 1, tally.end(), shared.begin());
                    } else {
                        std::fill(shared.begin(), shared.end(), 0);
                        sp_.CellsNear(j, r_, [&](int e) {
                            if (!needed[static_cast<std::size_t>(e)])
                                return;
                            const int n = count[static_cast<std::size_t>(e)];
                            if (n == 0)
                                ++gained;
                            else if (n == 1)
                                ++shared[static_cast<std::size_t>(
                                    sole[static_cast<std::size_t>(e)])];
                        });
                    }
                    for (int i = 0; i < k; ++i) {
                        if (tabu[static_cast<std::size_t>(i)] > step)
                            continue;
                        const int after = left - gained + loss[static_cast<std::size_t>(i)] -
                                          shared[static_cast<std::size_t>(i)];
                        if (after < bestAfter) {
                            bestAfter = after;
                            bestI = i;
                            bestJ = j;
                        }
                    }
                }
            });
            if (bestI < 0)
                return false;
            if (slot[static_cast<std::size_t>(bestI)] >= 0)
                place(bestI, -1);
            slot[static_cast<std::size_t>(bestI)] = bestJ;
            place(bestI, 1);
            tabu[static_cast<std::size_t>(bestI)] = step + 2;
        }
        return false;
    }

    // One candidate from each class (candidates covering the same sample cells), chosen in turn
    // to leave the fewest cells uncovered given the others.
    Support Repair(const std::vector<int>& cells,
                   const std::vector<const std::vector<int>*>& classes) const {
        Support x;
        for (const auto* c : classes)
            x.push_back(c->front());
        if (strict_)
            return x;
        std::vector<char> needed(static_cast<std::size_t>(sp_.K), 0);
        for (int e : cells)
            needed[static_cast<std::size_t>(e)] = 1;
        std::vector<int> count(static_cast<std::size_t>(sp_.K), 0);
        auto add = [&](int j, int by) {
            sp_.CellsNear(j, r_, [&](int e) {
                if (needed[static_cast<std::size_t>(e)])
                    count[static_cast<std::size_t>(e)] += by;
            });
        };
        for (int j : x)
            add(j, 1);
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0; i < x.size(); ++i) {
                if (classes[i]->size() < 2)
                    continue;
                add(x[i], -1);
                int best = x[i], most = -1;
                for (int j : *classes[i]) {
                    int covers = 0;
                    sp_.CellsNear(j, r_, [&](int e) {
                        covers += needed[static_cast<std::size_t>(e)] &&
                                  count[static_cast<std::size_t>(e)] == 0;
                    });
                    if (covers > most) {
                        most = covers;
                        best = j;
                    }
                }
                x[i] = best;
                add(x[i], 1);
            }
        return x;
    }

    // The cells no candidate of x covers, each with its distance to the nearest.
    std::vector<std::pair<double, int>> Missed(const std::vector<int>& cells,
                                               const Support& x) const {
        std::vector<std::pair<double, int>> missed;
        for (int e : cells) {
            double nearest = std::numeric_limits<double>::infinity();
            bool covered = false;
            for (int j : x) {
                nearest = std::min(nearest, sp_.Distance(j, e));
                covered = covered || Within(j, e);
            }
            if (!covered)
                missed.emplace_back(nearest, e);
        }
        return missed;
    }

    // A few missed cells, far from the cover and from each other.
    void AddFarApart(std::vector<std::pair<double, int>>& missed, std::vector<int>& s) const {
        std::sort(missed.begin(), missed.end(), [](const auto& a, const auto& b) {
            return a.first > b.first || (a.first == b.first && a.second < b.second);
        });
        std::vector<int> added{missed.front().second};
        for (int round = 1; round < 4; ++round) {
            int pick = -1;
            double farthest = -1;
            for (const auto& [d, e] : missed) {
                double nearest = std::numeric_limits<double>::infinity();
                for (int a : added)
                    nearest = std::min(nearest, Between(a, e));
                if (nearest > farthest) {
                    farthest = nearest;
                    pick = e;
                }
            }
            if (pick < 0 || !(farthest > (strict_ ? 0 : 2 * r_)))
                break;
            added.push_back(pick);
        }
        s.insert(s.end(), added.begin(), added.end());
    }

    // Distance between two area cells, as a POD on one would be from the other.
    double Between(int a, int b) const {
        const int dl = std::abs(sp_.g.cellLine[static_cast<std::size_t>(a)] -
                                sp_.g.cellLine[static_cast<std::size_t>(b)]);
        const int dc = std::abs(sp_.g.cellColumn[static_cast<std::size_t>(a)] -
                                sp_.g.cellColumn[static_cast<std::size_t>(b)]);
        return sp_.At(dl, dc);
    }

    const SetProblem& sp_;
    double r_;
    SetClock& clock_;
    bool strict_;
    long long nodes_ = 0;
};

// Cells still needing cover once candidate c is in the set.
std::vector<int> Without(const RadiusCovers& covers, const std::vector<int>& cells, int c) {
    std::vector<int> rest;
    for (int e : cells)
        if (!covers.Within(c, e))
            rest.push_back(e);
    return rest;
}

// The first set in slot order among the covers of at most p candidates (slots: the first cell
// repeated up to p, then the others), given that one exists. Stopped leaves out partial.
Answer FirstCover(const SetProblem& sp, RadiusCovers& covers, const std::vector<int>& cells, int p,
                  Support& out) {
    out.clear();
    std::vector<int> sample;
    if (cells.empty()) {
        out.push_back(0); // any set covers: the first cell
        return Answer::Yes;
    }
    // The first cell of the set: 0 when fewer than p cover, else the smallest c for which a
    // cover has a cell in 0..c.
    int fewest = p;
    Answer a = covers.Decide(cells, 0, -1, fewest, true, sample, nullptr);
    if (a != Answer::Yes)
        return a;
    auto firstOf = [&](const std::vector<int>& need, int lo, int k, int& first) {
        int low = lo - 1, high = sp.C - 1; // a cover with a cell in lo..high exists
        std::vector<int> s = sample;
        while (high - low > 1) {
            const int mid = low + (high - low) / 2;
            int budget = k;
            const Answer d = covers.Decide(need, lo, mid, budget, false, s, nullptr);
            if (d == Answer::Stopped)
                return d;
            (d == Answer::Yes ? high : low) = mid;
        }
        first = high;
        return Answer::Yes;
    };
    int t1 = 0;
    if (fewest == p) {
        a = firstOf(cells, 0, p, t1);
        if (a != Answer::Yes)
            return a;
    }
    out.push_back(t1);
    // Then as few more as can be, each the first possible.
    std::vector<int> need = Without(covers, cells, t1);
    int more = p - 1;
    sample.clear();
    a = covers.Decide(need, t1 + 1, -1, more, true, sample, nullptr);
    if (a != Answer::Yes)
        return a;
    int lo = t1 + 1;
    for (int left = more; left > 0; --left) {
        int t = 0;
        a = firstOf(need, lo, left, t);
        if (a != Answer::Yes)
            return a;
        out.push_back(t);
        need = Without(covers, need, t);
        lo = t + 1;
    }
    return Answer::Yes;
}

// The distinct values a set's largest distance can take: every distance of the table and
// every existing POD's distance, in increasing order.
std::vector<double> Radii(const SetProblem& sp) {
    std::vector<double> v;
    for (int adl = 0; adl < kMapLines; ++adl)
        for (int adc = 0; adc < kMapColumns; ++adc)
            v.push_back(sp.At(adl, adc));
    for (int k = 0; k < sp.K; ++k)
        if (sp.g.prior[static_cast<std::size_t>(k)] < kBigValue)
            v.push_back(sp.g.prior[static_cast<std::size_t>(k)]);
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
}

// Farthest first: each new POD on the cell farthest from the PODs so far.
Support FarthestFirst(const SetProblem& sp, int p) {
    std::vector<double> m(sp.g.prior.begin(), sp.g.prior.end());
    Support s;
    for (int q = 0; q < p; ++q) {
        int far = 0;
        for (int k = 1; k < sp.K; ++k)
            if (m[static_cast<std::size_t>(k)] > m[static_cast<std::size_t>(far)])
                far = k;
        // The candidate standing on that cell.
        const int line = sp.g.cellLine[static_cast<std::size_t>(far)];
        const int j = sp.g.candLineStart[line] + sp.g.cellColumn[static_cast<std::size_t>(far)] - 1;
        if (!std::binary_search(s.begin(), s.end(), j))
            s.insert(std::upper_bound(s.begin(), s.end(), j), j);
        for (int k = 0; k < sp.K; ++k)
            m[static_cast<std::size_t>(k)] =
                std::min(m[static_cast<std::size_t>(k)], sp.Distance(j, k));
    }
    return s;
}

} // namespace

SetSearchOutcome SearchMaxDistance(const SetProblem& sp, int p, Incumbent& best, SetClock& clock,
                                   double* heuristic) {
    SetSearchOutcome outcome;
    const Support start = FarthestFirst(sp, p);
    best.Offer(sp.Key(start), start);
    if (heuristic)
        *heuristic = best.key;
    const std::vector<double> radii = Radii(sp);
    // radii[high] is covered by the best set so far; radii[low] is proven out (-1: none yet).
    int high =
        static_cast<int>(std::lower_bound(radii.begin(), radii.end(), best.key) - radii.begin());
    int low = -1;
    auto report = [&] { clock.Report(true, best.key, radii[static_cast<std::size_t>(low + 1)]); };
    std::vector<int> sample;
    while (high - low > 1) {
        report();
        const int mid = low + (high - low) / 2;
        const double r = radii[static_cast<std::size_t>(mid)];
        RadiusCovers covers(sp, r, clock);
        int k = p;
        // The best set so far, moved a little, often covers a smaller radius. The moved set's
        // own value is the judge, so that a radius is never taken as covered when it is not
        // (the bisection would otherwise ask it again until the time limit).
        Support cover = best.set;
        const std::vector<int> needing = covers.Needing();
        const bool moved = covers.MovesCover(needing, p, cover) && sp.Key(cover) <= r;
        const Answer a =
            moved ? Answer::Yes : covers.Decide(needing, 0, -1, k, false, sample, &cover);
        outcome.nodes += covers.Nodes();
        if (a == Answer::Stopped) {
            outcome.stopped = true;
            break;
        }
        if (a == Answer::Yes) {
            best.Offer(sp.Key(cover), cover);
            high = static_cast<int>(std::lower_bound(radii.begin(), radii.end(), best.key) -
                                    radii.begin());
        } else {
            low = mid;
        }
    }
    outcome.bound = radii[static_cast<std::size_t>(low + 1)];
    if (!outcome.stopped) {
        // The value is proven; the first set of that value settles the ties.
        const double r = radii[static_cast<std::size_t>(high)];
        RadiusCovers covers(sp, r, clock);
        Support first;
        const Answer a = FirstCover(sp, covers, covers.Needing(), p, first);
        outcome.nodes += covers.Nodes();
        if (a == Answer::Yes) {
            best.Offer(sp.Key(first), first);
            outcome.proven = best.set == first;
        } else {
            outcome.stopped = true;
        }
    }
    clock.Report(true, best.key, outcome.proven ? best.key : outcome.bound, true);
    return outcome;
}

CoverCount FewestCovering(const SetProblem& sp, double radius, int limit, SetClock& clock) {
    CoverCount out;
    RadiusCovers covers(sp, radius, clock);
    const std::vector<int> cells = covers.Needing();
    if (cells.empty()) {
        out.found = out.proven = true;
        return out;
    }
    std::vector<int> sample;
    int k = limit;
    Support cover;
    const Answer a = covers.Decide(cells, 0, -1, k, true, sample, &cover);
    if (a == Answer::No) {
        out.lower = limit + 1;
        out.proven = true;
        return out;
    }
    if (a == Answer::Stopped)
        return out;
    out.found = true;
    out.pods = k;
    out.lower = k;
    out.set = cover;
    Support first;
    if (FirstCover(sp, covers, cells, k, first) == Answer::Yes &&
        static_cast<int>(first.size()) == k) {
        out.set = first;
        out.proven = true;
    }
    return out;
}

CoverSettles SettleByCover(const SetProblem& sp, int p, Incumbent& best, SetClock& clock) {
    // Only with no negative population and every positive one large enough that leaving its
    // cell out changes the computed sum (so that the best value is reached exactly by the sets
    // that cover every such cell).
    double total = 0;
    for (int k = 0; k < sp.K; ++k) {
        const double w = sp.g.pop[static_cast<std::size_t>(k)];
        if (w < 0)
            return CoverSettles::No;
        total += w;
    }
    const bool within = sp.goal == SetGoal::CoveredWithin;
    std::vector<int> cells;
    for (int k = 0; k < sp.K; ++k) {
        const double w = sp.g.pop[static_cast<std::size_t>(k)];
        const double e = sp.g.prior[static_cast<std::size_t>(k)];
        if (!(w > 0) || (within ? e <= sp.radius : !(e > 0)))
            continue; // adds nothing, covered anyway, or never taken from its POD
        if (!(w >= kSignificant * total))
            return CoverSettles::No;
        cells.push_back(k);
    }
    RadiusCovers covers(sp, sp.radius, clock, !within);
    std::vector<int> sample;
    int k = p;
    const Answer a = covers.Decide(cells, 0, -1, k, false, sample, nullptr);
    if (a != Answer::Yes)
        return a == Answer::Stopped ? CoverSettles::Stopped : CoverSettles::No;
    Support first;
    if (FirstCover(sp, covers, cells, p, first) != Answer::Yes)
        return CoverSettles::Stopped;
    best.have = false;
    best.Offer(sp.Key(first), first);
    return CoverSettles::Yes;
}

} // namespace davrenta::fastsearch_detail
