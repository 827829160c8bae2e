// The map problem reader on any bytes: it either reads a problem that fits the tables, and
// writes it back to the same text it would read again, or refuses it leaving the state alone.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/modulestate.h"
#include "popmap/mapfile.h"
#include "popmap/search.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    davrenta::ModuleState state;
    davrenta::ResetPodSymbols(state.fl);
    if (!davrenta::ParseMapProblem(text, state.fl).ok()) {
        if (state.fl.AreaCount != 0 || state.fl.MapEndLine != 0)
            std::abort(); // a refused file changed the problem
        return 0;
    }
    if (const auto written = davrenta::MapFileContents(state.fl)) {
        davrenta::ModuleState again;
        if (!davrenta::ParseMapProblem(*written, again.fl).ok())
            std::abort(); // what we write must read back
        const auto rewritten = davrenta::MapFileContents(again.fl);
        if (!rewritten || *rewritten != *written)
            std::abort();
    }
    // Small problems are searched too: nothing a file holds may crash a search.
    if (state.fl.MapEndLine <= 4 && state.fl.AreaCount <= 4) {
        state.fl.NewPodCount = 1 + static_cast<int>(size % 2);
        state.fl.PerformanceMeasure =
            static_cast<davrenta::Measure>(1 + static_cast<int>(size % 3));
        state.DistanceMethod = static_cast<davrenta::Metric>(1 + static_cast<int>((size / 3) % 3));
        davrenta::RunSearch(state);
    }
    return 0;
}
