#pragma once

#include <array>
#include <string>
#include <vector>

#include "sitematch/model.h"

namespace davrenta {

// Fixed texts of the matching windows.
inline constexpr const char* kSiteMatchDescription =
    "This function finds the optimal site(s) for one or more facilities "
    "from a collection of available sites. ";
inline constexpr const char* kSiteMatchTitle = "FACILITIES / SITES MATCHING";
inline constexpr const char* kRowInputPrompt =
    "Input facility to site time (5 digits max) and number of demands";
inline constexpr const char* kRemovePrompt = "Enter facility identification number to remove.";

// The data table's instructions, paragraphs separated by two line breaks.
std::string GridInstructions(char lineBreak);

// "Facility " and the Str form of the facility whose row is collected next.
std::string EntryFacilityText(const SiteMatchState& sm);

// Per facility the results window's three texts: facility, site(s), cost.
std::vector<std::array<std::string, 3>> MatchResultRows(const SiteMatchState& sm);

// The results window's message (Label2): the site limit, the sites to use and the total.
std::string MatchMessage(const SiteMatchState& sm, char lineBreak);

// The results window's table of the optimum under each site limit: the limit, the sites
// chosen, the optimal total cost, and what that limit saves against the one before.
std::vector<std::array<std::string, 4>> CostsBySitesRows(const SiteMatchState& sm);
// The same with the costs in another form (RoundTripForm: at full precision, for export).
std::vector<std::array<std::string, 4>> CostsBySitesRows(const SiteMatchState& sm,
                                                         std::string (*number)(double));
inline constexpr std::array<const char*, 4> kCostsBySitesHeadings = {
    "Maximum sites", "Sites used", "Optimal total cost", "Saving"};

} // namespace davrenta
