#include "popmap/fastgrid.h"

#include <algorithm>
#include <cstdlib>

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

} // namespace davrenta::fastsearch_detail
