#include <algorithm>
#include <cstddef>

#include "popmap/pairrows.h"

// Minimize Maximum Distance: the pair with the smallest largest distance from a cell to its
// nearest POD. A maximum involves no rounding, so the value at any cell is a lower bound of a
// pair's value, exactly: a second cell that leaves one cell above the best is discarded.

namespace davrenta::fastsearch_detail {

namespace {

class MaxDistanceRows final : public PairRows {
  public:
    MaxDistanceRows(const Grid& g, const Cap& prior, Pool& pool)
        : PairRows(g, prior, pool, true), scratch_(static_cast<std::size_t>(pool.Threads())) {
        for (Scratch& s : scratch_) {
            s.ma.resize(g_.K);
            s.pm.resize(g_.K + 1);
            s.sm.resize(g_.K + 1);
        }
    }

    void Row(int a, const std::vector<int>& list, bool laterOnly, int worker) override {
        Scratch& s = scratch_[static_cast<std::size_t>(worker)];
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

  private:
    struct Scratch {
        std::vector<double> ma;     // min(existing, first POD) per area cell
        std::vector<double> pm, sm; // prefix and suffix maxima of ma, K + 1
        std::vector<int> hard;
    };

    // Ranked by the one-POD maximum; the bound is exact, so it always applies.
    bool PrepareBounds(SingleResults& single) override {
        const std::vector<double>& d = single.maxDistance;
        std::stable_sort(rank_.begin(), rank_.end(), [&](int x, int y) { return d[x] < d[y]; });
        bounded_ = true;
        return true;
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

    std::vector<Scratch> scratch_;
};

} // namespace

std::unique_ptr<PairRows> MakeMaxDistanceRows(const Grid& g, const Cap& prior, Pool& pool) {
    return std::make_unique<MaxDistanceRows>(g, prior, pool);
}

} // namespace davrenta::fastsearch_detail
