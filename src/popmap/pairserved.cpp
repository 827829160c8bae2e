#include <algorithm>
#include <cmath>
#include <cstdint>

#include "popmap/pairrows.h"

// Maximum Number Served: the pair that serves the largest population.
//
// The bound. A pair's value is one sum in cell order over the cells a or b serves, those that
// a alone or b alone takes from the existing PODs. Rounding to nearest is monotone, so with
// non-negative populations the computed sum over a set of cells never exceeds the computed sum
// over a larger set: once a pair serves every cell, no later pair can be strictly better. With
// the cells served by a or b being those served by a alone or by b alone, and
// non-negative populations S(a,b) <= (1 + 4g) (S(a) + S(b)) <= S(a) + S(b) + 8.1 g P, where
// S(x) are the computed one-POD served populations, P the computed total and g = K u /
// (1 - K u) <= 3.4e-13 (K <= 3000 cells, u = 2^-53); the threshold subtracts 1e-9 (P + |B|).
// Block by block the same holds more tightly: what b adds to a lies both among the cells a
// leaves and among the cells b takes, so S(a,b) <= S(a) + sum over blocks of min(left by a,
// taken by b), within (1 + 4g) again, with the same allowance.

namespace davrenta::fastsearch_detail {

namespace {

// Blocks of map cells for the served bound, and how many served-cell entries the lists may
// hold before the search falls back to line ranges (with no existing POD every candidate
// takes every cell, and nothing can be pruned anyway).
constexpr int kBlockLines = 4;
constexpr int kBlockColumns = 5;
constexpr std::size_t kServedListLimit = 6'000'000;

class ServedRows final : public PairRows {
  public:
    ServedRows(const Grid& g, const Cap& prior, Pool& pool)
        : PairRows(g, prior, pool, false), scratch_(static_cast<std::size_t>(pool.Threads())) {
        for (Scratch& s : scratch_) {
            s.ma.resize(g_.K);
            s.da.resize(g_.K);
        }
    }

    void Row(int a, const std::vector<int>& list, bool laterOnly, int worker) override {
        Scratch& s = scratch_[static_cast<std::size_t>(worker)];
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

  private:
    struct Scratch {
        std::vector<double> ma;       // min(existing, first POD) per area cell
        std::vector<double> da;       // distance to the first POD
        std::vector<double> unserved; // per block: population the first POD does not take
        std::vector<int> batch;
    };

    bool PrepareBounds(SingleResults& single) override {
        const int C = g_.C;
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
        // The best bound any later second cell can give, for skipping whole rows.
        laterBest_.assign(C + 1, -kInf);
        for (int c = C - 1; c >= 0; --c)
            laterBest_[c] = std::max(laterBest_[c + 1], score_[c]);
        return true;
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

    std::vector<Scratch> scratch_;
    std::vector<double> score_;     // one-POD served population per candidate
    double scoreBase_ = 0;          // the total population
    std::vector<double> laterBest_; // best score over candidates c.. C-1
    // The cells each candidate takes, and their population per block.
    bool useLists_ = false, blockBound_ = false;
    std::vector<int> servedStart_;
    std::vector<std::uint16_t> servedCells_; // area-cell indices, below 3001
    int blockCount_ = 0;
    std::vector<int> blockOf_, weightStart_, weightBlock_;
    std::vector<double> weightValue_;
};

} // namespace

std::unique_ptr<PairRows> MakeServedRows(const Grid& g, const Cap& prior, Pool& pool) {
    return std::make_unique<ServedRows>(g, prior, pool);
}

} // namespace davrenta::fastsearch_detail
