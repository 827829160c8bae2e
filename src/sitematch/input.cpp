#include "sitematch/input.h"

#include <algorithm>
#include <cmath>

#include "state/messagetext.h"
#include "state/numbers.h"
#include "state/tablerows.h"

namespace davrenta {

namespace {

// A box's number when it is a whole number from low to high.
bool WholeIn(double value, int low, int high) {
    return value == std::floor(value) && value >= low && value <= high;
}

std::string Quoted(std::string_view text) {
    return "\"" + QuoteForMessage(text) + "\"";
}

int Facilities(const SiteMatchState& sm) {
    return std::clamp(sm.MatchFacilityCount, 0, kMaxMatchFacilities);
}

int Sites(const SiteMatchState& sm) {
    return std::clamp(sm.SiteCount, 0, kMaxSites);
}

} // namespace

Result<MatchSizes> ReadSizes(std::string_view facilitiesText, std::string_view sitesText) {
    const double m = LeadingNumber(facilitiesText);
    const double s = LeadingNumber(sitesText);
    if (!WholeIn(m, 1, kMaxMatchFacilities))
        return Fail("The number of facilities " + Quoted(facilitiesText) +
                    " is not a whole number from 1 to 20. Enter the number of facilities again.");
    if (!WholeIn(s, 1, kMaxSites))
        return Fail("The number of available sites " + Quoted(sitesText) +
                    " is not a whole number from 1 to 10. Enter the number of sites again.");
    return MatchSizes{static_cast<int>(m), static_cast<int>(s)};
}

void StartRows(SiteMatchState& sm, const MatchSizes& sizes) {
    sm.MatchFacilityCount = sizes.facilities;
    sm.SiteCount = sizes.sites;
    sm.MatchEntryFacility = 1;
    sm.AddingFacility = false;
}

bool StoreRow(SiteMatchState& sm, const std::vector<std::string>& times, std::string_view demand) {
    const int i = sm.MatchEntryFacility;
    if (i >= 1 && i <= Facilities(sm)) {
        for (int j = 1; j <= Sites(sm); ++j) {
            const auto box = static_cast<std::size_t>(j - 1);
            sm.SiteTime(i, j) = box < times.size() ? LeadingNumber(times[box]) : 0.0;
        }
        sm.FacilityDemand[i] = LeadingNumber(demand);
        sm.MatchEntryFacility = i + 1;
    }
    if (sm.MatchEntryFacility > sm.MatchFacilityCount) {
        sm.AddingFacility = false;
        return false;
    }
    return true;
}

void StoreTable(SiteMatchState& sm, const std::vector<std::string>& times,
                const std::vector<std::string>& demands) {
    auto number = [](const std::vector<std::string>& boxes, std::size_t box) {
        return box < boxes.size() ? LeadingNumber(boxes[box]) : 0.0;
    };
    for (int i = 1; i <= Facilities(sm); ++i) {
        for (int j = 1; j <= Sites(sm); ++j)
            sm.SiteTime(i, j) = number(times, static_cast<std::size_t>(10 * (i - 1) + (j - 1)));
        sm.FacilityDemand[i] = number(demands, static_cast<std::size_t>(i - 1));
    }
}

Status AddFacility(SiteMatchState& sm) {
    if (sm.MatchFacilityCount >= kMaxMatchFacilities)
        return Fail("The table holds at most 20 facilities: no facility can be added.");
    sm.MatchFacilityCount += 1;
    sm.MatchEntryFacility = sm.MatchFacilityCount;
    sm.AddingFacility = true;
    return {};
}

void CancelAddedFacility(SiteMatchState& sm) {
    if (!sm.AddingFacility)
        return;
    sm.MatchFacilityCount -= 1;
    sm.MatchEntryFacility = sm.MatchFacilityCount + 1;
    sm.AddingFacility = false;
}

Status RemoveFacility(SiteMatchState& sm, std::string_view text) {
    const int m = Facilities(sm);
    const Result<int> r = FacilityToRemove(text, m);
    if (!r)
        return r.failure();
    for (int i = *r; i <= m - 1; ++i) {
        for (int j = 1; j <= Sites(sm); ++j)
            sm.SiteTime(i, j) = sm.SiteTime(i + 1, j);
        sm.FacilityDemand[i] = sm.FacilityDemand[i + 1];
    }
    sm.MatchFacilityCount = m - 1;
    return {};
}

} // namespace davrenta
