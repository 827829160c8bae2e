#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sitematch/model.h"
#include "state/result.h"

namespace davrenta {

// The sizes typed on the size window, read by the leading-number rule.
struct MatchSizes {
    int facilities = 0;
    int sites = 0;
};

// The sizes when both are whole numbers within the tables (1 to 20 facilities, 1 to 10 sites).
Result<MatchSizes> ReadSizes(std::string_view facilitiesText, std::string_view sitesText);

// The size window's "Ok" once the sizes are read: m, s, and the first row to collect.
void StartRows(SiteMatchState& sm, const MatchSizes& sizes);

// The row input window's "Ok": the times to sites 1..s (box j-1 for site j) and the demand of
// the facility MatchEntryFacility, which then moves on. True while rows remain to collect.
bool StoreRow(SiteMatchState& sm, const std::vector<std::string>& times, std::string_view demand);

// The data table's "Ok": box 10(i-1) + (j-1) holds the time of facility i to site j, demand
// box i-1 the demand of facility i; only rows 1..m and sites 1..s are read.
void StoreTable(SiteMatchState& sm, const std::vector<std::string>& times,
                const std::vector<std::string>& demands);

// "Add Facility": one more row to collect, refused when the table is full.
Status AddFacility(SiteMatchState& sm);

// "Back" on the row input window opened by "Add Facility": the row is not added after all.
void CancelAddedFacility(SiteMatchState& sm);

// "Remove": the facility numbered by the text goes, the rows after it move up. Refused by the
// rule every study's remove window keeps (FacilityToRemove).
Status RemoveFacility(SiteMatchState& sm, std::string_view text);

} // namespace davrenta
