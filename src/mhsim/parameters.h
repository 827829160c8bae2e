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
