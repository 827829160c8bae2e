#include "app/modulestate.h"
#include "popmap/results.h"

#include <gtest/gtest.h>

#include "popmap/search.h"
#include "popmap_fixtures.h"

namespace davrenta {
namespace {

using testing::kWorkedExample;
using testing::MakeState;
using testing::Problem;

ModuleState Solved(const Problem& p, int measure, int method, int pods) {
    ModuleState s = MakeState(p, measure, method, pods);
    EXPECT_EQ(RunSearch(s).status, SearchStatus::Done);
    OpenDistribution(s.fl);
    return s;
}

TEST(ResultsWindow, WorkedExampleBothStages) {
    ModuleState s = Solved(kWorkedExample, 1, 1, 1);
    s.fl.maptype = MapType::ExistingService;
    const ResultsTexts t3 = OpenResults(s.fl, s.DistanceMethod);
    EXPECT_EQ(t3.floclbl, "RECTILINEAR CALCULATIONS");
    EXPECT_EQ(t3.result1lbl, "OPTIMAL LOCATION FOR NEW POD TO MINIMIZE TRAVEL FOR POPULATION ");
    EXPECT_EQ(t3.result4lbl, "COORDINATES OF NEW POD (x, y) 2, 1");
    EXPECT_EQ(t3.result5lbl, "NEW AVG. DIST. TRAVELED 0.712");
    EXPECT_EQ(t3.result2lbl, ""); // no existing POD, no prior line
    EXPECT_EQ(t3.result7lbl, "TOTAL POPULATION SERVED =  150\rTOTAL MAP POINTS USED       = 3");
    ASSERT_EQ(t3.facgrd.size(), 1u);
    EXPECT_EQ(t3.facgrd[0][3], "Number Served");
    EXPECT_TRUE(t3.okbut && t3.prtbut);
    EXPECT_FALSE(t3.ok2but || t3.Prt2but || t3.Savebut || t3.opbut);
    EXPECT_EQ(s.fl.maptype, MapType::ExistingService);

    s.fl.maptype = MapType::NewService;
    const ResultsTexts t4 = OpenResults(s.fl, s.DistanceMethod);
    EXPECT_EQ(t4.result2lbl, "Optimal location of new POD is *.");
    EXPECT_EQ(t4.result1lbl, "");
    ASSERT_EQ(t4.facgrd.size(), 2u);
    EXPECT_EQ(t4.facgrd[1], (std::array<std::string, 4>{"*", "2", "1", "150"}));
    EXPECT_TRUE(t4.ok2but && t4.Prt2but && t4.Savebut && t4.opbut);
    EXPECT_EQ(s.fl.maptype, MapType::Input); // the window resets it as it opens
}

TEST(ResultsWindow, ExistingPodsShowPriorFiguresAndIntegerParts) {
    // PODs serve 1234.6 and more: the grid shows the integer part.
    Problem p{{{"A", 2469.2}, {"B", 10}}, {{1, 1}, {1, 6}}, {"AA  BB"}};
    ModuleState s = Solved(p, 2, 2, 1);
    s.fl.maptype = MapType::ExistingService;
    const ResultsTexts t = OpenResults(s.fl, s.DistanceMethod);
    EXPECT_EQ(t.floclbl, "EUCLIDEAN CALCULATIONS");
    ASSERT_EQ(t.facgrd.size(), 3u);
    EXPECT_EQ(t.facgrd[1], (std::array<std::string, 4>{"1", "1", "1", "2469"}));
    EXPECT_EQ(t.result2lbl.rfind("PRIOR AVG. DIST. TRAVELED ", 0), 0u);
    EXPECT_EQ(t.result1lbl, "OPTIMAL LOCATION FOR NEW POD TO MAX. NUMBER SERVED AT FACILITY");
    EXPECT_EQ(t.result5lbl.rfind("MAX SERVED 1235\rNEW AVG.  DIST. TRAVELED ", 0), 0u)
        << t.result5lbl;

    Problem half{{{"A", 2469.2}}, {}, {"AA"}};
    ModuleState h = Solved(half, 1, 1, 1);
    h.fl.maptype = MapType::NewService;
    EXPECT_EQ(OpenResults(h.fl, Metric::Rectilinear).facgrd[1][3], "2469");
}

TEST(ResultsWindow, TwoPodRowsShowThePlainFormOfTheServedPopulation) {
    Problem p{{{"A", 2469.2}}, {}, {"A"}};
    ModuleState s = Solved(p, 1, 1, 2);
    s.fl.maptype = MapType::NewService;
    const ResultsTexts t = OpenResults(s.fl, Metric::Rectilinear);
    ASSERT_EQ(t.facgrd.size(), 3u);
    EXPECT_EQ(t.facgrd[1], (std::array<std::string, 4>{"*", "1", "1", "2469.2"}));
    EXPECT_EQ(t.facgrd[2], (std::array<std::string, 4>{"@", "1", "1", "0"}));
}

TEST(ResultsWindow, MaximumServedWithoutExistingPodsSaysAnyLocation) {
    ModuleState s = Solved(kWorkedExample, 2, 3, 1);
    s.fl.maptype = MapType::ExistingService;
    const ResultsTexts t = OpenResults(s.fl, Metric::SquaredEuclidean);
    EXPECT_EQ(t.floclbl, "SQUARED EUCLIDEAN CALCULATIONS");
    EXPECT_EQ(t.result1lbl, "WITH NO EXISTING PODS ANY SINGLE NEW LOCATION IS OPTIMAL FOR THE NEW "
                            "FACILITY TO SERVE THE MAX. NUMBER");
    EXPECT_EQ(t.result4lbl, "");
    EXPECT_EQ(t.result5lbl, "");
}

TEST(ResultsWindow, TwoPodsUseBothCoordinateStyles) {
    Problem p{{{"A", 100}, {"B", 100}}, {{1, 6}}, {"AAAA.B.AAAA"}};
    ModuleState s = Solved(p, 1, 1, 2);
    s.fl.maptype = MapType::ExistingService;
    const ResultsTexts t3 = OpenResults(s.fl, Metric::Rectilinear);
    EXPECT_EQ(t3.result1lbl, "OPTIMAL LOCATION FOR NEW PODS TO MINIMIZE TRAVEL FOR POPULATION ");
    const std::string a =
        "COORDINATES OF NEW POD 1 (x, y) = " + std::to_string(s.fl.NewPod1Column) + ", 1\r" +
        "COORDINATES OF NEW POD 2 (x, y) = " + std::to_string(s.fl.NewPod2Column) + ", 1";
    EXPECT_EQ(t3.result4lbl, a);

    s.fl.maptype = MapType::NewService;
    const ResultsTexts t4 = OpenResults(s.fl, Metric::Rectilinear);
    EXPECT_EQ(t4.result2lbl,
              "Optimal location of first new POD is *.\rOptimal location of second new POD is @.");
    EXPECT_EQ(t4.result4lbl.substr(0, 32), "COORDINATES OF NEW POD 1 (x,y)= ");
    EXPECT_EQ(t4.result5lbl.rfind("AVERAGE DISTANCE ", 0), 0u);
    EXPECT_NE(t4.result5lbl.find("   MAX DISTANCE 0.2"), std::string::npos) << t4.result5lbl;
    EXPECT_FALSE(t4.opbut);
    ASSERT_EQ(t4.facgrd.size(), 4u);
    EXPECT_EQ(t4.facgrd[2][0], "*");
    EXPECT_EQ(t4.facgrd[3][0], "@");
}

TEST(ResultsWindow, ThreePodsListEveryNewPodWithItsLabel) {
    // One POD on every cell of the worked example: no travel left.
    ModuleState s = Solved(kWorkedExample, 1, 1, 3);
    s.fl.maptype = MapType::ExistingService;
    const ResultsTexts t3 = OpenResults(s.fl, s.DistanceMethod);
    EXPECT_EQ(t3.result1lbl, "OPTIMAL LOCATION FOR NEW PODS TO MINIMIZE TRAVEL FOR POPULATION ");
    EXPECT_EQ(t3.result4lbl, "COORDINATES OF NEW POD 1 (x,y)= 1, 1\rCOORDINATES OF NEW POD 2 "
                             "(x,y)= 2, 1\rCOORDINATES OF NEW POD 3 (x,y)= 3, 1");
    EXPECT_EQ(t3.result5lbl, "NEW AVG. DIST. TRAVELED 0.");
    EXPECT_EQ(t3.prooflbl, "PROVEN OPTIMAL");

    s.fl.maptype = MapType::NewService;
    const ResultsTexts t4 = OpenResults(s.fl, s.DistanceMethod);
    EXPECT_EQ(t4.result2lbl, "Optimal location of new POD 1 is *.\rOptimal location of new POD 2 "
                             "is @.\rOptimal location of new POD 3 is #.");
    ASSERT_EQ(t4.facgrd.size(), 4u);
    EXPECT_EQ(t4.facgrd[1], (std::array<std::string, 4>{"*", "1", "1", "50"}));
    EXPECT_EQ(t4.facgrd[2], (std::array<std::string, 4>{"@", "2", "1", "50"}));
    EXPECT_EQ(t4.facgrd[3], (std::array<std::string, 4>{"#", "3", "1", "50"}));
    EXPECT_TRUE(t4.Savebut);
    EXPECT_FALSE(t4.opbut);
    EXPECT_EQ(s.fl.BestServiceMap[1], "*@#");
}

TEST(ResultsWindow, AResultStoppedByTheTimeLimitSaysItsBoundAndGap) {
    ModuleState s = Solved(kWorkedExample, 1, 1, 3);
    s.fl.Proven = false;
    s.fl.Bound = 3;
    s.fl.Gap = 0.125;
    EXPECT_EQ(ProofText(s.fl), "BEST FOUND IN THE TIME LIMIT, NOT PROVEN OPTIMAL: BOUND ON AVG. "
                               "DIST. TRAVELED 0.213, GAP 12.5%");
    s.fl.PerformanceMeasure = Measure::MaximumServed;
    s.fl.Bound = 149.5;
    EXPECT_EQ(ProofText(s.fl), "BEST FOUND IN THE TIME LIMIT, NOT PROVEN OPTIMAL: BOUND ON "
                               "NUMBER SERVED 149.5, GAP 12.5%");
    // One or two PODs are always searched to the end: no such line.
    ModuleState one = Solved(kWorkedExample, 1, 1, 1);
    one.fl.maptype = MapType::NewService;
    EXPECT_EQ(OpenResults(one.fl, one.DistanceMethod).prooflbl, "");
}

TEST(SeveralPodsTexts, ProgressCountTableAndCoverInTheResultsTerms) {
    // The worked example's 150 people: a travel total of 30 is an average of 2.135 (X SCALE).
    ModuleState s = Solved(kWorkedExample, 1, 1, 3);
    SetProgress progress;
    progress.pods = 3;
    progress.haveBest = true;
    progress.best = 30;
    progress.bound = 15;
    progress.gap = 0.5;
    progress.seconds = 1.24;
    EXPECT_EQ(SetProgressText(s.fl, progress), "3 new PODs: best AVG. DIST. TRAVELED 2.135; bound "
                                               "AVG. DIST. TRAVELED 1.067; gap 50.0% (1.2 s)");
    progress.haveBest = false;
    EXPECT_EQ(SetProgressText(s.fl, progress),
              "3 new PODs: best none yet; bound AVG. DIST. TRAVELED 1.067; gap - (1.2 s)");
    // A bound of 0 (nothing proven yet) is a plain 0, not a bare point.
    progress.bound = 0;
    EXPECT_EQ(SetProgressText(s.fl, progress),
              "3 new PODs: best none yet; bound AVG. DIST. TRAVELED 0; gap - (1.2 s)");

    std::vector<PodCountRow> rows(2);
    rows[0] = {1, 30, true, 30, {{1, 2}}, 30.0};
    rows[1] = {2, 15, false, 12, {{1, 1}, {1, 3}}, 21.0};
    const PodCountTexts t = CountTexts(s.fl, rows);
    EXPECT_EQ(t.titlelbl, "AVG. DIST. TRAVELED (X SCALE) BY NUMBER OF NEW PODS, PLACED TOGETHER "
                          "AND ONE AT A TIME");
    ASSERT_EQ(t.countgrd.size(), 3u);
    EXPECT_EQ(t.countgrd[1], (std::array<std::string, 4>{"1", "2.135", "2.135", "yes"}));
    EXPECT_EQ(t.countgrd[2],
              (std::array<std::string, 4>{"2", "1.067", "1.494", "no (bound 0.854)"}));
    ASSERT_EQ(t.points.size(), 2u);
    EXPECT_EQ(t.points[1].pods, 2);

    CoverAnswer cover{2.5, 2, {{1, 2}, {3, 4}}, true, 2};
    EXPECT_EQ(CoverText(cover), "Fewest new PODs to bring every area cell within 2.5 of a POD: 2 "
                                "(proven). line 1, column 2; line 3, column 4.");
    cover = {2.5, 3, {{1, 1}, {1, 2}, {1, 3}}, false, 2};
    EXPECT_EQ(CoverText(cover), "Best found in the time limit: 3 new PODs bring every area cell "
                                "within 2.5 of a POD; fewer than 2 cannot. line 1, column 1; line "
                                "1, column 2; line 1, column 3.");
    cover = {0, 0, {}, true, 0};
    EXPECT_EQ(CoverText(cover), "The existing PODs already bring every area cell within 0.");
    const CoveredPopulation within{1, 1, 100, {{1, 1}}, false, 150, 0.5};
    EXPECT_EQ(WithinText(s.fl, within),
              "1 new POD brings 100 of 150 people within 1 of a POD, "
              "not proven largest: bound 150, gap 50%. line 1, column 1.");
}

TEST(DataReviewRows, PlainAndLeadingBlankForms) {
    Problem p{{{"A", 1.5}, {"B", 20}}, {{3, 4}}, {"AB", "", "AAAA"}};
    ModuleState s = MakeState(p);
    const auto review = ReviewAreaRows(s.fl);
    ASSERT_EQ(review.size(), 3u);
    EXPECT_EQ(review[1], (std::array<std::string, 3>{"1", "A", "1.5"}));
    EXPECT_EQ(ReviewPodRows(s.fl)[1], (std::array<std::string, 3>{"1", "4", "3"}));
    EXPECT_EQ(SummaryAreaRows(s.fl)[2], (std::array<std::string, 3>{" 2", "B", " 20"}));
    EXPECT_EQ(SummaryPodRows(s.fl)[1], (std::array<std::string, 3>{" 1", " 4", " 3"}));

    ModuleState none = MakeState(Problem{{{"A", 1}}, {}, {"A"}});
    EXPECT_EQ(ReviewPodRows(none.fl).size(), 1u);
    EXPECT_EQ(SummaryPodRows(none.fl).size(), 1u);
}

TEST(Distribution, RowsAndMapPointsUsed) {
    Problem p{{{"A", 100}, {"B", 10}}, {}, {"AAB", "B  "}};
    ModuleState s = MakeState(p);
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    const auto rows = OpenDistribution(s.fl);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::array<std::string, 3>{"A", " 2", "50.00"}));
    EXPECT_EQ(rows[1], (std::array<std::string, 3>{"B", " 2", "5.00"}));
    EXPECT_EQ(s.fl.MapPointsUsed, 4);
}

TEST(MapScreen, CaptionsAndShownMaps) {
    ModuleState s = MakeState(Problem{{{"A", 100}}, {{1, 1}}, {"AAA"}});
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    PopMap& fl = s.fl;
    fl.maptype = MapType::Input;
    EXPECT_EQ(MapCaption(fl), "INPUT MAP - POPULATION AREAS ONLY - NO FACILITIES MARKED");
    EXPECT_EQ(ShownMapLine(fl, 1), "AAA");
    fl.maptype = MapType::Numbered;
    EXPECT_EQ(MapCaption(fl), "INPUT MAP WITH EXISTING FACILITIES MARKED BY NUMBER");
    EXPECT_EQ(ShownMapLine(fl, 1), "1AA");
    fl.maptype = MapType::ExistingService;
    EXPECT_EQ(ShownMapLine(fl, 1), "xAA");
    fl.maptype = MapType::NewService;
    EXPECT_EQ(MapCaption(fl), "SERVICE AREAS FOR EACH EXISTING FACILITY PLUS NEW FACILITY");
    EXPECT_EQ(ShownMapLine(fl, 1), "xX*"); // the first of two tied cells
    ASSERT_TRUE(MarkNearOptimal(fl, "0.25").ok());
    EXPECT_EQ(MapCaption(fl), "NEAR OPTIMAL (%) LOCATIONS  0.25");
    EXPECT_EQ(ShownMapLine(fl, 1), "1X%");
    EXPECT_EQ(ShownMapLine(fl, 2), "");
}

TEST(MapScreen, KeptProgressOfTheTwoPodSearch) {
    ModuleState s = MakeState(Problem{{{"A", 100}}, {}, {"AAAA"}}, 1, 1, 2);
    EXPECT_EQ(KeptProgressText(s.fl), "");
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(KeptProgressText(s.fl), " 0.75");
}

} // namespace
} // namespace davrenta
