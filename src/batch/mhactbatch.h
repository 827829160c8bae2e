#pragma once

#include <ostream>
#include <string>

#include "batch/batchio.h"

namespace davrenta {

struct MhActBatchOptions {
    std::string file;
    int distance = 1;
    bool improve = false;
    bool optimal = false; // the best layout of the current places, proven
    double timeLimit = 0; // seconds for that search; 0: none
    bool json = false;
    std::string save; // empty: nothing saved
};

// Runs the material-handling-activity study on a problem file as the file holds it: results,
// prints, the switch search and, when asked, the improvement and the best layout. Returns the
// exit status of the table in batchio.h.
int RunMhActBatch(const MhActBatchOptions& options, std::ostream& out, std::ostream& err);

// The "mhact" subcommand: the material-handling-activity study on a .mh problem file.
BatchCommand AddMhActCommand(CLI::App& app);

} // namespace davrenta
