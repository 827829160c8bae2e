// The best layout, to a proven optimum (FindBestLayout: Improve, the seeded descents and the
// branch and bound, as the window and davrenta-batch run it), wall time on every core unless
// threads:1 says one:
//
//   mhact_bench                                         everything, about five minutes
//   mhact_bench --benchmark_filter=^Example             assembly-plant.mh (15 departments)
//   mhact_bench --benchmark_filter=^Factory/n:15        random 15-department factories
//   mhact_bench --benchmark_filter=^Factory/n:12        random 12-department factories
//   mhact_bench --benchmark_filter=^Dense               dense moves on a full grid
//   mhact_bench --benchmark_filter=Cbc                  some of them in a general solver
//
// Arguments: the method (1 rectilinear, 2 Euclidean, 3 squared Euclidean), and for the factories
// the number of departments first and the seed last; the counter "nodes" is the number of bounds
// computed.
// A factory: its departments in bays on a grid 20 m apart one way and 15 m the other (5 bays by
// 4 for 15 departments, 4 by 4 for 12), drawn at random; moves sparse, as a product's route makes
// them: one route through every department in random order carrying 20 to 100 loads a step, and
// for each department two chances in four of a side flow of 5 to 40 loads to another.
// Beyond that kind, a harder one: 15 departments filling a 5 by 3 grid 10 m apart, six pairs in
// ten with 1 to 60 loads.
//
// Beside them, what a user might pick instead: Debian's coinor-cbc (/usr/bin/cbc, run as its
// users run it, on an LP file, with its defaults and a limit of 120 s), on the usual
// linearization of the layout problem: x[d][p] = 1 when department d is on place p, and for
// each pair of departments with moves and each two places a variable y for both, tied to the x
// by y summed over one department's places = the other's x. Its wall time is set beside ours for
// the same problems; the counter "proven" tells whether cbc proved its optimum in time, and the
// run stops with an error if the two optima differ.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
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

// The shipped example, moves combined as the results window leaves them.
bool AssemblyPlant(benchmark::State& state, MhActivityState& mh) {
    ModuleState s;
    s.ProblemFileName = std::string(DAVRENTA_EXAMPLES_DIR) + "/assembly-plant.mh";
    if (!ReadMhFile(s)) {
        state.SkipWithError("assembly-plant.mh cannot be read");
        return false;
    }
    CombineDirections(s.mh);
    mh = s.mh;
    return true;
}

// On every core (threads 0) and on one.
void Example(benchmark::State& state) {
    MhActivityState mh;
    if (AssemblyPlant(state, mh))
        Solve(state, mh, static_cast<Metric>(state.range(0)), static_cast<int>(state.range(1)));
}
BENCHMARK(Example)
    ->ArgNames({"method", "threads"})
    ->ArgsProduct({{1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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

MhActivityState DenseGrid(unsigned seed) {
    std::mt19937 rng(seed);
    MhActivityState mh;
    mh.DeptCount = 15;
    for (int d = 1; d <= 15; ++d) {
        mh.DeptName[d] = "D" + std::to_string(d);
        mh.DeptX[d] = 10.0 * ((d - 1) % 5);
        mh.DeptY[d] = 10.0 * ((d - 1) / 5) + 10;
    }
    for (int a = 1; a <= 15; ++a)
        for (int b = a + 1; b <= 15; ++b)
            if (rng() % 10 < 6)
                mh.MoveCount(a, b) = 1 + rng() % 60;
    return mh;
}

void Dense(benchmark::State& state) {
    Solve(state, DenseGrid(static_cast<unsigned>(state.range(1))),
          static_cast<Metric>(state.range(0)), 0);
}
BENCHMARK(Dense)
    ->ArgNames({"method", "seed"})
    ->ArgsProduct({{1, 2, 3}, {1, 2}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The problem as an LP file for cbc; false when it cannot be written.
bool WriteLp(const MhActivityState& mh, Metric method, const std::string& path) {
    const int n = mh.DeptCount;
    std::ofstream lp(path);
    lp.precision(17);
    std::vector<std::pair<int, int>> pairs;
    for (int a = 1; a <= n; ++a)
        for (int b = a + 1; b <= n; ++b)
            if (mh.MoveCount(a, b) != 0)
                pairs.emplace_back(a, b);
    auto y = [](int a, int b, int p, int q) {
        return "y" + std::to_string(a) + "_" + std::to_string(b) + "_" + std::to_string(p) + "_" +
               std::to_string(q);
    };
    auto x = [](int d, int p) { return "x" + std::to_string(d) + "_" + std::to_string(p); };
    lp << "Minimize\n obj:";
    for (const auto& [a, b] : pairs)
        for (int p = 1; p <= n; ++p)
            for (int q = 1; q <= n; ++q)
                if (p != q)
                    lp << " + "
                       << mh.MoveCount(a, b) *
                              Distance(method, mh.DeptX[p], mh.DeptY[p], mh.DeptX[q], mh.DeptY[q])
                       << " " << y(a, b, p, q) << "\n";
    lp << "Subject To\n";
    for (int d = 1; d <= n; ++d) {
        lp << " d" << d << ":";
        for (int p = 1; p <= n; ++p)
            lp << " + " << x(d, p);
        lp << " = 1\n p" << d << ":";
        for (int e = 1; e <= n; ++e)
            lp << " + " << x(e, d);
        lp << " = 1\n";
    }
    for (const auto& [a, b] : pairs)
        for (int p = 1; p <= n; ++p) {
            lp << " a" << a << "_" << b << "_" << p << ":";
            for (int q = 1; q <= n; ++q)
                if (q != p)
                    lp << " + " << y(a, b, p, q);
            lp << " - " << x(a, p) << " = 0\n b" << a << "_" << b << "_" << p << ":";
            for (int q = 1; q <= n; ++q)
                if (q != p)
                    lp << " + " << y(a, b, q, p);
            lp << " - " << x(b, p) << " = 0\n";
        }
    lp << "Bounds\n";
    for (const auto& [a, b] : pairs)
        for (int p = 1; p <= n; ++p)
            for (int q = 1; q <= n; ++q)
                if (p != q)
                    lp << " 0 <= " << y(a, b, p, q) << " <= 1\n";
    lp << "Binary\n";
    for (int d = 1; d <= n; ++d)
        for (int p = 1; p <= n; ++p)
            lp << " " << x(d, p) << "\n";
    lp << "End\n";
    return static_cast<bool>(lp);
}

void Peer(benchmark::State& state, const MhActivityState& mh, Metric method) {
    if (::access("/usr/bin/cbc", X_OK) != 0) {
        state.SkipWithError("/usr/bin/cbc is not installed (Debian package coinor-cbc)");
        return;
    }
    const Result<BestLayoutOutcome> ours = FindBestLayout(mh, method);
    char name[] = "/tmp/davrenta-mhact-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    ::close(fd);
    const std::string path = std::string(name) + ".lp";
    std::rename(name, path.c_str());
    if (!ours || !WriteLp(mh, method, path)) {
        std::remove(path.c_str());
        state.SkipWithError("no problem to hand to cbc");
        return;
    }
    std::string output;
    for (auto _ : state) {
        output.clear();
        FILE* pipe = ::popen(("/usr/bin/cbc " + path + " sec 120 solve 2>&1").c_str(), "r");
        if (!pipe)
            break;
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, got);
        ::pclose(pipe);
    }
    std::remove(path.c_str());
    const bool proven = output.find("Result - Optimal solution found") != std::string::npos;
    const std::size_t at = output.find("Objective value:");
    const double value = at == std::string::npos ? NAN : std::atof(output.c_str() + at + 16);
    state.counters["proven"] = proven;
    if (proven && !(std::fabs(value - ours->activity) <= 1e-6 * std::fabs(ours->activity)))
        state.SkipWithError(("cbc's optimum " + std::to_string(value) + " is not ours " +
                             std::to_string(ours->activity))
                                .c_str());
}

void CbcExample(benchmark::State& state) {
    MhActivityState mh;
    if (AssemblyPlant(state, mh))
        Peer(state, mh, static_cast<Metric>(state.range(0)));
}
BENCHMARK(CbcExample)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void CbcFactory(benchmark::State& state) {
    const MhActivityState mh =
        RandomFactory(static_cast<int>(state.range(0)), static_cast<unsigned>(state.range(2)));
    Peer(state, mh, static_cast<Metric>(state.range(1)));
}
BENCHMARK(CbcFactory)
    ->ArgNames({"n", "method", "seed"})
    ->ArgsProduct({{12}, {1, 2, 3}, {1, 2}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace davrenta

BENCHMARK_MAIN();
