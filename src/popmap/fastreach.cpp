#include "popmap/fastreach.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

namespace davrenta::fastsearch_detail {

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

} // namespace davrenta::fastsearch_detail
