// The simulation engine on the M/M/3 model (demand rate 2.5 per hour, exponential service of
// mean 1 hour, 3 servers, 8-hour cycles, option 1), in events handled per second, beside the
// same model in SimPy (mhsim_simpy.py, run with /usr/bin/python3) timed in the same run.
//
// ServerSweep compares 10 numbers of servers (1 to 10) on the loading-dock model
// (examples/loading-dock.mhs: 2.5 demands an hour, Erlang service of mean 1 hour with 2 phases,
// 8-hour cycles, option 1) for 100 000 cycles each, on 1 thread and on every core, and fails
// if the two give different results.
//
//   mhsim_bench                                   everything, about a minute
//   mhsim_bench --benchmark_filter=OneCore        the engine on one core only
//   mhsim_bench --benchmark_filter=ServerSweep    the comparison of server counts

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "mhsim/engine.h"
#include "mhsim/problemfile.h"

namespace davrenta {
namespace {

MhSimState MM3(double cycles) {
    MhSimState m;
    m.SimOption = 1;
    m.SimCycles = cycles;
    m.CycleLength = 8;
    m.DemandRate = 2.5;
    m.NumServers = 3;
    m.DistCode = 2;
    m.ServiceParamA = 1;
    return m;
}

// One core, cycle after cycle, as each worker of a run does.
void OneCore(benchmark::State& state) {
    const CycleInputs in = InputsOf(MM3(2));
    long long cycle = 0, events = 0;
    CycleMeasures m;
    for (auto _ : state) {
        SimulateCycle(in, 1, ++cycle, m);
        events += m.events;
    }
    state.counters["events_per_second"] =
        benchmark::Counter(static_cast<double>(events), benchmark::Counter::kIsRate);
}
BENCHMARK(OneCore);

// A whole run of 200000 cycles on 1 thread and on every core.
void WholeRun(benchmark::State& state) {
    long long events = 0;
    for (auto _ : state) {
        MhSimState m = MM3(200000);
        RunControl control;
        control.threads = static_cast<int>(state.range(0));
        if (RunSimulation(m, 1, control).status != RunStatus::Done)
            state.SkipWithError("run refused");
        for (const CycleMeasures& c : m.CycleValues)
            events += c.events;
    }
    state.counters["events_per_second"] =
        benchmark::Counter(static_cast<double>(events), benchmark::Counter::kIsRate);
}
BENCHMARK(WholeRun)
    ->Arg(1)
    ->Arg(static_cast<int>(std::max(2u, std::thread::hardware_concurrency())))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

MhSimState LoadingDock(double cycles) {
    std::ifstream in(std::string(DAVRENTA_EXAMPLES_DIR) + "/loading-dock.mhs", std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    MhSimState m;
    if (const Result<MhsProblem> p = ParseMhsProblem(contents.str())) {
        m.SimCycles = cycles;
        m.CycleLength = p->CycleLength;
        m.QueueLimit = p->QueueLimit;
        m.DemandRate = p->DemandRate;
        m.DistCode = p->DistCode;
        m.ServiceParamA = p->ServiceParamA;
        m.ServiceParamB = p->ServiceParamB;
        m.NumServers = p->NumServers;
    }
    m.SimOption = 1;
    return m;
}

// The sweep's figures on one thread, to compare every other thread count's with.
const std::vector<MhSimState>& OneThreadSweep() {
    static const std::vector<MhSimState> rows = [] {
        std::vector<MhSimState> r;
        RunControl control;
        control.threads = 1;
        RunServerSweep(LoadingDock(100000), 1, 10, 1, control, r);
        return r;
    }();
    return rows;
}

void ServerSweep(benchmark::State& state) {
    const MhSimState problem = LoadingDock(100000);
    if (problem.DistCode != 8) {
        state.SkipWithError("examples/loading-dock.mhs not read");
        return;
    }
    const int threads = static_cast<int>(state.range(0));
    std::vector<MhSimState> rows;
    for (auto _ : state) {
        RunControl control;
        control.threads = threads;
        if (RunServerSweep(problem, 1, 10, 1, control, rows).status != RunStatus::Done)
            state.SkipWithError("comparison refused");
    }
    const std::vector<MhSimState>& reference = OneThreadSweep();
    bool same = rows.size() == reference.size();
    for (std::size_t k = 0; same && k < rows.size(); ++k)
        same = rows[k].WaitMean == reference[k].WaitMean &&
               rows[k].WaitStd == reference[k].WaitStd &&
               rows[k].LineLenMean == reference[k].LineLenMean &&
               rows[k].PropBusyStd == reference[k].PropBusyStd &&
               rows[k].NumServMean == reference[k].NumServMean &&
               rows[k].MaxLine == reference[k].MaxLine;
    if (!same)
        state.SkipWithError("results differ from the run on one thread");
    state.counters["cycles"] = 1e6;
}
BENCHMARK(ServerSweep)
    ->Arg(1)
    ->Arg(static_cast<int>(std::max(2u, std::thread::hardware_concurrency())))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The SimPy peer, run once: its own measured events per second as the counter.
void SimPyPeer(benchmark::State& state) {
    double rate = 0;
    for (auto _ : state) {
        const std::string command = "/usr/bin/python3 " + std::string(DAVRENTA_EXAMPLES_DIR) +
                                    "/../bench/mhsim_simpy.py 2000 1";
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) {
            state.SkipWithError("cannot start /usr/bin/python3");
            break;
        }
        char line[256];
        while (std::fgets(line, sizeof line, pipe))
            std::sscanf(line, "events_per_second=%lf", &rate);
        if (::pclose(pipe) != 0 || rate <= 0)
            state.SkipWithError("SimPy (python3-simpy) did not run");
    }
    state.counters["events_per_second"] = rate;
}
BENCHMARK(SimPyPeer)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace davrenta

BENCHMARK_MAIN();
