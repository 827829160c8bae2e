#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "popmap/setmeasures.h"

// The largest covered population for several new PODs: Maximum Number Served (a cell counts
// when a new POD is strictly nearer to it than every existing POD) and the population within a
// radius of a POD (the coverage study).
//
// The bound is the Lagrangian relaxation of the covering of the cells of positive population
// that no open candidate covers: with a multiplier 0 <= m_k <= w_k for each,
//   U(m) = sum_k max(0, w_k - m_k) + sum over the chosen candidates j of s_j,
//   s_j = sum of m_k over the cells j covers,
// the chosen ones being the open candidates and the free ones with the largest s_j up to p in
// all; the cells the open candidates cover add their population exactly, those covered
// whatever the set add theirs, and cells of negative population that no open candidate covers
// add at most 0. Every set of the node covers at most U(m) (a covered cell's w_k is at most
// m_k times the number of chosen candidates covering it plus w_k - m_k).
//
// Rounding: every sum adds terms of one sign, so the computed bound is within
// RoundingSlack(K + p) of the sums of magnitudes, and a set's computed population within
// RoundingSlack(K) of the sum of |w_k|; the bound adds both. With no negative population the
// computed sum over every cell that can be covered is an exact bound as well (rounding is
// monotone, so a sum over more cells of non-negative terms is never smaller): once a set
// reaches it, ties are settled without any allowance.

namespace davrenta::fastsearch_detail {

bool PreCovered(const SetProblem& sp, int k) {
    return sp.goal == SetGoal::CoveredWithin &&
           sp.g.prior[static_cast<std::size_t>(k)] <= sp.radius;
}

bool Covers(const SetProblem& sp, int j, int k) {
    const double d = sp.Distance(j, k);
    return sp.goal == SetGoal::CoveredWithin ? d <= sp.radius
                                             : d < sp.g.prior[static_cast<std::size_t>(k)];
}

namespace {

// The candidates covering each area cell, visited as runs of candidates on map lines.
template <typename F> void Covering(const SetProblem& sp, int k, F&& f) {
    const bool within = sp.goal == SetGoal::CoveredWithin;
    const double r = within ? sp.radius : sp.g.prior[static_cast<std::size_t>(k)];
    sp.Disc(k, r, !within, [&](int first, int last, const double* d) {
        for (int j = first; j <= last; ++j) {
            const double dj = d[j - first];
            if (within ? dj <= r : dj < r)
                f(j);
        }
    });
}

// For every candidate the cells it covers that matter (not covered beforehand, population not
// zero), in cell order.
struct CoverLists {
    std::vector<int> start;           // C + 1
    std::vector<std::uint16_t> cells; // area-cell indices, below 3001
    std::vector<char> pre;            // per cell: covered whatever the set
};

CoverLists MakeLists(const SetProblem& sp) {
    CoverLists lists;
    const int C = sp.C, K = sp.K;
    lists.pre.assign(static_cast<std::size_t>(K), 0);
    std::vector<int> count(static_cast<std::size_t>(C) + 1, 0);
    auto counts = [&](int k) {
        return !PreCovered(sp, k) && sp.g.pop[static_cast<std::size_t>(k)] != 0;
    };
    for (int k = 0; k < K; ++k) {
        lists.pre[static_cast<std::size_t>(k)] = PreCovered(sp, k) ? 1 : 0;
        if (counts(k))
            Covering(sp, k, [&](int j) { ++count[static_cast<std::size_t>(j) + 1]; });
    }
    for (int j = 0; j < C; ++j)
        count[static_cast<std::size_t>(j) + 1] += count[static_cast<std::size_t>(j)];
    lists.start = count;
    lists.cells.resize(static_cast<std::size_t>(count[static_cast<std::size_t>(C)]));
    for (int k = 0; k < K; ++k)
        if (counts(k))
            Covering(sp, k, [&](int j) {
                lists.cells[static_cast<std::size_t>(count[static_cast<std::size_t>(j)]++)] =
                    static_cast<std::uint16_t>(k);
            });
    return lists;
}

// The computed population over every cell that some set can cover (or is covered anyway), in
// cell order: with no negative population, no set covers more.
double Reachable(const SetProblem& sp, const CoverLists& lists) {
    std::vector<char> reach(lists.pre.begin(), lists.pre.end());
    for (std::uint16_t k : lists.cells)
        reach[k] = 1;
    double total = 0;
    for (int k = 0; k < sp.K; ++k)
        if (reach[static_cast<std::size_t>(k)])
            total += sp.g.pop[static_cast<std::size_t>(k)];
    return total;
}

class CoverBounder final : public SetBounder {
  public:
    CoverBounder(const SetProblem& sp, int p, Pool& pool)
        : sp_(sp), p_(p), pool_(pool), lists_(MakeLists(sp)) {
        nonNegative_ = true;
        for (int k = 0; k < sp.K; ++k) {
            const double w = sp.g.pop[static_cast<std::size_t>(k)];
            magnitude_ += std::fabs(w);
            if (w < 0)
                nonNegative_ = false;
            if (lists_.pre[static_cast<std::size_t>(k)])
                preSum_ += w;
        }
        reachable_ = Reachable(sp, lists_);
        sigma_.assign(static_cast<std::size_t>(sp.C), 0.0);
    }

    double Floor() const override {
        if (nonNegative_)
            return -reachable_;
        double top = 0;
        for (int k = 0; k < sp_.K; ++k)
            top += std::max(0.0, sp_.g.pop[static_cast<std::size_t>(k)]);
        return -(top + Slack(top));
    }

    std::vector<double> Start(const Support& best) override {
        // Cells the best set covers priced at their population, the others at none.
        std::vector<double> mu(static_cast<std::size_t>(sp_.K), 0.0);
        for (int k = 0; k < sp_.K; ++k) {
            const double w = sp_.g.pop[static_cast<std::size_t>(k)];
            if (w <= 0)
                continue;
            for (int j : best)
                if (Covers(sp_, j, k)) {
                    mu[static_cast<std::size_t>(k)] = w;
                    break;
                }
        }
        return mu;
    }

    NodeBound Bound(SetNode& node, const Incumbent& best, int iterations,
                    const std::function<void(const Support&, double)>& tryPick) override {
        const int C = sp_.C, K = sp_.K;
        std::vector<double>& mu = node.multipliers;
        covered_.assign(static_cast<std::size_t>(K), 0);
        fixed_ = preSum_;
        for (int j : node.open)
            Cover(j);
        live_.clear();
        for (int j = 0; j < C; ++j)
            if (!node.IsClosed(j) && !node.IsOpen(j))
                live_.push_back(j);
        Support first = FirstSupport(node, C, p_);

        NodeBound out;
        out.bound = -std::numeric_limits<double>::infinity();
        if (nonNegative_)
            out.bound = -reachable_;
        Snapshot snap;
        std::vector<double> bestMu = mu;
        double theta = node.depth == 0 ? 2.0 : 1.0;
        int sinceBetter = 0;
        const int patience = node.depth == 0 ? 25 : 6;
        std::vector<int> pick;
        std::vector<int> count(static_cast<std::size_t>(K));
        double bestUpper = std::numeric_limits<double>::infinity();
        for (int it = 0; it < iterations; ++it) {
            const int room = p_ - static_cast<int>(node.open.size());
            if (!ComputeSigma(mu))
                break;
            Choose(room, pick);
            double free = 0, chosen = 0;
            for (int k = 0; k < K; ++k)
                if (!covered_[static_cast<std::size_t>(k)]) {
                    const double w = sp_.g.pop[static_cast<std::size_t>(k)];
                    if (w > 0)
                        free += w - mu[static_cast<std::size_t>(k)];
                }
            for (int j : pick)
                chosen += sigma_[static_cast<std::size_t>(j)];
            const double upper = fixed_ + free + chosen;
            const double rigorous = upper + Slack(std::fabs(fixed_) + free + chosen);
            if (rigorous < bestUpper) {
                if (rigorous < bestUpper - 1e-9 * std::fabs(rigorous))
                    sinceBetter = 0;
                bestUpper = rigorous;
                out.bound = std::max(out.bound, -rigorous);
                bestMu = mu;
                snap.sigma = sigma_;
                snap.pick = pick;
                snap.live = live_;
                snap.room = room;
                snap.upper = rigorous;
            } else if (++sinceBetter >= patience) {
                theta /= 2;
                sinceBetter = 0;
                if (theta < 1e-3)
                    break;
            }
            if (it % 20 == 19) {
                Support choice = node.open;
                choice.insert(choice.end(), pick.begin(), pick.end());
                std::sort(choice.begin(), choice.end());
                tryPick(choice, out.bound);
            }
            if (best.Excludes(out.bound, first))
                break;
            if ((it & 7) == 7 && pool_.Stopping())
                break;
            // Now and then, leave out what the reduced costs rule out.
            if (it % 10 == 9 && Fix(node, snap, best, out)) {
                first = FirstSupport(node, C, p_);
                if (static_cast<int>(node.open.size()) > p_ || best.Excludes(out.bound, first))
                    break;
                if (NodeEnumerable(static_cast<int>(live_.size()),
                                   p_ - static_cast<int>(node.open.size())))
                    break;
            }

            // The subgradient of U in m: the number of chosen candidates covering a cell,
            // less 1 where the cell's own term still counts.
            std::fill(count.begin(), count.end(), 0);
            for (int j : pick)
                for (int i = lists_.start[static_cast<std::size_t>(j)];
                     i < lists_.start[static_cast<std::size_t>(j) + 1]; ++i)
                    ++count[lists_.cells[static_cast<std::size_t>(i)]];
            double norm = 0;
            for (int k = 0; k < K; ++k) {
                const double w = sp_.g.pop[static_cast<std::size_t>(k)];
                if (w <= 0 || covered_[static_cast<std::size_t>(k)])
                    continue;
                const double gk = count[static_cast<std::size_t>(k)] - 1.0;
                const double m = mu[static_cast<std::size_t>(k)];
                if ((gk > 0 && m <= 0) || (gk < 0 && m >= w))
                    continue;
                norm += gk * gk;
            }
            if (norm == 0)
                break;
            const double lower = best.have ? -best.key : upper * 0.95;
            const double step = theta * std::max(upper - lower, 1e-7 * std::fabs(upper)) / norm;
            for (int k = 0; k < K; ++k) {
                const double w = sp_.g.pop[static_cast<std::size_t>(k)];
                if (w <= 0 || covered_[static_cast<std::size_t>(k)])
                    continue;
                const double gk = count[static_cast<std::size_t>(k)] - 1.0;
                mu[static_cast<std::size_t>(k)] =
                    std::clamp(mu[static_cast<std::size_t>(k)] - step * gk, 0.0, w);
            }
        }
        mu = std::move(bestMu);
        if (snap.sigma.empty())
            return out;
        Fix(node, snap, best, out);
        for (int j : snap.pick)
            if (!node.IsClosed(j))
                out.pick.push_back(j);
        double most = -1;
        for (int j : out.pick)
            if (!node.IsOpen(j) && snap.sigma[static_cast<std::size_t>(j)] > most) {
                most = snap.sigma[static_cast<std::size_t>(j)];
                out.branch = j;
            }
        return out;
    }

  private:
    // The relaxation at its best multipliers so far, with the node as it stood then.
    struct Snapshot {
        std::vector<double> sigma;
        std::vector<int> pick, live;
        int room = 0;
        double upper = 0;
    };

    // Cells candidate j covers now count exactly.
    void Cover(int j) {
        for (int i = lists_.start[static_cast<std::size_t>(j)];
             i < lists_.start[static_cast<std::size_t>(j) + 1]; ++i)
            covered_[lists_.cells[static_cast<std::size_t>(i)]] = 1;
        fixed_ = preSum_;
        for (int k = 0; k < sp_.K; ++k)
            if (covered_[static_cast<std::size_t>(k)])
                fixed_ += sp_.g.pop[static_cast<std::size_t>(k)];
    }

    // Reduced costs at a snapshot (valid for the node as it is now, which holds no more sets
    // than it did then): a free candidate whose presence would leave every set below the best
    // is closed, one whose absence would is opened.
    bool Fix(SetNode& node, const Snapshot& snap, const Incumbent& best, NodeBound& out) {
        if (!best.have || snap.sigma.empty())
            return false;
        std::vector<char> chosen(static_cast<std::size_t>(sp_.C), 0);
        double weakest = 0; // smallest chosen s_j
        bool any = false;
        for (int j : snap.pick) {
            chosen[static_cast<std::size_t>(j)] = 1;
            const double sj = snap.sigma[static_cast<std::size_t>(j)];
            weakest = any ? std::min(weakest, sj) : sj;
            any = true;
        }
        double next = 0; // largest s_j not chosen
        for (int j : snap.live)
            if (!chosen[static_cast<std::size_t>(j)])
                next = std::max(next, snap.sigma[static_cast<std::size_t>(j)]);
        const bool full = static_cast<int>(snap.pick.size()) == snap.room;
        const double need = -best.key; // population to beat
        bool changed = false;
        std::vector<int> keep;
        for (int j : live_) {
            if (!std::binary_search(snap.live.begin(), snap.live.end(), j)) {
                keep.push_back(j);
                continue;
            }
            const double sj = snap.sigma[static_cast<std::size_t>(j)];
            if (chosen[static_cast<std::size_t>(j)]) {
                if (snap.upper - sj + next < need - Margin(sj, next)) {
                    node.open.insert(std::upper_bound(node.open.begin(), node.open.end(), j), j);
                    Cover(j);
                    out.open.push_back(j);
                    changed = true;
                    continue;
                }
            } else {
                const double with = snap.upper + sj - (full ? weakest : 0.0);
                if (snap.room == 0 || with < need - Margin(sj, weakest)) {
                    node.Close(j);
                    out.close.push_back(j);
                    changed = true;
                    continue;
                }
            }
            keep.push_back(j);
        }
        live_ = std::move(keep);
        return changed;
    }

    double Slack(double magnitude) const {
        return RoundingSlack(sp_.K + p_ + 4) * (magnitude + magnitude_) +
               kUnderflowSlack * 4.0 * (sp_.K + sp_.C);
    }
    double Margin(double a, double b) const {
        return RoundingSlack(8) * (std::fabs(a) + std::fabs(b));
    }

    // s_j of every live candidate over the cells not yet covered: a candidate's sum in its
    // own cell order, so that it does not depend on the threads.
    bool ComputeSigma(const std::vector<double>& mu) {
        const int items = static_cast<int>(live_.size());
        constexpr int chunk = 64;
        return pool_.Run((items + chunk - 1) / chunk, nullptr, false, 0, [&](int item, int) {
            const int end = std::min(items, (item + 1) * chunk);
            for (int x = item * chunk; x < end; ++x) {
                const int j = live_[static_cast<std::size_t>(x)];
                double s = 0;
                for (int i = lists_.start[static_cast<std::size_t>(j)];
                     i < lists_.start[static_cast<std::size_t>(j) + 1]; ++i) {
                    const std::uint16_t k = lists_.cells[static_cast<std::size_t>(i)];
                    if (!covered_[k])
                        s += mu[k];
                }
                sigma_[static_cast<std::size_t>(j)] = s;
            }
        });
    }

    void Choose(int room, std::vector<int>& pick) const {
        pick.clear();
        if (room <= 0)
            return;
        for (int j : live_)
            if (sigma_[static_cast<std::size_t>(j)] > 0)
                pick.push_back(j);
        auto better = [&](int a, int b) {
            const double sa = sigma_[static_cast<std::size_t>(a)];
            const double sb = sigma_[static_cast<std::size_t>(b)];
            return sa > sb || (sa == sb && a < b);
        };
        if (static_cast<int>(pick.size()) > room) {
            std::nth_element(pick.begin(), pick.begin() + room, pick.end(), better);
            pick.resize(static_cast<std::size_t>(room));
        }
    }

    const SetProblem& sp_;
    int p_;
    Pool& pool_;
    CoverLists lists_;
    bool nonNegative_ = true;
    double magnitude_ = 0, preSum_ = 0, reachable_ = 0;
    std::vector<double> sigma_;
    std::vector<char> covered_;
    double fixed_ = 0; // population of the cells covered whatever the free candidates
    std::vector<int> live_;
};

} // namespace

std::unique_ptr<SetBounder> MakeCoverBounder(const SetProblem& sp, int p, Pool& pool) {
    return std::make_unique<CoverBounder>(sp, p, pool);
}

Support GreedyCover(const SetProblem& sp, int p) {
    const CoverLists lists = MakeLists(sp);
    std::vector<char> covered(lists.pre.begin(), lists.pre.end());
    Support s;
    for (int step = 0; step < p; ++step) {
        int chosen = -1;
        double most = 0;
        for (int j = 0; j < sp.C; ++j) {
            if (std::binary_search(s.begin(), s.end(), j))
                continue;
            double gain = 0;
            for (int i = lists.start[static_cast<std::size_t>(j)];
                 i < lists.start[static_cast<std::size_t>(j) + 1]; ++i) {
                const std::uint16_t k = lists.cells[static_cast<std::size_t>(i)];
                if (!covered[k])
                    gain += sp.g.pop[k];
            }
            if (chosen < 0 || gain > most) {
                chosen = j;
                most = gain;
            }
        }
        if (chosen < 0 || (step > 0 && !(most > 0)))
            break;
        s.insert(std::upper_bound(s.begin(), s.end(), chosen), chosen);
        for (int i = lists.start[static_cast<std::size_t>(chosen)];
             i < lists.start[static_cast<std::size_t>(chosen) + 1]; ++i)
            covered[lists.cells[static_cast<std::size_t>(i)]] = 1;
    }
    return s;
}

Support InterchangeCover(const SetProblem& sp, int p, Support s, const SetClock& clock) {
    const CoverLists lists = MakeLists(sp);
    const int C = sp.C, K = sp.K;
    double key = sp.Key(s);
    std::vector<int> count(static_cast<std::size_t>(K)), owner(static_cast<std::size_t>(K));
    std::vector<double> gain(static_cast<std::size_t>(C)), extra;
    for (int round = 0; round < 1000 && !clock.Stopping(); ++round) {
        const int q = static_cast<int>(s.size());
        std::fill(count.begin(), count.end(), 0);
        for (int i = 0; i < q; ++i) {
            const int j = s[static_cast<std::size_t>(i)];
            for (int x = lists.start[static_cast<std::size_t>(j)];
                 x < lists.start[static_cast<std::size_t>(j) + 1]; ++x) {
                const std::uint16_t k = lists.cells[static_cast<std::size_t>(x)];
                ++count[k];
                owner[k] = i;
            }
        }
        std::vector<double> loss(static_cast<std::size_t>(q), 0.0);
        std::fill(gain.begin(), gain.end(), 0.0);
        extra.assign(static_cast<std::size_t>(q) * C, 0.0);
        for (int j = 0; j < C; ++j)
            for (int x = lists.start[static_cast<std::size_t>(j)];
                 x < lists.start[static_cast<std::size_t>(j) + 1]; ++x) {
                const std::uint16_t k = lists.cells[static_cast<std::size_t>(x)];
                const double w = sp.g.pop[k];
                if (count[k] == 0)
                    gain[static_cast<std::size_t>(j)] += w;
                else if (count[k] == 1)
                    extra[static_cast<std::size_t>(owner[k]) * C + j] += w;
            }
        for (int k = 0; k < K; ++k)
            if (count[static_cast<std::size_t>(k)] == 1)
                loss[static_cast<std::size_t>(owner[static_cast<std::size_t>(k)])] +=
                    sp.g.pop[static_cast<std::size_t>(k)];
        double bestProfit = 0;
        int out = -1, in = -1;
        for (int j = 0; j < C; ++j) {
            if (std::binary_search(s.begin(), s.end(), j))
                continue;
            if (q < p && gain[static_cast<std::size_t>(j)] > bestProfit) {
                bestProfit = gain[static_cast<std::size_t>(j)];
                out = -1;
                in = j;
            }
            for (int i = 0; i < q; ++i) {
                const double profit = gain[static_cast<std::size_t>(j)] -
                                      loss[static_cast<std::size_t>(i)] +
                                      extra[static_cast<std::size_t>(i) * C + j];
                if (profit > bestProfit) {
                    bestProfit = profit;
                    out = i;
                    in = j;
                }
            }
        }
        if (in < 0 || !(bestProfit > 1e-12 * std::fabs(key)))
            break;
        Support next = s;
        if (out >= 0)
            next.erase(next.begin() + out);
        next.insert(std::upper_bound(next.begin(), next.end(), in), in);
        const double nextKey = sp.Key(next);
        if (!(nextKey < key))
            break;
        s = std::move(next);
        key = nextKey;
    }
    return s;
}

} // namespace davrenta::fastsearch_detail
