#pragma once

#include "batch/batchio.h"

namespace davrenta {

// The "sfloc" subcommand: the single-facility study on a .sf problem file.
BatchCommand AddSflocCommand(CLI::App& app);

} // namespace davrenta
