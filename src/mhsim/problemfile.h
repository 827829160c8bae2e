#pragma once

#include <string>
#include <string_view>

#include "mhsim/model.h"
#include "state/result.h"

namespace davrenta {

struct ModuleState;

// The eight values of a problem file, in the file's order.
struct MhsProblem {
    double SimCycles = 0, CycleLength = 0, QueueLimit = 0, DemandRate = 0;
    int DistCode = 0;
    double ServiceParamA = 0, ServiceParamB = 0, NumServers = 0;
};

// Reads the eight values (comma- or line-separated numbers; ".5" and "0.5" alike). Fails,
// naming the value and quoting what stands there, when the contents end early, hold text
// where a number belongs, or give a distribution code outside 1 to 8.
Result<MhsProblem> ParseMhsProblem(std::string_view contents);

// Reads ProblemFileName into the simulation inputs. On any failure the inputs stay exactly as
// they were and the message names the file.
Status ReadMhsFile(ModuleState& state);

// The file's one record for the current inputs: eight values, CR LF.
std::string MhsFileContents(const MhSimState& mhs);

// Saves the inputs to ProblemFileName in one step; the old file survives any failure.
Status WriteMhsFile(const ModuleState& state);

} // namespace davrenta
