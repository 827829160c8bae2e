#include "state/tablerows.h"

#include <cmath>
#include <string>

#include "state/messagetext.h"
#include "state/numbers.h"

namespace davrenta {

Result<int> FacilityToRemove(std::string_view typed, int rows) {
    if (rows < 1)
        return Fail("There is no facility to remove.");
    const double r = LeadingNumber(typed);
    if (!std::isfinite(r) || r != std::floor(r) || r < 1 || r > rows)
        return Fail("The facility number \"" + QuoteForMessage(typed) +
                    "\" is not a whole number from 1 to " + std::to_string(rows) +
                    ". Enter the number of the facility to remove, as the table shows it.");
    if (rows == 1)
        return Fail("The problem has only one facility, and it needs at least one: facility 1 "
                    "cannot be removed.");
    return static_cast<int>(r);
}

} // namespace davrenta
