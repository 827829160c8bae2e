#include "mhsim/problemfile.h"

#include <cmath>

#include "app/modulestate.h"
#include "state/atomicfile.h"
#include "state/messagetext.h"
#include "state/numbers.h"
#include "state/records.h"

namespace davrenta {

namespace {

constexpr const char* kValueNames[8] = {
    "number of simulation cycles",    "length of simulation cycle",
    "maximum length of queue",        "demand rate",
    "service time distribution code", "service time parameter a",
    "service time parameter b",       "number of servers"};

} // namespace

Result<MhsProblem> ParseMhsProblem(std::string_view contents) {
    RecordParser in(contents);
    const std::string record = "problem record";
    double values[8] = {};
    for (int k = 0; k < 8; ++k) {
        const std::string what =
            std::string(kValueNames[k]) + " (value " + std::to_string(k + 1) + ")";
        if (k == 4) {
            if (auto code = in.whole(record, what, 1, 8))
                values[k] = *code;
        } else if (auto number = in.number(record, what)) {
            values[k] = *number;
        }
    }
    in.expectEnd(record, "the eight values of a simulation problem");
    if (in.error)
        return Fail(*in.error);
    MhsProblem p;
    p.SimCycles = values[0];
    p.CycleLength = values[1];
    p.QueueLimit = values[2];
    p.DemandRate = values[3];
    p.DistCode = static_cast<int>(values[4]);
    p.ServiceParamA = values[5];
    p.ServiceParamB = values[6];
    p.NumServers = values[7];
    return p;
}

Status ReadMhsFile(ModuleState& state) {
    return LoadProblemFile(state.ProblemFileName, [&state](std::string_view contents) -> Status {
        Result<MhsProblem> problem = ParseMhsProblem(contents);
        if (!problem)
            return problem.failure();
        MhSimState& mhs = state.mhs;
        mhs.SimCycles = problem->SimCycles;
        mhs.CycleLength = problem->CycleLength;
        mhs.QueueLimit = problem->QueueLimit;
        mhs.DemandRate = problem->DemandRate;
        mhs.DistCode = problem->DistCode;
        mhs.ServiceParamA = problem->ServiceParamA;
        mhs.ServiceParamB = problem->ServiceParamB;
        mhs.NumServers = problem->NumServers;
        mhs.InputsBlank = false;
        return {};
    });
}

std::string MhsFileContents(const MhSimState& mhs) {
    RecordWriter w;
    w.number(mhs.SimCycles)
        .number(mhs.CycleLength)
        .number(mhs.QueueLimit)
        .number(mhs.DemandRate)
        .number(mhs.DistCode)
        .number(mhs.ServiceParamA)
        .number(mhs.DistCode == 6 ? mhs.ServiceParamA : mhs.ServiceParamB)
        .number(mhs.NumServers)
        .endRecord();
    return w.contents();
}

Status WriteMhsFile(const ModuleState& state) {
    if (state.ProblemFileName.empty())
        return {};
    return SaveProblemFile(state.ProblemFileName, MhsFileContents(state.mhs));
}

} // namespace davrenta
