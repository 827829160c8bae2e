#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "mhsim/model.h"
#include "mhsim/random.h"
#include "state/result.h"

namespace davrenta {

// How a run is carried out: on how many threads (0: one per core), with a flag that stops it
// and a report of the cycles done. Neither the thread count nor the block sizes change the
// results: each cycle has its own stream and the cycles' measures are added in cycle order.
struct RunControl {
    int threads = 0;
    const std::atomic<bool>* cancel = nullptr;
    // Called on the running thread after each block of cycles.
    std::function<void(long long done, long long total)> progress;
};

enum class RunStatus { Done, Refused, Cancelled };

struct RunOutcome {
    RunStatus status = RunStatus::Done;
    std::string message; // why the run was refused or stopped
};

// The message for a cycle length that is not above 0, checked before anything else is read.
inline constexpr const char* kCycleLengthMessage =
    "Length of simulation cycle (hours per day) must be a number above 0.";

// The checks made before a run starts, each naming the field and the values it allows. The
// uniform's order is checked by the parameter window itself, with its own message.
Status ValidateRun(const MhSimState& mhs);

// The whole run: every cycle from an empty system, then the means, the sample standard
// deviations, the confidence half-widths and MaxLine. The results, Seed and CycleValues are
// replaced only by a run that completes; a refused or cancelled run leaves them as they were.
RunOutcome RunSimulation(MhSimState& mhs, std::uint64_t seed, const RunControl& control = {});

// The seed of a run that is given none: the seconds since midnight, local time.
std::uint64_t TimeOfDaySeed();

// The sample standard deviation of n values from their sum and sum of squares (divisor n - 1);
// rounding can make the difference below the root slightly negative, which counts as 0.
double SampleStd(double n, double sum, double sumSquares);

// The two-sided 95 % quantile of Student's t with df degrees of freedom (df >= 1).
double StudentT975(double df);

// What one cycle needs, taken from the inputs once per run.
struct CycleInputs {
    int option = 1;
    double cycleLength = 0;
    double meanGap = 0; // 1 / DemandRate
    int servers = 1;
    long long queueLimit = 0;
    ServiceDistribution service;
};

CycleInputs InputsOf(const MhSimState& mhs);

// One cycle from an empty system, drawing from the cycle's own stream. False when a measure
// came out undefined (a service time too large, or the clock ending at or before 0).
bool SimulateCycle(const CycleInputs& in, std::uint64_t seed, long long cycle, CycleMeasures& m);

} // namespace davrenta
