#include "popmap/moving.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "app/modulestate.h"
#include "plainsets.h"
#include "popmap/fastsearch.h"
#include "popmap/results.h"
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

// The existing PODs alone, where the layout has them (s holds them there): the plain
// evaluation, and what the search's preparation leaves for their map and results window.
::testing::AssertionResult MatchesFreshExisting(const MovingLayout& layout, const ModuleState& s) {
    const LayoutFigures& got = layout.Figures();
    const int n = layout.ExistingPods();
    if (got.existingServed.size() != static_cast<std::size_t>(n))
        return ::testing::AssertionFailure() << got.existingServed.size() << " existing rows";
    if (n == 0)
        return got.priorTravel == 0 && got.priorMaxDistance == 0
                   ? ::testing::AssertionSuccess()
                   : ::testing::AssertionFailure() << "figures without existing PODs";
    const testing::PlainFigures plain = PlainEvaluate(s, {});
    if (!SameBits(got.priorTravel, plain.travel) ||
        !SameBits(got.priorMaxDistance, plain.maxDistance))
        return ::testing::AssertionFailure()
               << "prior travel " << got.priorTravel << " vs " << plain.travel << ", max "
               << got.priorMaxDistance << " vs " << plain.maxDistance;
    ModuleState prepared = s;
    if (!PrepareSearch(prepared))
        return ::testing::AssertionFailure() << "the moved problem does not prepare";
    const PopMap& fl = prepared.fl;
    if (!SameBits(got.priorTravel / fl.TotalPopulation, fl.PriorAverageDistance) ||
        !SameBits(got.priorMaxDistance, fl.PriorMaxDistance))
        return ::testing::AssertionFailure() << "not the search's prior figures";
    Cells existing;
    for (int k = 1; k <= n; ++k)
        existing.push_back(layout.Cell(k));
    const std::vector<double> alone = PlainPodServed(s, existing);
    for (int k = 1; k <= n; ++k) {
        const double v = got.existingServed[static_cast<std::size_t>(k - 1)];
        if (!SameBits(v, fl.ExistingPodServed[k]) ||
            !SameBits(v, alone[static_cast<std::size_t>(k - 1)]))
            return ::testing::AssertionFailure()
                   << "POD " << k << " alone serves " << v << " not " << fl.ExistingPodServed[k];
    }
    Table1<std::string, kMapLines> map;
    layout.ExistingServiceMap(map, true);
    for (int i = 1; i <= LastMapLine(fl); ++i)
        if (map[i] != fl.MarkedServiceMap[i])
            return ::testing::AssertionFailure() << "existing PODs' map line " << i << ": "
                                                 << map[i] << " not " << fl.MarkedServiceMap[i];
    return ::testing::AssertionSuccess();
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
    return MatchesFreshExisting(layout, s);
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

TEST(MovingLayout, PopulationEditsRefuseBadTextAndLeaveTheProblemAsItWas) {
    ModuleState s = MakeState({{{"a", 100}, {"b", 50}}, {{1, 1}}, {"aab", "ab", "bbbb"}});
    ASSERT_TRUE(PrepareSearch(s));
    const ModuleState before = s;
    for (const char* bad : {"", "abc", "12x", "-5", "1e400", "nan", "inf", " "}) {
        const Status edited = EditAreaPopulation(s, 1, bad);
        ASSERT_FALSE(edited) << bad;
        EXPECT_NE(edited.message().find("must be a number of 0 or more"), std::string::npos)
            << edited.message();
        EXPECT_EQ(s.fl.AreaPopulation[1], 100);
        EXPECT_EQ(s.fl.TotalPopulation, 150);
    }
    EXPECT_FALSE(EditAreaPopulation(s, 3, "10")); // no third area
    // Both areas at 0: no average distance to show, refused with the search's own message.
    ASSERT_TRUE(EditAreaPopulation(s, 2, " 0 "));
    const Status empty = EditAreaPopulation(s, 1, "0");
    ASSERT_FALSE(empty);
    EXPECT_NE(empty.message().find("total population"), std::string::npos) << empty.message();
    EXPECT_EQ(s.fl.AreaPopulation[1], 100);
    // A good edit: the cells of area a carry its new population, the total follows.
    ASSERT_TRUE(EditAreaPopulation(s, 1, "30"));
    EXPECT_EQ(s.fl.TotalPopulation, 30);
    EXPECT_EQ(s.fl.CellPopulation(1, 1), 10);
    EXPECT_EQ(s.fl.CellPopulation(2, 2), 0);
    EXPECT_EQ(before.fl.CellPopulation(1, 1), s.fl.CellPopulation(1, 1) * 100 / 30);
}

TEST(MovingLayout, MovesAndPopulationEditsGiveTheFreshEvaluationOfTheEditedProblem) {
    std::mt19937 rng(1211);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int edits = 0;
    for (int round = 0; round < 120; ++round) {
        const Problem problem = RandomProblem(rng, round % 2 == 0 ? Shape::Plain : Shape::Odd);
        ModuleState s = MakeState(problem, 1, pick(1, 3));
        if (!PrepareSearch(s) || s.fl.ExistingPodCount + 1 > kMaxPods)
            continue;
        const Cells cells = testing::MapCells(s.fl);
        auto started = MovingLayout::Start(
            s, {cells[static_cast<std::size_t>(pick(0, static_cast<int>(cells.size()) - 1))]});
        ASSERT_TRUE(started) << Describe(problem);
        MovingLayout layout = std::move(*started);
        for (int step = 0; step < 10; ++step) {
            if (pick(0, 1) == 0) {
                (void)layout.Step(pick(1, layout.Pods()), pick(-1, 1), pick(-1, 1));
            } else {
                const int area = pick(1, s.fl.AreaCount);
                const std::string text = std::to_string(pick(0, 5000)) + (pick(0, 1) ? ".25" : "");
                if (!EditAreaPopulation(s, area, text))
                    continue; // every area at 0: refused, nothing changed
                layout.TakePopulations(s.fl);
                ++edits;
            }
            ASSERT_TRUE(MatchesFresh(layout, s)) << Describe(problem) << " step " << step;
        }
        // The best new POD for the edited problem, as the search finds it.
        if (s.fl.ExistingPodCount == 0)
            continue;
        ModuleState searched = s;
        Place(layout, searched);
        if (PlainOnePodSearch(searched).status != SearchStatus::Done)
            continue;
        // Huge populations can leave every candidate's travel past the starting best.
        const bool found = searched.fl.BestTravel < kBigValue;
        const auto best = layout.Reoptimise(Measure::MinimizeTravel);
        ASSERT_EQ(best.has_value(), found) << Describe(problem);
        if (!found)
            continue;
        EXPECT_EQ(*best, (std::pair{searched.fl.NewPodLine, searched.fl.NewPodColumn}))
            << Describe(problem);
        EXPECT_TRUE(SameBits(layout.Figures().travel, searched.fl.BestTravel));
    }
    EXPECT_GT(edits, 100);
}

TEST(MovingLayout, ExistingPodsFiguresReadAsTheirResultsWindowShowsThem) {
    std::string failure;
    ModuleState s = testing::LoadExampleFile("mid-county.fl", &failure);
    ASSERT_EQ(failure, "");
    ASSERT_EQ(OnePodSearch(s).status, SearchStatus::Done);
    auto layout = MovingLayout::Start(s, NewPodCells(s.fl));
    ASSERT_TRUE(layout);
    const LayoutTexts t = TextsOf(*layout, s.fl.TotalPopulation, s.DistanceMethod);
    s.fl.maptype = MapType::ExistingService;
    const ResultsTexts results = OpenResults(s.fl, s.DistanceMethod);
    ASSERT_FALSE(results.result2lbl.empty());
    EXPECT_EQ(t.prior.rfind(results.result2lbl, 0), 0u) << t.prior << " / " << results.result2lbl;
    // Existing PODs' rows as the existing PODs' results list them; none for the new POD.
    ASSERT_EQ(t.priorServed.size(), t.facgrd.size());
    for (int k = 1; k <= s.fl.ExistingPodCount; ++k)
        EXPECT_EQ(t.priorServed[static_cast<std::size_t>(k)],
                  results.facgrd[static_cast<std::size_t>(k)][3])
            << k;
    EXPECT_EQ(t.priorServed.back(), "");
}

} // namespace
} // namespace davrenta
