#include "batch/mhactbatch.h"

namespace davrenta {

// Not built yet: the subcommand is not offered.
BatchCommand AddMhActCommand(CLI::App&) {
    return {};
}

} // namespace davrenta
