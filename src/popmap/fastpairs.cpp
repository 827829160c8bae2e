#include "popmap/fastpairs.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <numeric>

#include "popmap/fastkernel.h"

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
// A pair is discarded only when it is provably strictly worse than a pair already evaluated:
//
// Measure 1. With non-negative populations and E_i <= e_i (e_i the existing minimum), each
// cell satisfies P(min(e,da,db)) >= P(min(E,da)) + P(min(E,db)) - P(E), where P(v) is the
// rounded product pop * v (P is monotone, and min(x,y) >= min(x,E) + min(y,E) - E for all
// reals). Summing, and bounding each computed sequential sum of K non-negative terms by
// |computed - exact| <= g * exact with g = K u / (1 - K u) <= 3.4e-13 (K <= 3000 cells,
// u = 2^-53), gives T(a,b) >= U(a) + U(b) - U0 - 4 g U0, where U(x) are the computed travels
// against the ceiling E and U0 the ceiling's own. The threshold below adds 1e-9 (B + U0),
// which covers 4 g U0 and the rounding of the threshold itself with a wide margin. Running
// sums of non-negative terms never decrease, so a partial sum above the best also discards.
//
// Measure 2. A pair's value is one sum in cell order over the cells a or b serves, those that
// a alone or b alone takes from the existing PODs. Rounding to nearest is monotone, so with
// non-negative populations the computed sum over a set of cells never exceeds the computed sum
// over a larger set: once a pair serves every cell, no later pair can be strictly better. With
// the cells served by a or b being those served by a alone or by b alone, and
// non-negative populations S(a,b) <= (1 + 4g) (S(a) + S(b)) <= S(a) + S(b) + 8.1 g P, where
// S(x) are the computed one-POD served populations and P the computed total; the threshold
// subtracts 1e-9 (P + |B|). Block by block the same holds more tightly: what b adds to a lies
// both among the cells a leaves and among the cells b takes, so S(a,b) <= S(a) + sum over
// blocks of min(left by a, taken by b), within (1 + 4g) again, with the same allowance.
//
// Measure 3. A maximum involves no rounding: the value at any cell is a lower bound, exactly.
//
// Any negative or non-finite population or total switches the first two bounds off.

namespace davrenta::fastsearch_detail {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int64_t kNoKey = std::numeric_limits<std::int64_t>::max();
constexpr double kSlack = 1e-9;
constexpr int kLanes = 4;
constexpr int kSeedCount = 16;
// Blocks of map cells for the served bound, and how many served-cell entries the lists may
// hold before the search falls back to line ranges (with no existing POD every candidate
// takes every cell, and nothing can be pruned anyway).
constexpr int kBlockLines = 4;
constexpr int kBlockColumns = 5;
constexpr std::size_t kServedListLimit = 6'000'000;

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

struct Scratch {
    std::vector<double> ma;       // min(existing, first POD) per area cell
    std::vector<double> da;       // distance to the first POD
    std::vector<double> ta;       // pop * ma
    std::vector<double> prefix;   // running sums of ta, K + 1
    std::vector<double> pm, sm;   // prefix and suffix maxima of ma, K + 1
    std::vector<double> unserved; // per block: population the first POD does not take
    std::vector<int> hard;
    std::vector<int> batch;
};

class PairSearch {
  public:
    PairSearch(const Grid& g, const Cap& prior, int measure, Pool& pool)
        : g_(g), prior_(prior), measure_(measure), pool_(pool), best_(measure != 2) {}

    PairOutcome Run(FastSearchStats* stats) {
        PairOutcome outcome;
        const int C = g_.C;
        scratch_.resize(static_cast<std::size_t>(pool_.Threads()));
        for (Scratch& s : scratch_) {
            s.ma.resize(g_.K);
            s.da.resize(g_.K);
            s.ta.resize(g_.K);
            s.prefix.resize(g_.K + 1);
            s.pm.resize(g_.K + 1);
            s.sm.resize(g_.K + 1);
        }
        if (!Prepare())
            return outcome;

        // A few likely pairs first, so that the bounds bite from the first row on.
        std::vector<int> top(rank_.begin(), rank_.begin() + std::min(C, kSeedCount));
        for (int a : top)
            Row(a, top, false, scratch_[0]);
        for (int round = 0; round < 2 && !pool_.Stopping(); ++round) {
            const Best b = best_.Snapshot();
            if (b.key == kNoKey)
                break;
            Row(static_cast<int>(b.key / C), rank_, false, scratch_[0]);
            Row(static_cast<int>(b.key % C), rank_, false, scratch_[0]);
        }
        if (pool_.Stopping())
            return outcome;

        outcome.completed = pool_.Run(C, nullptr, true, C, [&](int a, int worker) {
            Row(a, rank_, true, scratch_[static_cast<std::size_t>(worker)]);
        });
        if (stats) {
            stats->pairsEvaluated = evaluated_.load();
            stats->pairsCutShort = cutShort_.load();
            stats->rowsSkipped = rowsSkipped_.load();
            stats->pairsBlockBounded = blockPruned_.load();
            stats->bounded = bounded_ || measure_ == 3;
        }
        if (!outcome.completed)
            return outcome;
        const Best b = best_.Snapshot();
        const bool wins = b.key != kNoKey && (measure_ == 2 ? b.value > 0 : b.value < kBigValue);
        if (wins) {
            outcome.first = static_cast<int>(b.key / C);
            outcome.second = static_cast<int>(b.key % C);
        }
        return outcome;
    }

  private:
    std::int64_t Key(int first, int second) const {
        return static_cast<std::int64_t>(first) * g_.C + second;
    }
    // The key of a symmetric pair is its earlier order.
    std::int64_t SymmetricKey(int a, int b) const { return a <= b ? Key(a, b) : Key(b, a); }

    bool NonNegativePopulations() const {
        return std::all_of(g_.pop.begin(), g_.pop.end(), [](double p) { return p >= 0; });
    }

    bool SinglePass(const Cap& cap, SingleResults& out) {
        return pool_.Run(g_.lastLine, nullptr, false, 0, [&](int item, int) {
            const int line = item + 1;
            EvaluateCandidates(g_, cap, g_.candLineStart[line], g_.candLineStart[line + 1], out);
        });
    }

    // One-POD figures of every candidate, the bound's ingredients and the seed ranking.
    bool Prepare() {
        const int C = g_.C;
        SingleResults single(C);
        if (!SinglePass(prior_, single))
            return false;
        rank_.resize(C);
        std::iota(rank_.begin(), rank_.end(), 0);

        switch (measure_) {
        case 1: {
            // Two ceilings, each giving a valid bound: the existing PODs, tight for pairs that
            // share no cells when the PODs are dense, and the existing PODs with the best
            // single location added, tight when they are few (with none, or none nearer than
            // 1e10 somewhere, the first says nothing). Pairs are ranked by the first useful
            // one and filtered by both.
            const bool priorUseful = prior_.max < kBigValue;
            const bool nonNegative = NonNegativePopulations();
            auto usable = [&](const std::vector<double>& score, double base) {
                return nonNegative && std::isfinite(base) &&
                       std::all_of(score.begin(), score.end(),
                                   [](double t) { return std::isfinite(t); });
            };
            int c1 = -1;
            for (int c = 0; c < C; ++c)
                if (c1 < 0 ? std::isfinite(single.travel[c]) : single.travel[c] < single.travel[c1])
                    c1 = c;
            std::vector<double> standIn;
            double standInBase = 0;
            if (c1 >= 0) {
                std::vector<double> ceiling(static_cast<std::size_t>(g_.K));
                for (int k = 0; k < g_.K; ++k) {
                    const double d = g_.Distance(c1, k);
                    ceiling[static_cast<std::size_t>(k)] = d < g_.prior[k] ? d : g_.prior[k];
                }
                const Cap cap = MakeCap(g_, std::move(ceiling));
                SingleResults bound(C);
                if (!SinglePass(cap, bound))
                    return false;
                standIn = std::move(bound.travel);
                standInBase = cap.prefixSum[g_.K];
            }
            const bool standInUsable = c1 >= 0 && usable(standIn, standInBase);
            if (priorUseful && usable(single.travel, prior_.prefixSum[g_.K])) {
                score_ = std::move(single.travel);
                scoreBase_ = prior_.prefixSum[g_.K];
                bounded_ = true;
                if (standInUsable) {
                    second_ = std::move(standIn);
                    secondBase_ = standInBase;
                    hasSecond_ = true;
                }
            } else if (standInUsable) {
                score_ = std::move(standIn);
                scoreBase_ = standInBase;
                bounded_ = true;
            } else {
                score_ = std::move(single.travel);
                bounded_ = false;
            }
            if (bounded_)
                std::stable_sort(rank_.begin(), rank_.end(),
                                 [&](int x, int y) { return score_[x] < score_[y]; });
            break;
        }
        case 2: {
            score_ = std::move(single.served);
            double total = 0;
            for (double p : g_.pop)
                total += p;
            scoreBase_ = total;
            bounded_ = NonNegativePopulations() && std::isfinite(total);
            bounded_ = bounded_ && std::all_of(score_.begin(), score_.end(),
                                               [](double x) { return std::isfinite(x); });
            if (bounded_)
                std::stable_sort(rank_.begin(), rank_.end(),
                                 [&](int x, int y) { return score_[x] > score_[y]; });
            BuildServedLists();
            break;
        }
        default: {
            const std::vector<double>& d = single.maxDistance;
            std::stable_sort(rank_.begin(), rank_.end(), [&](int x, int y) { return d[x] < d[y]; });
            bounded_ = false;
            break;
        }
        }
        // The best bound any later second cell can give, for skipping whole rows.
        laterBest_.assign(C + 1, measure_ == 2 ? -kInf : kInf);
        if (measure_ == 1 || measure_ == 2)
            for (int c = C - 1; c >= 0; --c)
                laterBest_[c] = measure_ == 1 ? std::min(laterBest_[c + 1], score_[c])
                                              : std::max(laterBest_[c + 1], score_[c]);
        if (hasSecond_) {
            laterSecond_.assign(C + 1, kInf);
            for (int c = C - 1; c >= 0; --c)
                laterSecond_[c] = std::min(laterSecond_[c + 1], second_[c]);
        }
        return true;
    }

    // The pairs of first cell a with second cells from list (ranked best bound first). With
    // laterOnly, only second cells from a on in cell order: the main scan. Seeds pass any
    // list and both orders are then covered by the symmetric keys.
    void Row(int a, const std::vector<int>& list, bool laterOnly, Scratch& s) {
        switch (measure_) {
        case 1:
            TravelRow(a, list, laterOnly, s);
            break;
        case 2:
            ServedRow(a, list, laterOnly, s);
            break;
        case 3:
            MaxRow(a, list, laterOnly, s);
            break;
        default:
            break;
        }
    }

    // Second cells b whose bound is above this are strictly worse than the best so far.
    double TravelThreshold(int a, double best) const {
        if (!bounded_)
            return kInf;
        return (best + scoreBase_ - score_[a]) + kSlack * (best + scoreBase_);
    }
    double SecondThreshold(int a, double best) const {
        if (!hasSecond_)
            return kInf;
        return (best + secondBase_ - second_[a]) + kSlack * (best + secondBase_);
    }

    void TravelRow(int a, const std::vector<int>& list, bool laterOnly, Scratch& s) {
        double best = best_.Value();
        double threshold = TravelThreshold(a, best);
        double second = SecondThreshold(a, best);
        if (laterOnly && bounded_ &&
            (laterBest_[a] > threshold || (hasSecond_ && laterSecond_[a] > second))) {
            ++rowsSkipped_;
            return;
        }
        // The first POD's part of every cell, its terms and their running sums: a second POD
        // leaves every cell before its reach as it is, so its sum starts from there.
        s.prefix[0] = 0;
        for (int k = 0; k < g_.K; ++k) {
            const double e = g_.prior[k];
            const double d = g_.Distance(a, k);
            s.ma[k] = d < e ? d : e;
            s.ta[k] = g_.pop[k] * s.ma[k];
            s.prefix[k + 1] = s.prefix[k] + s.ta[k];
        }
        s.batch.clear();
        auto flush = [&] {
            if (s.batch.empty())
                return;
            TravelBatch(a, s, best);
            s.batch.clear();
            best = best_.Value();
            threshold = TravelThreshold(a, best);
            second = SecondThreshold(a, best);
        };
        for (int b : list) {
            if (score_[b] > threshold)
                break; // ranked: every later one is as bad
            if (laterOnly && b < a)
                continue;
            if (hasSecond_ && second_[b] > second)
                continue;
            s.batch.push_back(b);
            if (static_cast<int>(s.batch.size()) == kLanes) {
                flush();
                if (pool_.Stopping())
                    return;
            }
        }
        flush();
    }

    void TravelBatch(int a, Scratch& s, double best) {
        const int K = g_.K;
        const int lanes = static_cast<int>(s.batch.size());
        int base[kLanes];
        int k0 = K, k1 = 0;
        for (int q = 0; q < kLanes; ++q) {
            const int b = s.batch[static_cast<std::size_t>(std::min(q, lanes - 1))];
            base[q] = g_.candBase[b];
            if (prior_.reachBegin[b] < prior_.reachEnd[b]) {
                k0 = std::min(k0, prior_.reachBegin[b]);
                k1 = std::max(k1, prior_.reachEnd[b]);
            }
        }
        if (k0 >= k1)
            k0 = k1 = K;
        const double* dist = g_.dist.data();
        double sum[kLanes];
        for (double& x : sum)
            x = s.prefix[k0];
        auto lost = [&] {
            if (!bounded_)
                return false;
            for (int q = 0; q < lanes; ++q)
                if (!(sum[q] > best))
                    return false;
            return true;
        };
        constexpr int kChunk = 64;
        for (int k = k0; k < k1;) {
            const int stop = std::min(k + kChunk, k1);
            for (; k < stop; ++k) {
                const double m = s.ma[k];
                const double p = g_.pop[k];
                const double* row = dist + g_.cellOffset[k];
                for (int q = 0; q < kLanes; ++q) {
                    const double d = row[base[q]];
                    sum[q] += p * (d < m ? d : m);
                }
            }
            if (lost()) {
                cutShort_ += lanes;
                return;
            }
        }
        for (int k = k1; k < K;) {
            const int stop = std::min(k + kChunk, K);
            for (; k < stop; ++k) {
                const double t = s.ta[k];
                for (int q = 0; q < kLanes; ++q)
                    sum[q] += t;
            }
            if (lost()) {
                cutShort_ += lanes;
                return;
            }
        }
        evaluated_ += lanes;
        for (int q = 0; q < lanes; ++q)
            best_.Offer(sum[q], SymmetricKey(a, s.batch[static_cast<std::size_t>(q)]));
    }

    // For every candidate the area cells it takes from the existing PODs, in cell order: the
    // only cells where a pair's labels can differ from the existing PODs' ones. Also, per
    // block of cells, the population of those cells.
    void BuildServedLists() {
        const int C = g_.C;
        const int K = g_.K;
        servedStart_.assign(C + 1, 0);
        servedCells_.clear();
        for (int x = 0; x < C; ++x) {
            for (int k = prior_.reachBegin[x]; k < prior_.reachEnd[x]; ++k)
                if (g_.Distance(x, k) < g_.prior[k])
                    servedCells_.push_back(static_cast<std::uint16_t>(k));
            if (servedCells_.size() > kServedListLimit) {
                servedCells_.clear();
                servedCells_.shrink_to_fit();
                servedStart_.clear();
                return;
            }
            servedStart_[x + 1] = static_cast<int>(servedCells_.size());
        }
        useLists_ = true;
        if (!bounded_)
            return;

        const int blockColumns = (kMapColumns + kBlockColumns - 1) / kBlockColumns;
        blockCount_ = ((g_.lastLine + kBlockLines - 1) / kBlockLines) * blockColumns;
        blockOf_.resize(K);
        for (int k = 0; k < K; ++k)
            blockOf_[k] = ((g_.cellLine[k] - 1) / kBlockLines) * blockColumns +
                          (g_.cellColumn[k] - 1) / kBlockColumns;
        std::vector<double> weight(static_cast<std::size_t>(blockCount_), 0.0);
        std::vector<char> seen(static_cast<std::size_t>(blockCount_), 0);
        std::vector<int> touched;
        weightStart_.assign(C + 1, 0);
        for (int x = 0; x < C; ++x) {
            touched.clear();
            for (int i = servedStart_[x]; i < servedStart_[x + 1]; ++i) {
                const int k = servedCells_[static_cast<std::size_t>(i)];
                const auto b = static_cast<std::size_t>(blockOf_[k]);
                if (!seen[b]) {
                    seen[b] = 1;
                    touched.push_back(static_cast<int>(b));
                }
                weight[b] += g_.pop[k];
            }
            for (int b : touched) {
                weightBlock_.push_back(b);
                weightValue_.push_back(weight[static_cast<std::size_t>(b)]);
                weight[static_cast<std::size_t>(b)] = 0;
                seen[static_cast<std::size_t>(b)] = 0;
            }
            weightStart_[x + 1] = static_cast<int>(weightBlock_.size());
        }
        blockBound_ = true;
    }

    // The cells a and b take together lie, block by block, among the cells b takes and among
    // those a leaves: S(a, b) <= S(a) + sum over blocks of min(left by a, taken by b), up to
    // the same rounding allowance as the threshold.
    double BlockBound(int a, int b, const Scratch& s) const {
        double bound = score_[a];
        for (int i = weightStart_[b]; i < weightStart_[b + 1]; ++i) {
            const double left =
                s.unserved[static_cast<std::size_t>(weightBlock_[static_cast<std::size_t>(i)])];
            const double taken = weightValue_[static_cast<std::size_t>(i)];
            bound += left < taken ? left : taken;
        }
        return bound;
    }

    // As ServedBatch, walking only the cells that a or b take: both lists are in cell order,
    // so merging them adds every such cell once, in cell order.
    void ServedBatchLists(int a, Scratch& s) {
        const int lanes = static_cast<int>(s.batch.size());
        const std::uint16_t* cells = servedCells_.data();
        const int aEnd = servedStart_[a + 1];
        for (int q = 0; q < lanes; ++q) {
            const int b = s.batch[static_cast<std::size_t>(q)];
            const int bEnd = servedStart_[b + 1];
            int i = servedStart_[a], j = servedStart_[b];
            double served = 0;
            while (i < aEnd || j < bEnd) {
                const int ka = i < aEnd ? cells[i] : g_.K;
                const int kb = j < bEnd ? cells[j] : g_.K;
                const int k = ka < kb ? ka : kb;
                served += g_.pop[k];
                i += ka == k;
                j += kb == k;
            }
            best_.Offer(served, SymmetricKey(a, b));
        }
        evaluated_ += lanes;
    }

    // Second cells b whose bound is below this are strictly worse than the best so far.
    double ServedThreshold(int a, double best) const {
        if (!bounded_)
            return -kInf;
        return (best - score_[a]) - kSlack * (scoreBase_ + std::fabs(best));
    }
    // Pairs whose block bound is below this are strictly worse than the best so far.
    double BlockThreshold(double best) const {
        return best - kSlack * (scoreBase_ + std::fabs(best));
    }

    void ServedRow(int a, const std::vector<int>& list, bool laterOnly, Scratch& s) {
        double best = best_.Value();
        double threshold = ServedThreshold(a, best);
        double blockThreshold = BlockThreshold(best);
        if (laterOnly && bounded_ && laterBest_[a] < threshold) {
            ++rowsSkipped_;
            return;
        }
        for (int k = 0; k < g_.K; ++k) {
            const double e = g_.prior[k];
            const double d = g_.Distance(a, k);
            s.da[k] = d;
            s.ma[k] = d < e ? d : e;
        }
        if (blockBound_) {
            s.unserved.assign(static_cast<std::size_t>(blockCount_), 0.0);
            for (int k = 0; k < g_.K; ++k)
                if (!(s.da[k] < g_.prior[k]))
                    s.unserved[static_cast<std::size_t>(blockOf_[k])] += g_.pop[k];
        }
        s.batch.clear();
        auto flush = [&] {
            if (s.batch.empty())
                return;
            if (useLists_)
                ServedBatchLists(a, s);
            else
                ServedBatch(a, s);
            s.batch.clear();
            best = best_.Value();
            threshold = ServedThreshold(a, best);
            blockThreshold = BlockThreshold(best);
        };
        if (laterOnly && ServedSettled(Key(a, a))) {
            ++rowsSkipped_;
            return;
        }
        for (int b : list) {
            if (score_[b] < threshold)
                break;
            if (laterOnly && b < a)
                continue;
            if (!laterOnly && ServedSettled(SymmetricKey(a, b)))
                continue;
            if (blockBound_ && BlockBound(a, b, s) < blockThreshold) {
                ++blockPruned_;
                continue;
            }
            s.batch.push_back(b);
            if (static_cast<int>(s.batch.size()) == kLanes) {
                flush();
                if (pool_.Stopping())
                    return;
            }
        }
        flush();
    }

    // Served populations of (a, b) for the batch, one sum in cell order over the cells either
    // POD takes. Cells out of both PODs' reach take neither label and add nothing.
    void ServedBatch(int a, Scratch& s) {
        const int K = g_.K;
        const int lanes = static_cast<int>(s.batch.size());
        int base[kLanes];
        int k0 = K, k1 = 0;
        if (prior_.reachBegin[a] < prior_.reachEnd[a]) {
            k0 = prior_.reachBegin[a];
            k1 = prior_.reachEnd[a];
        }
        for (int q = 0; q < kLanes; ++q) {
            const int b = s.batch[static_cast<std::size_t>(std::min(q, lanes - 1))];
            base[q] = g_.candBase[b];
            if (prior_.reachBegin[b] < prior_.reachEnd[b]) {
                k0 = std::min(k0, prior_.reachBegin[b]);
                k1 = std::max(k1, prior_.reachEnd[b]);
            }
        }
        const double* dist = g_.dist.data();
        double served[kLanes] = {};
        for (int k = k0; k < k1; ++k) {
            const double p = g_.pop[k];
            const double e = g_.prior[k];
            const bool aTakes = s.da[k] < e;
            const double* row = dist + g_.cellOffset[k];
            for (int q = 0; q < kLanes; ++q)
                served[q] += (aTakes || row[base[q]] < e) ? p : 0.0;
        }
        evaluated_ += lanes;
        for (int q = 0; q < lanes; ++q)
            best_.Offer(served[q], SymmetricKey(a, s.batch[static_cast<std::size_t>(q)]));
    }

    // True when the best so far serves as much as any pair can and every pair of a with a
    // second cell from the list comes later in the scan.
    bool ServedSettled(std::int64_t key) {
        if (!bounded_)
            return false;
        const Best b = best_.Snapshot();
        return b.key != kNoKey && b.value >= scoreBase_ && key > b.key;
    }

    // Cells whose value with the first POD alone reaches the best so far: a second POD must
    // bring every one of them below it (or, for a pair later in the scan, strictly below).
    // The worst few go first; they discard most second cells at once.
    void HardCells(Scratch& s, double best) const {
        s.hard.clear();
        for (int k = 0; k < g_.K; ++k)
            if (s.ma[k] >= best)
                s.hard.push_back(k);
        const auto worse = [&](int x, int y) {
            return s.ma[x] > s.ma[y] || (s.ma[x] == s.ma[y] && x < y);
        };
        const std::size_t head = std::min<std::size_t>(s.hard.size(), 8);
        std::partial_sort(s.hard.begin(), s.hard.begin() + static_cast<std::ptrdiff_t>(head),
                          s.hard.end(), worse);
    }

    void MaxRow(int a, const std::vector<int>& list, bool laterOnly, Scratch& s) {
        const int K = g_.K;
        s.pm[0] = 0;
        for (int k = 0; k < K; ++k) {
            const double e = g_.prior[k];
            const double d = g_.Distance(a, k);
            s.ma[k] = d < e ? d : e;
            s.pm[k + 1] = s.ma[k] > s.pm[k] ? s.ma[k] : s.pm[k];
        }
        s.sm[K] = 0;
        for (int k = K - 1; k >= 0; --k)
            s.sm[k] = s.ma[k] > s.sm[k + 1] ? s.ma[k] : s.sm[k + 1];

        Best best = best_.Snapshot();
        HardCells(s, best.value);
        const double* dist = g_.dist.data();
        const int count = laterOnly ? g_.C - a : static_cast<int>(list.size());
        for (int i = 0; i < count; ++i) {
            const int b = laterOnly ? a + i : list[static_cast<std::size_t>(i)];
            if ((i & 255) == 255) {
                if (pool_.Stopping())
                    return;
                const Best now = best_.Snapshot();
                if (now.value != best.value || now.key != best.key) {
                    best = now;
                    HardCells(s, best.value);
                }
            }
            const std::int64_t key = SymmetricKey(a, b);
            const bool later = key > best.key;
            const int base = g_.candBase[b];
            bool worse = false;
            for (int k : s.hard) {
                const double d = dist[g_.cellOffset[k] + base];
                const double v = d < s.ma[k] ? d : s.ma[k];
                if (v > best.value || (later && v == best.value)) {
                    worse = true;
                    break;
                }
            }
            if (worse)
                continue;
            const int k0 = prior_.reachBegin[b];
            const int k1 = prior_.reachEnd[b];
            double maxDistance = s.pm[k0] > s.sm[k1] ? s.pm[k0] : s.sm[k1];
            for (int k = k0; k < k1; ++k) {
                const double d = dist[g_.cellOffset[k] + base];
                const double v = d < s.ma[k] ? d : s.ma[k];
                if (v > maxDistance)
                    maxDistance = v;
            }
            ++evaluated_;
            if (best_.Offer(maxDistance, key)) {
                best = best_.Snapshot();
                HardCells(s, best.value);
            }
        }
    }

    const Grid& g_;
    const Cap& prior_;
    int measure_;
    Pool& pool_;
    SharedBest best_;
    std::vector<Scratch> scratch_;
    std::vector<int> rank_;
    std::vector<double> score_;     // one-POD bound ingredient per candidate
    double scoreBase_ = 0;          // U0 for travel, the total population for served
    std::vector<double> laterBest_; // best score over candidates c.. C-1
    // Measure 1: the stand-in ceiling's bound beside the existing PODs' one.
    bool hasSecond_ = false;
    std::vector<double> second_, laterSecond_;
    double secondBase_ = 0;
    bool bounded_ = false;
    // Measure 2: the cells each candidate takes, and their population per block.
    bool useLists_ = false, blockBound_ = false;
    std::vector<int> servedStart_;
    std::vector<std::uint16_t> servedCells_; // area-cell indices, below 3001
    int blockCount_ = 0;
    std::vector<int> blockOf_, weightStart_, weightBlock_;
    std::vector<double> weightValue_;
    std::atomic<std::int64_t> evaluated_{0}, cutShort_{0}, rowsSkipped_{0}, blockPruned_{0};
};

} // namespace

PairOutcome SearchPairs(const Grid& g, const Cap& prior, int measure, Pool& pool,
                        FastSearchStats* stats) {
    PairSearch search(g, prior, measure, pool);
    return search.Run(stats);
}

} // namespace davrenta::fastsearch_detail
