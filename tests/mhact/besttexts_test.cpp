#include "mhact/besttexts.h"

#include <gtest/gtest.h>

#include "mhact/activity.h"
#include "mhact_fixtures.h"

namespace davrenta {
namespace {

using mhtest::Layout;

// Press and Paint exchange 10 loads 20 apart; with Press and Paint on the two places 15 apart
// the activity falls from 200 to 150.
MhActivityState PressPaintPack() {
    MhActivityState mh = Layout({{"Press", 0, 1}, {"Paint", 20, 1}, {"Pack", 35, 1}},
                                {{0, 6, 0}, {4, 0, 0}, {0, 0, 0}});
    CombineDirections(mh);
    return mh;
}

TEST(BestLayoutTexts, ProvenBestBesideTheCurrentLayoutAndImprove) {
    const MhActivityState mh = PressPaintPack();
    const Result<BestLayoutOutcome> best = FindBestLayout(mh, Metric::Rectilinear);
    ASSERT_TRUE(best.ok());
    const BestLayoutTexts t = BestLayoutResultTexts(mh, *best, '\r');
    ASSERT_EQ(t.bestgrd.size(), 4u);
    EXPECT_EQ(t.bestgrd[0], (std::array<std::string, 4>{"DEPARTMENT", "X", "Y", "PLACE OF"}));
    // The first of the two best layouts: Press takes the lowest place it can, Paint's.
    EXPECT_EQ(t.bestgrd[1], (std::array<std::string, 4>{"Press", "20", "1", "Paint"}));
    EXPECT_EQ(t.bestgrd[2], (std::array<std::string, 4>{"Paint", "35", "1", "Pack"}));
    EXPECT_EQ(t.bestgrd[3], (std::array<std::string, 4>{"Pack", "0", "1", "Press"}));
    EXPECT_EQ(t.Label1, "BEST LAYOUT = 150.0    Reduction 25.0%\r"
                        "PROVEN: NO LAYOUT OF THESE PLACES HAS A LOWER ACTIVITY");
    EXPECT_EQ(t.Label2, "CURRENT LAYOUT 200.0, 33.3% ABOVE THE BEST\r"
                        "IMPROVE RESULT 150.0, 0.0% ABOVE THE BEST");
    EXPECT_TRUE(t.changed);

    const std::vector<std::string> lines =
        RenderText(BestLayoutReport(mh, Metric::Rectilinear, *best));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[2], "Best layout, rectilinear distance");
    EXPECT_EQ(lines[5], "PROVEN: NO LAYOUT OF THESE PLACES HAS A LOWER ACTIVITY");
    EXPECT_EQ(lines[9], "Department         X           Y           Place of");
    EXPECT_EQ(lines[10], "Press              20          1           Paint");
}

TEST(BestLayoutTexts, CurrentLayoutAlreadyTheBest) {
    MhActivityState mh = PressPaintPack();
    mh.DeptX[1] = 35; // Press beside Paint already
    mh.DeptX[3] = 0;
    const Result<BestLayoutOutcome> best = FindBestLayout(mh, Metric::Rectilinear);
    ASSERT_TRUE(best.ok());
    const BestLayoutTexts t = BestLayoutResultTexts(mh, *best, '\r');
    EXPECT_FALSE(t.changed);
    EXPECT_EQ(t.bestgrd[1][3], "(stays)");
    EXPECT_EQ(t.Label1, "THE CURRENT LAYOUT IS THE BEST = 150.0\r"
                        "PROVEN: NO LAYOUT OF THESE PLACES HAS A LOWER ACTIVITY");
}

TEST(BestLayoutTexts, StoppedSearchGivesTheBoundAndAtMostFigures) {
    const MhActivityState mh = PressPaintPack();
    BestLayoutOutcome o;
    o.end = BestLayoutEnd::TimeLimit;
    o.DeptCount = 3;
    for (int d = 1; d <= 3; ++d) {
        o.place[d] = d;
        o.x[d] = mh.DeptX[d];
        o.y[d] = mh.DeptY[d];
    }
    o.activity = 200;
    o.lowerBound = 125;
    o.StartActivity = 200;
    o.ImprovedActivity = 150;
    const BestLayoutTexts t = BestLayoutResultTexts(mh, o, '\r');
    EXPECT_FALSE(t.changed);
    EXPECT_EQ(t.Label1, "NO BETTER LAYOUT FOUND = 200.0\r"
                        "NOT PROVEN: THE TIME LIMIT WAS REACHED. LOWER BOUND 125.0, GAP 37.50%");
    EXPECT_EQ(t.Label2, "CURRENT LAYOUT 200.0, AT MOST 60.0% ABOVE THE BEST\r"
                        "IMPROVE RESULT 150.0, AT MOST 20.0% ABOVE THE BEST");
    o.end = BestLayoutEnd::Cancelled;
    o.lowerBound = 0;
    const BestLayoutTexts c = BestLayoutResultTexts(mh, o, '\r');
    EXPECT_EQ(c.Label1, "NO BETTER LAYOUT FOUND = 200.0\r"
                        "NOT PROVEN: THE SEARCH WAS CANCELLED. LOWER BOUND 0.0, GAP 100.00%");
    EXPECT_EQ(c.Label2, "CURRENT LAYOUT 200.0, AT MOST undefined% ABOVE THE BEST\r"
                        "IMPROVE RESULT 150.0, AT MOST undefined% ABOVE THE BEST");
}

TEST(BestLayoutTexts, ProgressLine) {
    EXPECT_EQ(BestLayoutProgressText({18015, 16500.25, 8.41, 1234, 12.4}),
              "BEST SO FAR 18015.0    LOWER BOUND 16500.3    GAP 8.41%    12 s");
    EXPECT_EQ(BestLayoutProgressText({0, -5, std::nullopt, 0, 0}),
              "BEST SO FAR 0.0    LOWER BOUND -5.0    GAP undefined%    0 s");
}

} // namespace
} // namespace davrenta
