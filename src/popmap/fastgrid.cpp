#include "popmap/fastgrid.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "app/modulestate.h"

namespace davrenta::fastsearch_detail {

Grid MakeGeometry(const ModuleState& state) {
    const PopMap& fl = state.fl;
    Grid g;
    g.method = state.DistanceMethod;
    g.lastLine = LastMapLine(fl);

    // PodDistance is even in both offsets (the formulas take absolute values or squares, and
    // negating a product of a constant and a whole number is exact), so one quadrant of calls
    // fills the table.
    g.dist.resize(static_cast<std::size_t>(kLineSpan) * kColumnSpan);
    g.mirror.assign(g.dist.size() + kKernelLanes, 0.0);
    auto at = [](int dl, int dc) {
        return static_cast<std::size_t>((dl + kMapLines - 1) * kColumnSpan + dc + kMapColumns - 1);
    };
    for (int dl = 0; dl < kMapLines; ++dl)
        for (int dc = 0; dc < kMapColumns; ++dc) {
            const double d = PodDistance(g.method, dl, dc);
            for (int sl : {-1, 1})
                for (int sc : {-1, 1}) {
                    g.dist[at(sl * dl, sc * dc)] = d;
                    g.mirror[at(sl * dl, -sc * dc)] = d;
                }
        }
    for (int row = 0; row < kLineSpan; ++row)
        g.rowMin[static_cast<std::size_t>(row)] = *std::min_element(
            g.dist.begin() + row * kColumnSpan, g.dist.begin() + (row + 1) * kColumnSpan);

    // Only one-character symbols can match a cell.
    const std::array<bool, 256> isArea = AreaCharacters(fl);

    int cells = 0;
    for (int i = 1; i <= g.lastLine; ++i)
        cells += CellsInLine(fl, i);
    for (auto* v : {&g.candLine, &g.candColumn, &g.candBase, &g.candMirror, &g.cellLine,
                    &g.cellColumn, &g.cellOffset, &g.cellMirror})
        v->reserve(static_cast<std::size_t>(cells));
    for (int i = 1; i <= g.lastLine; ++i) {
        g.candLineStart[i] = g.C;
        g.cellLineStart[i] = g.K;
        const int length = CellsInLine(fl, i);
        const std::string& line = fl.MapLine[i];
        for (int j = 1; j <= length; ++j) {
            g.candLine.push_back(i);
            g.candColumn.push_back(j);
            g.candBase.push_back((kMapLines - 1 - i) * kColumnSpan + (kMapColumns - 1 - j));
            g.candMirror.push_back((kMapLines - 1 - i) * kColumnSpan + (kMapColumns - 1 + j));
            ++g.C;
            if (!isArea[static_cast<unsigned char>(line[static_cast<std::size_t>(j - 1)])])
                continue;
            g.cellLine.push_back(i);
            g.cellColumn.push_back(j);
            g.cellOffset.push_back(i * kColumnSpan + j);
            g.cellMirror.push_back(i * kColumnSpan - j);
            ++g.K;
        }
    }
    g.candLineStart[g.lastLine + 1] = g.C;
    g.cellLineStart[g.lastLine + 1] = g.K;

    // The existing PODs exactly as the assignment rule meets them, the lowest number winning
    // ties. They may lie anywhere; off the table's offsets their distances come from the
    // formula.
    const int n = fl.ExistingPodCount;
    g.prior.assign(static_cast<std::size_t>(g.K), kBigValue);
    g.priorPod.assign(static_cast<std::size_t>(g.K), 0);
    // rows[k] + j indexes the distance from column j of line i to POD k; -1 marks a POD off
    // the table's offsets.
    constexpr long long kOffTable = -1;
    std::vector<long long> rows(static_cast<std::size_t>(n + 1));
    for (int i = 1; i <= g.lastLine; ++i) {
        for (int k = 1; k <= n; ++k) {
            const long long dl = static_cast<long long>(i) - fl.PodLine[k];
            const long long column = fl.PodColumn[k];
            const bool onTable =
                std::llabs(dl) <= kMapLines - 1 && column >= 1 && column <= kMapColumns;
            rows[static_cast<std::size_t>(k)] =
                onTable ? static_cast<long long>(at(static_cast<int>(dl), 0)) - column : kOffTable;
        }
        for (int c = g.cellLineStart[i]; c < g.cellLineStart[i + 1]; ++c) {
            const int j = g.cellColumn[static_cast<std::size_t>(c)];
            double minimum = kBigValue;
            int nearest = 0;
            for (int k = 1; k <= n; ++k) {
                const long long row = rows[static_cast<std::size_t>(k)];
                const double d = row != kOffTable ? g.dist[static_cast<std::size_t>(row + j)]
                                                  : PodDistance(g.method, i - fl.PodLine[k],
                                                                j - fl.PodColumn[k]);
                if (d < minimum) {
                    minimum = d;
                    nearest = k;
                }
            }
            g.prior[static_cast<std::size_t>(c)] = minimum;
            g.priorPod[static_cast<std::size_t>(c)] = nearest;
        }
    }
    return g;
}

void AddPopulations(Grid& g, const PopMap& fl) {
    g.pop.resize(static_cast<std::size_t>(g.K));
    g.priorLabel.resize(static_cast<std::size_t>(g.K));
    for (int k = 0; k < g.K; ++k) {
        g.pop[static_cast<std::size_t>(k)] = fl.CellPopulation(g.cellLine[k], g.cellColumn[k]);
        const int pod = g.priorPod[static_cast<std::size_t>(k)];
        g.priorLabel[static_cast<std::size_t>(k)] = pod > 0 ? fl.PodSymbol[pod][0] : 0;
    }
}

Grid MakeGrid(const ModuleState& state) {
    Grid g = MakeGeometry(state);
    AddPopulations(g, state.fl);
    return g;
}

Cap MakeReach(const Grid& g, std::vector<double> value) {
    Cap cap;
    const int K = g.K;
    cap.value = std::move(value);
    cap.prefixMax.assign(K + 1, 0.0);
    cap.suffixMax.assign(K + 1, 0.0);
    for (int k = 0; k < K; ++k)
        cap.prefixMax[k + 1] = cap.value[k] > cap.prefixMax[k] ? cap.value[k] : cap.prefixMax[k];
    for (int k = K - 1; k >= 0; --k)
        cap.suffixMax[k] =
            cap.value[k] > cap.suffixMax[k + 1] ? cap.value[k] : cap.suffixMax[k + 1];
    cap.max = cap.prefixMax[K];

    // Which lines a POD at each candidate can reach. far[dl][dc] is the smallest distance at
    // line offset dl or more and column offset dc, so a cell with ceiling e and column offset
    // dc can be brought below e only from a line offset dl with far[dl][dc] < e; far grows
    // with dl by construction, so the largest such dl is found by bisection. Per line and
    // candidate column the largest over the line's cells says whether the line is reachable.
    constexpr int kLines = kMapLines, kColumns = kMapColumns;
    std::vector<double> far(static_cast<std::size_t>(kLines) * kColumns);
    for (int dc = 0; dc < kColumns; ++dc) {
        double smallest = std::numeric_limits<double>::infinity();
        for (int dl = kLines - 1; dl >= 0; --dl) {
            for (int sl : {-1, 1})
                for (int sc : {-1, 1}) {
                    const std::size_t at = static_cast<std::size_t>(
                        (sl * dl + kLines - 1) * kColumnSpan + sc * dc + kColumns - 1);
                    smallest = std::min(smallest, g.dist[at]);
                }
            far[static_cast<std::size_t>(dl * kColumns + dc)] = smallest;
        }
    }
    // If far also grows with the column offset (it does for the three formulas; checked
    // here rather than assumed), a cell's reach only shrinks as the column offset grows, so
    // it is found by walking down, and the walk ends at the first offset from which nothing
    // is in reach. Otherwise each offset is bisected on its own.
    bool columnsGrow = true;
    for (int dl = 0; dl < kLines && columnsGrow; ++dl)
        for (int dc = 1; dc < kColumns && columnsGrow; ++dc)
            columnsGrow = far[static_cast<std::size_t>(dl * kColumns + dc)] >=
                          far[static_cast<std::size_t>(dl * kColumns + dc - 1)];
    auto fits = [&](int dl, int dc, double ceiling) {
        return far[static_cast<std::size_t>(dl * kColumns + dc)] < ceiling;
    };
    auto deepest = [&](int dc, double ceiling) { // fits(0, dc, ceiling) holds
        int lo = 0, hi = kLines - 1;
        while (lo < hi) {
            const int mid = (lo + hi + 1) / 2;
            if (fits(mid, dc, ceiling))
                lo = mid;
            else
                hi = mid - 1;
        }
        return lo;
    };
    // reachOf[(l - 1) * kColumns + cc - 1]: the largest line offset from which a POD in column
    // cc can still take a cell of line l, or -1; widest[cc - 1] the largest over all lines.
    std::vector<int> reachOf(static_cast<std::size_t>(g.lastLine) * kColumns, -1);
    std::array<int, kColumns> widest;
    widest.fill(-1);
    for (int k = 0; k < K; ++k) {
        const double ceiling = cap.value[static_cast<std::size_t>(k)];
        const int l = g.cellLine[static_cast<std::size_t>(k)];
        const int j = g.cellColumn[static_cast<std::size_t>(k)];
        int reach = -1;
        for (int dc = 0; dc < kColumns; ++dc) {
            if (columnsGrow) {
                if (dc == 0)
                    reach = fits(0, 0, ceiling) ? deepest(0, ceiling) : -1;
                while (reach >= 0 && !fits(reach, dc, ceiling))
                    --reach;
                if (reach < 0)
                    break;
            } else {
                if (!fits(0, dc, ceiling))
                    continue;
                reach = deepest(dc, ceiling);
            }
            for (int cc : {j - dc, j + dc}) {
                if (cc < 1 || cc > kColumns)
                    continue;
                int& r = reachOf[static_cast<std::size_t>((l - 1) * kColumns + cc - 1)];
                r = std::max(r, reach);
                widest[static_cast<std::size_t>(cc - 1)] =
                    std::max(widest[static_cast<std::size_t>(cc - 1)], reach);
            }
        }
    }
    cap.reachBegin.assign(static_cast<std::size_t>(g.C), K);
    cap.reachEnd.assign(static_cast<std::size_t>(g.C), K);
    for (int c = 0; c < g.C; ++c) {
        const int lc = g.candLine[static_cast<std::size_t>(c)];
        const int cc = g.candColumn[static_cast<std::size_t>(c)];
        const int span = widest[static_cast<std::size_t>(cc - 1)];
        if (span < 0)
            continue;
        auto reaches = [&](int l) {
            return std::abs(l - lc) <=
                   reachOf[static_cast<std::size_t>((l - 1) * kColumns + cc - 1)];
        };
        int first = 0, last = 0;
        for (int l = std::max(1, lc - span); l <= std::min(g.lastLine, lc + span); ++l)
            if (reaches(l)) {
                first = l;
                break;
            }
        if (first == 0)
            continue;
        for (int l = std::min(g.lastLine, lc + span); l >= first; --l)
            if (reaches(l)) {
                last = l;
                break;
            }
        if (g.cellLineStart[first] < g.cellLineStart[last + 1]) {
            cap.reachBegin[static_cast<std::size_t>(c)] = g.cellLineStart[first];
            cap.reachEnd[static_cast<std::size_t>(c)] = g.cellLineStart[last + 1];
        }
    }
    return cap;
}

void AddTerms(Cap& cap, const Grid& g) {
    const int K = g.K;
    cap.term.resize(static_cast<std::size_t>(K));
    cap.prefixSum.assign(static_cast<std::size_t>(K + 1), 0.0);
    for (int k = 0; k < K; ++k) {
        cap.term[k] = g.pop[k] * cap.value[k];
        cap.prefixSum[k + 1] = cap.prefixSum[k] + cap.term[k];
    }
}

Cap MakeCap(const Grid& g, std::vector<double> value) {
    Cap cap = MakeReach(g, std::move(value));
    AddTerms(cap, g);
    return cap;
}

namespace {

// Two doubles; the compiler maps it to the target's vector registers (SSE2 on any x86-64).
// Every operation on it is the IEEE operation on each element, as in scalar code.
typedef double Pair __attribute__((vector_size(16)));
constexpr int kPairs = kKernelLanes / 2;

Pair Both(double x) {
    return Pair{x, x};
}

// The part of a group's evaluation that differs from lane to lane; the tail after k1 adds the
// ceiling's terms only.
struct Group {
    int first = 0, lanes = 0, k1 = 0;
    double travel[kKernelLanes] = {}, maxDistance[kKernelLanes] = {}, served[kKernelLanes] = {};
};

// The cells of [k0, k1) for the group's lanes, in vectors V of doubles. Lane q is the
// candidate one column to the right of lane q - 1, so its distance to a cell is the next
// entry of the mirrored table; lanes past the end of the line read padding or other entries
// and are dropped.
template <typename V>
inline __attribute__((always_inline)) void ReachLoop(const Grid& g, const Cap& cap, int k0, int k1,
                                                     Group& group) {
    constexpr int W = static_cast<int>(sizeof(V) / sizeof(double));
    constexpr int N = kKernelLanes / W;
    const int base = g.candMirror[static_cast<std::size_t>(group.first)];
    const double* mirror = g.mirror.data();
    V travel[N], maxDistance[N], served[N], zero;
    for (int e = 0; e < W; ++e)
        zero[e] = 0.0;
    for (int i = 0; i < N; ++i) {
        for (int e = 0; e < W; ++e) {
            travel[i][e] = cap.prefixSum[static_cast<std::size_t>(k0)];
            maxDistance[i][e] = cap.prefixMax[static_cast<std::size_t>(k0)];
        }
        served[i] = zero;
    }
    for (int k = k0; k < k1; ++k) {
        V ceiling, p;
        for (int e = 0; e < W; ++e) {
            ceiling[e] = cap.value[static_cast<std::size_t>(k)];
            p[e] = g.pop[static_cast<std::size_t>(k)];
        }
        const double* row = mirror + g.cellMirror[static_cast<std::size_t>(k)] + base;
#pragma GCC unroll 8
        for (int i = 0; i < N; ++i) {
            V d;
            std::memcpy(&d, row + W * i, sizeof d);
            const auto nearer = d < ceiling;
            const V v = nearer ? d : ceiling;
            travel[i] += p * v;
            maxDistance[i] = v > maxDistance[i] ? v : maxDistance[i];
            // Adding 0 leaves a sum that started at +0 unchanged, as skipping the cell does.
            served[i] += nearer ? p : zero;
        }
    }
    for (int i = 0; i < N; ++i) {
        std::memcpy(group.travel + W * i, &travel[i], sizeof(V));
        std::memcpy(group.maxDistance + W * i, &maxDistance[i], sizeof(V));
        std::memcpy(group.served + W * i, &served[i], sizeof(V));
    }
}

void ReachPortable(const Grid& g, const Cap& cap, int k0, int k1, Group& group) {
    ReachLoop<Pair>(g, cap, k0, k1, group);
}

#if DAVRENTA_WIDE_KERNEL
typedef double Quad __attribute__((vector_size(32)));

__attribute__((target("avx2"))) void ReachWide(const Grid& g, const Cap& cap, int k0, int k1,
                                               Group& group) {
    ReachLoop<Quad>(g, cap, k0, k1, group);
}
#endif

void Reach(const Grid& g, const Cap& cap, Group& group) {
    const int K = g.K;
    // Cells outside every lane's reach take the ceiling's terms, whichever lane adds them.
    int k0 = K, k1 = 0;
    for (int q = 0; q < group.lanes; ++q) {
        const auto c = static_cast<std::size_t>(group.first + q);
        if (cap.reachBegin[c] < cap.reachEnd[c]) {
            k0 = std::min(k0, cap.reachBegin[c]);
            k1 = std::max(k1, cap.reachEnd[c]);
        }
    }
    if (k0 >= k1)
        k0 = k1 = K;
    group.k1 = k1;
#if DAVRENTA_WIDE_KERNEL
    if (g.wide) {
        ReachWide(g, cap, k0, k1, group);
        return;
    }
#endif
    ReachPortable(g, cap, k0, k1, group);
}

void Store(const Cap& cap, const Group& group, SingleResults& out) {
    const double tail = cap.suffixMax[group.k1];
    for (int q = 0; q < group.lanes; ++q) {
        const auto c = static_cast<std::size_t>(group.first + q);
        const double m = group.maxDistance[q];
        out.travel[c] = group.travel[q];
        out.maxDistance[c] = tail > m ? tail : m;
        out.served[c] = group.served[q];
    }
}

} // namespace

void EvaluateCandidates(const Grid& g, const Cap& cap, int first, int end, SingleResults& out) {
    const int K = g.K;
    // Eight candidates of one line at a time, and the tails of two such groups together:
    // sixteen independent running sums hide the latency of the additions, each of which
    // stays in cell order.
    for (int c = first; c < end; c += 2 * kKernelLanes) {
        Group a, b;
        a.first = c;
        a.lanes = std::min(kKernelLanes, end - c);
        b.first = c + kKernelLanes;
        b.lanes = std::max(0, std::min(kKernelLanes, end - b.first));
        Reach(g, cap, a);
        if (b.lanes > 0)
            Reach(g, cap, b);
        else
            b.k1 = K;
        // The group whose reach ends first catches up alone, then both run to the end.
        Group& early = a.k1 <= b.k1 ? a : b;
        Group& late = a.k1 <= b.k1 ? b : a;
        const int join = late.k1;
        Pair x[kPairs], y[kPairs];
        std::memcpy(x, early.travel, sizeof x);
        std::memcpy(y, late.travel, sizeof y);
        for (int k = early.k1; k < join; ++k) {
            const Pair t = Both(cap.term[k]);
#pragma GCC unroll 8
            for (int i = 0; i < kPairs; ++i)
                x[i] += t;
        }
        for (int k = join; k < K; ++k) {
            const Pair t = Both(cap.term[k]);
#pragma GCC unroll 8
            for (int i = 0; i < kPairs; ++i) {
                x[i] += t;
                y[i] += t;
            }
        }
        std::memcpy(early.travel, x, sizeof x);
        std::memcpy(late.travel, y, sizeof y);
        Store(cap, a, out);
        if (b.lanes > 0)
            Store(cap, b, out);
    }
}

void BuildServiceMap(const PopMap& fl, const Grid& g, int a, int b,
                     Table1<std::string, kMapLines>& map) {
    for (int i = 1; i <= g.lastLine; ++i)
        map[i] = fl.MapLine[i];
    for (int k = 0; k < g.K; ++k) {
        double minimum = g.prior[k];
        char label = g.priorLabel[k];
        const double da = g.Distance(a, k);
        if (da < minimum) {
            minimum = da;
            label = '*';
        }
        if (b >= 0 && g.Distance(b, k) < minimum)
            label = '@';
        if (label != 0)
            map[g.cellLine[k]][g.cellColumn[k] - 1] = label;
    }
}

bool WideVectorsAvailable() {
#if DAVRENTA_WIDE_KERNEL
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
#else
    return false;
#endif
}

} // namespace davrenta::fastsearch_detail
