#include <algorithm>
#include <cmath>

#include "popmap/pairrows.h"

// Minimize Travel: the pair with the smallest total travel.
//
// The bound. With non-negative populations and E_i <= e_i (e_i the existing minimum), each
// cell satisfies P(min(e,da,db)) >= P(min(E,da)) + P(min(E,db)) - P(E), where P(v) is the
// rounded product pop * v (P is monotone, and min(x,y) >= min(x,E) + min(y,E) - E for all
// reals). Summing, and bounding each computed sequential sum of K non-negative terms by
// |computed - exact| <= g * exact with g = K u / (1 - K u) <= 3.4e-13 (K <= 3000 cells,
// u = 2^-53), gives T(a,b) >= U(a) + U(b) - U0 - 4 g U0, where U(x) are the computed travels
// against the ceiling E and U0 the ceiling's own. The threshold below adds 1e-9 (B + U0),
// which covers 4 g U0 and the rounding of the threshold itself with a wide margin. Running
// sums of non-negative terms never decrease, so a partial sum above the best also discards;
// and since the inequality holds cell by cell, so does a partial sum plus the same bound
// taken over the cells still to come.

namespace davrenta::fastsearch_detail {

namespace {

// Cells between checks of a batch's running sums against the best.
constexpr int kChunk = 64;

class TravelRows final : public PairRows {
  public:
    TravelRows(const Grid& g, const Cap& prior, Pool& pool)
        : PairRows(g, prior, pool, true), scratch_(static_cast<std::size_t>(pool.Threads())) {
        for (Scratch& s : scratch_) {
            s.ma.resize(g_.K);
            s.ta.resize(g_.K);
            s.prefix.resize(g_.K + 1);
        }
    }

    void Row(int a, const std::vector<int>& list, bool laterOnly, int worker) override {
        Scratch& s = scratch_[static_cast<std::size_t>(worker)];
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

  private:
    struct Scratch {
        std::vector<double> ma;     // min(existing, first POD) per area cell
        std::vector<double> ta;     // pop * ma
        std::vector<double> prefix; // running sums of ta, K + 1
        std::vector<int> batch;
    };

    bool PrepareBounds(SingleResults& single) override {
        const int C = g_.C;
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
        Cap standInCap;
        if (c1 >= 0) {
            std::vector<double> ceiling(static_cast<std::size_t>(g_.K));
            for (int k = 0; k < g_.K; ++k) {
                const double d = g_.Distance(c1, k);
                ceiling[static_cast<std::size_t>(k)] = d < g_.prior[k] ? d : g_.prior[k];
            }
            standInCap = MakeCap(g_, std::move(ceiling));
            SingleResults bound(C);
            if (!SinglePass(standInCap, bound))
                return false;
            standIn = std::move(bound.travel);
            standInBase = standInCap.prefixSum[g_.K];
        }
        const bool standInUsable = c1 >= 0 && usable(standIn, standInBase);
        const Cap* scoreCap = nullptr;
        if (priorUseful && usable(single.travel, prior_.prefixSum[g_.K])) {
            scoreCap = &prior_;
            score_ = std::move(single.travel);
            scoreBase_ = prior_.prefixSum[g_.K];
            bounded_ = true;
            if (standInUsable) {
                second_ = std::move(standIn);
                secondBase_ = standInBase;
                hasSecond_ = true;
            }
        } else if (standInUsable) {
            scoreCap = &standInCap;
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
        // The best bound any later second cell can give, for skipping whole rows.
        laterBest_.assign(C + 1, kInf);
        for (int c = C - 1; c >= 0; --c)
            laterBest_[c] = std::min(laterBest_[c + 1], score_[c]);
        if (hasSecond_) {
            laterSecond_.assign(C + 1, kInf);
            for (int c = C - 1; c >= 0; --c)
                laterSecond_[c] = std::min(laterSecond_[c + 1], second_[c]);
        }
        return !bounded_ || BuildRests(*scoreCap);
    }

    // The bound, cell by cell, over the cells still to come: at a chunk boundary k, a pair's
    // running sum plus rest(a) + rest(b) - rest(ceiling) from k on bounds its total from
    // below (the rounding of these sums is far inside the same allowance as the threshold's:
    // every quantity involved is at most best + U0). rest_ holds, per candidate and boundary,
    // what its one-POD terms against the ranking ceiling add from there on.
    bool BuildRests(const Cap& cap) {
        const int K = g_.K;
        if (K == 0)
            return true;
        stride_ = (K - 1) / kChunk + 1;
        rest_.assign(static_cast<std::size_t>(g_.C) * stride_, 0.0);
        ceilingRest_.resize(static_cast<std::size_t>(stride_));
        for (int j = 0; j < stride_; ++j)
            ceilingRest_[j] = cap.prefixSum[K] - cap.prefixSum[j * kChunk];
        const bool completed = pool_.Run(g_.lastLine, nullptr, false, 0, [&](int item, int) {
            const int line = item + 1;
            for (int x = g_.candLineStart[line]; x < g_.candLineStart[line + 1]; ++x) {
                double* rest = rest_.data() + static_cast<std::size_t>(x) * stride_;
                double total = 0;
                for (int j = 0; j < stride_; ++j) {
                    rest[j] = total;
                    const int end = std::min(K, (j + 1) * kChunk);
                    for (int k = j * kChunk; k < end; ++k) {
                        const double d = g_.Distance(x, k);
                        const double e = cap.value[k];
                        total += g_.pop[k] * (d < e ? d : e);
                    }
                }
                for (int j = 0; j < stride_; ++j)
                    rest[j] = total - rest[j];
            }
        });
        hasRest_ = completed;
        return completed;
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
        const double restLimit = best + kSlack * (best + scoreBase_);
        // True when every lane's total is sure to exceed the best: its running sum already
        // does, or at a chunk boundary the running sum with the bound on the rest.
        auto lost = [&](int k) {
            if (!bounded_)
                return false;
            const bool boundary = hasRest_ && k < K && k % kChunk == 0;
            const std::size_t j = static_cast<std::size_t>(k / kChunk);
            const double restA =
                boundary ? rest_[static_cast<std::size_t>(a) * stride_ + j] - ceilingRest_[j] : 0;
            for (int q = 0; q < lanes; ++q) {
                if (sum[q] > best)
                    continue;
                const auto b = static_cast<std::size_t>(s.batch[static_cast<std::size_t>(q)]);
                if (boundary && sum[q] + (restA + rest_[b * stride_ + j]) > restLimit)
                    continue;
                return false;
            }
            return true;
        };
        for (int k = k0; k < k1;) {
            const int stop = std::min((k / kChunk + 1) * kChunk, k1);
            for (; k < stop; ++k) {
                const double m = s.ma[k];
                const double p = g_.pop[k];
                const double* row = dist + g_.cellOffset[k];
                for (int q = 0; q < kLanes; ++q) {
                    const double d = row[base[q]];
                    sum[q] += p * (d < m ? d : m);
                }
            }
            if (lost(k)) {
                cutShort_ += lanes;
                return;
            }
        }
        for (int k = k1; k < K;) {
            const int stop = std::min((k / kChunk + 1) * kChunk, K);
            for (; k < stop; ++k) {
                const double t = s.ta[k];
                for (int q = 0; q < kLanes; ++q)
                    sum[q] += t;
            }
            if (lost(k)) {
                cutShort_ += lanes;
                return;
            }
        }
        evaluated_ += lanes;
        for (int q = 0; q < lanes; ++q)
            best_.Offer(sum[q], SymmetricKey(a, s.batch[static_cast<std::size_t>(q)]));
    }

    std::vector<Scratch> scratch_;
    std::vector<double> score_;     // one-POD travel per candidate against the ranking ceiling
    double scoreBase_ = 0;          // U0, that ceiling's own travel
    std::vector<double> laterBest_; // best score over candidates c.. C-1
    // The stand-in ceiling's bound beside the existing PODs' one.
    bool hasSecond_ = false;
    std::vector<double> second_, laterSecond_;
    double secondBase_ = 0;
    // The bound on the cells still to come, per candidate and chunk boundary.
    bool hasRest_ = false;
    int stride_ = 0;
    std::vector<double> rest_, ceilingRest_;
};

} // namespace

std::unique_ptr<PairRows> MakeTravelRows(const Grid& g, const Cap& prior, Pool& pool) {
    return std::make_unique<TravelRows>(g, prior, pool);
}

} // namespace davrenta::fastsearch_detail
