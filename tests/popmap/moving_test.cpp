#include "popmap/moving.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "app/modulestate.h"
#include "plainsets.h"
#include "popmap/fastsearch.h"
#include "popmap_fixtures.h"
#include "randommaps.h"

namespace davrenta {
namespace {

using testing::Describe;
using testing::MakeState;
using testing::PlainEvaluate;
using testing::Problem;
using testing::RandomProblem;
using testing::Shape;

using Cells = std::vector<std::pair<int, int>>;

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The state with its existing PODs where the layout has them, and the new PODs' cells.
Cells Place(const MovingLayout& layout, ModuleState& s) {
    for (int k = 1; k <= layout.ExistingPods(); ++k) {
        s.fl.PodLine[k] = layout.Cell(k).first;
        s.fl.PodColumn[k] = layout.Cell(k).second;
    }
    Cells fresh;
    for (int q = layout.ExistingPods() + 1; q <= layout.Pods(); ++q)
        fresh.push_back(layout.Cell(q));
    return fresh;
}

// Each POD's served population by the assignment rule over the slots, as plain as it gets.
std::vector<double> PlainPodServed(const ModuleState& s, const Cells& all) {
    std::vector<double> served(all.size(), 0.0);
    const auto isArea = AreaCharacters(s.fl);
    for (int i = 1; i <= LastMapLine(s.fl); ++i)
        for (int j = 1; j <= CellsInLine(s.fl, i); ++j) {
            if (!isArea[static_cast<unsigned char>(s.fl.MapLine[i][j - 1])])
                continue;
            double minimum = kBigValue;
            int who = -1;
            for (std::size_t q = 0; q < all.size(); ++q) {
                const double d = PodDistance(s.DistanceMethod, i - all[q].first, j - all[q].second);
                if (d < minimum) {
                    minimum = d;
                    who = static_cast<int>(q);
                }
            }
            if (who >= 0)
                served[static_cast<std::size_t>(who)] += s.fl.CellPopulation(i, j);
        }
    return served;
}

::testing::AssertionResult MatchesFresh(const MovingLayout& layout, const ModuleState& prepared) {
    ModuleState s = prepared;
    const Cells fresh = Place(layout, s);
    const testing::PlainFigures f = PlainEvaluate(s, fresh);
    const LayoutFigures& got = layout.Figures();
    if (!SameBits(got.travel, f.travel) || !SameBits(got.maxDistance, f.maxDistance) ||
        !SameBits(got.served, f.served))
        return ::testing::AssertionFailure()
               << "travel " << got.travel << " vs " << f.travel << ", max " << got.maxDistance
               << " vs " << f.maxDistance << ", served " << got.served << " vs " << f.served;
    Cells all;
    for (int q = 1; q <= layout.Pods(); ++q)
        all.push_back(layout.Cell(q));
    const std::vector<double> served = PlainPodServed(s, all);
    for (std::size_t q = 0; q < served.size(); ++q)
        if (!SameBits(got.podServed[q], served[q]))
            return ::testing::AssertionFailure()
                   << "POD " << q + 1 << " serves " << got.podServed[q] << " not " << served[q];
    return ::testing::AssertionSuccess();
}

TEST(MovingLayout, AnySequenceOfMovesGivesTheFreshEvaluationsFigures) {
    std::mt19937 rng(20261210);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int walked = 0;
    for (int round = 0; round < 300; ++round) {
        const Shape shape = round % 3 == 0   ? Shape::Odd
                            : round % 3 == 1 ? Shape::Mirrored
                                             : Shape::Plain;
        const Problem problem = RandomProblem(rng, shape);
        ModuleState s = MakeState(problem, 1, pick(1, 3));
        if (!PrepareSearch(s))
            continue;
        Cells cells = testing::MapCells(s.fl);
        Cells fresh;
        const int room = kMaxPods - s.fl.ExistingPodCount;
        for (int q = pick(0, std::min(3, room)); q > 0; --q)
            fresh.push_back(
                cells[static_cast<std::size_t>(pick(0, static_cast<int>(cells.size()) - 1))]);
        auto started = MovingLayout::Start(s, fresh);
        ASSERT_TRUE(started) << Describe(problem);
        MovingLayout layout = std::move(*started);
        if (layout.Pods() == 0)
            continue;
        ASSERT_TRUE(MatchesFresh(layout, s)) << Describe(problem);
        for (int move = 0; move < 12; ++move) {
            const int pod = pick(1, layout.Pods());
            if (pick(0, 2) == 0) {
                const auto& [l, c] =
                    cells[static_cast<std::size_t>(pick(0, static_cast<int>(cells.size()) - 1))];
                ASSERT_TRUE(layout.MoveTo(pod, l, c));
            } else {
                (void)layout.Step(pod, pick(-1, 1), pick(-1, 1));
            }
            ASSERT_TRUE(MatchesFresh(layout, s)) << Describe(problem) << "after move " << move;
        }
        ++walked;
    }
    EXPECT_GT(walked, 100);
}

TEST(MovingLayout, MovesOffTheMapChangeNothingAndNewPodsMustStandOnIt) {
    ModuleState s = MakeState({{{"a", 100}, {"b", 50}}, {{1, 1}}, {"aab", "ab", "bbbb"}});
    ASSERT_TRUE(PrepareSearch(s));
    EXPECT_FALSE(MovingLayout::Start(s, {{2, 3}})); // line 2 has two cells
    auto started = MovingLayout::Start(s, {{3, 4}});
    ASSERT_TRUE(started);
    MovingLayout layout = std::move(*started);
    const double travel = layout.Figures().travel;
    EXPECT_FALSE(layout.Step(2, 0, 1));
    EXPECT_FALSE(layout.Step(2, 1, 0));
    EXPECT_FALSE(layout.MoveTo(2, 2, 3));
    EXPECT_FALSE(layout.MoveTo(3, 1, 1)); // no third POD
    EXPECT_EQ(layout.Cell(2), (std::pair{3, 4}));
    EXPECT_TRUE(SameBits(layout.Figures().travel, travel));
    EXPECT_TRUE(layout.Step(2, 0, -1));
    EXPECT_EQ(layout.Cell(2), (std::pair{3, 3}));
    EXPECT_FALSE(layout.Step(2, -1, 0)); // line 2 is two cells long
    EXPECT_TRUE(layout.Step(2, -1, -1));
    EXPECT_EQ(layout.Cell(2), (std::pair{2, 2}));
}

TEST(MovingLayout, ServiceMapShowsEachCellsPodAndTheMarks) {
    // Rectilinear: line steps 0.167, column steps 0.1. POD A at (1,1), the new one at (2,4).
    ModuleState s = MakeState({{{"a", 70}}, {{1, 1}}, {"aaaa", "a.aa"}});
    ASSERT_TRUE(PrepareSearch(s));
    auto layout = MovingLayout::Start(s, {{2, 4}});
    ASSERT_TRUE(layout);
    Table1<std::string, kMapLines> map;
    layout->ServiceMap(map, false);
    EXPECT_EQ(map[1], "AAA*");
    EXPECT_EQ(map[2], "A.**");
    layout->ServiceMap(map, true);
    EXPECT_EQ(map[1], "xAA*");
    EXPECT_EQ(map[2], "A.*X");
    // Ties go to the lower slot: with A at (1,2) and the new POD at (1,4), cell (1,3) lies 0.1
    // from both and (2,3) 0.267 from both; A keeps them.
    ASSERT_TRUE(layout->MoveTo(1, 1, 2));
    ASSERT_TRUE(layout->MoveTo(2, 1, 4));
    layout->ServiceMap(map, false);
    EXPECT_EQ(map[1], "AAA*");
    EXPECT_EQ(map[2], "A.A*");
    EXPECT_EQ(layout->Figures().podServed, (std::vector<double>{50, 20}));
    EXPECT_DOUBLE_EQ(layout->Figures().served, 20);
}

// The surface against the one-POD search on the same state, bit for bit, and the search's cell.
::testing::AssertionResult SurfaceMatchesSearch(const ModuleState& start, Measure measure) {
    ModuleState searched = start;
    searched.fl.PerformanceMeasure = measure;
    if (PlainOnePodSearch(searched).status != SearchStatus::Done)
        return ::testing::AssertionSuccess(); // refused alike: nothing to compare
    auto layout = MovingLayout::Start(searched, {});
    if (!layout)
        return ::testing::AssertionFailure() << layout.message();
    const Surface surface = layout->SurfaceNow(measure);
    const PopMap& fl = searched.fl;
    for (int i = 1; i <= LastMapLine(fl); ++i)
        for (int j = 1; j <= CellsInLine(fl, i); ++j) {
            const auto c = static_cast<std::size_t>(surface.Index(i, j));
            if (!SameBits(surface.travel[c], fl.CandidateTravel(i, j)) ||
                !SameBits(surface.maxDistance[c], fl.CandidateMaxDistance(i, j)))
                return ::testing::AssertionFailure() << "cell " << i << "," << j;
        }
    const bool found = measure == Measure::MaximumServed
                           ? fl.BestServed > 0
                           : fl.BestTravel < kBigValue || fl.BestMaxDistance < kBigValue;
    if (surface.best.has_value() != found)
        return ::testing::AssertionFailure() << "best cell found: " << surface.best.has_value();
    if (found) {
        if (*surface.best != std::pair{fl.NewPodLine, fl.NewPodColumn})
            return ::testing::AssertionFailure()
                   << "best " << surface.best->first << "," << surface.best->second << " not "
                   << fl.NewPodLine << "," << fl.NewPodColumn;
        if (measure == Measure::MaximumServed &&
            !SameBits(surface.Value(measure, fl.NewPodLine, fl.NewPodColumn), fl.BestServed))
            return ::testing::AssertionFailure() << "served at the best cell";
    }
    return ::testing::AssertionSuccess();
}

TEST(MovingLayout, SurfaceIsTheOnePodSearchsValuesAndCell) {
    std::mt19937 rng(77);
    for (int round = 0; round < 150; ++round) {
        const Shape shape = round % 2 == 0 ? Shape::Plain : Shape::Mirrored;
        const Problem problem = RandomProblem(rng, shape);
        for (int method = 1; method <= 3; ++method) {
            const ModuleState s = MakeState(problem, 1, method);
            for (Measure m :
                 {Measure::MinimizeTravel, Measure::MaximumServed, Measure::MinimizeMaxDistance})
                ASSERT_TRUE(SurfaceMatchesSearch(s, m)) << Describe(problem) << method;
        }
    }
    std::string failure;
    const ModuleState region = testing::LoadExampleFile("mid-county.fl", &failure);
    ASSERT_EQ(failure, "");
    for (Measure m :
         {Measure::MinimizeTravel, Measure::MaximumServed, Measure::MinimizeMaxDistance})
        EXPECT_TRUE(SurfaceMatchesSearch(region, m));
}

TEST(MovingLayout, ReoptimisationFollowsAMovedExistingPodAsASearchWould) {
    std::string failure;
    ModuleState s = testing::LoadExampleFile("mid-county.fl", &failure);
    ASSERT_EQ(failure, "");
    ASSERT_GT(s.fl.ExistingPodCount, 0);
    ASSERT_EQ(OnePodSearch(s).status, SearchStatus::Done);
    auto layout = MovingLayout::Start(s, {{s.fl.NewPodLine, s.fl.NewPodColumn}});
    ASSERT_TRUE(layout);
    EXPECT_TRUE(SameBits(layout->Figures().travel, s.fl.BestTravel));
    for (int step = 0; step < 4; ++step) {
        if (!layout->Step(1, 1, 1)) {
            ASSERT_TRUE(layout->Step(1, -1, -1));
        }
        const auto best = layout->Reoptimise(Measure::MinimizeTravel);
        ASSERT_TRUE(best);
        ModuleState moved = s;
        moved.fl.PodLine[1] = layout->Cell(1).first;
        moved.fl.PodColumn[1] = layout->Cell(1).second;
        ASSERT_EQ(PlainOnePodSearch(moved).status, SearchStatus::Done);
        EXPECT_EQ(*best, (std::pair{moved.fl.NewPodLine, moved.fl.NewPodColumn}));
        EXPECT_EQ(layout->Cell(layout->Pods()), *best);
        EXPECT_TRUE(SameBits(layout->Figures().travel, moved.fl.BestTravel));
    }
    // Several new PODs: nothing to re-optimise.
    auto two = MovingLayout::Start(s, {{1, 1}, {2, 2}});
    ASSERT_TRUE(two);
    EXPECT_FALSE(two->Reoptimise(Measure::MinimizeTravel));
    EXPECT_EQ(two->Cell(two->Pods()), (std::pair{2, 2}));
}

TEST(MovingLayout, WrittenBackAtTheOptimumTheResultIsTheSearchsExactly) {
    std::string failure;
    ModuleState s = testing::LoadExampleFile("mid-county.fl", &failure);
    ASSERT_EQ(failure, "");
    s.fl.NewPodCount = 2;
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    const ModuleState searched = s;
    auto layout = MovingLayout::Start(s, NewPodCells(s.fl));
    ASSERT_TRUE(layout);
    const auto home = layout->Cell(layout->Pods());
    ASSERT_TRUE(layout->Step(layout->Pods(), 0, 1) || layout->Step(layout->Pods(), 0, -1));
    ASSERT_TRUE(layout->Step(1, 1, 0) || layout->Step(1, -1, 0));
    layout->WriteResult(s.fl);
    EXPECT_NE(s.fl.BestTravel, searched.fl.BestTravel);
    ASSERT_TRUE(layout->MoveTo(layout->Pods(), home.first, home.second));
    ASSERT_TRUE(layout->MoveTo(1, searched.fl.PodLine[1], searched.fl.PodColumn[1]));
    layout->WriteResult(s.fl);
    EXPECT_TRUE(SameBits(s.fl.BestTravel, searched.fl.BestTravel));
    EXPECT_TRUE(SameBits(s.fl.BestMaxDistance, searched.fl.BestMaxDistance));
    for (int k = 1; k <= s.fl.ExistingPodCount + 2; ++k)
        EXPECT_TRUE(SameBits(s.fl.PodServed[k], searched.fl.PodServed[k])) << k;
    for (int i = 1; i <= LastMapLine(s.fl); ++i)
        EXPECT_EQ(s.fl.BestServiceMap[i], searched.fl.BestServiceMap[i]) << i;
}

} // namespace
} // namespace davrenta
