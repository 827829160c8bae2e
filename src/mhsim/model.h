#pragma once

#include <cstdint>
#include <vector>

namespace davrenta {

// The largest number of servers: one arrival, the closing event and one departure per server
// fill the 100 pending events the event list holds.
inline constexpr int kMaxServers = 98;
inline constexpr int kMaxPendingEvents = 100;

// The number of cycles a run takes: at least two for a standard deviation, at most what a run
// can finish.
inline constexpr double kMinSimCycles = 2;
inline constexpr double kMaxSimCycles = 1e9;

// Per-cycle values kept for the results window's chart; a longer run keeps the first ones.
inline constexpr std::size_t kKeptCycles = 200000;

// The measures of one simulated cycle, in hours where they are times.
struct CycleMeasures {
    double served = 0;
    double overtime = 0;
    double lineLength = 0;
    double wait = 0; // hours per service; 0 in a cycle that served no one
    double propBusy = 0;
    double turnaways = 0;
    int maxQueue = 0;
    long long events = 0; // events handled, for the benchmark's rate
};

// The material-handling simulation study: the inputs the parameter window stores, the results
// of the last run, and what a run needs to be repeated (its seed).
struct MhSimState {
    // Inputs. SimOption and DistCode are small integers, the rest as typed.
    int SimOption = 0;
    double SimCycles = 0;
    double CycleLength = 0;
    double DemandRate = 0;
    double NumServers = 0;
    double QueueLimit = 0;
    int DistCode = 0;
    double ServiceParamA = 0;
    double ServiceParamB = 0;
    // The keyboard path opens the parameter window with empty boxes rather than zeros.
    bool InputsBlank = false;

    // Results of the last completed run.
    double NumServMean = 0, NumServStd = 0;
    double LineLenMean = 0, LineLenStd = 0;
    double WaitMean = 0, WaitStd = 0; // minutes
    double PropBusyMean = 0, PropBusyStd = 0;
    double OvertimeMean = 0, OvertimeStd = 0;
    double TurnawayMean = 0, TurnawayStd = 0;
    int MaxLine = 0;
    // 95 % confidence half-widths of the means (Student t, N - 1 degrees of freedom).
    double NumServHalf = 0, LineLenHalf = 0, WaitHalf = 0, PropBusyHalf = 0, OvertimeHalf = 0,
           TurnawayHalf = 0;
    std::uint64_t Seed = 0; // the seed of the last run
    // The first kKeptCycles cycles' measures, for the chart.
    std::vector<CycleMeasures> CycleValues;
};

} // namespace davrenta
