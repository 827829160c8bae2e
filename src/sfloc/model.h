#pragma once

namespace davrenta {

// The single-facility study's tables.
struct SingleFacilityState {};

} // namespace davrenta
