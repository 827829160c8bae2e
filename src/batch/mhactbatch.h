#pragma once

#include <ostream>
#include <string>

#include "batch/batchio.h"

namespace davrenta {

struct MhActBatchOptions {
    std::string file;
    int distance = 1;
    bool improve = false;
    bool json = false;
    std::string save; // empty: nothing saved
};

// Runs the material-handling-activity study on a problem file as the file holds it: results,
// prints, the switch search and, when asked, the improvement. Returns the exit status of the
// table in batchio.h.
int RunMhActBatch(const MhActBatchOptions& options, std::ostream& out, std::ostream& err);

// The "mhact" subcommand: the material-handling-activity study on a .mh problem file.
BatchCommand AddMhActCommand(CLI::App& app);

} // namespace davrenta
