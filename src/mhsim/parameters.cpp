#include "mhsim/parameters.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "mhsim/engine.h"
#include "mhsim/random.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

// A uniform drawn in a generator's loop (Erlang's product, the slowest) costs about an eighth
// of an event with its own draws.
constexpr double kDrawsPerEvent = 8;

// A count for a message, to two significant digits: plain digits below 10^15.
std::string About(double count) {
    if (!(count >= 1))
        return "1";
    const double unit = std::pow(10.0, std::floor(std::log10(count)) - 1);
    const double rounded = std::round(count / unit) * unit;
    if (rounded < 1e15)
        return std::to_string(static_cast<long long>(std::llround(rounded)));
    return PlainForm(rounded);
}

} // namespace

RunWork ExpectedWork(const MhSimState& mhs) {
    RunWork w;
    const double demands = mhs.DemandRate * mhs.CycleLength;
    if (!(demands > 0) || !(mhs.SimCycles > 0) || mhs.DistCode < 1 || mhs.DistCode > 8)
        return w;
    const ServiceDistribution service =
        PrepareService(mhs.DistCode, mhs.ServiceParamA, mhs.ServiceParamB);
    w.events = mhs.SimCycles * (2 * demands + 2);
    w.serviceDraws = mhs.SimCycles * demands * std::max(0.0, ExpectedDraws(service) - 1);
    w.total = w.events + w.serviceDraws / kDrawsPerEvent;
    return w;
}

Status CheckRunLength(const MhSimState& mhs) {
    const RunWork w = ExpectedWork(mhs);
    if (!(w.total > kMaxRunEvents))
        return {};
    // The service times' draws are named where they add a tenth or more.
    const bool draws = w.total >= 1.1 * w.events;
    std::string message = "The run would take about " + About(w.events) + " events (" +
                          About(mhs.SimCycles) + " cycles of about " +
                          About(w.events / mhs.SimCycles) + ")";
    if (draws)
        message += " and " + About(w.serviceDraws) +
                   " random numbers for the service times, as long as about " + About(w.total) +
                   " events";
    return Fail(message + ": more than the " + About(kMaxRunEvents) +
                " a run may take. Use fewer cycles, a shorter cycle or a lower demand rate" +
                (draws ? ", or service times that take fewer draws." : "."));
}

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
