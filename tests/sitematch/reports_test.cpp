// The two printed reports of the matching study, line by line.
#include <gtest/gtest.h>

#include "sitematch/reports.h"
#include "sitematch/search.h"
#include "sitematch_fixtures.h"

namespace davrenta {
namespace {

using testing::Problem;
using Lines = std::vector<std::string>;

std::string Blanks(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}

TEST(DataReport, ColumnsOfTimesAndTheDemandAtColumn60) {
    const SiteMatchState sm = Problem({{{4, 7, 2}, 10}, {{5, 1, 6.5}, 3}}, 1);
    const Report report = MatchDataReport(sm);
    EXPECT_EQ(report.fontName, "fixedsys");
    EXPECT_EQ(report.fontSize, 10);
    EXPECT_EQ(RenderText(report), (Lines{"", "Fac.      Sites" + Blanks(44) + "Demand", "",
                                         " 1       "
                                         " 4       "
                                         " 7       "
                                         " 2       " +
                                             Blanks(23) + " 10 ",
                                         " 2       "
                                         " 5       "
                                         " 1       "
                                         " 6.5       " +
                                             Blanks(21) + " 3 "}));
}

TEST(DataReport, RowRunningPastColumn60PutsItsDemandOnTheNextLine) {
    SiteMatchState sm = Problem({{{12, 12, 12, 12, 12, 12, 12, 12, 12, 12}, 5}}, 1);
    const Lines lines = RenderText(MatchDataReport(sm));
    ASSERT_EQ(lines.size(), 5u);
    std::string times = " 1       ";
    for (int j = 0; j < 10; ++j)
        times += " 12       ";
    EXPECT_EQ(lines[3], times);
    EXPECT_EQ(lines[4], Blanks(59) + " 5 ");
}

TEST(DataReport, RowEndingJustBeforeColumn60KeepsItsDemand) {
    // 9 + 5 x 10 columns leave the print position at column 60 itself.
    const SiteMatchState sm = Problem({{{12, 12, 12, 12, 12}, 5}}, 1);
    const Lines lines = RenderText(MatchDataReport(sm));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3].substr(59), " 5 ");
}

TEST(ResultsReport, MessageLinesThenTheRowsThenTheCostsByNumberOfSites) {
    SiteMatchState sm = Problem({{{4, 4}, 2.5}, {{1, 9}, 2}, {{8, 3}, 1}}, 2);
    ASSERT_TRUE(MatchSearch(sm).ok());
    const Report report = MatchResultsReport(sm, '\r');
    EXPECT_EQ(report.fontName, "fixedsys");
    EXPECT_EQ(report.fontSize, 10);
    EXPECT_EQ(RenderText(report), (Lines{"",
                                         "Results for facility site matching",
                                         "",
                                         "Using a maximum of  2 sites.",
                                         "",
                                         "Results may use only one or both sites.",
                                         "",
                                         "Utilize sites  1,  2",
                                         "",
                                         "The optimal total cost would be: ",
                                         "",
                                         " 15",
                                         "",
                                         "Fac.     Sites     Cost",
                                         "",
                                         " 1        1 or  2   10",
                                         " 2        1         2",
                                         " 3        2         3",
                                         "",
                                         "Costs by number of sites",
                                         "",
                                         "Maximum sites  Sites used     Optimal total cost  Saving",
                                         "1              1              20",
                                         "2              1, 2           15                  5"}));
}

TEST(ResultsReport, ThreeTiedSitesPushTheCostToColumn20OfTheNextLine) {
    SiteMatchState sm = Problem({{{2, 2, 2}, 1}, {{1, 5, 9}, 1}}, 3);
    ASSERT_TRUE(MatchSearch(sm).ok());
    const Lines lines = RenderText(MatchResultsReport(sm, '\r'));
    ASSERT_GE(lines.size(), 18u);
    EXPECT_EQ(lines[7], "Utilize sites  1,  2,  3");
    EXPECT_EQ(lines[15], " 1        1 or  2 or  3");
    EXPECT_EQ(lines[16], Blanks(19) + " 2");
    EXPECT_EQ(lines[17], " 2        1         1");
}

} // namespace
} // namespace davrenta
