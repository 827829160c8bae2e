#include "batch/mhsimbatch.h"

namespace davrenta {

// Not built yet: the subcommand is not offered.
BatchCommand AddMhSimCommand(CLI::App&) {
    return {};
}

} // namespace davrenta
