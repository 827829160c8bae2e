#pragma once

// The map geometry of the fast searches: candidate and area-cell lists in cell order, the
// distance table and its mirrored copy, the existing PODs' minimum per cell; and the service
// map of a candidate or pair, built from them.

#include <array>
#include <string>
#include <vector>

#include "popmap/search.h"

namespace davrenta::fastsearch_detail {

// Offsets between two map cells run over -49..49 lines and -59..59 columns.
inline constexpr int kLineSpan = 2 * kMapLines - 1;
inline constexpr int kColumnSpan = 2 * kMapColumns - 1;
// Candidates evaluated side by side by the one-POD kernel; the mirrored table is padded for
// loads of that many.
inline constexpr int kKernelLanes = 8;

// The map as the searches walk it. Candidates are every cell in cell order; area cells are the
// cells that the assignment rule evaluates, also in cell order, so that a sum over them in
// index order is the reference's sum term for term.
struct Grid {
    Metric method = Metric::Rectilinear;
    int lastLine = 0;

    int C = 0; // candidates
    std::vector<int> candLine, candColumn;
    std::vector<int> candBase; // added to a cell's offset to index the distance table
    std::array<int, kMapLines + 2> candLineStart{}; // first candidate of line l, l = 1..L+1

    int K = 0; // area cells
    std::vector<int> cellLine, cellColumn, cellOffset;
    std::vector<double> pop;      // CellPopulation
    std::vector<double> prior;    // minimum over the existing PODs, 1e10 when none is nearer
    std::vector<int> priorPod;    // that POD, 0 when none
    std::vector<char> priorLabel; // its label, 0 when none
    std::array<int, kMapLines + 2> cellLineStart{}; // first area cell of line l, l = 1..L+1

    // PodDistance(method, dl, dc) at (dl + 49) * kColumnSpan + dc + 59: the same doubles as the
    // formula, since the reference calls it with exactly these arguments.
    std::vector<double> dist;
    // Smallest distance of each line offset over all column offsets.
    std::array<double, kLineSpan> rowMin{};
    // The same values indexed by (dl + 49) * kColumnSpan + (59 - dc), so that candidates on
    // consecutive columns find their distances to a cell side by side; padded at the end for
    // loads of a whole group of lanes.
    std::vector<double> mirror;
    std::vector<int> cellMirror, candMirror;

    // Use the 256-bit build of the one-POD kernel (same results, the processor must have it).
    bool wide = false;
    // Whether PrepareSearch succeeded, and its message when it did not.
    bool prepared = false;
    std::string failure;

    double Distance(int cand, int cell) const {
        return dist[static_cast<std::size_t>(cellOffset[cell] + candBase[cand])];
    }
    int LastCandidate() const { return C - 1; }
};

// The grid in two steps. The geometry reads only what PrepareSearch leaves alone (the map,
// the symbols, the PODs, the method), so it may be built while the preparation runs; the
// populations and labels come from the prepared problem.
Grid MakeGeometry(const ModuleState& state);
void AddPopulations(Grid& g, const PopMap& fl);

// The service map of the existing PODs plus "*" at candidate a and, when b >= 0, "@" at b,
// written as the assignment rule writes it.
void BuildServiceMap(const PopMap& fl, const Grid& g, int a, int b,
                     Table1<std::string, kMapLines>& map);

} // namespace davrenta::fastsearch_detail
