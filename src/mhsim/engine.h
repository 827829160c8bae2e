#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "mhsim/model.h"
#include "mhsim/moments.h"
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

// The seed of a run that is given none: the time of day in nanoseconds since midnight, local
// time, so that runs started within the same second differ. Within one process each seed is
// above the one before, however close together they are drawn.
std::uint64_t TimeOfDaySeed();

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
    // A cycle looks at the cancel flag whenever its event count is a multiple of checkMask + 1:
    // every few thousand events, or at every event when each service draws thousands of
    // uniforms, so that a cancel takes effect within about a tenth of a millisecond of work.
    long long checkMask = 0;
};

CycleInputs InputsOf(const MhSimState& mhs);

enum class CycleStatus { Done, Undefined, Cancelled };

// One cycle from an empty system, drawing from the cycle's own stream. Undefined when a measure
// came out undefined (a service time too large, or the clock ending at or before 0); Cancelled
// when the flag was found set, with m.events the events handled until then.
CycleStatus SimulateCycle(const CycleInputs& in, std::uint64_t seed, long long cycle,
                          CycleMeasures& m, const std::atomic<bool>* cancel = nullptr);

} // namespace davrenta
