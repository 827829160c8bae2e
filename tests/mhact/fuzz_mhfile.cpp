// The .mh reader on any bytes: it either reads a problem that fits the tables, whose saved text
// reads back to the same text, or refuses it and leaves the problem alone. What it reads is
// computed and searched too: nothing a file holds may crash the study.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "mhact/activity.h"
#include "mhact/mhfile.h"
#include "mhact/texts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace davrenta;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    MhActivityState mh;
    if (!ParseMhProblem(text, mh).ok()) {
        if (mh.DeptCount != 0)
            std::abort(); // a refused file changed the problem
        return 0;
    }
    if (mh.DeptCount < 1 || mh.DeptCount > kMaxDepartments)
        std::abort();
    auto written = MhFileContents(mh);
    if (written.ok()) {
        MhActivityState again;
        if (!ParseMhProblem(*written, again).ok())
            std::abort(); // what we write must read back
        auto rewritten = MhFileContents(again);
        if (!rewritten.ok() || *rewritten != *written)
            std::abort();
    }
    const Metric method = static_cast<Metric>(1 + size % 3);
    (void)OpenMhResults(mh, method, '\r');
    (void)RenderText(MhResultsReport(mh, method));
    (void)RenderText(MoveTableReport(mh));
    (void)OpenSwitches(mh, method);
    if (mh.DeptCount <= 6)
        (void)Improve(mh, method);
    return 0;
}
