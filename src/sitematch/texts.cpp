#include "sitematch/texts.h"

#include <algorithm>

#include "sitematch/search.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

std::string Joined(const std::vector<int>& sites, const std::string& separator) {
    std::string text;
    for (std::size_t n = 0; n < sites.size(); ++n) {
        if (n > 0)
            text += separator;
        text += StrForm(sites[n]);
    }
    return text;
}

std::string SiteText(const SiteMatchState& sm, int i) {
    const std::string either = " or ";
    if (sm.MaxSites == 2)
        return sm.PairTie[i] == 1 ? Joined({sm.ChosenSite1, sm.ChosenSite2}, either)
                                  : StrForm(sm.AssignedSite[i]);
    switch (sm.TripleTie[i]) {
    case 1:
        return Joined({sm.ChosenSite1, sm.ChosenSite2, sm.ChosenSite3}, either);
    case 2:
        return Joined({sm.ChosenSite2, sm.ChosenSite3}, either);
    case 3:
        return Joined({sm.ChosenSite1, sm.ChosenSite3}, either);
    case 4:
        return Joined({sm.ChosenSite1, sm.ChosenSite2}, either);
    default:
        return StrForm(sm.AssignedSite[i]);
    }
}

} // namespace

std::string GridInstructions(char lineBreak) {
    const std::string gap(2, lineBreak);
    return "In this window, you can correct, add, or remove any data." + gap +
           "To correct data, enter the correct data in the corresponding text box." + gap +
           "To add a facility, press the Add Facility button." + gap +
           "To remove a facility, press the Remove Facility button.";
}

std::string EntryFacilityText(const SiteMatchState& sm) {
    return "Facility " + StrForm(sm.MatchEntryFacility);
}

std::vector<std::array<std::string, 3>> MatchResultRows(const SiteMatchState& sm) {
    std::vector<std::array<std::string, 3>> rows;
    const int m = std::clamp(sm.MatchFacilityCount, 0, kMaxMatchFacilities);
    for (int i = 1; i <= m; ++i) {
        if (sm.MaxSites == 1)
            rows.push_back({StrForm(i), StrForm(sm.ChosenSite),
                            StrForm(sm.FacilitySiteCost(i, sm.ChosenSite))});
        else
            rows.push_back({StrForm(i), SiteText(sm, i), StrForm(sm.AssignedCost[i])});
    }
    return rows;
}

std::string MatchMessage(const SiteMatchState& sm, char lineBreak) {
    const std::string gap(2, lineBreak);
    std::string text;
    switch (sm.MaxSites) {
    case 1:
        text = "Using a maximum of " + StrForm(1) + " site." + gap + "Utilize site " +
               StrForm(sm.ChosenSite);
        break;
    case 2:
        text = "Using a maximum of " + StrForm(2) + " sites." + gap +
               "Results may use only one or both sites." + gap + "Utilize sites " +
               Joined({sm.ChosenSite1, sm.ChosenSite2}, ", ");
        break;
    default:
        text = "Using a maximum of " + StrForm(3) + " sites." + gap +
               "Results may use only one, two, or all three sites." + gap + "Utilize sites " +
               Joined({sm.ChosenSite1, sm.ChosenSite2, sm.ChosenSite3}, ", ");
        break;
    }
    return text + gap + "The optimal total cost would be: " + gap + StrForm(sm.OptimalTotalCost);
}

std::vector<std::array<std::string, 4>> CostsBySitesRows(const SiteMatchState& sm) {
    return CostsBySitesRows(sm, PlainForm);
}

std::vector<std::array<std::string, 4>> CostsBySitesRows(const SiteMatchState& sm,
                                                         std::string (*number)(double)) {
    std::vector<std::array<std::string, 4>> rows;
    const std::vector<LimitCost> costs = CostsBySites(sm);
    for (std::size_t n = 0; n < costs.size(); ++n) {
        std::string sites;
        for (int site : costs[n].chosen)
            sites += (sites.empty() ? "" : ", ") + PlainForm(site);
        const std::string saving =
            n == 0 ? std::string() : number(costs[n - 1].total - costs[n].total);
        rows.push_back({PlainForm(costs[n].sites), sites, number(costs[n].total), saving});
    }
    return rows;
}

} // namespace davrenta
