#pragma once

#include <string>
#include <string_view>

#include "sfloc/model.h"
#include "state/result.h"

namespace davrenta {

struct ModuleState;

// The facilities a problem file holds, read whole before anything is replaced.
struct SfProblem {
    int count = 0;
    std::vector<double> x, y, weight;
};

// Parses the contents of a .sf file: the count (a whole number from 0 to 20), then x, y and
// weight of each facility, spread over lines in any way. The message names the line and the
// record.
Result<SfProblem> ParseSfProblem(std::string_view contents);

// Replaces the facility table by the problem: the count and slots 1..count.
void ApplySfProblem(const SfProblem& problem, SingleFacilityState& sf);

// Reads ProblemFileName into the study's table; on any fault the table is left exactly as it
// was and the message names the file and the record.
Status ReadSfFile(ModuleState& state);

// The file's bytes for facilities 1..n.
std::string SfFileContents(const SingleFacilityState& sf);

// Saves the table to ProblemFileName in one step (nothing when it is empty); the old file
// survives any failure.
Status WriteSfFile(const ModuleState& state);

} // namespace davrenta
