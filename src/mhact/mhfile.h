#pragma once

#include <string>
#include <string_view>

#include "mhact/model.h"
#include "state/result.h"

namespace davrenta {

struct ModuleState;

// Reads a problem from a file's contents into mh: the department count, each department's
// name and location, then the N x N move counts. The whole file is read and checked first; on
// any fault mh stays exactly as it was and the message names the line and the record.
Status ParseMhProblem(std::string_view contents, MhActivityState& mh);

// Reads ProblemFileName into state.mh (nothing when it is empty); the message names the file.
Status ReadMhFile(ModuleState& state);

// A department line: name, ",", X, ",", Y, each field at the start of the next 14-character
// print zone (a longer field pushes the rest on).
std::string DepartmentLine(const std::string& name, double x, double y);

// The file's text for the current problem; refused, naming the department or the pair, for a
// name or a number that would not read back the same, and for a problem of no department.
Result<std::string> MhFileContents(const MhActivityState& mh);

// Writes the problem to ProblemFileName in one step (nothing when it is empty); the old file
// survives any failure.
Status WriteMhFile(const ModuleState& state);

} // namespace davrenta
