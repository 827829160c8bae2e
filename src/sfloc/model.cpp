#include "sfloc/model.h"

#include <algorithm>
#include <cmath>

#include "state/messagetext.h"
#include "state/numbers.h"
#include "state/tablerows.h"

namespace davrenta {

namespace {

// A typed number that is a whole number from low to high, or nothing.
bool WholeInRange(double value, int low, int high) {
    return std::isfinite(value) && value == std::floor(value) && value >= low && value <= high;
}

} // namespace

void OpenDescription(SingleFacilityState& sf) {
    sf.ExistingFacilityCount = 0;
    sf.EntryFacility = 0;
}

Status SetFacilityCount(SingleFacilityState& sf, std::string_view countText) {
    const double count = LeadingNumber(countText);
    if (!WholeInRange(count, 1, kMaxFacilities))
        return Fail("The number of existing facilities \"" + QuoteForMessage(countText) +
                    "\" is not a whole number from 1 to " + std::to_string(kMaxFacilities) +
                    ". Enter how many existing facilities there are (20 or less).");
    sf.ExistingFacilityCount = static_cast<int>(count);
    sf.EntryFacility = 1;
    return {};
}

std::string FacilityEntryLabel(const SingleFacilityState& sf) {
    return "Facility " + StrForm(sf.EntryFacility) + " of " + StrForm(sf.ExistingFacilityCount);
}

bool StoreEnteredFacility(SingleFacilityState& sf, std::string_view x, std::string_view y,
                          std::string_view weight) {
    if (sf.EntryFacility >= 1 && sf.EntryFacility <= sf.ExistingFacilityCount &&
        sf.EntryFacility <= kMaxFacilities) {
        const auto i = static_cast<std::size_t>(sf.EntryFacility);
        sf.FacilityX[i] = LeadingNumber(x);
        sf.FacilityY[i] = LeadingNumber(y);
        sf.FacilityWeight[i] = LeadingNumber(weight);
        ++sf.EntryFacility;
    }
    return sf.EntryFacility > sf.ExistingFacilityCount;
}

std::vector<FacilityBoxes> TableBoxes(const SingleFacilityState& sf) {
    // The round-trip form, so that a value loaded from a file survives the boxes unchanged
    // when "Solve" reads them back.
    std::vector<FacilityBoxes> rows;
    for (int i = 1; i <= sf.ExistingFacilityCount && i <= kMaxFacilities; ++i) {
        const auto k = static_cast<std::size_t>(i);
        rows.push_back({RoundTripForm(sf.FacilityX[k]), RoundTripForm(sf.FacilityY[k]),
                        RoundTripForm(sf.FacilityWeight[k])});
    }
    return rows;
}

void StoreTableBoxes(SingleFacilityState& sf, const std::vector<FacilityBoxes>& rows) {
    for (int i = 1; i <= sf.ExistingFacilityCount && i <= kMaxFacilities; ++i) {
        if (static_cast<std::size_t>(i) > rows.size())
            break;
        const FacilityBoxes& row = rows[static_cast<std::size_t>(i - 1)];
        const auto k = static_cast<std::size_t>(i);
        sf.FacilityX[k] = LeadingNumber(row[0]);
        sf.FacilityY[k] = LeadingNumber(row[1]);
        sf.FacilityWeight[k] = LeadingNumber(row[2]);
    }
}

Status AddFacility(SingleFacilityState& sf) {
    if (sf.ExistingFacilityCount >= kMaxFacilities)
        return Fail("The table already holds " + std::to_string(kMaxFacilities) +
                    " existing facilities, as many as a problem can hold. Remove one before "
                    "adding another.");
    ++sf.ExistingFacilityCount;
    sf.EntryFacility = sf.ExistingFacilityCount;
    return {};
}

Status RemoveFacility(SingleFacilityState& sf, std::string_view numberText) {
    const int n = std::min(sf.ExistingFacilityCount, kMaxFacilities);
    const Result<int> r = FacilityToRemove(numberText, n);
    if (!r)
        return r.failure();
    for (int i = *r; i <= n - 1; ++i) {
        const auto k = static_cast<std::size_t>(i);
        sf.FacilityX[k] = sf.FacilityX[k + 1];
        sf.FacilityY[k] = sf.FacilityY[k + 1];
        sf.FacilityWeight[k] = sf.FacilityWeight[k + 1];
    }
    sf.ExistingFacilityCount = n - 1;
    return {};
}

} // namespace davrenta
