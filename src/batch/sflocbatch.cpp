#include "batch/sflocbatch.h"

namespace davrenta {

// Not built yet: the subcommand is not offered.
BatchCommand AddSflocCommand(CLI::App&) {
    return {};
}

} // namespace davrenta
