#pragma once

#include "batch/batchio.h"

namespace davrenta {

// The "mhact" subcommand: the material-handling-activity study on a .mh problem file.
BatchCommand AddMhActCommand(CLI::App& app);

} // namespace davrenta
