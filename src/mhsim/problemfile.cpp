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
    RecordReader reader(contents);
    double values[8];
    for (int k = 0; k < 8; ++k) {
        const std::string what = "value " + std::to_string(k + 1) + " (" + kValueNames[k] + ")";
        const auto field = reader.next();
        if (!field)
            return Fail("the file ends before " + what);
        const auto number = ParseFieldNumber(field->text);
        if (field->quoted || !number || !std::isfinite(*number))
            return Fail("line " + std::to_string(field->line) + ", " + what + ": \"" +
                        QuoteForMessage(field->text) + "\" is not a number");
        values[k] = *number;
    }
    if (values[4] != std::floor(values[4]) || values[4] < 1 || values[4] > 8)
        return Fail("value 5 (" + std::string(kValueNames[4]) + "): " + RoundTripForm(values[4]) +
                    " is no distribution; it must be a whole number from 1 to 8");
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
    const std::string& path = state.ProblemFileName;
    Result<std::string> contents = ReadProblemFile(path);
    if (!contents)
        return contents.failure();
    Result<MhsProblem> problem = ParseMhsProblem(*contents);
    if (!problem)
        return Fail("The file " + path + " cannot be read: " + problem.message() + ".");
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
