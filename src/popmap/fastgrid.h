#pragma once

// What the fast searches share: the map flattened into candidate and area-cell lists, the
// distance table, the one-POD kernel, the service-map builder and the thread pool that hands
// out rows and reports progress in order.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "popmap/search.h"

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
    int method = 1;
    int lastLine = 0;

    int C = 0;                       // candidates
    std::vector<int> candLine, candColumn;
    std::vector<int> candBase;       // added to a cell's offset to index the distance table
    std::array<int, kMapLines + 2> candLineStart{};  // first candidate of line l, l = 1..L+1

    int K = 0;                       // area cells
    std::vector<int> cellLine, cellColumn, cellOffset;
    std::vector<double> pop;         // CellPopulation
    std::vector<double> prior;       // minimum over the existing PODs, 1e10 when none is nearer
    std::vector<int> priorPod;       // that POD, 0 when none
    std::vector<char> priorLabel;    // its label, 0 when none
    std::array<int, kMapLines + 2> cellLineStart{};  // first area cell of line l, l = 1..L+1

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
Grid MakeGrid(const ModuleState& state);  // both, after PrepareSearch

// A ceiling on every area cell's distance (the nearest existing POD, or a stand-in used only
// for bounds) with what an evaluation against the ceiling alone gives: the terms pop * value,
// their running sums and maxima, and for each candidate line the range of area cells that a
// POD on that line can bring strictly below the ceiling. Outside that range a new POD changes
// no term, so a sum can start from the running sum and a maximum from the prefix and suffix
// maxima.
struct Cap {
    std::vector<double> value, term;
    std::vector<double> prefixSum;   // K + 1 entries, the reference's running total
    std::vector<double> prefixMax;   // K + 1 entries, starting from 0
    std::vector<double> suffixMax;   // K + 1 entries, ending with 0
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
void BuildServiceMap(const PopMap& fl, const Grid& g, int a, int b, Table1<std::string, kMapLines>& map);

// Hands out items 0..count-1 in increasing order to the calling thread and up to threads-1
// helper threads, which the pool starts once and keeps until it is destroyed. Each item owns
// a number of progress steps; the steps are reported in item order, serialized under a lock,
// from whichever thread completes the lowest unfinished item, so the caller sees
// done = 1, 2, ... total exactly as a sequential search reports them. A cancel seen before a
// step stops the run; so does an exception, which Run rethrows on the calling thread.
class Pool {
public:
    Pool(int threads, const SearchControl& control);
    ~Pool();
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    // body(item, worker) for every item; worker is 0..threads-1 and indexes per-thread
    // scratch. steps == nullptr gives every item one step; reportTotal is what the progress
    // callback receives as its total, and reporting may be switched off for work that the
    // reference does not count. Returns false when the run was stopped before every step was
    // reported.
    bool Run(int count, const std::vector<int>* steps, bool report, int reportTotal,
             const std::function<void(int item, int worker)>& body);

    // Runs task on a helper thread while the caller goes on (on the caller at once when the
    // pool has no helper). Wait() returns when it is done and rethrows what it threw; every
    // other run, and the destructor, waits for it first.
    void Background(std::function<void()> task);
    void Wait();

    // For long items: true once the run should end.
    bool Stopping() const;
    int Threads() const { return threads_; }
    int Reported() const { return reported_; }

private:
    struct Job {
        int count = 0;
        const std::vector<int>* steps = nullptr;
        bool report = false;
        int reportTotal = 0;
        const std::function<void(int, int)>* body = nullptr;
    };

    void Start(const Job& job);
    void Work(int worker);
    void Helper(int worker);
    void Complete(int item);

    int threads_;
    const SearchControl& control_;
    Job job_;
    std::mutex mutex_;  // progress and errors
    std::vector<char> done_;
    int watermark_ = 0;
    int reported_ = 0;
    std::atomic<int> next_{0};
    std::atomic<bool> stop_{false};
    std::exception_ptr error_;

    std::vector<std::thread> helpers_;
    std::mutex parking_;
    std::condition_variable wake_, finished_;
    std::uint64_t generation_ = 0;
    std::atomic<std::uint64_t> published_{0};  // generation_, readable without the lock
    std::atomic<bool> closing_{false};
    bool inBackground_ = false;  // under parking_
    std::function<void()> background_;
    int busy_ = 0;
    bool shutdown_ = false;
};

// Whether the processor runs the 256-bit build of the one-POD kernel.
bool WideVectorsAvailable();

// Number of threads for a requested count: 0 gives one per core, anything else is kept
// within 1..64.
int ResolveThreads(int requested);

} // namespace davrenta::fastsearch_detail
