#pragma once

#include <vector>

#include "sitematch/model.h"
#include "state/result.h"

namespace davrenta {

// Why a search cannot run on the problem as it stands: more sites to use than the problem has;
// nothing when it can.
Status CheckSiteLimit(const SiteMatchState& sm);
Status CheckSiteLimit(int siteCount, int maxSites);

// The exhaustive search over every combination of exactly MaxSites sites, in lexicographic
// order, keeping the first combination of the lowest total; it rewrites the result state. A
// search that finds no comparable total (every total overflowed) fails, and so does one whose
// limit the problem cannot meet.
Status MatchSearch(SiteMatchState& sm);

// The answer under one site limit, for the table of what each added site saves.
struct LimitCost {
    int sites = 0;
    std::vector<int> chosen; // ascending
    double total = 0;
};

// The optimum under the limits 1, 2 and 3 that the problem's sites allow, each found by the
// same search on a copy of the problem; the state itself is left alone.
std::vector<LimitCost> CostsBySites(const SiteMatchState& sm);

// Whether the results of the last search can be shown: every cost, the optimal total and each
// row of the table by site limit (its total and saving) is a number. Otherwise the refusal,
// naming the figure that went beyond the largest number; the windows and the batch show none
// of the results then.
Status CheckMatchResult(const SiteMatchState& sm);

// What the data table's "Ok" runs before the results window opens: the search, then the check
// of every figure the results would show.
Status SearchForResults(SiteMatchState& sm);

// The chosen sites of the last search, ascending.
std::vector<int> ChosenSites(const SiteMatchState& sm);

} // namespace davrenta
