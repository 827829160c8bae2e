#pragma once

#include <initializer_list>
#include <vector>

#include "sitematch/model.h"

namespace davrenta::testing {

// One facility's row: its times to sites 1..s and its number of demands.
struct FacilityRow {
    std::vector<double> times;
    double demand = 0;
};

// A problem of rows.size() facilities and as many sites as the first row has times.
inline SiteMatchState Problem(std::initializer_list<FacilityRow> rows, int maxSites) {
    SiteMatchState sm;
    sm.MatchFacilityCount = static_cast<int>(rows.size());
    sm.SiteCount = static_cast<int>(rows.begin()->times.size());
    sm.MaxSites = maxSites;
    int i = 0;
    for (const FacilityRow& row : rows) {
        ++i;
        for (std::size_t j = 0; j < row.times.size(); ++j)
            sm.SiteTime(i, static_cast<int>(j) + 1) = row.times[j];
        sm.FacilityDemand[i] = row.demand;
    }
    return sm;
}

} // namespace davrenta::testing
