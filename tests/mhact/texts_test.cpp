#include "mhact/texts.h"

#include <gtest/gtest.h>

#include "mhact_fixtures.h"

namespace davrenta {
namespace {

using mhtest::Layout;

MhActivityState Shop() {
    // Distances (rect): Saw-Lathe 7, Saw-Pack 10, Lathe-Pack 3 (same Y).
    return Layout({{"Saw", 0, 4}, {"Lathe", 3, 8}, {"Pack", 6, 8}},
                  {{0, 5, 2}, {3, 0, 0}, {0, 1, 0}});
}

TEST(MhInputBoxes, OkReadsBackExactlyTheValuesTheBoxesShow) {
    // Values a file holds that 15 significant digits would round.
    const double values[] = {0.1 + 0.2, 1.0 / 3, 123456789012345678.0, 4.9406564584124654e-324,
                             1.7976931348623157e308};
    for (const double v : values) {
        MhActivityState mh = Layout({{"A", v, v}, {"B", 1, 2}}, {{0, v}, {v, 0}});
        std::vector<DepartmentEntry> rows(kMaxDepartments);
        for (int i = 1; i <= 2; ++i) {
            const auto texts = DepartmentRowTexts(mh, i);
            rows[static_cast<std::size_t>(i - 1)] = {texts[0], texts[1], texts[2]};
        }
        MhActivityState typed = mh;
        ASSERT_EQ(AcceptDepartments(typed, rows), 2);
        StoreMoves(typed, {{MoveText(0), MoveText(v)}, {MoveText(v), MoveText(0)}});
        EXPECT_EQ(typed.DeptX[1], v) << DepartmentRowTexts(mh, 1)[1];
        EXPECT_EQ(typed.DeptY[1], v);
        EXPECT_EQ(typed.MoveCount(1, 2), v) << MoveText(v);
        EXPECT_EQ(typed.MoveCount(2, 1), v);
    }
}

TEST(MhResultsTexts, GridLabelsAndTotals) {
    MhActivityState mh = Shop();
    const MhResultsTexts t = OpenMhResults(mh, Metric::Rectilinear, '\r');
    ASSERT_EQ(t.res1grd.size(), 4u);
    EXPECT_EQ(t.res1grd[0][0], "FROM DEPT");
    EXPECT_EQ(t.res1grd[0][5], "PERCENT");
    // Saw-Lathe 8 loads x 7 = 56, Saw-Pack 2 x 10 = 20, Lathe-Pack 1 x 3 = 3; total 79.
    EXPECT_EQ(t.res1grd[1][0], "Saw");
    EXPECT_EQ(t.res1grd[1][1], "Lathe");
    EXPECT_EQ(t.res1grd[1][2], "8");
    EXPECT_EQ(t.res1grd[1][3], "7.0");
    EXPECT_EQ(t.res1grd[1][4], "56.0");
    EXPECT_EQ(t.res1grd[1][5], "70.89");
    EXPECT_EQ(t.res1grd[3][0], "Lathe");
    EXPECT_EQ(t.res1grd[3][1], "Pack");
    EXPECT_EQ(t.res1grd[3][5], "3.80");
    EXPECT_EQ(t.Label1, "CURRENT MH ACTIVITY (RECT) \rAVERAGE MOVE DISTANCE\rSTANDARD DEVIATION");
    // 11 loads, 79 / 11 = 7.18; sum of squares 8*49 + 2*100 + 9 = 601.
    EXPECT_EQ(t.Label2, "11\r7.2\r1.8");
    EXPECT_EQ(t.Label3, "79");
}

TEST(MhResultsTexts, MethodTagsAndUndefinedFigures) {
    MhActivityState one = Layout({{"A", 0, 1}, {"B", 3, 5}}, {{0, 1}, {0, 0}});
    const MhResultsTexts e = OpenMhResults(one, Metric::Euclidean, '\r');
    EXPECT_EQ(e.Label1.substr(0, 28), "CURRENT MH ACTIVITY (EUCL) \r");
    EXPECT_EQ(e.Label2, "1\r5.0\rundefined");
    MhActivityState none = Layout({{"A", 0, 1}, {"B", 3, 5}});
    const MhResultsTexts s = OpenMhResults(none, Metric::SquaredEuclidean, '\r');
    EXPECT_EQ(s.Label1.substr(0, 28), "CURRENT MH ACTIVITY (SQEU) \r");
    EXPECT_EQ(s.Label2, "0\rundefined\rundefined");
    EXPECT_EQ(s.Label3, "0");
    EXPECT_EQ(s.res1grd.size(), 1u);
}

TEST(MhReports, ResultsPrintRecomputesTheCurrentLayout) {
    MhActivityState mh = Shop();
    (void)OpenMhResults(mh, Metric::Rectilinear, '\r');
    RunSwitchSearch(mh, Metric::Rectilinear); // leaves the last trial in the tables
    const auto lines = RenderText(MhResultsReport(mh, Metric::Rectilinear));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "From DeptTo Dept  Loads    Distance Load x Dist  Percent");
    EXPECT_EQ(lines[3], "Saw    Lathe     8     7.0    56.0    70.89");
    EXPECT_EQ(lines[4], "Saw    Pack     2     10.0    20.0    25.32");
    EXPECT_EQ(lines[5], "Lathe    Pack     1     3.0    3.0    3.80");
}

TEST(MhReports, MoveTablePrint) {
    MhActivityState mh = Layout({{"Saw", 0, 4}, {"Lathe", 3, 8}}, {{0, 5}, {3.5, 0}});
    const auto lines = RenderText(MoveTableReport(mh));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[2], "Saw               Lathe               ");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "  Saw    0    5");
    EXPECT_EQ(lines[6], "  Lathe    3.5    0");
}

TEST(MhSwitchTexts, OptimalSwitchAndReduction) {
    // A-B 5 loads at 10 and A-C 10 loads at 15: 200; A in B's place halves it.
    MhActivityState mh =
        Layout({{"A", 0, 1}, {"B", 10, 1}, {"C", 15, 1}}, {{0, 5, 10}, {0, 0, 0}, {0, 0, 0}});
    (void)OpenMhResults(mh, Metric::Rectilinear, '\r');
    const SwitchTexts t = OpenSwitches(mh, Metric::Rectilinear);
    ASSERT_EQ(t.res2grd.size(), 4u);
    EXPECT_EQ(t.res2grd[0][0], "DEPARTMENTS");
    EXPECT_EQ(t.res2grd[0][2], "MH ACTIVITY");
    EXPECT_EQ(t.res2grd[1][0], "A");
    EXPECT_EQ(t.res2grd[1][1], "B");
    EXPECT_EQ(t.res2grd[1][2], "100");
    EXPECT_EQ(t.res2grd[2][2], "175");
    EXPECT_EQ(t.res2grd[3][0], "B");
    EXPECT_EQ(t.res2grd[3][1], "C");
    EXPECT_EQ(t.res2grd[3][2], "175");
    EXPECT_TRUE(t.improved);
    EXPECT_EQ(t.Label1, "OPTIMAL SWITCH = A <---> B 100.0    Reduction 50.0%");
}

TEST(MhSwitchTexts, TwoHundredToOneFiftyIsTwentyFivePercent) {
    // A-B 10 loads at 20; A in C's place is 15 from B.
    MhActivityState mh =
        Layout({{"A", 0, 1}, {"B", 20, 1}, {"C", 35, 1}}, {{0, 10, 0}, {0, 0, 0}, {0, 0, 0}});
    (void)OpenMhResults(mh, Metric::Rectilinear, '\r');
    const SwitchTexts t = OpenSwitches(mh, Metric::Rectilinear);
    EXPECT_EQ(t.Label1, "OPTIMAL SWITCH = A <---> C 150.0    Reduction 25.0%");
}

TEST(MhSwitchTexts, NoImprovements) {
    MhActivityState mh = Layout({{"A", 0, 1}, {"B", 3, 1}}, {{0, 4}, {0, 0}});
    (void)OpenMhResults(mh, Metric::Rectilinear, '\r');
    const SwitchTexts t = OpenSwitches(mh, Metric::Rectilinear);
    EXPECT_FALSE(t.improved);
    EXPECT_EQ(t.Label1, "NO IMPROVEMENTS");
    EXPECT_EQ(t.res2grd[1][2], "12");
}

TEST(MhImproveTexts, StepsAndSummary) {
    MhActivityState mh = Layout(
        {{"A", 0, 1}, {"B", 40, 1}, {"C", 10, 1}, {"D", 30, 1}, {"E", 20, 1}},
        {{0, 10, 0, 0, 0}, {0, 0, 10, 0, 0}, {0, 0, 0, 10, 0}, {0, 0, 0, 0, 10}, {0, 0, 0, 0, 0}});
    (void)OpenMhResults(mh, Metric::Rectilinear, '\r');
    const ImproveTexts t = ImproveResultTexts(mh, Improve(mh, Metric::Rectilinear));
    ASSERT_EQ(t.impgrd.size(), 4u);
    EXPECT_EQ(t.impgrd[1][3], "1000");
    EXPECT_EQ(t.impgrd[2][1], "B");
    EXPECT_EQ(t.impgrd[2][2], "C");
    EXPECT_EQ(t.impgrd[3][3], "400");
    EXPECT_EQ(t.Label1, "IMPROVED LAYOUT AFTER 2 SWITCHES = 400.0    Reduction 60.0%");
}

TEST(MhDepartmentTexts, EmptiedRowsShowEmptyBoxes) {
    MhActivityState mh = Layout({{"A", 1.5, 2}, {"", 0, 0}});
    EXPECT_EQ(DepartmentRowTexts(mh, 1), (std::array<std::string, 3>{"A", "1.5", "2"}));
    EXPECT_EQ(DepartmentRowTexts(mh, 2), (std::array<std::string, 3>{"", "", ""}));
}

} // namespace
} // namespace davrenta
