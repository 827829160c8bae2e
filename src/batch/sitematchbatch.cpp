#include "batch/sitematchbatch.h"

namespace davrenta {

// Not built yet: the subcommand is not offered.
BatchCommand AddSiteMatchCommand(CLI::App&) {
    return {};
}

} // namespace davrenta
