#pragma once

#include <string>
#include <string_view>

#include "popmap/model.h"
#include "state/result.h"

namespace davrenta {

struct ModuleState;

// Reads a map problem from a file's contents into fl. The whole file is parsed and checked
// against the tables first; on any fault fl is left exactly as it was and the reason, naming
// the line and the record, is returned.
Status ParseMapProblem(std::string_view contents, PopMap& fl);

// The reader as the method window runs it: rebuilds the POD labels, then reads
// ProblemFileName (nothing when it is empty). The message names the file.
Status ReadMapFile(ModuleState& state);

// The file's contents for the current problem, or the reason it cannot be written (a symbol
// or map line holding a double quote would not read back).
Result<std::string> MapFileContents(const PopMap& fl);

// Writes the problem to ProblemFileName in one step (nothing when it is empty). The old file
// survives any failure.
Status WriteMapFile(const ModuleState& state);

// The results screen's save: the located POD(s) become existing PODs. After a two-POD search
// both new PODs are added. Refused, leaving fl unchanged, when that would pass 30 PODs.
Status AddNewPodsAsExisting(PopMap& fl);

} // namespace davrenta
