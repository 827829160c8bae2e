#pragma once

#include <array>

#include "state/table.h"

namespace davrenta {

inline constexpr int kMaxMatchFacilities = 20;
inline constexpr int kMaxSites = 10;
inline constexpr int kMaxSiteLimit = 3;
inline constexpr int kMaxCombinations = 150;
inline constexpr double kStartingTotalCost = 1e10;

// The facilities-to-sites matching study: the problem as typed or loaded, the site limit of
// the run, and everything the last search derived from them.
struct SiteMatchState {
    // Problem data.
    int MatchFacilityCount = 0;
    int SiteCount = 0;
    int MatchEntryFacility = 1;
    int MaxSites = 1;
    CellTable<double, kMaxMatchFacilities, kMaxSites> SiteTime;
    Table1<double, kMaxMatchFacilities> FacilityDemand;

    // Derived by the search.
    CellTable<double, kMaxMatchFacilities, kMaxSites> FacilitySiteCost;
    CellTable<double, kMaxMatchFacilities, kMaxCombinations> CombinationMinCost;
    Table1<double, kMaxCombinations> CombinationTotal;
    Table1<std::array<int, kMaxSiteLimit>, kMaxCombinations> CombinationSites;
    int CombinationCount = 0;
    double OptimalTotalCost = kStartingTotalCost;
    int ChosenSite = 0;
    int ChosenSite1 = 0, ChosenSite2 = 0, ChosenSite3 = 0;
    Table1<int, kMaxMatchFacilities> AssignedSite;
    Table1<double, kMaxMatchFacilities> AssignedCost;
    Table1<int, kMaxMatchFacilities> PairTie;
    Table1<int, kMaxMatchFacilities> TripleTie;

    // Whether the row input window was opened by "Add Facility" (its "Back" then returns to the
    // table instead of ending the input).
    bool AddingFacility = false;

    bool operator==(const SiteMatchState&) const = default;
};

} // namespace davrenta
