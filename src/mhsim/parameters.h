#pragma once

#include <cstdint>
#include <string>

#include "mhsim/model.h"
#include "state/result.h"

namespace davrenta {

inline constexpr const char* kUniformOrderMessage =
    "Uniform distribution\rparameter b must be larger than parameter a";
inline constexpr const char* kSeedMessage =
    "Seed must be a whole number from 0 to 18446744073709551615, or empty for the time of day.";

// The most work a run may take, in events: about four minutes on one core at 40 million events
// a second. A run expected to take more is refused before it starts.
inline constexpr double kMaxRunEvents = 1e10;

// What a run is expected to take: events handled (an arrival and a departure for each demand,
// the closing and the arrival beyond it, per cycle), uniforms drawn for service times beyond
// one each, and both together in events' time. Inputs that the other checks refuse give 0.
struct RunWork {
    double events = 0;
    double serviceDraws = 0;
    double total = 0;
};
RunWork ExpectedWork(const MhSimState& mhs);

// The check of a run's length against kMaxRunEvents, with a message that says how long the run
// would be. Made after the inputs' own checks, by the window and the batch runner alike.
Status CheckRunLength(const MhSimState& mhs);

// The parameter window's boxes as typed, and the list entry selected (-1: none).
struct ParameterEntries {
    std::string daystxt, lsimtxt, afreqtxt, nservtxt, svcatxt, svcbtxt, wspacetxt, seedtxt;
    int selected = -1;
};

// "Simulate" up to the run: stores the boxes in the order the window reads them (cycle length,
// cycles and queue limit first; the run is refused at once for a cycle length not above 0),
// the selected distribution, its parameters (Poisson's b is its a), the uniform's order, the
// servers and the demand rate; then checks everything a run needs. The seed to run with, or
// the message that refuses the run.
Result<std::uint64_t> StoreParameters(MhSimState& mhs, const ParameterEntries& entries);

// A seed box's text: empty (or blanks) gives the time of day; otherwise a whole number that
// fits 64 bits.
Result<std::uint64_t> ParseSeed(const std::string& text);

} // namespace davrenta
