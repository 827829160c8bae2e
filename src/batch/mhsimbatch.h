#pragma once

#include "batch/batchio.h"

namespace davrenta {

// The "mhsim" subcommand: the simulation study on a .mhs problem file.
BatchCommand AddMhSimCommand(CLI::App& app);

} // namespace davrenta
