#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "batch/batchio.h"

namespace davrenta {

struct PopMapBatchOptions {
    std::string file;
    int pods = 1;
    int measure = 1;
    int distance = 1;
    std::optional<std::string> nearOptimal; // the bound as typed
    bool json = false;
    std::optional<std::string> save; // the results window's Save to this file
};

// Runs the population-map study on a problem file through its whole result sequence and
// writes what a user reads. Returns the process exit status: 0 done, 3 the file cannot be
// read or the save failed, 4 the search failed (or the near-optimal bound was refused).
int RunPopMapBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err);

// The "popmap" subcommand.
BatchCommand AddPopMapCommand(CLI::App& app);

} // namespace davrenta
