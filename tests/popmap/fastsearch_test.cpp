#include "app/modulestate.h"
#include "popmap/fastsearch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "popmap/mapfile.h"
#include "popmap_fixtures.h"
#include "randommaps.h"

namespace davrenta {
namespace {

using testing::Describe;
using testing::MakeState;
using testing::Problem;
using testing::RandomProblem;
using testing::Shape;

// --- Comparing whole studies -------------------------------------------------------------

bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
} // -0, NaN included
bool Same(int a, int b) {
    return a == b;
}
bool Same(bool a, bool b) {
    return a == b;
}
bool Same(const std::string& a, const std::string& b) {
    return a == b;
}
bool Same(MapType a, MapType b) {
    return a == b;
}
bool Same(Measure a, Measure b) {
    return a == b;
}

std::string Show(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}
std::string Show(int v) {
    return std::to_string(v);
}
std::string Show(bool v) {
    return v ? "true" : "false";
}
std::string Show(const std::string& v) {
    return "\"" + v + "\"";
}
std::string Show(MapType v) {
    return std::to_string(MapTypeCode(v));
}
std::string Show(Measure v) {
    return std::to_string(MeasureCode(v));
}

template <typename T>
std::optional<std::string> Differ(const std::string& name, const T& a, const T& b) {
    if (Same(a, b))
        return std::nullopt;
    return name + ": " + Show(a) + " vs " + Show(b);
}

template <typename T, std::size_t N>
std::optional<std::string> Differ(const std::string& name, const Table1<T, N>& a,
                                  const Table1<T, N>& b) {
    for (std::size_t i = 0; i <= N; ++i)
        if (auto d = Differ(name + "[" + std::to_string(i) + "]", a[i], b[i]))
            return d;
    return std::nullopt;
}

template <typename T, std::size_t L, std::size_t C>
std::optional<std::string> Differ(const std::string& name, const CellTable<T, L, C>& a,
                                  const CellTable<T, L, C>& b) {
    for (std::size_t i = 0; i <= L; ++i)
        for (std::size_t j = 0; j <= C; ++j)
            if (auto d = Differ(name + "(" + std::to_string(i) + "," + std::to_string(j) + ")",
                                a(i, j), b(i, j)))
                return d;
    return std::nullopt;
}

// The first field of the study in which two states differ, or nothing.
std::optional<std::string> FirstDifference(const ModuleState& x, const ModuleState& y) {
#define DAVRENTA_FIELD(f)                                                                          \
    if (auto d = Differ(#f, x.fl.f, y.fl.f))                                                       \
        return d;
    DAVRENTA_FIELD(AreaCount)
    DAVRENTA_FIELD(AreaSymbol)
    DAVRENTA_FIELD(AreaPopulation)
    DAVRENTA_FIELD(TotalPopulation)
    DAVRENTA_FIELD(ExistingPodCount)
    DAVRENTA_FIELD(PodLine)
    DAVRENTA_FIELD(PodColumn)
    DAVRENTA_FIELD(MapLine)
    DAVRENTA_FIELD(MapLineLength)
    DAVRENTA_FIELD(MapEndLine)
    DAVRENTA_FIELD(MapInputLine)
    DAVRENTA_FIELD(NewPodCount)
    DAVRENTA_FIELD(PerformanceMeasure)
    DAVRENTA_FIELD(maptype)
    DAVRENTA_FIELD(NearOptimalBound)
    DAVRENTA_FIELD(PodSymbol)
    DAVRENTA_FIELD(AreaCellCount)
    DAVRENTA_FIELD(AreaCellPopulation)
    DAVRENTA_FIELD(CellPopulation)
    DAVRENTA_FIELD(NumberedMap)
    DAVRENTA_FIELD(ServiceMap)
    DAVRENTA_FIELD(MarkedServiceMap)
    DAVRENTA_FIELD(TrialServiceMap)
    DAVRENTA_FIELD(BestServiceMap)
    DAVRENTA_FIELD(NearOptimalMap)
    DAVRENTA_FIELD(ExistingPodServed)
    DAVRENTA_FIELD(PodServed)
    DAVRENTA_FIELD(PriorAverageDistance)
    DAVRENTA_FIELD(PriorMaxDistance)
    DAVRENTA_FIELD(CandidateTravel)
    DAVRENTA_FIELD(CandidateMaxDistance)
    DAVRENTA_FIELD(BestTravel)
    DAVRENTA_FIELD(BestMaxDistance)
    DAVRENTA_FIELD(BestServed)
    DAVRENTA_FIELD(BestServedTravel)
    DAVRENTA_FIELD(NewPodLine)
    DAVRENTA_FIELD(NewPodColumn)
    DAVRENTA_FIELD(NewPod1Line)
    DAVRENTA_FIELD(NewPod1Column)
    DAVRENTA_FIELD(NewPod2Line)
    DAVRENTA_FIELD(NewPod2Column)
    DAVRENTA_FIELD(NearTravelLimit)
    DAVRENTA_FIELD(NearMaxDistanceLimit)
    DAVRENTA_FIELD(ProgressDone)
    DAVRENTA_FIELD(ProgressTotal)
    DAVRENTA_FIELD(KeptProgressDone)
    DAVRENTA_FIELD(KeptProgressTotal)
    DAVRENTA_FIELD(MapPointsUsed)
    DAVRENTA_FIELD(SearchResultFlag)
#undef DAVRENTA_FIELD
    if (x.DistanceMethod != y.DistanceMethod)
        return "DistanceMethod";
    return std::nullopt;
}

// Leftovers of an earlier run: a search must overwrite exactly what the reference overwrites
// and leave the rest as it was.
void FillWithLeftovers(PopMap& fl) {
    fl.CandidateTravel.fill(-1.25);
    fl.CandidateMaxDistance.fill(-2.5);
    fl.PodServed.fill(9.75);
    fl.ExistingPodServed.fill(8.5);
    for (int k = fl.ExistingPodCount + 1; k <= kMaxPods; ++k) {
        fl.PodLine[k] = 44;
        fl.PodColumn[k] = 55;
        fl.PodSymbol[k] = "?";
    }
    for (int i = 1; i <= kMapLines; ++i)
        fl.TrialServiceMap[i] = fl.BestServiceMap[i] = "old line";
    fl.NewPodLine = fl.NewPodColumn = 7;
    fl.NewPod1Line = fl.NewPod1Column = fl.NewPod2Line = fl.NewPod2Column = 6;
    fl.BestServedTravel = -3;
    fl.KeptProgressDone = 123;
    fl.KeptProgressTotal = 456;
}

SearchOutcome RunPlain(ModuleState& s, int newPods, const SearchControl& control = {}) {
    return newPods == 1 ? PlainOnePodSearch(s, control) : PlainTwoPodSearch(s, control);
}

SearchOutcome RunFast(ModuleState& s, int newPods, int threads, const SearchControl& control = {},
                      FastSearchStats* stats = nullptr, bool wide = true) {
    FastSearchOptions options;
    options.threads = threads;
    options.stats = stats;
    options.wideVectors = wide;
    return newPods == 1 ? OnePodSearch(s, control, options) : TwoPodSearch(s, control, options);
}

// Runs both searches on copies of one state and names the first difference.
// wide = false keeps the portable build of the kernel even where wider vectors exist.
::testing::AssertionResult MatchesReference(const ModuleState& start, int newPods, int threads,
                                            bool wide = true) {
    ModuleState plain = start;
    ModuleState fast = start;
    const SearchOutcome p = RunPlain(plain, newPods);
    const SearchOutcome f = RunFast(fast, newPods, threads, {}, nullptr, wide);
    if (p.status != f.status || p.message != f.message)
        return ::testing::AssertionFailure()
               << "outcome differs: \"" << p.message << "\" vs \"" << f.message << "\"";
    if (auto d = FirstDifference(plain, fast))
        return ::testing::AssertionFailure() << *d;
    return ::testing::AssertionSuccess();
}

// --- Random problems -----------------------------------------------------------------------

void CompareAllSettings(const Problem& p, int seed) {
    for (int newPods : {1, 2})
        for (int measure : {1, 2, 3})
            for (int method : {1, 2, 3}) {
                ModuleState start = MakeState(p, measure, method, newPods);
                FillWithLeftovers(start.fl);
                const int threads = 1 + (seed + measure + method) % 3;
                const bool wide = (seed + method) % 2 == 0;
                EXPECT_TRUE(MatchesReference(start, newPods, threads, wide))
                    << "seed " << seed << ", " << newPods << " new, measure " << measure
                    << ", method " << method << ", " << threads << " threads, wide " << wide << "\n"
                    << Describe(p);
            }
}

// --- Equal to the reference --------------------------------------------------------------

TEST(FastSearchMatchesReference, RandomMaps) {
    std::mt19937 rng(20240611);
    for (int seed = 0; seed < 150; ++seed)
        CompareAllSettings(RandomProblem(rng, Shape::Plain), seed);
}

TEST(FastSearchMatchesReference, SymmetricMapsWithTies) {
    std::mt19937 rng(77);
    for (int seed = 0; seed < 64; ++seed)
        CompareAllSettings(RandomProblem(rng, Shape::Mirrored), seed);
}

TEST(FastSearchMatchesReference, NegativeHugeAndFarInputs) {
    std::mt19937 rng(4242);
    for (int seed = 0; seed < 48; ++seed)
        CompareAllSettings(RandomProblem(rng, Shape::Odd), seed);
}

TEST(FastSearchMatchesReference, HandMadeEdges) {
    const std::vector<Problem> problems = {
        testing::kWorkedExample,
        {{{"A", 100}}, {}, {"A"}},                                    // a single cell
        {{{"a", 60}}, {}, {"aaaa"}},                                  // ties everywhere
        {{{"a", 300}}, {{1, 1}}, {"aaa"}},                            // an existing POD keeps ties
        {{{"a", 10}, {"b", 10}}, {{1, 2}, {1, 2}}, {"ab", "", "ba"}}, // two PODs on one cell
        {{{"a", 5}}, {{2, 9}}, {"*a@", "aAa"}},                       // a POD beyond its line
        {{{"a", 0}, {"b", 40}}, {{1, 1}}, {"ab", "ba"}},              // a population of 0
    };
    for (std::size_t i = 0; i < problems.size(); ++i)
        CompareAllSettings(problems[i], static_cast<int>(i));
}

TEST(FastSearchMatchesReference, OtherMeasureAndMethodValues) {
    std::mt19937 rng(5);
    for (int seed = 0; seed < 10; ++seed) {
        const Problem p = RandomProblem(rng, Shape::Plain);
        for (int newPods : {1, 2})
            for (auto [measure, method] :
                 {std::pair{4, 1}, std::pair{0, 7}, std::pair{1, 0}, std::pair{3, 9}}) {
                ModuleState start = MakeState(p, measure, method, newPods);
                FillWithLeftovers(start.fl);
                EXPECT_TRUE(MatchesReference(start, newPods, 2))
                    << "measure " << measure << " method " << method;
            }
    }
}

ModuleState LoadExample(const std::string& name) {
    std::string failure;
    ModuleState s = testing::LoadExampleFile(name, &failure);
    EXPECT_EQ(failure, "");
    return s;
}

TEST(FastSearchMatchesReference, ShippedSmallTown) {
    const ModuleState loaded = LoadExample("small-town.fl");
    for (int newPods : {1, 2})
        for (int measure : {1, 2, 3})
            for (int method : {1, 2, 3}) {
                ModuleState start = loaded;
                start.fl.PerformanceMeasure = static_cast<Measure>(measure);
                start.fl.NewPodCount = newPods;
                start.DistanceMethod = static_cast<Metric>(method);
                EXPECT_TRUE(MatchesReference(start, newPods, 2))
                    << newPods << " new, measure " << measure << ", method " << method;
            }
}

// Larger maps, where the bounds discard most pairs; minutes of reference time, so it runs as
// the ctest test popmap_slow_LargerMapsWithManyPods, labelled "slow" (ctest -L slow).
TEST(FastSearchMatchesReference, DISABLED_LargerMapsWithManyPods) {
    std::mt19937 rng(31337);
    for (int seed = 0; seed < 60; ++seed) {
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        Problem p;
        const int areas = pick(2, 8);
        for (int a = 0; a < areas; ++a)
            p.areas.push_back({std::string(1, static_cast<char>('a' + a)),
                               seed % 3 == 0 ? 500.0 : pick(10, 5000) * 1.0});
        const int lines = pick(8, 14), width = pick(10, 18);
        for (int i = 0; i < lines; ++i) {
            std::string line;
            const int cells = pick(width - 3, width);
            for (int j = 0; j < cells; ++j)
                line += pick(0, 9) == 0
                            ? ' '
                            : static_cast<char>(
                                  'a' + (i * areas / lines + j * 2 / width + pick(0, 1)) % areas);
            p.lines.push_back(line);
        }
        for (int a = 0; a < areas; ++a)
            p.lines[static_cast<std::size_t>(a % lines)][0] = static_cast<char>('a' + a);
        const int pods = seed % 4 == 0 ? pick(0, 2) : pick(0, 12);
        for (int k = 0; k < pods; ++k)
            p.pods.push_back({pick(1, lines), pick(1, width + 1)});
        CompareAllSettings(p, seed);
    }
}

// Maps of more than 64 area cells without (or with one) existing POD, where the travel
// search bounds a pair's total by its running sum plus a bound on the cells still to come:
// equal populations on a map symmetric both ways make many pairs tie exactly, and the pair
// kept must still be the reference's.
TEST(FastSearchMatchesReference, TravelBoundOnTheCellsStillToComeKeepsTies) {
    std::vector<std::string> lines;
    for (int i = 0; i < 10; ++i) {
        std::string half;
        for (int j = 0; j < 7; ++j)
            half += (i + j) % 4 == 0 ? 'b' : 'a';
        lines.push_back(half + std::string(half.rbegin(), half.rend()));
    }
    for (int i = 4; i >= 0; --i)
        lines[static_cast<std::size_t>(9 - i)] = lines[static_cast<std::size_t>(i)];
    const std::vector<Problem> problems = {
        {{{"a", 100}, {"b", 100}}, {}, lines},
        {{{"a", 35}, {"b", 910}}, {}, lines},
        {{{"a", 100}, {"b", 100}}, {{5, 7}}, lines},
    };
    for (std::size_t i = 0; i < problems.size(); ++i)
        for (int method : {1, 2, 3}) {
            ModuleState start = MakeState(problems[i], 1, method, 2);
            EXPECT_TRUE(MatchesReference(start, 2, 2)) << "map " << i << ", method " << method;
            FastSearchStats stats;
            ASSERT_EQ(RunFast(start, 2, 1, {}, &stats).status, SearchStatus::Done);
            EXPECT_GT(stats.pairsCutShort, 0) << "map " << i << ", method " << method;
        }
}

TEST(FastSearchMatchesReference, ShippedFullRegionOneNewPod) {
    ModuleState start = LoadExample("full-region.fl");
    start.fl.PerformanceMeasure = Measure::MaximumServed;
    start.DistanceMethod = Metric::Euclidean;
    EXPECT_TRUE(MatchesReference(start, 1, 2));
}

TEST(FastSearchKernels, PortableAndWideBuildsAgreeOnTheFullRegion) {
    const ModuleState loaded = LoadExample("full-region.fl");
    for (int measure : {1, 2, 3})
        for (int method : {1, 2, 3}) {
            ModuleState wide = loaded;
            wide.fl.PerformanceMeasure = static_cast<Measure>(measure);
            wide.DistanceMethod = static_cast<Metric>(method);
            FillWithLeftovers(wide.fl);
            ModuleState portable = wide;
            ASSERT_EQ(RunFast(wide, 1, 2, {}, nullptr, true).status, SearchStatus::Done);
            ASSERT_EQ(RunFast(portable, 1, 2, {}, nullptr, false).status, SearchStatus::Done);
            const auto d = FirstDifference(wide, portable);
            EXPECT_FALSE(d) << measure << "/" << method << ": " << *d;
        }
}

// --- The bounds do cut work --------------------------------------------------------------

TEST(FastSearchBounds, ExistingPodsLetMostPairsGoUnevaluated) {
    const ModuleState loaded = LoadExample("mid-county.fl");
    for (int measure : {1, 2, 3}) {
        ModuleState s = loaded;
        s.fl.PerformanceMeasure = static_cast<Measure>(measure);
        s.fl.NewPodCount = 2;
        FastSearchStats stats;
        ASSERT_EQ(RunFast(s, 2, 2, {}, &stats).status, SearchStatus::Done);
        const std::int64_t c = s.fl.ProgressTotal;
        EXPECT_TRUE(stats.bounded) << measure;
        // Far fewer than the c (c + 1) / 2 unordered pairs are carried to the end.
        EXPECT_LT(stats.pairsEvaluated * 20, c * (c + 1) / 2) << measure;
    }
}

TEST(FastSearchBounds, NegativePopulationSwitchesTheTravelBoundOff) {
    Problem p{{{"a", -10}, {"b", 50}}, {{1, 1}}, {"aabb", "bbaa"}};
    ModuleState s = MakeState(p, 1, 1, 2);
    FastSearchStats stats;
    ASSERT_EQ(RunFast(s, 2, 1, {}, &stats).status, SearchStatus::Done);
    EXPECT_FALSE(stats.bounded);
    EXPECT_EQ(stats.rowsSkipped, 0);
    EXPECT_EQ(stats.pairsCutShort, 0);
    EXPECT_GE(stats.pairsEvaluated, 8 * 9 / 2); // every unordered pair at least
}

// --- Threads, progress and cancel --------------------------------------------------------

Problem MediumProblem() {
    std::mt19937 rng(99);
    Problem p;
    p.areas = {{"a", 900}, {"b", 400}, {"c", 1300}, {"d", 250}};
    for (int i = 0; i < 12; ++i) {
        std::string line;
        for (int j = 0; j < 16; ++j)
            line += "abcd"[std::uniform_int_distribution<int>(0, 3)(rng)];
        p.lines.push_back(line);
    }
    p.pods = {{2, 3}, {10, 14}, {6, 8}};
    return p;
}

TEST(FastSearchThreads, ResultsDoNotDependOnTheThreadCount) {
    const Problem p = MediumProblem();
    for (int newPods : {1, 2})
        for (int measure : {1, 2, 3}) {
            ModuleState one = MakeState(p, measure, 2, newPods);
            FillWithLeftovers(one.fl);
            ModuleState start = one;
            ASSERT_EQ(RunFast(one, newPods, 1).status, SearchStatus::Done);
            for (int threads : {2, 3, 7}) {
                ModuleState other = start;
                ASSERT_EQ(RunFast(other, newPods, threads).status, SearchStatus::Done);
                const auto d = FirstDifference(one, other);
                EXPECT_FALSE(d) << threads << " threads, " << newPods << " new, measure " << measure
                                << ": " << *d;
            }
        }
}

struct Recorder {
    std::vector<std::pair<int, int>> calls;
    std::atomic<int> inside{0};
    bool overlapped = false;
    SearchControl control() {
        SearchControl c;
        c.progress = [this](int done, int total) {
            if (inside.fetch_add(1) != 0)
                overlapped = true;
            calls.push_back({done, total});
            inside.fetch_sub(1);
        };
        return c;
    }
};

TEST(FastSearchProgress, SameStepsAsTheReferenceOneAtATime) {
    const Problem p = MediumProblem();
    for (int newPods : {1, 2}) {
        Recorder plain, fast;
        ModuleState a = MakeState(p, 1, 1, newPods);
        ModuleState b = a;
        ASSERT_EQ(RunPlain(a, newPods, plain.control()).status, SearchStatus::Done);
        ASSERT_EQ(RunFast(b, newPods, 2, fast.control()).status, SearchStatus::Done);
        EXPECT_EQ(fast.calls, plain.calls) << newPods;
        EXPECT_EQ(static_cast<int>(fast.calls.size()), 12 * 16);
        EXPECT_FALSE(fast.overlapped);
    }
}

TEST(FastSearchCancel, FlagSetFromProgressStopsAtOnce) {
    const Problem p = MediumProblem();
    for (int newPods : {1, 2})
        for (int measure : {1, 2, 3}) {
            std::atomic<bool> cancel{false};
            std::vector<int> seen;
            SearchControl control;
            control.cancel = &cancel;
            control.progress = [&](int done, int) {
                seen.push_back(done);
                if (done == 3)
                    cancel = true;
            };
            ModuleState s = MakeState(p, measure, 1, newPods);
            EXPECT_EQ(RunFast(s, newPods, 2, control).status, SearchStatus::Cancelled);
            EXPECT_EQ(seen, (std::vector<int>{1, 2, 3})) << newPods << " new, measure " << measure;
        }
}

TEST(FastSearchCancel, HeavyTwoPodSearchWithoutExistingPodsStops) {
    // Maximum served with no existing POD allows no pruning at all; cancel must still end it
    // after the first row instead of running every pair.
    Problem p = MediumProblem();
    p.pods.clear();
    for (auto& line : p.lines)
        line += line;
    std::atomic<bool> cancel{false};
    int calls = 0;
    SearchControl control;
    control.cancel = &cancel;
    control.progress = [&](int, int) {
        ++calls;
        cancel = true;
    };
    ModuleState s = MakeState(p, 2, 1, 2);
    EXPECT_EQ(RunFast(s, 2, 2, control).status, SearchStatus::Cancelled);
    EXPECT_EQ(calls, 1);
}

TEST(FastSearchCancel, FlagSetBeforehandOrAtTheLastStep) {
    const Problem p = MediumProblem();
    for (int newPods : {1, 2}) {
        std::atomic<bool> cancel{true};
        SearchControl control;
        control.cancel = &cancel;
        int calls = 0;
        control.progress = [&](int, int) { ++calls; };
        ModuleState s = MakeState(p, 1, 1, newPods);
        ModuleState r = s;
        EXPECT_EQ(RunFast(s, newPods, 2, control).status, SearchStatus::Cancelled);
        EXPECT_EQ(RunPlain(r, newPods, control).status, SearchStatus::Cancelled);
        EXPECT_EQ(calls, 0);

        // Set by the very last progress call: the reference has nothing left to stop.
        cancel = false;
        control.progress = [&](int done, int total) {
            if (done == total)
                cancel = true;
        };
        ModuleState t = MakeState(p, 1, 1, newPods);
        ModuleState u = t;
        EXPECT_EQ(RunFast(t, newPods, 2, control).status, SearchStatus::Done);
        cancel = false;
        EXPECT_EQ(RunPlain(u, newPods, control).status, SearchStatus::Done);
        EXPECT_FALSE(FirstDifference(t, u));
    }
}

TEST(FastSearchProgress, ExceptionFromTheCallbackReachesTheCaller) {
    const Problem p = MediumProblem();
    for (int newPods : {1, 2}) {
        SearchControl control;
        control.progress = [](int done, int) {
            if (done == 5)
                throw std::runtime_error("stop");
        };
        ModuleState s = MakeState(p, 1, 1, newPods);
        EXPECT_THROW(RunFast(s, newPods, 2, control), std::runtime_error);
    }
}

TEST(FastSearchFailure, RefusesWhatTheReferenceRefuses) {
    Problem missing{{{"a", 10}, {"z", 5}}, {}, {"aa"}};
    for (int newPods : {1, 2}) {
        ModuleState s = MakeState(missing, 1, 1, newPods);
        const SearchOutcome o = RunFast(s, newPods, 2);
        EXPECT_EQ(o.status, SearchStatus::Failed);
        EXPECT_EQ(o.message, "Population symbol = z missing from map");
    }
    // Thirty existing PODs leave no slot for two new ones.
    Problem full{{{"a", 10}}, std::vector<std::pair<int, int>>(30, {1, 1}), {"aa"}};
    ModuleState s = MakeState(full, 1, 1, 2);
    EXPECT_EQ(RunFast(s, 2, 2).status, SearchStatus::Failed);
    ModuleState one = MakeState(full, 1, 1, 1);
    EXPECT_TRUE(MatchesReference(one, 1, 2));
}

} // namespace
} // namespace davrenta
