#pragma once

#include <string_view>

#include "state/result.h"

namespace davrenta {

// The one rule of the studies' remove windows: the typed number names one of the table's
// `rows` facilities (a whole number from 1 to rows, read by the leading-number rule), and the
// last facility stays, since a problem needs at least one. The facility's number, or why not.
Result<int> FacilityToRemove(std::string_view typed, int rows);

} // namespace davrenta
