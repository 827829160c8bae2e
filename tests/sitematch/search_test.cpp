// The exhaustive search over site combinations, and the texts of its results.
#include <gtest/gtest.h>

#include "sitematch/search.h"
#include "sitematch/texts.h"
#include "sitematch_fixtures.h"

namespace davrenta {
namespace {

using testing::Problem;

using Rows = std::vector<std::array<std::string, 3>>;

TEST(OneSite, EqualLowestTotalsChooseTheLowerNumberedSite) {
    // Site totals: 2*3 + 4*1 = 10, 1*3 + 7*1 = 10, 5*3 + 1*1 = 16.
    SiteMatchState sm = Problem({{{2, 1, 5}, 3}, {{4, 7, 1}, 1}}, 1);
    ASSERT_TRUE(MatchSearch(sm).ok());
    EXPECT_EQ(sm.ChosenSite, 1);
    EXPECT_EQ(sm.OptimalTotalCost, 10);
    EXPECT_EQ(sm.CombinationCount, 3);
    EXPECT_EQ(sm.CombinationTotal[2], 10);
    EXPECT_EQ(sm.CombinationTotal[3], 16);
    EXPECT_EQ(MatchResultRows(sm), (Rows{{" 1", " 1", " 6"}, {" 2", " 1", " 4"}}));
    EXPECT_EQ(MatchMessage(sm, '\r'), "Using a maximum of  1 site.\r\rUtilize site  1\r\r"
                                      "The optimal total cost would be: \r\r 10");
}

TEST(TwoSites, OnlyPairIsChosenAndAFacilityTyingShowsBothSites) {
    SiteMatchState sm = Problem({{{4, 4}, 2.5}, {{1, 9}, 2}, {{8, 3}, 1}}, 2);
    ASSERT_TRUE(MatchSearch(sm).ok());
    EXPECT_EQ(sm.ChosenSite1, 1);
    EXPECT_EQ(sm.ChosenSite2, 2);
    EXPECT_EQ(sm.PairTie[1], 1);
    EXPECT_EQ(sm.PairTie[2], 0);
    EXPECT_EQ(sm.AssignedSite[3], 2);
    EXPECT_EQ(sm.OptimalTotalCost, 15);
    EXPECT_EQ(MatchResultRows(sm),
              (Rows{{" 1", " 1 or  2", " 10"}, {" 2", " 1", " 2"}, {" 3", " 2", " 3"}}));
    EXPECT_EQ(MatchMessage(sm, '\r'),
              "Using a maximum of  2 sites.\r\rResults may use only one or both sites.\r\r"
              "Utilize sites  1,  2\r\rThe optimal total cost would be: \r\r 15");
}

TEST(TwoSites, EveryFacilityCheapestAtOneSiteMatchesTheOneSiteOptimum) {
    // Site 3 is cheapest for all; pairs (1,3) and (2,3) and (3,4) tie at the same total, so the
    // first in lexicographic order, (1,3), is chosen.
    SiteMatchState sm = Problem({{{5, 6, 1, 7}, 2}, {{9, 8, 2, 3}, 1}, {{4, 4, 3, 5}, 3}}, 2);
    ASSERT_TRUE(MatchSearch(sm).ok());
    EXPECT_EQ(sm.ChosenSite1, 1);
    EXPECT_EQ(sm.ChosenSite2, 3);
    EXPECT_EQ(sm.OptimalTotalCost, 13);
    EXPECT_EQ(MatchResultRows(sm),
              (Rows{{" 1", " 3", " 2"}, {" 2", " 3", " 2"}, {" 3", " 3", " 9"}}));
    SiteMatchState one = sm;
    one.MaxSites = 1;
    ASSERT_TRUE(MatchSearch(one).ok());
    EXPECT_EQ(one.ChosenSite, 3);
    EXPECT_EQ(one.OptimalTotalCost, 13);
}

TEST(ThreeSites, TieCodesAndTheirSiteTexts) {
    // Four sites; facilities are built so that the chosen triple is (1, 2, 3) and each facility
    // shows one tie code.
    SiteMatchState sm = Problem({{{2, 2, 2, 50}, 1},  // all three equal: code 1
                                 {{5, 1, 1, 50}, 1},  // second and third below the first: 2
                                 {{1, 5, 1, 50}, 1},  // first and third below the second: 3
                                 {{1, 1, 5, 50}, 1},  // first and second below the third: 4
                                 {{3, 9, 9, 50}, 1}}, // one cheapest: 0
                                3);
    ASSERT_TRUE(MatchSearch(sm).ok());
    EXPECT_EQ(sm.ChosenSite1, 1);
    EXPECT_EQ(sm.ChosenSite2, 2);
    EXPECT_EQ(sm.ChosenSite3, 3);
    EXPECT_EQ(sm.CombinationCount, 4);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(sm.TripleTie[i], (std::array{1, 2, 3, 4, 0}[i - 1])) << i;
    EXPECT_EQ(MatchResultRows(sm), (Rows{{" 1", " 1 or  2 or  3", " 2"},
                                         {" 2", " 2 or  3", " 1"},
                                         {" 3", " 1 or  3", " 1"},
                                         {" 4", " 1 or  2", " 1"},
                                         {" 5", " 1", " 3"}}));
    EXPECT_EQ(MatchMessage(sm, '\n'),
              "Using a maximum of  3 sites.\n\nResults may use only one, two, or all three "
              "sites.\n\nUtilize sites  1,  2,  3\n\nThe optimal total cost would be: \n\n 8");
}

TEST(Search, ZeroDemandAddsNothingAndTiesTheChosenSites) {
    SiteMatchState sm = Problem({{{3, 8, 6}, 2}, {{9, 9, 1}, 0}, {{7, 2, 9}, 1}}, 2);
    ASSERT_TRUE(MatchSearch(sm).ok());
    EXPECT_EQ(sm.ChosenSite1, 1);
    EXPECT_EQ(sm.ChosenSite2, 2);
    EXPECT_EQ(sm.OptimalTotalCost, 8);
    EXPECT_EQ(MatchResultRows(sm)[1], (std::array<std::string, 3>{" 2", " 1 or  2", " 0"}));
    sm.MaxSites = 3;
    ASSERT_TRUE(MatchSearch(sm).ok());
    EXPECT_EQ(MatchResultRows(sm)[1], (std::array<std::string, 3>{" 2", " 1 or  2 or  3", " 0"}));
}

TEST(Search, EqualTotalsAmongPairsKeepTheFirstInLexicographicOrder) {
    // Every pair holding site 2 or site 4 costs 4; (1,2) comes first.
    SiteMatchState sm = Problem({{{9, 2, 9, 2}, 1}, {{9, 2, 9, 2}, 1}}, 2);
    ASSERT_TRUE(MatchSearch(sm).ok());
    EXPECT_EQ(sm.ChosenSite1, 1);
    EXPECT_EQ(sm.ChosenSite2, 2);
    EXPECT_EQ(sm.CombinationTotal[1], 4);
    EXPECT_EQ(sm.CombinationTotal[2], 18); // (1,3)
    EXPECT_EQ(sm.CombinationTotal[6], 4);  // (3,4)
}

TEST(Search, TwentyFacilitiesAndTenSitesExamine120Triples) {
    SiteMatchState sm;
    sm.MatchFacilityCount = 20;
    sm.SiteCount = 10;
    sm.MaxSites = 3;
    // Facility i is cheap only at site 8 + (i mod 3): just the last triple serves all cheaply.
    for (int i = 1; i <= 20; ++i) {
        for (int j = 1; j <= 10; ++j)
            sm.SiteTime(i, j) = j == 8 + i % 3 ? 1 : 5;
        sm.FacilityDemand[i] = i;
    }
    ASSERT_TRUE(MatchSearch(sm).ok());
    EXPECT_EQ(sm.CombinationCount, 120);
    EXPECT_EQ((sm.CombinationSites[1]), (std::array{1, 2, 3}));
    EXPECT_EQ((sm.CombinationSites[120]), (std::array{8, 9, 10}));
    EXPECT_EQ(sm.ChosenSite1, 8);
    EXPECT_EQ(sm.ChosenSite2, 9);
    EXPECT_EQ(sm.ChosenSite3, 10);
    EXPECT_EQ(sm.OptimalTotalCost, 210);
    EXPECT_EQ(sm.CombinationTotal[1], 1050);
}

TEST(Search, LimitAboveTheSiteCountIsRefusedNamingTheSites) {
    SiteMatchState sm = Problem({{{3, 4}, 1}}, 3);
    sm.ChosenSite1 = 7;
    const Status status = MatchSearch(sm);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "The problem has 2 sites, so it cannot use a maximum of three "
                                "sites. Choose a smaller number of sites.");
    EXPECT_EQ(sm.ChosenSite1, 7);
    EXPECT_EQ(CheckSiteLimit(1, 2).message(), "The problem has 1 site, so it cannot use a "
                                              "maximum of two sites. Choose a smaller number of "
                                              "sites.");
}

TEST(Search, TotalsOfTenToTheTenOrMoreStillChooseTheCheapest) {
    // Starting from 10^10 alone, no total would beat it and no site would be chosen.
    SiteMatchState sm = Problem({{{30000, 20000}, 1e6}}, 1);
    sm.ChosenSite = 9;
    ASSERT_TRUE(MatchSearch(sm).ok());
    EXPECT_EQ(sm.ChosenSite, 2);
    EXPECT_EQ(sm.OptimalTotalCost, 2e10);
    EXPECT_EQ(MatchMessage(sm, '\r').substr(MatchMessage(sm, '\r').rfind('\r') + 1),
              " 20000000000");
}

TEST(Search, TotalsBeyondEveryDoubleAreRefused) {
    SiteMatchState sm = Problem({{{1e300, 1e300}, 1e300}}, 2);
    const Status status = MatchSearch(sm);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.message(),
              "The costs are too large to compute with: the total cost of every combination of "
              "sites goes beyond the largest number. Use smaller times or numbers of demands.");
}

TEST(ResultCheck, ASavingBeyondTheLargestNumberRefusesTheResults) {
    // One site costs 0.85e308 either way, two sites -1.7e308: the saving is 2.55e308.
    SiteMatchState sm = Problem({{{-0.85e308, 1.7e308}, 1}, {{1.7e308, -0.85e308}, 1}}, 1);
    const Status status = SearchForResults(sm);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.message(),
              "The costs are too large to compute with: the optimal total cost under two sites "
              "or its saving goes beyond the largest number. Use smaller times or numbers of "
              "demands.");
}

TEST(ResultCheck, EveryOneSiteTotalOverflowingRefusesThePairsResults) {
    // Each site alone adds up two costs of 1.5e308; a pair serves everyone at cost 1.
    SiteMatchState sm =
        Problem({{{1.5e308, 1}, 1}, {{1, 1.5e308}, 1}, {{1.5e308, 1}, 1}, {{1, 1.5e308}, 1}}, 2);
    ASSERT_TRUE(MatchSearch(sm).ok());
    EXPECT_EQ(sm.OptimalTotalCost, 4);
    const Status status = CheckMatchResult(sm);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.message(),
              "The costs are too large to compute with: the total cost of every choice of one "
              "site goes beyond the largest number. Use smaller times or numbers of demands.");
    // Finite everywhere, the same search is shown.
    SiteMatchState fine = Problem({{{1.5e300, 1}, 1}, {{1, 1.5e300}, 1}}, 2);
    EXPECT_TRUE(SearchForResults(fine).ok());
}

TEST(CostsBySites, EachAddedSiteAndItsSaving) {
    SiteMatchState sm = Problem({{{1, 9, 9}, 10}, {{9, 1, 9}, 5}, {{9, 9, 1}, 2}}, 2);
    ASSERT_TRUE(MatchSearch(sm).ok());
    const auto costs = CostsBySites(sm);
    ASSERT_EQ(costs.size(), 3u);
    EXPECT_EQ(costs[0].total, 73); // site 1: 10 + 45 + 18
    EXPECT_EQ(costs[1].chosen, (std::vector<int>{1, 2}));
    EXPECT_EQ(costs[1].total, 33);
    EXPECT_EQ(costs[2].total, 17);
    EXPECT_EQ(sm.MaxSites, 2); // the state is left alone
    EXPECT_EQ(CostsBySitesRows(sm),
              (std::vector<std::array<std::string, 4>>{
                  {"1", "1", "73", ""}, {"2", "1, 2", "33", "40"}, {"3", "1, 2, 3", "17", "16"}}));
}

TEST(CostsBySites, OnlyTheLimitsTheSitesAllow) {
    SiteMatchState sm = Problem({{{0.1, 0.3}, 1}, {{0.2, 0.1}, 1}}, 1);
    const auto rows = CostsBySitesRows(sm);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][2], "0.3");
    EXPECT_EQ(rows[1][3], "0.1");
}

} // namespace
} // namespace davrenta
