#include "app/modulestate.h"
#include "popmap/reports.h"

#include <gtest/gtest.h>

#include "popmap/results.h"
#include "popmap/search.h"
#include "popmap_fixtures.h"

namespace davrenta {
namespace {

using testing::kWorkedExample;
using testing::MakeState;
using testing::Problem;

using Lines = std::vector<std::string>;

TEST(GridOverlay, DotsStandUnderTheUnitsRuler) {
    const Report r = GridOverlayReport();
    EXPECT_EQ(r.fontName, "courier");
    EXPECT_EQ(r.fontSize, 12);
    const Lines lines = RenderText(r);
    ASSERT_EQ(lines.size(), 3u + 2u + 50u + 3u + 1u);
    EXPECT_EQ(lines[3],
              std::string(18, ' ') + "111111111122222222223333333333444444444455555555556");
    EXPECT_EQ(lines[4],
              std::string(9, ' ') + "123456789012345678901234567890123456789012345678901234567890");
    EXPECT_EQ(lines[5], "     1   " + std::string(60, '.'));
    EXPECT_EQ(lines[54], "     50  " + std::string(60, '.'));
    EXPECT_EQ(lines.back(), "                              Grid for ZEDU Map");
    // The tens ruler's first "1" stands above the units ruler's "0" of column 10.
    EXPECT_EQ(lines[3][18], '1');
    EXPECT_EQ(lines[4][18], '0');
}

TEST(MapReportText, FiftyNumberedLinesUnderTheRulers) {
    ModuleState s = MakeState(Problem{{{"A", 100}}, {{1, 1}}, {"AAA", " A"}});
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    s.fl.maptype = MapType::Numbered;
    const Lines lines = RenderText(MapReport(s.fl));
    ASSERT_EQ(lines.size(), 1u + 1u + 2u + 2u + 1u + 50u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "INPUT MAP WITH EXISTING FACILITIES");
    EXPECT_EQ(lines[7], "     1   1AA");
    EXPECT_EQ(lines[8], "     2    A");
    EXPECT_EQ(lines[9], "     3   ");
    EXPECT_EQ(lines[56], "     50  ");

    s.fl.maptype = MapType::NearOptimal;
    s.fl.NearOptimalBound = 0.4;
    EXPECT_EQ(RenderText(MapReport(s.fl))[1], "NEAR OPTIMAL (%) LOCATIONS  0.4");
}

TEST(ResultsReports, WorkedExampleOnePod) {
    ModuleState s = MakeState(kWorkedExample);
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    s.fl.maptype = MapType::ExistingService;
    const Report first = ResultsReport1(s.fl);
    EXPECT_EQ(first.fontName, "times new roman");
    const std::string pad(9, ' ');
    EXPECT_EQ(RenderText(first),
              (Lines{"", pad + "EXISTING FACILITIES PLUS OPTIMAL LOCATION OF NEW FACILITY", "",
                     pad + "Facility  Line      Col.      Number", pad + " ", "",
                     pad + "PRIOR AVG. DISTANCE TRAVELED (X SCALE) 0.", "",
                     pad + "OPTIMAL LOCATION FOR NEW FACILITY TO MINIMIZE TRAVEL FOR POPULATION ",
                     "", pad + "COORDINATES 1, 2", pad + "NEW AVG. DIST. TRAVELED 0.712"}));

    const Lines second = RenderText(ResultsReport2(s.fl));
    EXPECT_EQ(second,
              (Lines{"", pad + "EXISTING FACILITIES PLUS OPTIMAL LOCATION OF NEW FACILITY", "",
                     pad + "OPTIMAL LOCATION FOR NEW FACILITY TO MINIMIZE TRAVEL FOR POPULATION ",
                     "", pad + "Optimal location of new facility is *.", "",
                     pad + "Facility  Line      Col.      Number", pad + " ",
                     pad + "  *       1         2          150 "}));
}

TEST(ResultsReports, MeasuresAndTwoPods) {
    Problem p{{{"A", 99.5}, {"B", 20}}, {{1, 1}}, {"AAAA", "BB"}};
    ModuleState s = MakeState(p, 2, 1, 1);
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    s.fl.maptype = MapType::ExistingService;
    const Lines first = RenderText(ResultsReport1(s.fl));
    const std::string gap(7, ' ');
    // The existing POD serves every cell: 99.5 + 20, printed as its integer part.
    EXPECT_EQ(first[5], std::string(9, ' ') + " 1 " + gap + " 1 " + gap + " 1 " + gap + " 119 ");
    EXPECT_NE(std::find(first.begin(), first.end(),
                        std::string(9, ' ') +
                            "OPTIMAL LOCATION FOR NEW FACILITY TO MAX. NUMBER SERVED AT FACILITY"),
              first.end());

    s.fl.PerformanceMeasure = Measure::MinimizeMaxDistance;
    const Lines minmax = RenderText(ResultsReport1(s.fl));
    // (2, 1) takes the rest of line 1 and (2, 2) from the POD at (1, 1).
    EXPECT_EQ(minmax.back(), std::string(9, ' ') + "COORDINATES (X,Y) 2, 1");

    ModuleState two = MakeState(p, 1, 1, 2);
    ASSERT_EQ(RunSearch(two).status, SearchStatus::Done);
    const Lines second = RenderText(ResultsReport2(two.fl));
    EXPECT_EQ(second[1], std::string(9, ' ') +
                             "EXISTING FACILITIES PLUS OPTIMAL LOCATIONS OF TWO NEW FACILITIES");
    EXPECT_EQ(second[3],
              std::string(9, ' ') +
                  "OPTIMAL LOCATION FOR TWO NEW FACILITIES TO MINIMIZE TRAVEL FOR POPULATION ");
    EXPECT_EQ(second[second.size() - 2].substr(0, 12), std::string(9, ' ') + "  *");
    EXPECT_EQ(second.back().substr(0, 12), std::string(9, ' ') + "  @");
}

TEST(ResultsReports, ThreePodsRowByRow) {
    ModuleState s = MakeState(kWorkedExample, 1, 1, 3);
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    const std::string pad(9, ' ');
    const Lines second = RenderText(ResultsReport2(s.fl));
    EXPECT_EQ(second[1], pad + "EXISTING FACILITIES PLUS OPTIMAL LOCATIONS OF 3 NEW FACILITIES");
    EXPECT_EQ(second[3],
              pad + "OPTIMAL LOCATION FOR 3 NEW FACILITIES TO MINIMIZE TRAVEL FOR POPULATION ");
    EXPECT_EQ(second[4], pad + "PROVEN OPTIMAL");
    EXPECT_EQ(second[8], pad + "Optimal location of new facility 3 is #.");
    EXPECT_EQ(second.back(), pad + "  #       1         3          50 ");

    s.fl.maptype = MapType::ExistingService;
    const Lines first = RenderText(ResultsReport1(s.fl));
    EXPECT_NE(std::find(first.begin(), first.end(), pad + "COORDINATES 3 1, 3"), first.end());
    EXPECT_EQ(first.back(), pad + "PROVEN OPTIMAL");
}

TEST(DistributionReportText, ColumnsAtTenAndTwentyFive) {
    Problem p{{{"A", 100}, {"B", 10}}, {}, {"AAB"}};
    ModuleState s = MakeState(p);
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(RenderText(DistributionReport(s.fl)),
              (Lines{"Area     Number of      Pop. per", "         Map Points     Point", " ",
                     "A         2             50.00", "B         1             10.00"}));
}

} // namespace
} // namespace davrenta
