#include "mhsim/parameters.h"

#include <charconv>

#include "mhsim/engine.h"
#include "state/numbers.h"

namespace davrenta {

Result<std::uint64_t> ParseSeed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return TimeOfDaySeed();
    const auto last = text.find_last_not_of(" \t");
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    std::uint64_t seed = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, seed);
    if (ec != std::errc() || ptr != end)
        return Fail(kSeedMessage);
    return seed;
}

Result<std::uint64_t> StoreParameters(MhSimState& mhs, const ParameterEntries& e) {
    mhs.CycleLength = LeadingNumber(e.lsimtxt);
    mhs.SimCycles = LeadingNumber(e.daystxt);
    mhs.QueueLimit = LeadingNumber(e.wspacetxt);
    mhs.InputsBlank = false;
    if (!(mhs.CycleLength > 0))
        return Fail(kCycleLengthMessage);
    if (e.selected >= 0 && e.selected < 8)
        mhs.DistCode = e.selected + 1;
    mhs.ServiceParamA = LeadingNumber(e.svcatxt);
    mhs.ServiceParamB = mhs.DistCode == 6 ? mhs.ServiceParamA : LeadingNumber(e.svcbtxt);
    if (mhs.DistCode == 7 && mhs.ServiceParamB < mhs.ServiceParamA)
        return Fail(kUniformOrderMessage);
    mhs.NumServers = LeadingNumber(e.nservtxt);
    mhs.DemandRate = LeadingNumber(e.afreqtxt);
    if (Status valid = ValidateRun(mhs); !valid)
        return Fail(valid.message());
    return ParseSeed(e.seedtxt);
}

} // namespace davrenta
