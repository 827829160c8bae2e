#pragma once

#include "batch/batchio.h"

namespace davrenta {

// The "sitematch" subcommand: the matching study on a .sm problem file.
BatchCommand AddSiteMatchCommand(CLI::App& app);

} // namespace davrenta
