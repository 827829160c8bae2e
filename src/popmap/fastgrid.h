#pragma once

// What the fast searches share: the map geometry (candidate and area-cell lists, the distance
// table), the reach of each candidate against a ceiling, the one-POD vector kernel and the
// service-map builder.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "popmap/search.h"
#include "popmap/threadpool.h"

namespace davrenta::fastsearch_detail {

// Offsets between two map cells run over -49..49 lines and -59..59 columns.
inline constexpr int kLineSpan = 2 * kMapLines - 1;
inline constexpr int kColumnSpan = 2 * kMapColumns - 1;
// Candidates evaluated side by side by the one-POD kernel.
inline constexpr int kKernelLanes = 8;

// A second build of that kernel for processors with 256-bit vectors, picked at run time.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define DAVRENTA_WIDE_KERNEL 1
#else
#define DAVRENTA_WIDE_KERNEL 0
#endif

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
Grid MakeGrid(const ModuleState& state); // both, after PrepareSearch

// A ceiling on every area cell's distance (the nearest existing POD, or a stand-in used only
// for bounds) with what an evaluation against the ceiling alone gives: the terms pop * value,
// their running sums and maxima, and for each candidate line the range of area cells that a
// POD on that line can bring strictly below the ceiling. Outside that range a new POD changes
// no term, so a sum can start from the running sum and a maximum from the prefix and suffix
// maxima.
struct Cap {
    std::vector<double> value, term;
    std::vector<double> prefixSum; // K + 1 entries, the reference's running total
    std::vector<double> prefixMax; // K + 1 entries, starting from 0
    std::vector<double> suffixMax; // K + 1 entries, ending with 0
    double max = 0;
    // Per candidate: the area cells [begin, end) of the lines on which a POD there can come
    // strictly below the ceiling of some cell; empty ranges are (K, K).
    std::vector<int> reachBegin, reachEnd;
};

// In two steps as well: the reach needs the ceiling only, the terms the populations.
Cap MakeReach(const Grid& g, std::vector<double> value);
void AddTerms(Cap& cap, const Grid& g);
Cap MakeCap(const Grid& g, std::vector<double> value);

// One new POD at each candidate of [first, end), all on one line, against a ceiling: total
// travel, maximum distance and the population it takes (cells strictly nearer to it), each
// computed as the reference computes them.
struct SingleResults {
    std::vector<double> travel, maxDistance, served;
    explicit SingleResults(int count) : travel(count), maxDistance(count), served(count) {}
};
void EvaluateCandidates(const Grid& g, const Cap& cap, int first, int end, SingleResults& out);

// The service map of the existing PODs plus "*" at candidate a and, when b >= 0, "@" at b,
// written as the assignment rule writes it.
void BuildServiceMap(const PopMap& fl, const Grid& g, int a, int b,
                     Table1<std::string, kMapLines>& map);

// Whether the processor runs the 256-bit build of the one-POD kernel.
bool WideVectorsAvailable();

} // namespace davrenta::fastsearch_detail
