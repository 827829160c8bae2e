#include "sitematch/search.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "state/figures.h"

namespace davrenta {

namespace {

const char* const kLimitWords[] = {"", "one site", "two sites", "three sites"};

constexpr const char* kSmallerCosts = "Use smaller times or numbers of demands.";

int Facilities(const SiteMatchState& sm) {
    return std::clamp(sm.MatchFacilityCount, 0, kMaxMatchFacilities);
}

int Sites(const SiteMatchState& sm) {
    return std::clamp(sm.SiteCount, 0, kMaxSites);
}

// Lists the combinations of `size` sites out of s in lexicographic order.
int ListCombinations(SiteMatchState& sm, int size) {
    const int s = Sites(sm);
    int k = 0;
    if (size == 1) {
        for (int j = 1; j <= s; ++j)
            sm.CombinationSites[++k] = {j, 0, 0};
    } else if (size == 2) {
        for (int j1 = 1; j1 <= s; ++j1)
            for (int j2 = j1 + 1; j2 <= s; ++j2)
                sm.CombinationSites[++k] = {j1, j2, 0};
    } else {
        for (int j1 = 1; j1 <= s; ++j1)
            for (int j2 = j1 + 1; j2 <= s; ++j2)
                for (int j3 = j2 + 1; j3 <= s; ++j3)
                    sm.CombinationSites[++k] = {j1, j2, j3};
    }
    return k;
}

void AssignPair(SiteMatchState& sm, int i) {
    const double a = sm.FacilitySiteCost(i, sm.ChosenSite1);
    const double b = sm.FacilitySiteCost(i, sm.ChosenSite2);
    sm.PairTie[i] = 0;
    sm.AssignedSite[i] = 0;
    if (a > b) {
        sm.AssignedCost[i] = b;
        sm.AssignedSite[i] = sm.ChosenSite2;
    } else if (a == b) {
        sm.PairTie[i] = 1;
        sm.AssignedCost[i] = a;
    } else {
        sm.AssignedCost[i] = a;
        sm.AssignedSite[i] = sm.ChosenSite1;
    }
}

void AssignTriple(SiteMatchState& sm, int i) {
    const double a = sm.FacilitySiteCost(i, sm.ChosenSite1);
    const double b = sm.FacilitySiteCost(i, sm.ChosenSite2);
    const double c = sm.FacilitySiteCost(i, sm.ChosenSite3);
    sm.TripleTie[i] = 0;
    sm.AssignedSite[i] = 0;
    if (a < b && a < c) {
        sm.AssignedSite[i] = sm.ChosenSite1;
        sm.AssignedCost[i] = a;
    } else if (b < a && b < c) {
        sm.AssignedSite[i] = sm.ChosenSite2;
        sm.AssignedCost[i] = b;
    } else if (c < a && c < b) {
        sm.AssignedSite[i] = sm.ChosenSite3;
        sm.AssignedCost[i] = c;
    } else if (a == b && b == c) {
        sm.TripleTie[i] = 1;
        sm.AssignedCost[i] = a;
    } else if (b == c) {
        sm.TripleTie[i] = 2;
        sm.AssignedCost[i] = b;
    } else if (a == c) {
        sm.TripleTie[i] = 3;
        sm.AssignedCost[i] = a;
    } else {
        sm.TripleTie[i] = 4;
        sm.AssignedCost[i] = a;
    }
}

} // namespace

Status CheckSiteLimit(const SiteMatchState& sm) {
    return CheckSiteLimit(sm.SiteCount, sm.MaxSites);
}

Status CheckSiteLimit(int siteCount, int maxSites) {
    const int limit = std::clamp(maxSites, 1, kMaxSiteLimit);
    if (siteCount >= limit)
        return {};
    const int s = siteCount;
    return Fail("The problem has " + std::to_string(s) + (s == 1 ? " site" : " sites") +
                ", so it cannot use a maximum of " + kLimitWords[limit] +
                ". Choose a smaller number of sites.");
}

Status MatchSearch(SiteMatchState& sm) {
    if (auto limit = CheckSiteLimit(sm); !limit)
        return limit;
    const int m = Facilities(sm);
    const int s = Sites(sm);
    const int size = std::clamp(sm.MaxSites, 1, kMaxSiteLimit);

    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= s; ++j)
            sm.FacilitySiteCost(i, j) = sm.SiteTime(i, j) * sm.FacilityDemand[i];

    const int count = ListCombinations(sm, size);
    sm.CombinationCount = count;
    for (int k = 1; k <= count; ++k) {
        const auto& sites = sm.CombinationSites[k];
        for (int i = 1; i <= m; ++i) {
            double least = sm.FacilitySiteCost(i, sites[0]);
            for (int n = 1; n < size; ++n) {
                const double cost = sm.FacilitySiteCost(i, sites[n]);
                if (least > cost)
                    least = cost;
            }
            sm.CombinationMinCost(i, k) = least;
        }
    }

    // Starting from 10^10 alone would choose nothing when every total reaches it, and show the
    // sites of an earlier run; infinity keeps the same choice whenever a total lies below it.
    sm.OptimalTotalCost = std::numeric_limits<double>::infinity();
    int best = 0;
    for (int k = 1; k <= count; ++k) {
        double total = 0;
        for (int i = 1; i <= m; ++i)
            total += sm.CombinationMinCost(i, k);
        sm.CombinationTotal[k] = total;
        if (sm.OptimalTotalCost > total) {
            sm.OptimalTotalCost = total;
            best = k;
        }
    }
    if (best == 0 || !std::isfinite(sm.OptimalTotalCost)) {
        sm.OptimalTotalCost = kStartingTotalCost;
        return TooLargeToCompute("costs", "the total cost of every combination of sites",
                                 kSmallerCosts);
    }

    const auto& chosen = sm.CombinationSites[best];
    if (size == 1) {
        sm.ChosenSite = chosen[0];
    } else {
        sm.ChosenSite1 = chosen[0];
        sm.ChosenSite2 = chosen[1];
        if (size == 3)
            sm.ChosenSite3 = chosen[2];
        for (int i = 1; i <= m; ++i) {
            if (size == 2)
                AssignPair(sm, i);
            else
                AssignTriple(sm, i);
        }
    }
    return {};
}

std::vector<int> ChosenSites(const SiteMatchState& sm) {
    switch (std::clamp(sm.MaxSites, 1, kMaxSiteLimit)) {
    case 1:
        return {sm.ChosenSite};
    case 2:
        return {sm.ChosenSite1, sm.ChosenSite2};
    default:
        return {sm.ChosenSite1, sm.ChosenSite2, sm.ChosenSite3};
    }
}

std::vector<LimitCost> CostsBySites(const SiteMatchState& sm) {
    std::vector<LimitCost> costs;
    const int last = std::min(Sites(sm), kMaxSiteLimit);
    for (int limit = 1; limit <= last; ++limit) {
        SiteMatchState trial = sm;
        trial.MaxSites = limit;
        if (!MatchSearch(trial))
            break;
        costs.push_back({limit, ChosenSites(trial), trial.OptimalTotalCost});
    }
    return costs;
}

Status CheckMatchResult(const SiteMatchState& sm) {
    const int m = Facilities(sm);
    Figures figures;
    figures.add(sm.OptimalTotalCost);
    for (int i = 1; i <= m; ++i)
        figures.add(sm.MaxSites == 1 ? sm.FacilitySiteCost(i, sm.ChosenSite) : sm.AssignedCost[i]);
    if (Status finite = RequireFinite(figures, "costs", "the optimal total cost", kSmallerCosts);
        !finite)
        return finite;

    // The table of the optimum under each site limit: a limit whose every total overflows
    // would drop out of it, and a saving between two finite totals can still overflow.
    const std::vector<LimitCost> costs = CostsBySites(sm);
    const int limits = std::min(Sites(sm), kMaxSiteLimit);
    for (int limit = 1; limit <= limits; ++limit) {
        const auto k = static_cast<std::size_t>(limit - 1);
        if (k >= costs.size())
            return TooLargeToCompute(
                "costs", std::string("the total cost of every choice of ") + kLimitWords[limit],
                kSmallerCosts);
        Figures row;
        row.add(costs[k].total);
        if (k > 0)
            row.add(costs[k - 1].total - costs[k].total);
        if (Status finite = RequireFinite(row, "costs",
                                          std::string("the optimal total cost under ") +
                                              kLimitWords[limit] + " or its saving",
                                          kSmallerCosts);
            !finite)
            return finite;
    }
    return {};
}

Status SearchForResults(SiteMatchState& sm) {
    if (Status searched = MatchSearch(sm); !searched)
        return searched;
    return CheckMatchResult(sm);
}

} // namespace davrenta
