#pragma once

#include <string>

#include "popmap/model.h"

namespace davrenta {

// The one process-wide state: every study's tables and the shell's flags. main() owns the
// only instance of the program; tests make their own.
struct ModuleState {
    // Shell flags.
    std::string ModuleFlag;          // "fl", "sf", "sm", "mh", "mhs"; empty before any study
    std::string SourceFlag = " ";    // " ", "k" or "d"
    int SaveMode = 0;                // 1 while the chooser picks a file to write
    std::string ProblemFileName;     // full path from the chooser; empty when none was chosen
    char LineBreak = '\r';

    // Shared by the population-map and material-handling studies.
    int DistanceMethod = 1;

    PopMap fl;
};

} // namespace davrenta
