#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "batch/batchio.h"

namespace davrenta {

struct MhSimBatchOptions {
    std::string file;
    int option = 1;
    std::optional<std::uint64_t> seed; // none: the time of day, as the desktop program
    std::optional<double> cycles;      // replaces the file's number of cycles
    bool json = false;
    std::string save; // where to save the problem after the run; empty: nowhere
    int threads = 0;
    bool progress = false; // a line of progress on err (a terminal) during a long run
};

// Runs the simulation study on a problem file as the windows would; returns the exit status.
int RunMhSimBatch(const MhSimBatchOptions& options, std::ostream& out, std::ostream& err);

// The "mhsim" subcommand: the simulation study on a .mhs problem file.
BatchCommand AddMhSimCommand(CLI::App& app);

} // namespace davrenta
