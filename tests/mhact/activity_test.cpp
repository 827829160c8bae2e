#include "mhact/activity.h"

#include <gtest/gtest.h>

#include <limits>

#include "mhact_fixtures.h"

namespace davrenta {
namespace {

using mhtest::Layout;

TEST(MhDistances, ThreeFourFiveUnderEachMethod) {
    MhActivityState mh = Layout({{"A", 1, 2}, {"B", 4, 6}});
    ComputeDistances(mh, Metric::Rectilinear);
    EXPECT_EQ(mh.DeptDistance(1, 2), 7);
    EXPECT_EQ(mh.DeptDistance(2, 1), 7);
    EXPECT_EQ(mh.DeptDistance(1, 1), 0);
    ComputeDistances(mh, Metric::Euclidean);
    EXPECT_EQ(mh.DeptDistance(1, 2), 5);
    ComputeDistances(mh, Metric::SquaredEuclidean);
    EXPECT_EQ(mh.DeptDistance(1, 2), 25);
}

TEST(MhDistances, EuclideanDistancesWhoseSquaresOverflowOrUnderflowStayExact) {
    EXPECT_DOUBLE_EQ(Distance(Metric::Euclidean, 0, 0, 3e200, 4e200), 5e200);
    EXPECT_DOUBLE_EQ(Distance(Metric::Euclidean, 0, 0, 3e-200, -4e-200), 5e-200);
    EXPECT_EQ(Distance(Metric::Euclidean, 2, 2, 2, 2), 0);
    EXPECT_EQ(Distance(Metric::SquaredEuclidean, 0, 0, 3e200, 4e200),
              std::numeric_limits<double>::infinity());
}

TEST(MhActivity, BothDirectionsCombineAboveTheDiagonalAndStaySo) {
    MhActivityState mh = Layout({{"A", 0, 1}, {"B", 3, 1}}, {{0, 5}, {3, 0}});
    const ActivityFigures f = ComputeActivity(mh, Metric::Rectilinear);
    EXPECT_EQ(mh.MoveCount(1, 2), 8);
    EXPECT_EQ(mh.MoveCount(2, 1), 0);
    EXPECT_EQ(mh.ActivityTotal, 24);
    EXPECT_EQ(f.TotalLoads, 8);
    ASSERT_EQ(f.pairs.size(), 1u);
    // A second run changes nothing.
    ComputeActivity(mh, Metric::Rectilinear);
    EXPECT_EQ(mh.MoveCount(1, 2), 8);
    EXPECT_EQ(mh.ActivityTotal, 24);
}

TEST(MhActivity, PairsAtOneLocationAreNotListedNorCounted) {
    // A and B share a place; C is 10 away from both.
    MhActivityState mh =
        Layout({{"A", 5, 5}, {"B", 5, 5}, {"C", 15, 5}}, {{0, 12, 2}, {0, 0, 3}, {0, 0, 0}});
    const ActivityFigures f = ComputeActivity(mh, Metric::Rectilinear);
    ASSERT_EQ(f.pairs.size(), 2u);
    EXPECT_EQ(f.pairs[0].from, 1);
    EXPECT_EQ(f.pairs[0].to, 3);
    EXPECT_EQ(f.pairs[1].from, 2);
    EXPECT_EQ(f.pairs[1].to, 3);
    EXPECT_EQ(f.TotalLoads, 5);
    EXPECT_EQ(mh.ActivityTotal, 50);
    EXPECT_EQ(*f.AverageMoveDistance, 10);
    // Every counted load travels 10: no spread, and no square root of a rounding error.
    EXPECT_EQ(*f.StandardDeviation, 0);
}

TEST(MhActivity, SampleStandardDeviationOfTheMoveDistance) {
    // 2 loads over 3 and 1 load over 6: distances 3, 3, 6.
    MhActivityState mh =
        Layout({{"A", 0, 1}, {"B", 3, 1}, {"C", 6, 1}}, {{0, 2, 1}, {0, 0, 0}, {0, 0, 0}});
    const ActivityFigures f = ComputeActivity(mh, Metric::Rectilinear);
    EXPECT_EQ(mh.ActivityTotal, 12);
    EXPECT_EQ(f.SumSquares, 54);
    EXPECT_EQ(*f.AverageMoveDistance, 4);
    EXPECT_DOUBLE_EQ(*f.StandardDeviation, 1.7320508075688772);
    EXPECT_EQ(mh.SavedDeptX[3], 6);
}

TEST(MhActivity, EqualDistancesGiveADeviationOfZeroNotNaN) {
    // 3 x 1.3^2 x 3 falls short of (3 x 1.3)^2 by a rounding error below zero.
    MhActivityState mh = Layout({{"A", 0, 1}, {"B", 1.3, 1}}, {{0, 3}, {0, 0}});
    const ActivityFigures f = ComputeActivity(mh, Metric::Rectilinear);
    ASSERT_TRUE(f.StandardDeviation);
    EXPECT_EQ(*f.StandardDeviation, 0);
}

TEST(MhActivity, UndefinedFiguresWithNoOrOneLoad) {
    MhActivityState none = Layout({{"A", 0, 1}, {"B", 3, 1}});
    const ActivityFigures f0 = ComputeActivity(none, Metric::Rectilinear);
    EXPECT_FALSE(f0.AverageMoveDistance);
    EXPECT_FALSE(f0.StandardDeviation);
    MhActivityState one = Layout({{"A", 0, 1}, {"B", 3, 1}}, {{0, 1}, {0, 0}});
    const ActivityFigures f1 = ComputeActivity(one, Metric::Rectilinear);
    EXPECT_EQ(*f1.AverageMoveDistance, 3);
    EXPECT_FALSE(f1.StandardDeviation);
}

TEST(MhActivity, AFarDepartmentWithoutLoadsStaysOutOfTheFigures) {
    // The distance to the far department overflows; with no loads it carries no activity.
    MhActivityState mh =
        Layout({{"A", 0, 1}, {"B", 3, 1}, {"Far", 1e308, 1}}, {{0, 2, 0}, {0, 0, 0}, {0, 0, 0}});
    const ActivityFigures f = ComputeActivity(mh, Metric::SquaredEuclidean);
    ASSERT_EQ(f.pairs.size(), 1u);
    EXPECT_EQ(mh.ActivityTotal, 18);
    EXPECT_EQ(*f.StandardDeviation, 0);
}

TEST(MhActivity, TheDeviationOfFarApartDepartmentsIsComputedNotZero) {
    // Distances 1e200 and 3e200, one load each: mean 2e200, deviation sqrt(2) x 1e200. Their
    // squares lie beyond every double; the deviation came out as 0.0.
    MhActivityState mh =
        Layout({{"A", 0, 1}, {"B", 1e200, 1}, {"C", 3e200, 1}}, {{0, 1, 1}, {0, 0, 0}, {0, 0, 0}});
    const ActivityFigures f = ComputeActivity(mh, Metric::Rectilinear);
    EXPECT_DOUBLE_EQ(*f.AverageMoveDistance, 2e200);
    EXPECT_NEAR(*f.StandardDeviation, 1.4142135623730951e200, 1e188);
    EXPECT_TRUE(CheckActivityResult(mh, Metric::Rectilinear).ok());
    // Distances whose squares underflow, under loads whose square overflows: 2e300 loads half
    // at 1e-200, half at 3e-200 spread by 1e-200.
    MhActivityState tiny = Layout({{"A", 0, 1}, {"B", 1e-200, 1}, {"C", 3e-200, 1}},
                                  {{0, 1e300, 1e300}, {0, 0, 0}, {0, 0, 0}});
    EXPECT_NEAR(*ComputeActivity(tiny, Metric::Rectilinear).StandardDeviation, 1e-200, 1e-212);
}

constexpr const char* kBeyond =
    "The locations and moves are too large to compute with: a distance, an activity or a "
    "total goes beyond the largest number. Bring the departments closer together or make the "
    "moves smaller, and compute again.";

TEST(MhResultCheck, FiguresBeyondTheLargestNumberRefuseTheResults) {
    struct Case {
        MhActivityState mh;
        Metric method;
    };
    const Case cases[] = {
        // The distance itself.
        {Layout({{"A", -1e308, 1}, {"B", 1e308, 1}}, {{0, 1}, {0, 0}}), Metric::Rectilinear},
        {Layout({{"A", -1e200, 1}, {"B", 1e200, 1}}, {{0, 1}, {0, 0}}), Metric::SquaredEuclidean},
        // Loads times distance.
        {Layout({{"A", 0, 1}, {"B", 1e10, 1}}, {{0, 1e300}, {0, 0}}), Metric::Rectilinear},
        // Each load-distance finite, the total not.
        {Layout({{"A", 0, 1}, {"B", 1, 1}, {"C", 2, 1}}, {{0, 1.5e308, 0}, {0, 0, 1.5e308}, {}}),
         Metric::Rectilinear},
    };
    for (const Case& c : cases) {
        const Status status = CheckActivityResult(c.mh, c.method);
        ASSERT_FALSE(status.ok());
        EXPECT_EQ(status.message(), kBeyond);
    }
}

TEST(MhResultCheck, MovesCombiningBeyondTheLargestNumberAreRefusedAndLeftAsTyped) {
    const MhActivityState mh = Layout({{"A", 0, 1}, {"B", 1, 1}}, {{0, 1.7e308}, {1.7e308, 0}});
    const Status status = CheckActivityResult(mh, Metric::Rectilinear);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.message(),
              "The locations and moves are too large to compute with: a combined number of "
              "moves goes beyond the largest number. Bring the departments closer together or "
              "make the moves smaller, and compute again.");
}

TEST(MhResultCheck, AnExchangeBeyondTheLargestNumberRefusesTheSwitchesOnly) {
    // The far department carries no load, so the layout's figures are fine; exchanged with A
    // it puts A's loads beyond the largest distance.
    MhActivityState mh =
        Layout({{"A", 0, 1}, {"B", 3, 1}, {"Far", 1e308, 1}}, {{0, 2, 0}, {0, 0, 0}, {0, 0, 0}});
    ASSERT_TRUE(CheckActivityResult(mh, Metric::SquaredEuclidean).ok());
    ComputeActivity(mh, Metric::SquaredEuclidean);
    const Status switches = CheckSwitchResult(mh, Metric::SquaredEuclidean);
    ASSERT_FALSE(switches.ok());
    EXPECT_EQ(switches.message(),
              "The locations and moves are too large to compute with: the activity after an "
              "exchange goes beyond the largest number. Bring the departments closer together "
              "or make the moves smaller, and compute again.");
    // The improvement takes no step to an overflowed total, so what it shows is finite.
    EXPECT_TRUE(CheckImproveResult(mh, Metric::SquaredEuclidean).ok());

    // Negative moves: an exchange that lengthens them sinks the total below the lowest number.
    MhActivityState negative =
        Layout({{"A", 0, 1}, {"B", 1, 1}, {"C", 3, 1}}, {{0, -1e308, 0}, {0, 0, 0}, {0, 0, 0}});
    ASSERT_TRUE(CheckActivityResult(negative, Metric::Rectilinear).ok());
    EXPECT_FALSE(CheckSwitchResult(negative, Metric::Rectilinear).ok());
    EXPECT_FALSE(CheckImproveResult(negative, Metric::Rectilinear).ok());
    EXPECT_EQ(negative.DeptX[2], 1); // the checks leave the layout alone
}

TEST(MhSwitch, TwoDepartmentsGiveNoImprovement) {
    MhActivityState mh = Layout({{"A", 0, 1}, {"B", 3, 1}}, {{0, 4}, {0, 0}});
    ComputeActivity(mh, Metric::Rectilinear);
    const SwitchOutcome s = RunSwitchSearch(mh, Metric::Rectilinear);
    ASSERT_EQ(s.trials.size(), 1u);
    EXPECT_EQ(s.trials[0].activity, 12);
    EXPECT_EQ(mh.SwitchDept1, -99);
    EXPECT_EQ(mh.SwitchDept2, -99);
}

// A at 0, B at 10, C at 20 on a line; 10 loads A-C, 1 load A-B: 210 now.
MhActivityState LineOfThree() {
    return Layout({{"A", 0, 1}, {"B", 10, 1}, {"C", 20, 1}}, {{0, 1, 10}, {0, 0, 0}, {0, 0, 0}});
}

TEST(MhSwitch, BestPairFoundAndLocationsRestored) {
    MhActivityState mh = LineOfThree();
    ComputeActivity(mh, Metric::Rectilinear);
    const SwitchOutcome s = RunSwitchSearch(mh, Metric::Rectilinear);
    EXPECT_EQ(s.StartActivity, 210);
    ASSERT_EQ(s.trials.size(), 3u);
    EXPECT_EQ(s.trials[0].activity, 110); // A<->B: A at 10, 10 from both
    EXPECT_EQ(s.trials[1].activity, 210); // A<->C
    EXPECT_EQ(s.trials[2].activity, 120); // B<->C
    EXPECT_EQ(mh.SwitchDept1, 1);
    EXPECT_EQ(mh.SwitchDept2, 2);
    EXPECT_EQ(s.BestActivity, 110);
    EXPECT_EQ(mh.DeptX[1], 0);
    EXPECT_EQ(mh.DeptX[2], 10);
    EXPECT_EQ(mh.DeptX[3], 20);
    // The last trial's values stay in the tables.
    EXPECT_EQ(mh.ActivityTotal, 120);
    MakeSwitch(mh);
    EXPECT_EQ(mh.DeptX[1], 10);
    EXPECT_EQ(mh.DeptX[2], 0);
    EXPECT_EQ(mh.DeptName[1], "A");
}

TEST(MhSwitch, EqualTotalsKeepTheFirstPairAndAnEqualTotalIsNoImprovement) {
    // Four corners of a square, loads only between 1 and 4 (diagonal): both 1<->2 and 1<->3
    // bring 1 next to 4 with the same total; 2<->3 leaves it unchanged.
    MhActivityState mh = Layout({{"A", 0, 1}, {"B", 10, 1}, {"C", 0, 11}, {"D", 10, 11}},
                                {{0, 0, 0, 5}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}});
    ComputeActivity(mh, Metric::Rectilinear);
    const SwitchOutcome s = RunSwitchSearch(mh, Metric::Rectilinear);
    EXPECT_EQ(s.StartActivity, 100);
    EXPECT_EQ(s.trials[0].activity, 50);
    EXPECT_EQ(s.trials[1].activity, 50);
    EXPECT_EQ(mh.SwitchDept1, 1);
    EXPECT_EQ(mh.SwitchDept2, 2);

    MhActivityState same =
        Layout({{"A", 0, 1}, {"B", 10, 1}, {"C", 0, 11}}, {{0, 3, 3}, {0, 0, 0}, {0, 0, 0}});
    ComputeActivity(same, Metric::Rectilinear);
    RunSwitchSearch(same, Metric::Rectilinear); // B<->C gives 60 again: not better
    EXPECT_EQ(same.SwitchDept1, -99);
}

TEST(MhSwitch, ASecondSearchStartsFromTheCurrentLayoutNotTheLastTrial) {
    MhActivityState mh = LineOfThree();
    ComputeActivity(mh, Metric::Rectilinear);
    RunSwitchSearch(mh, Metric::Rectilinear);
    const SwitchOutcome again = RunSwitchSearch(mh, Metric::Rectilinear);
    EXPECT_EQ(again.StartActivity, 210);
    EXPECT_EQ(again.BestActivity, 110);
    EXPECT_EQ(mh.SwitchDept1, 1);
}

TEST(MhImprove, RepeatsTheBestSwitchUntilNoneHelps) {
    // Five slots on a line; a chain A-B-C-D-E of heavy flows placed in the worst order.
    MhActivityState mh = Layout(
        {{"A", 0, 1}, {"B", 40, 1}, {"C", 10, 1}, {"D", 30, 1}, {"E", 20, 1}},
        {{0, 10, 0, 0, 0}, {0, 0, 10, 0, 0}, {0, 0, 0, 10, 0}, {0, 0, 0, 0, 10}, {0, 0, 0, 0, 0}});
    ComputeActivity(mh, Metric::Rectilinear);
    const ImproveOutcome out = Improve(mh, Metric::Rectilinear);
    EXPECT_EQ(out.StartActivity, 1000);
    ASSERT_EQ(out.steps.size(), 2u);
    EXPECT_EQ(out.steps[0].dept1, 2);
    EXPECT_EQ(out.steps[0].dept2, 3);
    EXPECT_EQ(out.steps[0].activity, 600);
    EXPECT_EQ(out.steps[1].dept1, 3);
    EXPECT_EQ(out.steps[1].dept2, 5);
    EXPECT_EQ(out.steps[1].activity, 400);
    EXPECT_EQ(out.x[1], 0);
    EXPECT_EQ(out.x[2], 10);
    EXPECT_EQ(out.x[3], 20);
    EXPECT_EQ(out.x[4], 30);
    EXPECT_EQ(out.x[5], 40);
    // The final layout admits no improving exchange.
    MhActivityState final = mh;
    AcceptImprovedLayout(final, out);
    RunSwitchSearch(final, Metric::Rectilinear);
    EXPECT_EQ(final.SwitchDept1, -99);
    // The current layout is left alone until the user accepts.
    EXPECT_EQ(mh.DeptX[2], 40);
}

TEST(MhDepartments, RowsWithoutYAboveZeroAreNoDepartments) {
    MhActivityState mh =
        Layout({{"A", 1, 1}, {"B", 2, 2}, {"C", 3, 3}}, {{0, 1, 2}, {3, 0, 4}, {5, 6, 0}});
    std::vector<DepartmentEntry> rows(15);
    rows[0] = {"Press", "1", "1"};
    rows[1] = {"Paint", "2", "0"};
    rows[2] = {"Pack", "3 m", "3yd"};
    EXPECT_EQ(AcceptDepartments(mh, rows), 2);
    EXPECT_EQ(mh.DeptName[1], "Press");
    EXPECT_EQ(mh.DeptName[2], "Pack");
    EXPECT_EQ(mh.DeptX[2], 3);
    EXPECT_EQ(mh.DeptY[2], 3);
    // Pack keeps its own moves: they were row and column 3.
    EXPECT_EQ(mh.MoveCount(1, 2), 2);
    EXPECT_EQ(mh.MoveCount(2, 1), 5);
    EXPECT_EQ(mh.MoveCount(2, 2), 0);
    EXPECT_EQ(mh.MoveCount(1, 3), 0);
    EXPECT_TRUE(mh.DeptName[3].empty());
}

TEST(MhDepartments, NoRowFilledLeavesTheTablesAlone) {
    MhActivityState mh = Layout({{"A", 1, 1}});
    std::vector<DepartmentEntry> rows(15);
    rows[0] = {"A", "1", ""};
    EXPECT_EQ(AcceptDepartments(mh, rows), 0);
    EXPECT_EQ(mh.DeptCount, 1);
    EXPECT_EQ(mh.DeptY[1], 1);
}

TEST(MhDepartments, KeyboardInputKeepsTheEarlierMoves) {
    MhActivityState mh = Layout({{"A", 1, 1}, {"B", 2, 2}}, {{0, 7}, {0, 0}});
    EmptyDepartmentRows(mh);
    EXPECT_EQ(mh.DeptCount, 2);
    EXPECT_TRUE(mh.DeptName[1].empty());
    EXPECT_EQ(mh.MoveCount(1, 2), 7);
    StoreMoves(mh, {{"0", "4 loads"}, {"x", "2"}});
    EXPECT_EQ(mh.MoveCount(1, 2), 4);
    EXPECT_EQ(mh.MoveCount(2, 1), 0);
}

TEST(MhFlowLines, WidthGrowsWithLoads) {
    MhActivityState mh = LineOfThree();
    const auto lines = FlowLines(mh, ComputeActivity(mh, Metric::Rectilinear));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_DOUBLE_EQ(lines[0].width, 1.7); // A-B, 1 load of 10
    EXPECT_DOUBLE_EQ(lines[1].width, 8);   // A-C, the heaviest
}

} // namespace
} // namespace davrenta
