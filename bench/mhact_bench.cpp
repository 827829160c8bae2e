// The best layout, to a proven optimum (FindBestLayout: Improve, the seeded descents and the
// branch and bound, as the window and davrenta-batch run it), wall time on every core unless
// named otherwise:
//
//   mhact_bench                                         everything, a few minutes
//   mhact_bench --benchmark_filter=Example              assembly-plant.mh (15 departments)
//   mhact_bench --benchmark_filter=Factory/n:15         random 15-department factories
//   mhact_bench --benchmark_filter=Factory/n:12         random 12-department factories
//
// Arguments: the method (1 rectilinear, 2 Euclidean, 3 squared Euclidean), and for the factories
// the number of departments first and the seed last; the counter "nodes" is the number of bounds
// computed.
// A factory: its departments in bays on a grid 20 m apart one way and 15 m the other (5 bays by
// 4 for 15 departments, 4 by 4 for 12), drawn at random; moves sparse, as a product's route makes
// them: one route through every department in random order carrying 20 to 100 loads a step, and
// for each department two chances in four of a side flow of 5 to 40 loads to another.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "app/modulestate.h"
#include "mhact/activity.h"
#include "mhact/bestlayout.h"
#include "mhact/mhfile.h"

namespace davrenta {
namespace {

MhActivityState RandomFactory(int n, unsigned seed) {
    std::mt19937 rng(seed);
    auto below = [&rng](int k) { return static_cast<int>(rng() % static_cast<unsigned>(k)); };
    const int cols = n > 12 ? 5 : 4, rows = 4;
    std::vector<int> bays(cols * rows);
    std::iota(bays.begin(), bays.end(), 0);
    for (int k = static_cast<int>(bays.size()) - 1; k > 0; --k)
        std::swap(bays[k], bays[below(k + 1)]);
    MhActivityState mh;
    mh.DeptCount = n;
    for (int d = 1; d <= n; ++d) {
        mh.DeptName[d] = "D" + std::to_string(d);
        mh.DeptX[d] = 20.0 * (bays[d - 1] % cols);
        mh.DeptY[d] = 15.0 * (bays[d - 1] / cols) + 15;
    }
    std::vector<int> route(n);
    std::iota(route.begin(), route.end(), 1);
    for (int k = n - 1; k > 0; --k)
        std::swap(route[k], route[below(k + 1)]);
    for (int k = 0; k + 1 < n; ++k)
        mh.MoveCount(route[k], route[k + 1]) += 20 + below(81);
    for (int d = 1; d <= n; ++d)
        for (int chance = 0; chance < 2; ++chance)
            if (below(4) == 0) {
                const int to = 1 + below(n);
                if (to != d)
                    mh.MoveCount(d, to) += 5 + below(36);
            }
    CombineDirections(mh);
    return mh;
}

void Solve(benchmark::State& state, const MhActivityState& mh, Metric method, int threads) {
    long long nodes = 0;
    bool proven = true;
    for (auto _ : state) {
        BestLayoutControl control;
        control.threads = threads;
        const Result<BestLayoutOutcome> best = FindBestLayout(mh, method, control);
        if (!best) {
            state.SkipWithError(best.message().c_str());
            return;
        }
        nodes = best->nodes;
        proven = proven && best->proven();
        benchmark::DoNotOptimize(best->activity);
    }
    state.counters["nodes"] = static_cast<double>(nodes);
    if (!proven)
        state.SkipWithError("not proven");
}

void Example(benchmark::State& state) {
    ModuleState s;
    s.ProblemFileName = std::string(DAVRENTA_EXAMPLES_DIR) + "/assembly-plant.mh";
    if (!ReadMhFile(s)) {
        state.SkipWithError("assembly-plant.mh cannot be read");
        return;
    }
    CombineDirections(s.mh);
    Solve(state, s.mh, static_cast<Metric>(state.range(0)), 0);
}
BENCHMARK(Example)->DenseRange(1, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same on one core.
void ExampleOneCore(benchmark::State& state) {
    ModuleState s;
    s.ProblemFileName = std::string(DAVRENTA_EXAMPLES_DIR) + "/assembly-plant.mh";
    if (!ReadMhFile(s)) {
        state.SkipWithError("assembly-plant.mh cannot be read");
        return;
    }
    CombineDirections(s.mh);
    Solve(state, s.mh, static_cast<Metric>(state.range(0)), 1);
}
BENCHMARK(ExampleOneCore)->DenseRange(1, 3)->Unit(benchmark::kMillisecond)->UseRealTime();

void Factory(benchmark::State& state) {
    const MhActivityState mh =
        RandomFactory(static_cast<int>(state.range(0)), static_cast<unsigned>(state.range(2)));
    Solve(state, mh, static_cast<Metric>(state.range(1)), 0);
}
BENCHMARK(Factory)
    ->ArgNames({"n", "method", "seed"})
    ->ArgsProduct({{12, 15}, {1, 2, 3}, {1, 2, 3, 4, 5}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace davrenta

BENCHMARK_MAIN();
