#include "mhact/bestlayout.h"

#include <algorithm>
#include <atomic>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/modulestate.h"
#include "mhact/activity.h"
#include "mhact/mhfile.h"
#include "mhact_fixtures.h"

namespace davrenta {
namespace {

using mhtest::Dept;
using mhtest::Layout;

constexpr Metric kMethods[] = {Metric::Rectilinear, Metric::Euclidean, Metric::SquaredEuclidean};

// The plain reference: every permutation of the current locations, judged by the results
// window's own computation; the first in permutation order among the least.
struct Exhaustive {
    std::vector<int> place; // place[d - 1]: the department whose location d takes
    double activity = 0;
};

Exhaustive ScanEveryLayout(const MhActivityState& mh, Metric method) {
    const int n = mh.DeptCount;
    std::vector<int> perm(n);
    std::iota(perm.begin(), perm.end(), 1);
    Exhaustive best;
    bool first = true;
    do {
        MhActivityState trial = mh;
        for (int d = 1; d <= n; ++d) {
            trial.DeptX[d] = mh.DeptX[perm[d - 1]];
            trial.DeptY[d] = mh.DeptY[perm[d - 1]];
        }
        ComputeActivity(trial, method);
        if (first || trial.ActivityTotal < best.activity) {
            best = {perm, trial.ActivityTotal};
            first = false;
        }
    } while (std::next_permutation(perm.begin(), perm.end()));
    return best;
}

// A workshop drawn small so that ties abound: locations on a coarse grid, some shared; moves
// sparse, some departments without any; now and then a negative count, which the windows
// accept as typed.
MhActivityState RandomProblem(std::mt19937& rng, int n, bool negatives) {
    std::uniform_int_distribution<int> cell(0, 3), pick(0, 9), load(1, 40);
    MhActivityState mh;
    mh.DeptCount = n;
    for (int d = 1; d <= n; ++d) {
        mh.DeptName[d] = "D" + std::to_string(d);
        if (d > 1 && pick(rng) < 2) {
            mh.DeptX[d] = mh.DeptX[d - 1];
            mh.DeptY[d] = mh.DeptY[d - 1];
        } else {
            mh.DeptX[d] = 10.0 * cell(rng) + (pick(rng) == 0 ? 2.5 : 0);
            mh.DeptY[d] = 5.0 + 7.0 * cell(rng);
        }
    }
    const int idle = n > 3 ? n : 0; // one department without moves, when there are enough
    for (int a = 1; a <= n; ++a)
        for (int b = 1; b <= n; ++b) {
            if (a == b || a == idle || b == idle || pick(rng) < 6)
                continue;
            double moves = load(rng);
            if (negatives && a < b && pick(rng) == 0)
                moves = -moves / 4;
            mh.MoveCount(a, b) = moves;
        }
    CombineDirections(mh);
    return mh;
}

void ExpectSameAsExhaustive(const MhActivityState& mh, Metric method, const std::string& what) {
    const Exhaustive plain = ScanEveryLayout(mh, method);
    const Result<BestLayoutOutcome> best = FindBestLayout(mh, method);
    ASSERT_TRUE(best.ok()) << what << ": " << best.message();
    EXPECT_TRUE(best->proven()) << what;
    EXPECT_EQ(best->activity, plain.activity) << what;
    EXPECT_EQ(best->lowerBound, plain.activity) << what;
    for (int d = 1; d <= mh.DeptCount; ++d) {
        EXPECT_EQ(best->place[d], plain.place[d - 1]) << what << ", department " << d;
        EXPECT_EQ(best->x[d], mh.DeptX[plain.place[d - 1]]) << what;
        EXPECT_EQ(best->y[d], mh.DeptY[plain.place[d - 1]]) << what;
    }
}

TEST(BestLayout, EqualsTheScanOfEveryLayoutUnderEachMethod) {
    std::mt19937 rng(20240611);
    for (const Metric method : kMethods)
        for (int k = 0; k < 14; ++k) {
            const int n = 2 + k % 7;
            const MhActivityState mh = RandomProblem(rng, n, k % 4 == 3);
            ExpectSameAsExhaustive(mh, method,
                                   "method " + std::to_string(MetricCode(method)) + ", problem " +
                                       std::to_string(k) + " of " + std::to_string(n));
        }
}

TEST(BestLayout, NineDepartmentsEqualTheScanOfEveryLayout) {
    std::mt19937 rng(9);
    for (const Metric method : kMethods) {
        const MhActivityState mh = RandomProblem(rng, 9, false);
        ExpectSameAsExhaustive(mh, method, "method " + std::to_string(MetricCode(method)));
    }
}

TEST(BestLayout, SharedPlacesStaySharedAndTiesGoToTheFirstLayout) {
    // A and B share (0, 10). The heavy pair C-E takes the shared place (distance 0), D goes
    // next to it, and A and B take the far places in the first of their two orders.
    MhActivityState mh = Layout(
        {{"A", 0, 10}, {"B", 0, 10}, {"C", 30, 10}, {"D", 10, 10}, {"E", 20, 10}},
        {{0, 1, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 9}, {0, 0, 0, 0, 0}, {0, 0, 0, 1, 0}});
    CombineDirections(mh);
    for (const Metric method : kMethods)
        ExpectSameAsExhaustive(mh, method, "method " + std::to_string(MetricCode(method)));
    const Result<BestLayoutOutcome> best = FindBestLayout(mh, Metric::Rectilinear);
    ASSERT_TRUE(best.ok());
    EXPECT_EQ(best->activity, 20);
    const int places[] = {3, 5, 1, 4, 2};
    const double xs[] = {30, 20, 0, 10, 0};
    for (int d = 1; d <= 5; ++d) {
        EXPECT_EQ(best->place[d], places[d - 1]) << d;
        EXPECT_EQ(best->x[d], xs[d - 1]) << d;
        EXPECT_EQ(best->y[d], 10) << d;
    }
}

TEST(BestLayout, WithoutMovesTheCurrentLayoutIsTheBest) {
    const MhActivityState mh = Layout({{"A", 0, 1}, {"B", 5, 1}, {"C", 9, 4}});
    const Result<BestLayoutOutcome> best = FindBestLayout(mh, Metric::Euclidean);
    ASSERT_TRUE(best.ok());
    EXPECT_TRUE(best->proven());
    EXPECT_EQ(best->activity, 0);
    EXPECT_FALSE(best->changed(mh));
}

// The shipped examples, each under every method: the proof never lands above what the
// exchanges reach, the figures it reports are those the study computes, and the answer does
// not depend on the number of threads.
TEST(BestLayout, ExamplesNeverAboveImproveAndTheSameOnOneOrTwoThreads) {
    for (const char* file : {"machine-shop.mh", "mezzanine.mh", "assembly-plant.mh"})
        for (const Metric method : kMethods) {
            ModuleState state;
            state.ProblemFileName = std::string(DAVRENTA_EXAMPLES_DIR) + "/" + file;
            ASSERT_TRUE(ReadMhFile(state).ok()) << file;
            MhActivityState& mh = state.mh;
            CombineDirections(mh);
            const std::string what =
                std::string(file) + " method " + std::to_string(MetricCode(method));

            const ImproveOutcome improved = Improve(mh, method);
            const double improvedActivity =
                improved.steps.empty() ? improved.StartActivity : improved.steps.back().activity;
            BestLayoutControl one;
            one.threads = 1;
            const Result<BestLayoutOutcome> a = FindBestLayout(mh, method, one);
            BestLayoutControl two;
            two.threads = 2;
            const Result<BestLayoutOutcome> b = FindBestLayout(mh, method, two);
            ASSERT_TRUE(a.ok() && b.ok()) << what;
            EXPECT_TRUE(a->proven() && b->proven()) << what;
            EXPECT_EQ(a->StartActivity, improved.StartActivity) << what;
            EXPECT_EQ(a->ImprovedActivity, improvedActivity) << what;
            EXPECT_LE(a->activity, improvedActivity) << what;
            EXPECT_EQ(a->activity, b->activity) << what;
            for (int d = 1; d <= mh.DeptCount; ++d)
                EXPECT_EQ(a->place[d], b->place[d]) << what << ", department " << d;

            // The layout taken gives, in the results window, the activity reported.
            MhActivityState taken = mh;
            AcceptBestLayout(taken, *a);
            ComputeActivity(taken, method);
            EXPECT_EQ(taken.ActivityTotal, a->activity) << what;
        }
}

// A dense problem no machine finishes in a moment: ended early, the result still holds
// together.
MhActivityState HardProblem() {
    std::vector<Dept> depts;
    for (int d = 0; d < 15; ++d)
        depts.push_back({"D" + std::to_string(d + 1), 10.0 * (d % 5), 10.0 + 10 * (d / 5)});
    std::vector<std::vector<double>> moves(15, std::vector<double>(15, 0));
    for (int a = 0; a < 15; ++a)
        for (int b = a + 1; b < 15; ++b)
            if ((a * 7 + b * 3) % 5 != 0)
                moves[a][b] = 1 + (a * b + 3 * a + b) % 37;
    return Layout(depts, moves);
}

void ExpectConsistent(const MhActivityState& mh, Metric method, const BestLayoutOutcome& o) {
    EXPECT_FALSE(o.proven());
    EXPECT_LE(o.lowerBound, o.activity);
    EXPECT_LE(o.activity, o.ImprovedActivity);
    EXPECT_LE(o.activity, o.StartActivity);
    // Every location used once.
    std::vector<int> places;
    for (int d = 1; d <= mh.DeptCount; ++d)
        places.push_back(o.place[d]);
    std::sort(places.begin(), places.end());
    for (int d = 1; d <= mh.DeptCount; ++d)
        EXPECT_EQ(places[d - 1], d);
    MhActivityState taken = mh;
    AcceptBestLayout(taken, o);
    ComputeActivity(taken, method);
    EXPECT_EQ(taken.ActivityTotal, o.activity);
}

TEST(BestLayout, TimeLimitAndCancelEndWithAConsistentResult) {
    const MhActivityState mh = HardProblem();
    BestLayoutControl limited;
    limited.timeLimit = 0.001;
    const Result<BestLayoutOutcome> early = FindBestLayout(mh, Metric::SquaredEuclidean, limited);
    ASSERT_TRUE(early.ok());
    EXPECT_EQ(early->end, BestLayoutEnd::TimeLimit);
    ExpectConsistent(mh, Metric::SquaredEuclidean, *early);

    std::atomic<bool> cancel{true};
    BestLayoutControl cancelled;
    cancelled.cancel = &cancel;
    const Result<BestLayoutOutcome> stopped =
        FindBestLayout(mh, Metric::SquaredEuclidean, cancelled);
    ASSERT_TRUE(stopped.ok());
    EXPECT_EQ(stopped->end, BestLayoutEnd::Cancelled);
    ExpectConsistent(mh, Metric::SquaredEuclidean, *stopped);
}

TEST(BestLayout, FiguresBeyondTheLargestNumberAreRefused) {
    // Near the largest number the search has no room for its sums: refused, though the activity
    // of one layout is still a number.
    MhActivityState mh = Layout({{"A", 0, 1}, {"B", 1e152, 1}, {"C", -1e152, 1}}, {{0, 1, 0}});
    const Result<BestLayoutOutcome> best = FindBestLayout(mh, Metric::SquaredEuclidean);
    ASSERT_FALSE(best.ok());
    const std::string refusal =
        "The locations and moves are too large to compute with: the activity of a layout goes "
        "beyond the largest number. Bring the departments closer together or make the moves "
        "smaller, and search again.";
    EXPECT_EQ(best.message(), refusal);
    EXPECT_EQ(CheckBestLayoutProblem(mh, Metric::SquaredEuclidean).message(), refusal);
    EXPECT_TRUE(CheckBestLayoutProblem(mh, Metric::Rectilinear).ok());
}

TEST(BestLayout, TimeLimitTextIsSecondsAboveZero) {
    EXPECT_EQ(*TimeLimitFromText(" 2.5 s"), 2.5);
    for (const char* text : {"", "0", "-3", "none"}) {
        const Result<double> limit = TimeLimitFromText(text);
        ASSERT_FALSE(limit.ok()) << text;
        EXPECT_EQ(limit.message(), "The time limit must be a number of seconds above 0.");
    }
}

TEST(BestLayout, PercentagesAgainstAReferenceOfAnySize) {
    EXPECT_DOUBLE_EQ(*PercentAbove(150, 100), 50);
    EXPECT_DOUBLE_EQ(*PercentAbove(-50, -100), 50);
    EXPECT_EQ(*PercentAbove(0, 0), 0);
    EXPECT_FALSE(PercentAbove(5, 0));
    EXPECT_DOUBLE_EQ(*GapPercent(200, 150), 25);
    EXPECT_EQ(*GapPercent(7, 7), 0);
    EXPECT_FALSE(GapPercent(0, -3));
}

} // namespace
} // namespace davrenta
