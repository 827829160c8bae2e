#pragma once

namespace davrenta {

// The material-handling activity study's tables.
struct MhActivityState {};

} // namespace davrenta
