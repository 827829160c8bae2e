#include "sfloc/sffile.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/modulestate.h"
#include "state/atomicfile.h"
#include "state/messagetext.h"
#include "state/records.h"

namespace davrenta {

Result<SfProblem> ParseSfProblem(std::string_view contents) {
    RecordParser in(contents);
    const std::string countRecord = "count record";
    auto count = in.whole(countRecord, "number of existing facilities", 0, kMaxFacilities);
    if (in.error)
        return Fail(*in.error);

    SfProblem p;
    p.count = *count;
    for (int i = 1; i <= p.count; ++i) {
        const std::string record = "facility record " + std::to_string(i);
        const std::string of = " of facility " + std::to_string(i);
        auto x = in.number(record, "x coordinate" + of);
        auto y = in.number(record, "y coordinate" + of);
        auto w = in.number(record, "weight" + of);
        if (in.error)
            return Fail(*in.error);
        p.x.push_back(*x);
        p.y.push_back(*y);
        p.weight.push_back(*w);
    }
    in.expectEnd(p.count > 0 ? "facility record " + std::to_string(p.count) : countRecord,
                 "the " + std::to_string(p.count) + " facilities its first record counts");
    if (in.error)
        return Fail(*in.error);
    return p;
}

void ApplySfProblem(const SfProblem& problem, SingleFacilityState& sf) {
    sf.ExistingFacilityCount = problem.count;
    for (int i = 1; i <= problem.count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        sf.FacilityX[k] = problem.x[k - 1];
        sf.FacilityY[k] = problem.y[k - 1];
        sf.FacilityWeight[k] = problem.weight[k - 1];
    }
}

Status ReadSfFile(ModuleState& state) {
    return LoadProblemFile(state.ProblemFileName, [&state](std::string_view contents) -> Status {
        auto problem = ParseSfProblem(contents);
        if (!problem)
            return problem.failure();
        ApplySfProblem(*problem, state.sf);
        return {};
    });
}

std::string SfFileContents(const SingleFacilityState& sf) {
    const int n = std::clamp(sf.ExistingFacilityCount, 0, kMaxFacilities);
    RecordWriter out;
    out.number(n).endRecord();
    for (int i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        out.number(sf.FacilityX[k]).number(sf.FacilityY[k]).number(sf.FacilityWeight[k]);
        out.endRecord();
    }
    return out.contents();
}

Status WriteSfFile(const ModuleState& state) {
    if (state.ProblemFileName.empty())
        return {};
    return SaveProblemFile(state.ProblemFileName, SfFileContents(state.sf));
}

} // namespace davrenta
