#include "popmap/setsearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <iterator>
#include <random>

#include "app/modulestate.h"
#include "plainsets.h"
#include "popmap/fastreach.h"
#include "popmap/fastsearch.h"
#include "popmap/resultcheck.h"
#include "popmap/setmeasures.h"
#include "popmap/threadpool.h"
#include "popmap_fixtures.h"
#include "randommaps.h"

namespace davrenta {
namespace {

using testing::Describe;
using testing::MakeState;
using testing::PlainEvaluate;
using testing::PlainSetSearch;
using testing::Problem;
using testing::RandomProblem;
using testing::Shape;

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<std::pair<int, int>> Found(const PopMap& fl) {
    std::vector<std::pair<int, int>> cells;
    for (int q = 1; q <= fl.NewPodCount; ++q)
        cells.emplace_back(fl.NewPodsLine[q], fl.NewPodsColumn[q]);
    return cells;
}

int MapCellsOf(const ModuleState& s) {
    return static_cast<int>(testing::MapCells(s.fl).size());
}

std::string Cells(const std::vector<std::pair<int, int>>& cells) {
    std::string text;
    for (const auto& [l, c] : cells)
        text += "(" + std::to_string(l) + "," + std::to_string(c) + ")";
    return text;
}

// The general method against every set, on a copy of the state: the same set and the same
// figures, bit for bit, or the same refusal.
::testing::AssertionResult MatchesEverySet(const ModuleState& start, int p, int threads = 0) {
    ModuleState plain = start;
    plain.fl.NewPodCount = p;
    if (Status prepared = PrepareSearch(plain); !prepared) {
        ModuleState s = start;
        s.fl.NewPodCount = p;
        const SearchOutcome outcome = SetSearch(s);
        if (outcome.status == SearchStatus::Failed && outcome.message == prepared.message())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the refusal differs: " << outcome.message;
    }
    const testing::PlainSet reference = PlainSetSearch(plain, p);

    ModuleState s = start;
    s.fl.NewPodCount = p;
    SetSearchOptions options;
    options.threads = threads;
    const SearchOutcome outcome = SetSearch(s, {}, options);
    if (!reference.found) {
        if (CheckSearchResult(s.fl, outcome).status == SearchStatus::Failed)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "no set beats the start, but the search found " << Cells(Found(s.fl));
    }
    if (outcome.status != SearchStatus::Done)
        return ::testing::AssertionFailure() << "search failed: " << outcome.message;
    if (!s.fl.Proven)
        return ::testing::AssertionFailure() << "not proven";
    if (Found(s.fl) != reference.cells)
        return ::testing::AssertionFailure()
               << "set " << Cells(Found(s.fl)) << " vs " << Cells(reference.cells);
    const PopMap& fl = s.fl;
    const bool same = fl.PerformanceMeasure == Measure::MaximumServed
                          ? SameBits(fl.BestServed, reference.served) &&
                                SameBits(fl.BestServedTravel, reference.travel)
                          : SameBits(fl.BestTravel, reference.travel) &&
                                SameBits(fl.BestMaxDistance, reference.maxDistance);
    if (!same)
        return ::testing::AssertionFailure()
               << "figures " << testing::Exact(fl.BestTravel) << " "
               << testing::Exact(fl.BestMaxDistance) << " " << testing::Exact(fl.BestServed)
               << " vs " << testing::Exact(reference.travel) << " "
               << testing::Exact(reference.maxDistance) << " " << testing::Exact(reference.served);
    return ::testing::AssertionSuccess();
}

void CompareEverySetting(const Problem& problem, int seed, std::initializer_list<int> counts) {
    for (int p : counts)
        for (int measure : {1, 2, 3})
            for (int method : {1, 2, 3}) {
                const ModuleState start = MakeState(problem, measure, method, p);
                if (start.fl.ExistingPodCount + p > kMaxPods)
                    continue;
                // Every set of four among more cells takes the reference too long.
                if (p > 3 && testing::MapCells(start.fl).size() > 30)
                    continue;
                EXPECT_TRUE(MatchesEverySet(start, p, 1 + (seed + method) % 2))
                    << "seed " << seed << ", " << p << " new, measure " << measure << ", method "
                    << method << "\n"
                    << Describe(problem);
            }
}

TEST(SetSearchMatchesEverySet, ThreeAndFourPodsOnRandomMaps) {
    std::mt19937 rng(424242);
    for (int seed = 0; seed < 40; ++seed)
        CompareEverySetting(RandomProblem(rng, Shape::Plain), seed, {3, 4});
}

TEST(SetSearchMatchesEverySet, SymmetricMapsWithTies) {
    std::mt19937 rng(99);
    for (int seed = 0; seed < 25; ++seed)
        CompareEverySetting(RandomProblem(rng, Shape::Mirrored), seed, {3, 4});
}

TEST(SetSearchMatchesEverySet, NegativeZeroAndFarInputs) {
    std::mt19937 rng(777);
    int compared = 0;
    for (int seed = 0; compared < 25; ++seed) {
        Problem p = RandomProblem(rng, Shape::Odd);
        if (p.areas[0].second > 1e300)
            continue; // too large to compute with: a test of its own below
        CompareEverySetting(p, seed, {3, 4});
        ++compared;
    }
}

TEST(SetSearchMatchesEverySet, HandMadeEdges) {
    const std::vector<Problem> problems = {
        testing::kWorkedExample,
        {{{"A", 100}}, {}, {"A"}},                                    // fewer cells than PODs
        {{{"a", 60}}, {}, {"aaaa"}},                                  // ties everywhere
        {{{"a", 300}}, {{1, 1}}, {"aaa"}},                            // an existing POD keeps ties
        {{{"a", 0}, {"b", 40}}, {{1, 1}}, {"ab", "ba"}},              // a population of 0
        {{{"a", -30}, {"b", 40}}, {}, {"abab", "baba", " ab"}},       // a negative one
        {{{"a", 1e-320}, {"b", 3e-321}}, {{2, 2}}, {"aab", "bba"}},   // subnormal populations
        {{{"a", 5}, {"b", 0}}, {}, {"bbbbb", "bbabb", "bbbbb"}},      // one populated cell
        {{{"a", 10}, {"b", 10}}, {{1, 2}, {1, 2}}, {"ab", "", "ba"}}, // two PODs on one cell
    };
    for (std::size_t i = 0; i < problems.size(); ++i)
        CompareEverySetting(problems[i], static_cast<int>(i), {3, 4});
}

// Larger maps with an area of negative population, where the served bound's branch and bound
// visits many nodes: the cells an open candidate covers must count afresh at every node, never
// as the previous node left them.
TEST(SetSearchMatchesEverySet, MaximumServedWithNegativePopulationsOnLargerMaps) {
    std::mt19937 rng(1312);
    for (int seed = 0; seed < 12; ++seed) {
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        Problem p;
        p.areas = {
            {"a", pick(100, 900) * 1.0}, {"b", -pick(50, 400) * 1.0}, {"c", pick(100, 900) * 1.0}};
        for (int i = 0; i < 6; ++i) {
            std::string line;
            for (int j = 0; j < 7; ++j)
                line += "abc"[pick(0, 2)];
            p.lines.push_back(line);
        }
        p.lines[0][0] = 'a';
        p.lines[1][0] = 'b';
        p.lines[2][0] = 'c';
        for (int k = 0; k < pick(1, 3); ++k)
            p.pods.push_back({pick(1, 6), pick(1, 7)});
        for (int method : {1, 2, 3})
            EXPECT_TRUE(MatchesEverySet(MakeState(p, 2, method, 3), 3, 1 + seed % 2))
                << "seed " << seed << " method " << method << "\n"
                << Describe(p);
    }
}

// Larger maps under Minimize Maximum Distance with five new PODs, where the greedy cover often
// falls short: the moves towards a cover, the patterns and cells the exact cover leaves out,
// and the bisection's answers must still give the first set of the smallest largest distance.
TEST(SetSearchMatchesEverySet, MaximumDistanceWithFivePodsOnLargerMaps) {
    std::mt19937 rng(2718);
    for (int seed = 0; seed < 6; ++seed) {
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        Problem p;
        p.areas = {{"a", pick(1, 900) * 1.0}, {"b", pick(1, 900) * 1.0}};
        const int lines = pick(4, 5), columns = pick(5, 7);
        for (int i = 0; i < lines; ++i) {
            std::string line;
            for (int j = 0; j < columns; ++j)
                line += pick(0, 5) == 0 ? ' ' : "ab"[pick(0, 1)];
            p.lines.push_back(line);
        }
        p.lines[0][0] = 'a';
        p.lines[1][0] = 'b';
        for (int k = 0; k < pick(0, 2); ++k)
            p.pods.push_back({pick(1, lines), pick(1, columns)});
        for (int method : {1, 2, 3})
            EXPECT_TRUE(MatchesEverySet(MakeState(p, 3, method, 5), 5, 1 + seed % 2))
                << "seed " << seed << " method " << method << "\n"
                << Describe(p);
    }
}

// A state's map prepared for the search's parts, on one thread.
struct PreparedMap {
    explicit PreparedMap(ModuleState& s) : pool(1, control) {
        fastsearch_detail::PrepareGrid(s, pool, g, prior);
    }
    SearchControl control;
    fastsearch_detail::Pool pool;
    fastsearch_detail::Grid g;
    fastsearch_detail::Cap prior;
};

// The bound of a node is the same whichever node the bounder saw before: the population that
// open candidates cover (here negative) counts afresh at every node.
TEST(SetSearchBounds, ServedBoundOfANodeDoesNotDependOnTheNodeBefore) {
    using namespace fastsearch_detail;
    ModuleState s = MakeState(
        Problem{{{"a", 400}, {"b", -900}}, {{1, 1}}, {"abbba", "abbba", "aaaaa"}}, 2, 1, 3);
    PreparedMap map(s);
    const Grid& g = map.g;
    Pool& pool = map.pool;
    ASSERT_TRUE(g.prepared);
    const SetProblem sp(g, SetGoal::Served);
    SetClock clock(map.control, 3);
    Incumbent best;
    best.p = 3;
    const auto none = [](const Support&, double) {};
    auto node = [&](Support open) {
        SetNode n;
        n.open = std::move(open);
        n.closed.assign(static_cast<std::size_t>((g.C + 63) / 64), 0);
        return n;
    };
    // Candidate 2 (line 1, column 3) takes the cells of area b: a negative population.
    const std::unique_ptr<SetBounder> fresh = MakeCoverBounder(sp, 3, pool);
    SetNode root = node({});
    root.multipliers = fresh->Start({});
    const double alone = fresh->Bound(root, best, 1, none).bound;

    const std::unique_ptr<SetBounder> used = MakeCoverBounder(sp, 3, pool);
    SetNode opened = node({2});
    opened.multipliers = used->Start({});
    (void)used->Bound(opened, best, 1, none);
    SetNode again = node({});
    again.multipliers = used->Start({});
    EXPECT_EQ(used->Bound(again, best, 1, none).bound, alone);
}

TEST(SetSearchMatchesEverySet, TwoPodsGiveThePairSearchsValueAndPair) {
    std::mt19937 rng(2025);
    for (int seed = 0; seed < 30; ++seed) {
        const Problem problem = RandomProblem(rng, seed % 2 ? Shape::Plain : Shape::Mirrored);
        for (int measure : {1, 2, 3})
            for (int method : {1, 2, 3}) {
                ModuleState pair = MakeState(problem, measure, method, 2);
                ModuleState general = pair;
                const SearchOutcome a = CheckSearchResult(pair.fl, TwoPodSearch(pair));
                const SearchOutcome b = CheckSearchResult(general.fl, SetSearch(general));
                ASSERT_EQ(a.status, b.status)
                    << a.message << " / " << b.message << "\n"
                    << "measure " << measure << " method " << method << "\n"
                    << Describe(problem);
                if (a.status != SearchStatus::Done)
                    continue;
                EXPECT_EQ(general.fl.NewPodsLine[1], pair.fl.NewPod1Line);
                EXPECT_EQ(general.fl.NewPodsColumn[1], pair.fl.NewPod1Column);
                EXPECT_EQ(general.fl.NewPodsLine[2], pair.fl.NewPod2Line);
                EXPECT_EQ(general.fl.NewPodsColumn[2], pair.fl.NewPod2Column);
                EXPECT_TRUE(SameBits(general.fl.BestTravel, pair.fl.BestTravel));
                EXPECT_TRUE(SameBits(general.fl.BestMaxDistance, pair.fl.BestMaxDistance));
                EXPECT_TRUE(SameBits(general.fl.BestServed, pair.fl.BestServed));
                for (int k = 1; k <= pair.fl.ExistingPodCount + 2; ++k)
                    EXPECT_TRUE(SameBits(general.fl.PodServed[k], pair.fl.PodServed[k]));
                EXPECT_EQ(general.fl.BestServiceMap[1], pair.fl.BestServiceMap[1]);
            }
    }
}

// --- Bounds, time limits and cancel --------------------------------------------------------

// A larger random map: populated areas in bands, a few existing PODs.
Problem BandedMap(std::mt19937& rng, int lines, int width, int pods) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Problem p;
    const int areas = pick(3, 7);
    for (int a = 0; a < areas; ++a)
        p.areas.push_back({std::string(1, static_cast<char>('a' + a)), pick(50, 5000) * 1.0});
    for (int i = 0; i < lines; ++i) {
        std::string line;
        for (int j = 0; j < width; ++j)
            line += pick(0, 12) == 0
                        ? '.'
                        : static_cast<char>('a' + (i * areas / lines + pick(0, 1)) % areas);
        p.lines.push_back(line);
    }
    for (int a = 0; a < areas; ++a)
        p.lines[static_cast<std::size_t>(a % lines)][0] = static_cast<char>('a' + a);
    for (int k = 0; k < pods; ++k)
        p.pods.push_back({pick(1, lines), pick(1, width)});
    return p;
}

// The figures a state holds are those of its new PODs, computed afresh.
::testing::AssertionResult FiguresMatchTheSet(const ModuleState& s) {
    ModuleState prepared = s;
    if (Status ok = PrepareSearch(prepared); !ok)
        return ::testing::AssertionFailure() << ok.message();
    const testing::PlainFigures f = PlainEvaluate(prepared, Found(s.fl));
    const PopMap& fl = s.fl;
    const bool same =
        fl.PerformanceMeasure == Measure::MaximumServed
            ? SameBits(fl.BestServed, f.served)
            : SameBits(fl.BestTravel, f.travel) && SameBits(fl.BestMaxDistance, f.maxDistance);
    if (!same)
        return ::testing::AssertionFailure() << "figures are not those of " << Cells(Found(fl));
    return ::testing::AssertionSuccess();
}

double ValueOf(const PopMap& fl) {
    switch (fl.PerformanceMeasure) {
    case Measure::MaximumServed:
        return fl.BestServed;
    case Measure::MinimizeMaxDistance:
        return fl.BestMaxDistance;
    default:
        return fl.BestTravel;
    }
}

TEST(SetSearchBounds, NeverCrossTheBestValue) {
    std::mt19937 rng(8080);
    for (int seed = 0; seed < 6; ++seed) {
        const Problem problem = BandedMap(rng, 12 + seed, 16 + 2 * seed, seed % 3);
        for (int measure : {1, 2, 3}) {
            ModuleState s = MakeState(problem, measure, 1 + seed % 3, 5);
            const bool maximize = measure == 2;
            int reports = 0;
            bool crossed = false;
            SearchControl control;
            control.bounds = [&](const SetProgress& progress) {
                ++reports;
                if (progress.haveBest &&
                    (maximize ? progress.bound < progress.best : progress.bound > progress.best))
                    crossed = true;
                if (progress.gap < 0 || progress.gap > 1)
                    crossed = true;
            };
            ASSERT_EQ(RunSearch(s, control).status, SearchStatus::Done) << Describe(problem);
            EXPECT_GT(reports, 0);
            EXPECT_FALSE(crossed) << "seed " << seed << " measure " << measure;
            EXPECT_TRUE(s.fl.Proven);
            EXPECT_EQ(s.fl.Bound, ValueOf(s.fl));
            EXPECT_EQ(s.fl.Gap, 0);
            EXPECT_TRUE(FiguresMatchTheSet(s));
        }
    }
}

ModuleState FullRegion(int keepPods, int measure, int method, int pods) {
    std::string failure;
    ModuleState s = testing::LoadExampleFile("full-region.fl", &failure);
    EXPECT_EQ(failure, "");
    s.fl.ExistingPodCount = keepPods;
    s.fl.PerformanceMeasure = static_cast<Measure>(measure);
    s.DistanceMethod = static_cast<Metric>(method);
    s.fl.NewPodCount = pods;
    return s;
}

TEST(SetSearchKicks, MoveOneOrTwoPodsAndKeepASet) {
    using fastsearch_detail::Kick;
    using fastsearch_detail::Support;
    std::mt19937 rng(31337);
    for (int t = 0; t < 400; ++t) {
        const int C = 1 + t % 23;
        Support s;
        for (int j = 0; j < C; ++j)
            if (std::uniform_int_distribution<int>(0, 2)(rng) == 0)
                s.push_back(j);
        const Support next = Kick(s, C, t, rng);
        ASSERT_EQ(next.size(), s.size());
        EXPECT_TRUE(std::is_sorted(next.begin(), next.end()));
        EXPECT_EQ(std::adjacent_find(next.begin(), next.end()), next.end());
        if (!next.empty()) {
            EXPECT_GE(next.front(), 0);
            EXPECT_LT(next.back(), C);
        }
        Support kept;
        std::set_intersection(s.begin(), s.end(), next.begin(), next.end(),
                              std::back_inserter(kept));
        EXPECT_GE(kept.size() + 1 + t % 2, s.size()) << "kick " << t;
    }
}

// A kick only offers sets: started from a poor set and kicked at every node, the proof still
// ends at the set that trying every set finds.
TEST(SetSearchKicks, KickedAtEveryNodeTheProofEndsAtTheBestSet) {
    using namespace fastsearch_detail;
    std::mt19937 rng(2718);
    int compared = 0;
    for (int seed = 0; seed < 16; ++seed) {
        const Problem problem = RandomProblem(rng, seed % 2 ? Shape::Mirrored : Shape::Plain);
        for (int method : {1, 2, 3}) {
            const int p = 3;
            ModuleState s = MakeState(problem, 1, method, p);
            ModuleState plain = s;
            if (s.fl.ExistingPodCount + p > kMaxPods || !PrepareSearch(plain))
                continue;
            const testing::PlainSet reference = PlainSetSearch(plain, p);
            PreparedMap map(s);
            const Grid& g = map.g;
            Pool& pool = map.pool;
            ASSERT_TRUE(g.prepared);
            if (!reference.found || g.C < p)
                continue;
            const SetProblem sp(g, SetGoal::Travel);
            SetClock clock(map.control, p);
            Incumbent best;
            best.p = p;
            const Support last{g.C - 3, g.C - 2, g.C - 1};
            best.Offer(sp.Key(last), last);
            const std::unique_ptr<SetBounder> bounder = MakeTravelBounder(sp, p, pool);
            const Improver improve = [&](const Support& from) {
                return InterchangeTravel(sp, p, from, clock, pool);
            };
            const SetSearchOutcome outcome =
                BranchAndBound(sp, p, *bounder, improve, best, clock, 1);
            EXPECT_TRUE(outcome.proven);
            std::vector<std::pair<int, int>> cells;
            for (int j : Slots(best.set, p))
                cells.emplace_back(g.candLine[static_cast<std::size_t>(j)],
                                   g.candColumn[static_cast<std::size_t>(j)]);
            EXPECT_EQ(cells, reference.cells) << "seed " << seed << ", method " << method << "\n"
                                              << Describe(problem);
            ++compared;
        }
    }
    EXPECT_GT(compared, 20);
}

TEST(SetSearchStops, AtTheTimeLimitWithTheBestSetFoundAndItsBound) {
    for (int measure : {1, 2, 3}) {
        ModuleState s = FullRegion(0, measure, 1, 12);
        SearchControl control;
        control.timeLimit = 0.05;
        const SearchOutcome outcome = RunSearch(s, control);
        ASSERT_EQ(outcome.status, SearchStatus::Done) << outcome.message;
        EXPECT_TRUE(s.fl.SearchResultFlag);
        EXPECT_TRUE(FiguresMatchTheSet(s));
        if (!s.fl.Proven) {
            const double best = ValueOf(s.fl);
            EXPECT_TRUE(measure == 2 ? s.fl.Bound >= best : s.fl.Bound <= best);
            EXPECT_GE(s.fl.Gap, 0);
            EXPECT_LE(s.fl.Gap, 1);
        }
    }
}

TEST(SetSearchStops, OnCancelWithAConsistentState) {
    for (int measure : {1, 2, 3}) {
        ModuleState s = FullRegion(5, measure, 2, 8);
        std::atomic<bool> cancel{false};
        SearchControl control;
        control.cancel = &cancel;
        control.bounds = [&](const SetProgress&) { cancel = true; };
        const SearchOutcome outcome = RunSearch(s, control);
        EXPECT_EQ(outcome.status, SearchStatus::Cancelled);
        EXPECT_FALSE(s.fl.SearchResultFlag);
        EXPECT_FALSE(s.fl.Proven);
        if (s.fl.NewPodsLine[1] != 0) {
            EXPECT_TRUE(FiguresMatchTheSet(s));
        }
    }
}

// --- Coverage --------------------------------------------------------------------------------

TEST(Coverage, FewestPodsAndTheirCellsAsTryingEverySet) {
    std::mt19937 rng(5150);
    int compared = 0;
    for (int seed = 0; compared < 40; ++seed) {
        const Problem problem = RandomProblem(rng, seed % 3 ? Shape::Plain : Shape::Mirrored);
        const ModuleState start = MakeState(problem, 1, 1 + seed % 3, 1);
        ModuleState prepared = start;
        if (!PrepareSearch(prepared) || MapCellsOf(start) > 24)
            continue;
        ++compared;
        for (double radius : {0.0, 0.1, 0.167, 0.25, 0.4}) {
            const auto plain = testing::PlainFewestCover(prepared, radius, 4);
            const Result<CoverAnswer> cover = FewestPodsToCover(start, radius);
            if (!plain) {
                // More than four: the search finds the count without a bound of four.
                ASSERT_TRUE(cover.ok()) << cover.message();
                EXPECT_GT(cover->pods, 4);
                continue;
            }
            ASSERT_TRUE(cover.ok()) << cover.message() << "\n" << Describe(problem);
            EXPECT_TRUE(cover->proven);
            EXPECT_EQ(cover->pods, static_cast<int>(plain->size()));
            EXPECT_EQ(Cells(cover->cells), Cells(*plain)) << "radius " << radius << "\n"
                                                          << Describe(problem);
        }
    }
}

TEST(Coverage, LargestPopulationWithinAsTryingEverySet) {
    std::mt19937 rng(6160);
    int compared = 0;
    for (int seed = 0; compared < 30; ++seed) {
        const Problem problem = RandomProblem(rng, seed % 4 ? Shape::Plain : Shape::Odd);
        if (problem.areas[0].second > 1e300)
            continue;
        const ModuleState start = MakeState(problem, 1, 1 + seed % 3, 1);
        ModuleState prepared = start;
        if (!PrepareSearch(prepared) || MapCellsOf(start) > 24)
            continue;
        ++compared;
        for (int pods : {1, 3})
            for (double radius : {0.1, 0.3}) {
                if (start.fl.ExistingPodCount + pods > kMaxPods)
                    continue;
                const auto [population, cells] =
                    testing::PlainLargestWithin(prepared, radius, pods);
                const Result<CoveredPopulation> most = LargestPopulationWithin(start, radius, pods);
                ASSERT_TRUE(most.ok()) << most.message();
                EXPECT_TRUE(most->proven);
                EXPECT_TRUE(SameBits(most->population, population))
                    << testing::Exact(most->population) << " vs " << testing::Exact(population)
                    << "\n"
                    << Describe(problem);
                EXPECT_EQ(Cells(most->cells), Cells(cells)) << Describe(problem);
            }
    }
}

TEST(Coverage, RefusesWhatItCannotAnswer) {
    const ModuleState s = MakeState(Problem{{{"a", 10}}, {}, {"aaaaaaaaaa", "aaaaaaaaaa"}});
    EXPECT_EQ(FewestPodsToCover(s, -1).message(),
              "The distance -1 is not a distance of 0 or more. Enter the distance within which "
              "every area cell should have a POD.");
    // Twenty cells each needing its own POD fit; radius 0 on a full 50 x 60 map does not.
    const Result<CoverAnswer> twenty = FewestPodsToCover(s, 0);
    ASSERT_TRUE(twenty.ok());
    EXPECT_EQ(twenty->pods, 20);
    std::string failure;
    const ModuleState full = testing::LoadExampleFile("full-region.fl", &failure);
    ASSERT_EQ(failure, "");
    EXPECT_EQ(FewestPodsToCover(full, 0.05).message(),
              "Bringing every area cell within 0.05 of a POD takes more than 1 new POD (a problem "
              "holds at most 31 PODs). Enter a larger distance.");
}

// --- How many PODs -----------------------------------------------------------------------

TEST(PodCount, OptimaAndOneAtATimeAsThePlainSearches) {
    std::mt19937 rng(31);
    int compared = 0;
    for (int seed = 0; compared < 12; ++seed) {
        const Problem problem = RandomProblem(rng, Shape::Plain);
        for (int measure : {1, 2, 3}) {
            const ModuleState start = MakeState(problem, measure, 1 + seed % 3, 1);
            ModuleState prepared = start;
            if (!PrepareSearch(prepared) || MapCellsOf(start) > 20 ||
                start.fl.ExistingPodCount + 3 > kMaxPods)
                continue;
            const Result<std::vector<PodCountRow>> rows = PodCountCurve(start, 3);
            // The study fails as a search of that many would (no location beats the start).
            ModuleState single = start;
            if (RunSearch(single).status != SearchStatus::Done) {
                EXPECT_FALSE(rows.ok());
                continue;
            }
            ++compared;
            ASSERT_TRUE(rows.ok()) << rows.message() << "\n" << Describe(problem);
            ASSERT_EQ(rows->size(), 3u);

            // One at a time, as a user does it: the one-POD search, its cell added, again.
            ModuleState greedy = start;
            std::vector<std::pair<int, int>> placed;
            for (int p = 1; p <= 3; ++p) {
                const testing::PlainSet plain = PlainSetSearch(prepared, p);
                const PodCountRow& row = (*rows)[static_cast<std::size_t>(p - 1)];
                EXPECT_EQ(row.pods, p);
                EXPECT_TRUE(row.proven);
                EXPECT_EQ(Cells(row.cells), Cells(plain.cells)) << Describe(problem);
                const double value = measure == 1   ? plain.travel
                                     : measure == 2 ? plain.served
                                                    : plain.maxDistance;
                EXPECT_TRUE(SameBits(row.optimal, value));

                greedy.fl.NewPodCount = 1;
                const bool found = PlainOnePodSearch(greedy).status == SearchStatus::Done &&
                                   CheckSearchResult(greedy.fl, {}).status == SearchStatus::Done;
                if (!found) {
                    EXPECT_FALSE(row.oneAtATime.has_value());
                    break;
                }
                placed.emplace_back(greedy.fl.NewPodLine, greedy.fl.NewPodColumn);
                greedy.fl.PodLine[greedy.fl.ExistingPodCount + 1] = greedy.fl.NewPodLine;
                greedy.fl.PodColumn[greedy.fl.ExistingPodCount + 1] = greedy.fl.NewPodColumn;
                ++greedy.fl.ExistingPodCount;
                const testing::PlainFigures f = PlainEvaluate(prepared, placed);
                const double reached = measure == 1   ? f.travel
                                       : measure == 2 ? f.served
                                                      : f.maxDistance;
                ASSERT_TRUE(row.oneAtATime.has_value());
                EXPECT_TRUE(SameBits(*row.oneAtATime, reached))
                    << testing::Exact(*row.oneAtATime) << " vs " << testing::Exact(reached);
                // Placing them together is never worse.
                EXPECT_TRUE(measure == 2 ? row.optimal >= reached : row.optimal <= reached);
            }
        }
    }
}

} // namespace
} // namespace davrenta
