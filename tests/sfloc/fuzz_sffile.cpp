// The .sf reader on any bytes: a problem it accepts fits the table, writes back to text that
// reads the same, and solves to finite texts or a refusal; nothing it reads may crash a solve.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sfloc/picture.h"
#include "sfloc/sffile.h"
#include "sfloc/solve.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace davrenta;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto problem = ParseSfProblem(text);
    if (!problem) {
        if (problem.message().empty())
            std::abort(); // a refusal always says why
        return 0;
    }
    if (problem->count < 0 || problem->count > kMaxFacilities)
        std::abort();
    SingleFacilityState sf;
    ApplySfProblem(*problem, sf);
    const std::string written = SfFileContents(sf);
    auto again = ParseSfProblem(written);
    if (!again)
        std::abort(); // what we write must read back
    SingleFacilityState reread;
    ApplySfProblem(*again, reread);
    if (SfFileContents(reread) != written)
        std::abort();

    const SingleFacilityState before = sf;
    auto solved = SolveSingleFacility(sf);
    if (!(sf.FacilityX == before.FacilityX && sf.FacilityWeight == before.FacilityWeight))
        std::abort(); // a solve never changes the table
    if (solved) {
        for (const std::string& label : SolutionLabels(*solved))
            if (label.empty() || label.find("inf") != std::string::npos ||
                label.find("nan") != std::string::npos)
                std::abort();
        const LocationPicture picture = MakeLocationPicture(sf, *solved);
        if (!(picture.xAxis.low <= picture.xAxis.high) || picture.xAxis.ticks.empty())
            std::abort();
    }
    return 0;
}
