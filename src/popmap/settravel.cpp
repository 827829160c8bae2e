#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "popmap/fastkernel.h"
#include "popmap/setmeasures.h"

// Minimize Travel for several new PODs.
//
// The bound is the Lagrangian relaxation of the assignment of the cells of positive population:
// with a multiplier l_k for each such cell (population w_k, existing distance e_k),
//   L(l) = sum_k min(l_k, w_k e_k) + sum over the chosen candidates j of r_j,
//   r_j = sum_k min(0, w_k d_jk - l_k),
// the chosen ones being the open candidates and the most negative r_j of the free ones up to p
// in all. For every set T of the node, sum_k w_k min(e_k, d(T, k)) >= L(l) (each cell's nearest
// POD is one of the choices the relaxation prices), whatever l. Cells of negative population
// add w_k min(e_k, d(open, k), farthest_k), which is no more than their term for any set of the
// node (adding PODs only brings the minimum down); cells of zero population add nothing.
//
// Rounding. The computed bound differs from L(l) by less than RoundingSlack(K + p) times the
// sum of the magnitudes added (every sum adds terms of one sign, and each term w d - l that
// counts is below l in magnitude), and a set's computed travel differs from its exact one by
// less than RoundingSlack(K) times sum_k |w_k| min(e_k, farthest_k); products that fall into
// the subnormal range add at most kUnderflowSlack each. The bound subtracts all of that, so a
// set it excludes has a computed travel strictly above it.
//
// The multipliers are improved by subgradient steps; reduced costs then close candidates that
// cannot be in a set as good as the best, and open those that every such set needs.

namespace davrenta::fastsearch_detail {

namespace {

// Cells are split into this many fixed parts for the parallel sums, so that the sums do not
// depend on the number of threads.
constexpr int kParts = 4;
// Where between a cell's nearest and second nearest POD of the best set its starting price
// lies.
constexpr double kStartShare = 0.6;

// The two sums of the bound, in vectors of doubles (each operation the IEEE operation on each
// element; a sum's order may differ from a scalar loop's, which the rounding allowance covers).
typedef double Pair __attribute__((vector_size(16)));

// r_j for kKernelLanes candidates from `first` on one line (the mirrored table puts their
// distances to a cell side by side): the sum over the cells of min(0, w d - l).
template <typename V>
inline __attribute__((always_inline)) void PriceLoop(const Grid& g, const double* w,
                                                     const double* lambda, const int* mirror,
                                                     int cells, int first, double* out) {
    constexpr int W = static_cast<int>(sizeof(V) / sizeof(double));
    constexpr int N = kKernelLanes / W;
    const double* table = g.mirror.data() + g.candMirror[static_cast<std::size_t>(first)];
    V sum[N], zero;
    for (int e = 0; e < W; ++e)
        zero[e] = 0.0;
    for (int i = 0; i < N; ++i)
        sum[i] = zero;
    for (int c = 0; c < cells; ++c) {
        V wc, lc;
        for (int e = 0; e < W; ++e) {
            wc[e] = w[c];
            lc[e] = lambda[c];
        }
        const double* row = table + mirror[c];
#pragma GCC unroll 8
        for (int i = 0; i < N; ++i) {
            V d;
            std::memcpy(&d, row + W * i, sizeof d);
            const V t = wc * d - lc;
            sum[i] += t < zero ? t : zero;
        }
    }
    for (int i = 0; i < N; ++i)
        std::memcpy(out + W * i, &sum[i], sizeof(V));
}

// acc[x] += term(d[x]) over a run of candidates, W at a time.
template <typename V, typename Term>
inline __attribute__((always_inline)) void RunLoop(double* acc, const double* d, int n, Term term) {
    constexpr int W = static_cast<int>(sizeof(V) / sizeof(double));
    int x = 0;
    for (; x + W <= n; x += W) {
        V dv, a;
        std::memcpy(&dv, d + x, sizeof dv);
        std::memcpy(&a, acc + x, sizeof a);
        a += term(dv);
        std::memcpy(acc + x, &a, sizeof a);
    }
    for (; x < n; ++x)
        acc[x] += term(d[x]);
}

template <typename V> inline __attribute__((always_inline)) V Splat(double x) {
    V v;
    for (std::size_t e = 0; e < sizeof(V) / sizeof(double); ++e)
        v[e] = x;
    return v;
}
inline double Splat1(double x) {
    return x;
}

// Everything a wide kernel calls is inlined into it: a 32-byte vector passed to or returned
// from a function built without AVX does not travel as the AVX caller expects (unoptimised
// builds do call them).
// The terms: min(0, w d - l) for the bound; w max(0, d1 - d) for what a POD at d gains; and
// w max(0, d2 - max(d, d1)) for what it gives back when the nearest POD leaves.
template <typename V> struct Price {
    V w, l, zero;
    __attribute__((always_inline)) Price(double wv, double lv)
        : w(Splat<V>(wv)), l(Splat<V>(lv)), zero(Splat<V>(0)) {}
    __attribute__((always_inline)) V operator()(V d) const {
        const V t = w * d - l;
        return t < zero ? t : zero;
    }
    __attribute__((always_inline)) double operator()(double d) const {
        const double t = w[0] * d - l[0];
        return t < 0 ? t : 0.0;
    }
};
template <typename V> struct Gain {
    V w, d1, zero;
    __attribute__((always_inline)) Gain(double wv, double d1v)
        : w(Splat<V>(wv)), d1(Splat<V>(d1v)), zero(Splat<V>(0)) {}
    __attribute__((always_inline)) V operator()(V d) const {
        const V t = d1 - d;
        return w * (t > zero ? t : zero);
    }
    __attribute__((always_inline)) double operator()(double d) const {
        const double t = d1[0] - d;
        return w[0] * (t > 0 ? t : 0.0);
    }
};
template <typename V> struct GiveBack {
    V w, d1, d2, zero;
    __attribute__((always_inline)) GiveBack(double wv, double d1v, double d2v)
        : w(Splat<V>(wv)), d1(Splat<V>(d1v)), d2(Splat<V>(d2v)), zero(Splat<V>(0)) {}
    __attribute__((always_inline)) V operator()(V d) const {
        const V t = d2 - (d > d1 ? d : d1);
        return w * (t > zero ? t : zero);
    }
    __attribute__((always_inline)) double operator()(double d) const {
        const double t = d2[0] - (d > d1[0] ? d : d1[0]);
        return w[0] * (t > 0 ? t : 0.0);
    }
};

#if DAVRENTA_WIDE_KERNEL
typedef double Quad __attribute__((vector_size(32)));
__attribute__((target("avx2"))) void PriceWide(const Grid& g, const double* w, const double* lambda,
                                               const int* mirror, int cells, int first,
                                               double* out) {
    PriceLoop<Quad>(g, w, lambda, mirror, cells, first, out);
}
__attribute__((target("avx2"))) void PriceRunWide(double* acc, const double* d, int n, double w,
                                                  double l) {
    RunLoop<Quad>(acc, d, n, Price<Quad>(w, l));
}
__attribute__((target("avx2"))) void GainRunWide(double* acc, const double* d, int n, double w,
                                                 double d1) {
    RunLoop<Quad>(acc, d, n, Gain<Quad>(w, d1));
}
__attribute__((target("avx2"))) void GiveBackRunWide(double* acc, const double* d, int n, double w,
                                                     double d1, double d2) {
    RunLoop<Quad>(acc, d, n, GiveBack<Quad>(w, d1, d2));
}
#endif

void PriceGroup(const Grid& g, const double* w, const double* lambda, const int* mirror, int cells,
                int first, double* out) {
#if DAVRENTA_WIDE_KERNEL
    if (WideVectorsAvailable()) {
        PriceWide(g, w, lambda, mirror, cells, first, out);
        return;
    }
#endif
    PriceLoop<Pair>(g, w, lambda, mirror, cells, first, out);
}

void ScatterRun(double* acc, const double* d, int n, double w, double l) {
#if DAVRENTA_WIDE_KERNEL
    if (WideVectorsAvailable()) {
        PriceRunWide(acc, d, n, w, l);
        return;
    }
#endif
    RunLoop<Pair>(acc, d, n, Price<Pair>(w, l));
}

void GainRun(double* acc, const double* d, int n, double w, double d1) {
#if DAVRENTA_WIDE_KERNEL
    if (WideVectorsAvailable()) {
        GainRunWide(acc, d, n, w, d1);
        return;
    }
#endif
    RunLoop<Pair>(acc, d, n, Gain<Pair>(w, d1));
}

void GiveBackRun(double* acc, const double* d, int n, double w, double d1, double d2) {
#if DAVRENTA_WIDE_KERNEL
    if (WideVectorsAvailable()) {
        GiveBackRunWide(acc, d, n, w, d1, d2);
        return;
    }
#endif
    RunLoop<Pair>(acc, d, n, GiveBack<Pair>(w, d1, d2));
}

class TravelBounder final : public SetBounder {
  public:
    TravelBounder(const SetProblem& sp, int p, Pool& pool) : sp_(sp), p_(p), pool_(pool) {
        const Grid& g = sp.g;
        for (int k = 0; k < sp.K; ++k) {
            const double w = g.pop[static_cast<std::size_t>(k)];
            const double e = g.prior[static_cast<std::size_t>(k)];
            const double far = sp.Farthest()[static_cast<std::size_t>(k)];
            magnitude_ += std::fabs(w) * std::min(e, far);
            if (w > 0) {
                cell_.push_back(k);
                w_.push_back(w);
                c0_.push_back(w * e);
            } else if (w < 0) {
                negative_.push_back(k);
            }
        }
        const std::size_t C = static_cast<std::size_t>(sp.C);
        rho_.assign(C, 0.0);
        part_.assign(static_cast<std::size_t>(kParts), std::vector<double>(C, 0.0));
        count_.assign(cell_.size(), 0);
        for (int k : cell_)
            mirror_.push_back(g.cellMirror[static_cast<std::size_t>(k)]);
        // The first cell of positive population on each line, lines 1..L + 1.
        lineStart_.assign(static_cast<std::size_t>(g.lastLine) + 2, 0);
        for (int l = 1, i = 0; l <= g.lastLine + 1; ++l) {
            while (i < static_cast<int>(cell_.size()) &&
                   g.cellLine[static_cast<std::size_t>(cell_[static_cast<std::size_t>(i)])] < l)
                ++i;
            lineStart_[static_cast<std::size_t>(l)] = i;
        }
    }

    double Floor() const override {
        // Positive terms are at least 0; negative ones at least w min(e, farthest).
        if (negative_.empty())
            return 0; // every computed travel is a sum of terms of at least 0
        double floor = 0;
        for (int k : negative_)
            floor += sp_.g.pop[static_cast<std::size_t>(k)] *
                     std::min(sp_.g.prior[static_cast<std::size_t>(k)],
                              sp_.Farthest()[static_cast<std::size_t>(k)]);
        return floor - Slack(std::fabs(floor), 0);
    }

    std::vector<double> Start(const Support& best) override {
        // Each cell priced between its travel to the best set's nearest POD and to the next.
        std::vector<double> lambda(cell_.size());
        for (std::size_t i = 0; i < cell_.size(); ++i) {
            const int k = cell_[i];
            double d1 = sp_.g.prior[static_cast<std::size_t>(k)];
            double d2 = d1;
            for (int j : best) {
                const double d = sp_.Distance(j, k);
                if (d < d1) {
                    d2 = d1;
                    d1 = d;
                } else if (d < d2)
                    d2 = d;
            }
            const double m = d1 + kStartShare * (std::min(d2, 1e3) - d1);
            lambda[i] = std::min(w_[i] * m, c0_[i]);
        }
        return lambda;
    }

    NodeBound Bound(SetNode& node, const Incumbent& best, int iterations,
                    const std::function<void(const Support&, double)>& tryPick) override {
        const int C = sp_.C;
        std::vector<double>& lambda = node.multipliers;
        status_.assign(static_cast<std::size_t>(C), 0);
        for (int j = 0; j < C; ++j) {
            if (node.IsClosed(j))
                status_[static_cast<std::size_t>(j)] = kClosed;
            else if (node.IsOpen(j))
                status_[static_cast<std::size_t>(j)] = kOpen;
        }
        double negative = NegativePart(node.open);
        Support first = FirstSupport(node, C, p_);

        NodeBound out;
        out.bound = -std::numeric_limits<double>::infinity();
        Snapshot snap;
        std::vector<double> bestLambda = lambda;
        double theta = node.depth == 0 ? 2.0 : 1.0;
        int sinceBetter = 0;
        const int patience = node.depth == 0 ? 25 : 6;
        std::vector<int> pick;
        for (int it = 0; it < iterations; ++it) {
            const int room = p_ - static_cast<int>(node.open.size());
            if (!ComputeRho(lambda, Live()))
                break; // stopped half way: these sums are not a bound
            Choose(room, pick);
            double sumMin = 0, sumLambda = 0, sumPick = 0;
            for (std::size_t i = 0; i < cell_.size(); ++i) {
                sumMin += std::min(lambda[i], c0_[i]);
                sumLambda += lambda[i];
            }
            for (int j : node.open)
                sumPick += rho_[static_cast<std::size_t>(j)];
            for (int j : pick)
                sumPick += rho_[static_cast<std::size_t>(j)];
            const double L = sumMin + sumPick + negative;
            const double rigorous =
                L - Slack(sumMin + std::fabs(sumPick) + std::fabs(negative), sumLambda);
            if (rigorous > out.bound) {
                if (rigorous > out.bound + 1e-9 * std::fabs(rigorous))
                    sinceBetter = 0;
                out.bound = rigorous;
                bestLambda = lambda;
                snap.rho = rho_;
                snap.pick = pick;
                snap.status = status_;
                snap.room = room;
                snap.bound = rigorous;
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
            // Now and then, leave out what the reduced costs rule out, so that the sums that
            // follow cost less.
            if (it % 10 == 9 && Fix(node, snap, best, out)) {
                negative = NegativePart(node.open);
                first = FirstSupport(node, C, p_);
                if (static_cast<int>(node.open.size()) > p_ || best.Excludes(out.bound, first))
                    break;
                if (Enumerable(node))
                    break;
            }

            // The subgradient: 1 minus the number of chosen candidates that price each cell.
            std::fill(count_.begin(), count_.end(), 0);
            auto priced = [&](int j) {
                for (std::size_t i = 0; i < cell_.size(); ++i)
                    if (w_[i] * sp_.Distance(j, cell_[i]) < lambda[i])
                        ++count_[i];
            };
            for (int j : node.open)
                priced(j);
            for (int j : pick)
                priced(j);
            double norm = 0;
            for (std::size_t i = 0; i < cell_.size(); ++i) {
                const double gi = 1.0 - count_[i];
                // Projected: a multiplier at its cap with a positive step stays there.
                if ((gi > 0 && lambda[i] >= c0_[i]) || (gi < 0 && lambda[i] <= 0))
                    continue;
                norm += gi * gi;
            }
            if (norm == 0)
                break; // the relaxation's choice prices every cell once: no better multipliers
            const double target = best.have ? best.key : L + std::fabs(L) * 0.05 + 1e-12;
            const double step = theta * std::max(target - L, 1e-7 * std::fabs(L)) / norm;
            for (std::size_t i = 0; i < cell_.size(); ++i) {
                const double gi = 1.0 - count_[i];
                lambda[i] = std::clamp(lambda[i] + step * gi, 0.0, c0_[i]);
            }
        }
        lambda = std::move(bestLambda);
        if (snap.rho.empty())
            return out;
        Fix(node, snap, best, out);

        out.pick.clear();
        for (int j : snap.pick)
            if (!node.IsClosed(j))
                out.pick.push_back(j);
        double most = 0;
        for (int j : out.pick)
            if (!node.IsOpen(j) && snap.rho[static_cast<std::size_t>(j)] < most) {
                most = snap.rho[static_cast<std::size_t>(j)];
                out.branch = j;
            }
        return out;
    }

  private:
    static constexpr char kOpen = 1, kClosed = 2;

    // The relaxation at its best multipliers so far, with the node as it stood then.
    struct Snapshot {
        std::vector<double> rho;
        std::vector<int> pick;
        std::vector<char> status;
        int room = 0;
        double bound = 0;
    };

    int Live() const {
        int live = 0;
        for (char st : status_)
            live += st != kClosed;
        return live;
    }

    bool Enumerable(const SetNode& node) const {
        int free = 0;
        for (char st : status_)
            free += st == 0;
        return NodeEnumerable(free, p_ - static_cast<int>(node.open.size()));
    }

    // Reduced costs at a snapshot: a free candidate whose presence would put every set above
    // the best is closed, one whose absence would is opened. Valid for the node as it is now,
    // which holds no more sets than it did then. Applied to the node and listed in out.
    bool Fix(SetNode& node, const Snapshot& snap, const Incumbent& best, NodeBound& out) {
        if (!best.have || snap.rho.empty())
            return false;
        const int C = sp_.C;
        std::vector<char> chosen(static_cast<std::size_t>(C), 0);
        double worst = -std::numeric_limits<double>::infinity(); // the least negative choice
        for (int j : snap.pick) {
            chosen[static_cast<std::size_t>(j)] = 1;
            worst = std::max(worst, snap.rho[static_cast<std::size_t>(j)]);
        }
        const bool full = static_cast<int>(snap.pick.size()) == snap.room;
        double next = 0; // the most negative free candidate not chosen
        for (int j = 0; j < C; ++j)
            if (snap.status[static_cast<std::size_t>(j)] == 0 &&
                !chosen[static_cast<std::size_t>(j)])
                next = std::min(next, snap.rho[static_cast<std::size_t>(j)]);
        bool changed = false;
        for (int j = 0; j < C; ++j) {
            if (snap.status[static_cast<std::size_t>(j)] != 0 ||
                status_[static_cast<std::size_t>(j)] != 0)
                continue;
            const double r = snap.rho[static_cast<std::size_t>(j)];
            if (chosen[static_cast<std::size_t>(j)]) {
                // Without j: its place goes to the next best.
                if (snap.bound - r + next > best.key + Margin(r, next)) {
                    status_[static_cast<std::size_t>(j)] = kOpen;
                    node.open.insert(std::upper_bound(node.open.begin(), node.open.end(), j), j);
                    out.open.push_back(j);
                    changed = true;
                }
            } else {
                // With j: it takes the place of the worst choice when there is no room.
                const double with = snap.bound + r - (full ? worst : 0.0);
                if (snap.room == 0 || with > best.key + Margin(r, worst)) {
                    status_[static_cast<std::size_t>(j)] = kClosed;
                    node.Close(j);
                    out.close.push_back(j);
                    changed = true;
                }
            }
        }
        return changed;
    }

    // The rounding allowance for a bound made of terms of these magnitudes.
    double Slack(double magnitude, double sumLambda) const {
        const double ops = sp_.K + p_ + 4;
        return RoundingSlack(ops) * (magnitude + magnitude_) + RoundingSlack(p_) * sumLambda +
               kUnderflowSlack * 4.0 * (p_ + 4) * (sp_.K + sp_.C);
    }
    // The extra allowance of one reduced-cost step.
    double Margin(double a, double b) const {
        return RoundingSlack(8) * (std::fabs(a) + std::fabs(b));
    }

    double NegativePart(const Support& open) const {
        double sum = 0;
        for (int k : negative_) {
            double m = std::min(sp_.g.prior[static_cast<std::size_t>(k)],
                                sp_.Farthest()[static_cast<std::size_t>(k)]);
            for (int j : open)
                m = std::min(m, sp_.Distance(j, k));
            sum += sp_.g.pop[static_cast<std::size_t>(k)] * m;
        }
        return sum;
    }

    // r_j for every candidate not closed, by whichever way costs less: scattering each cell's
    // terms over the candidates within its radius, or summing each candidate's terms.
    // False when the run was stopped before every sum was made.
    bool ComputeRho(const std::vector<double>& lambda, int live) {
        const std::size_t cells = cell_.size();
        const double dense = static_cast<double>(live) * static_cast<double>(cells);
        const Grid& g = sp_.g;
        if (discWork_ > 0 && dense < discWork_) {
            // The line offset beyond which no cell's radius reaches.
            double radius = 0;
            for (std::size_t i = 0; i < cells; ++i)
                radius = std::max(radius, lambda[i] / w_[i]);
            radius *= 1 + 1e-12;
            int reach = 0;
            while (reach + 1 < kMapLines && sp_.At(reach + 1, 0) < radius)
                ++reach;
            // Runs of live candidates on one line, eight at a time.
            groups_.clear();
            for (int l = 1; l <= g.lastLine; ++l)
                for (int j = g.candLineStart[l]; j < g.candLineStart[l + 1];) {
                    if (status_[static_cast<std::size_t>(j)] == kClosed) {
                        ++j;
                        continue;
                    }
                    const int end = std::min(j + kKernelLanes, g.candLineStart[l + 1]);
                    groups_.push_back({j, end - j});
                    j = end;
                }
            const int items = static_cast<int>(groups_.size());
            constexpr int chunk = 8;
            const bool ran =
                pool_.Run((items + chunk - 1) / chunk, nullptr, false, 0, [&](int item, int) {
                    const int end = std::min(items, (item + 1) * chunk);
                    for (int x = item * chunk; x < end; ++x) {
                        const auto [first, lanes] = groups_[static_cast<std::size_t>(x)];
                        // Only cells on lines within the largest radius can add a term.
                        const int l = g.candLine[static_cast<std::size_t>(first)];
                        const int c0 = lineStart_[static_cast<std::size_t>(std::max(1, l - reach))];
                        const int c1 = lineStart_[static_cast<std::size_t>(
                            std::min(g.lastLine, l + reach) + 1)];
                        double out[kKernelLanes];
                        PriceGroup(g, w_.data() + c0, lambda.data() + c0, mirror_.data() + c0,
                                   c1 - c0, first, out);
                        for (int q = 0; q < lanes; ++q)
                            rho_[static_cast<std::size_t>(first + q)] = out[q];
                    }
                });
            discWork_ *= 0.98; // look again at the other way now and then
            return ran;
        }
        std::vector<double> work(static_cast<std::size_t>(kParts), 0.0);
        const bool ran = pool_.Run(kParts, nullptr, false, 0, [&](int part, int) {
            std::vector<double>& acc = part_[static_cast<std::size_t>(part)];
            std::fill(acc.begin(), acc.end(), 0.0);
            const std::size_t begin = cells * static_cast<std::size_t>(part) / kParts;
            const std::size_t end = cells * static_cast<std::size_t>(part + 1) / kParts;
            double touched = 0;
            for (std::size_t i = begin; i < end; ++i) {
                const double l = lambda[i];
                if (!(l > 0))
                    continue;
                const double w = w_[i];
                // A little beyond the radius, so that rounding cannot leave out a term.
                const double radius = l / w * (1 + 1e-12);
                sp_.Disc(cell_[i], radius, true, [&](int first, int last, const double* d) {
                    ScatterRun(acc.data() + first, d, last - first + 1, w, l);
                    touched += last - first + 1;
                });
            }
            work[static_cast<std::size_t>(part)] = touched;
        });
        if (!ran)
            return false;
        for (int j = 0; j < sp_.C; ++j) {
            double r = 0;
            for (int part = 0; part < kParts; ++part)
                r += part_[static_cast<std::size_t>(part)][static_cast<std::size_t>(j)];
            rho_[static_cast<std::size_t>(j)] = r;
        }
        discWork_ = 0;
        for (double w : work)
            discWork_ += w;
        return ran;
    }

    // The free candidates with the most negative r_j, up to room of them, in cell order of
    // equal values.
    void Choose(int room, std::vector<int>& pick) {
        pick.clear();
        if (room <= 0)
            return;
        for (int j = 0; j < sp_.C; ++j)
            if (status_[static_cast<std::size_t>(j)] == 0 && rho_[static_cast<std::size_t>(j)] < 0)
                pick.push_back(j);
        auto better = [&](int a, int b) {
            const double ra = rho_[static_cast<std::size_t>(a)];
            const double rb = rho_[static_cast<std::size_t>(b)];
            return ra < rb || (ra == rb && a < b);
        };
        if (static_cast<int>(pick.size()) > room) {
            std::nth_element(pick.begin(), pick.begin() + room, pick.end(), better);
            pick.resize(static_cast<std::size_t>(room));
        }
    }

    const SetProblem& sp_;
    int p_;
    Pool& pool_;
    std::vector<int> cell_, negative_;
    std::vector<double> w_, c0_;
    double magnitude_ = 0; // sum of |w| min(e, farthest) over all cells
    std::vector<double> rho_;
    std::vector<std::vector<double>> part_;
    std::vector<int> count_;
    std::vector<char> status_;
    std::vector<std::pair<int, int>> groups_; // first candidate, lanes
    std::vector<int> mirror_;                 // each cell's offset in the mirrored table
    std::vector<int> lineStart_;              // first cell of positive population per line
    double discWork_ = 0;
};

// The state of a set for the exchanges: each cell's nearest and second nearest distance over
// the existing PODs and the set, and which POD of the set is nearest (-1 for an existing one,
// which keeps a tie).
struct Nearest {
    std::vector<double> d1, d2;
    std::vector<int> a1;
};

Nearest Assign(const SetProblem& sp, const Support& s) {
    Nearest n;
    const std::size_t K = static_cast<std::size_t>(sp.K);
    n.d1.assign(K, 0);
    n.d2.assign(K, 0);
    n.a1.assign(K, -1);
    for (int k = 0; k < sp.K; ++k) {
        double d1 = sp.g.prior[static_cast<std::size_t>(k)];
        double d2 = std::numeric_limits<double>::infinity();
        int a1 = -1;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const double d = sp.Distance(s[i], k);
            if (d < d1) {
                d2 = d1;
                d1 = d;
                a1 = static_cast<int>(i);
            } else if (d < d2) {
                d2 = d;
            }
        }
        n.d1[static_cast<std::size_t>(k)] = d1;
        n.d2[static_cast<std::size_t>(k)] = d2;
        n.a1[static_cast<std::size_t>(k)] = a1;
    }
    return n;
}

} // namespace

Support GreedyTravel(const SetProblem& sp, int p) {
    Support s;
    std::vector<double> m(sp.g.prior.begin(), sp.g.prior.end());
    std::vector<double> gain(static_cast<std::size_t>(sp.C));
    for (int step = 0; step < p; ++step) {
        std::fill(gain.begin(), gain.end(), 0.0);
        for (int k = 0; k < sp.K; ++k) {
            const double w = sp.g.pop[static_cast<std::size_t>(k)];
            const double mk = m[static_cast<std::size_t>(k)];
            if (w == 0)
                continue;
            sp.Disc(k, mk, true, [&](int first, int last, const double* d) {
                for (int j = first; j <= last; ++j) {
                    const double dj = d[j - first];
                    if (dj < mk)
                        gain[static_cast<std::size_t>(j)] += w * (mk - dj);
                }
            });
        }
        int chosen = -1;
        for (int j = 0; j < sp.C; ++j)
            if (!std::binary_search(s.begin(), s.end(), j) &&
                (chosen < 0 ||
                 gain[static_cast<std::size_t>(j)] > gain[static_cast<std::size_t>(chosen)]))
                chosen = j;
        if (chosen < 0)
            break;
        s.insert(std::upper_bound(s.begin(), s.end(), chosen), chosen);
        for (int k = 0; k < sp.K; ++k)
            m[static_cast<std::size_t>(k)] =
                std::min(m[static_cast<std::size_t>(k)], sp.Distance(chosen, k));
    }
    return s;
}

Support InterchangeTravel(const SetProblem& sp, int p, Support s, const SetClock& clock,
                          Pool& pool) {
    (void)p;
    const int C = sp.C;
    double key = sp.Key(s);
    constexpr int kInterchangeParts = 4;
    struct Part {
        std::vector<double> gain, extra, loss;
    };
    std::vector<Part> parts(kInterchangeParts);
    for (int round = 0; round < 1000 && !clock.Stopping(); ++round) {
        const int q = static_cast<int>(s.size());
        const Nearest n = Assign(sp, s);
        // Each part's sums over its cells; the parts added in order, whatever the threads.
        const bool ran = pool.Run(kInterchangeParts, nullptr, false, 0, [&](int part, int) {
            Part& pt = parts[static_cast<std::size_t>(part)];
            pt.gain.assign(static_cast<std::size_t>(C), 0.0);
            pt.extra.assign(static_cast<std::size_t>(q) * C, 0.0);
            pt.loss.assign(static_cast<std::size_t>(q), 0.0);
            const int begin = sp.K * part / kInterchangeParts;
            const int end = sp.K * (part + 1) / kInterchangeParts;
            for (int k = begin; k < end; ++k) {
                const double w = sp.g.pop[static_cast<std::size_t>(k)];
                if (w == 0)
                    continue;
                const double d1 = n.d1[static_cast<std::size_t>(k)];
                const int a1 = n.a1[static_cast<std::size_t>(k)];
                sp.Disc(k, d1, true, [&](int first, int last, const double* d) {
                    GainRun(pt.gain.data() + first, d, last - first + 1, w, d1);
                });
                if (a1 < 0)
                    continue;
                const double d2 = n.d2[static_cast<std::size_t>(k)];
                pt.loss[static_cast<std::size_t>(a1)] += w * (d2 - d1);
                double* row = pt.extra.data() + static_cast<std::size_t>(a1) * C;
                sp.Disc(k, d2, true, [&](int first, int last, const double* d) {
                    GiveBackRun(row + first, d, last - first + 1, w, d1, d2);
                });
            }
        });
        if (!ran)
            break;
        for (int part = 1; part < kInterchangeParts; ++part) {
            const Part& pt = parts[static_cast<std::size_t>(part)];
            for (std::size_t x = 0; x < pt.gain.size(); ++x)
                parts[0].gain[x] += pt.gain[x];
            for (std::size_t x = 0; x < pt.extra.size(); ++x)
                parts[0].extra[x] += pt.extra[x];
            for (std::size_t x = 0; x < pt.loss.size(); ++x)
                parts[0].loss[x] += pt.loss[x];
        }
        const Part& sum = parts[0];
        double bestProfit = 0;
        int out = -1, in = -1;
        for (int i = 0; i < q; ++i)
            for (int j = 0; j < C; ++j) {
                const double profit = sum.gain[static_cast<std::size_t>(j)] -
                                      sum.loss[static_cast<std::size_t>(i)] +
                                      sum.extra[static_cast<std::size_t>(i) * C + j];
                if (profit > bestProfit && !std::binary_search(s.begin(), s.end(), j)) {
                    bestProfit = profit;
                    out = i;
                    in = j;
                }
            }
        if (out < 0 || !(bestProfit > 1e-12 * std::fabs(key)))
            break;
        Support next = s;
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

Support SearchNearTravel(const SetProblem& sp, int p, Support s, const SetClock& clock, Pool& pool,
                         int kicks) {
    s = InterchangeTravel(sp, p, s, clock, pool);
    double key = sp.Key(s);
    // Kicks: one or two PODs moved to other cells, then exchanges again; the better set stays.
    std::mt19937 rng(12345);
    for (int t = 0; t < kicks && !clock.Stopping() && !s.empty(); ++t) {
        Support next = Kick(s, sp.C, t, rng);
        next = InterchangeTravel(sp, p, next, clock, pool);
        const double nextKey = sp.Key(next);
        if (nextKey < key) {
            s = std::move(next);
            key = nextKey;
        }
    }
    return s;
}

std::unique_ptr<SetBounder> MakeTravelBounder(const SetProblem& sp, int p, Pool& pool) {
    return std::make_unique<TravelBounder>(sp, p, pool);
}

} // namespace davrenta::fastsearch_detail
