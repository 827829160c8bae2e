#pragma once

namespace davrenta {

// The material-handling simulation study's tables.
struct MhSimState {};

} // namespace davrenta
