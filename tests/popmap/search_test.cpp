#include "app/modulestate.h"
#include "popmap/fastsearch.h"
#include "popmap/search.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

#include "popmap_fixtures.h"

namespace davrenta {
namespace {

using testing::kWorkedExample;
using testing::MakeState;
using testing::Problem;

TEST(PodDistance, FormulasUseTheExactScales) {
    EXPECT_EQ(PodDistance(Metric::Rectilinear, -2, 3), 0.6340000000000001);
    EXPECT_EQ(PodDistance(Metric::Euclidean, 3, -4), 0.6410935969107787);
    EXPECT_EQ(PodDistance(Metric::SquaredEuclidean, 1, 1), 0.037889000000000006);
    EXPECT_EQ(PodDistance(static_cast<Metric>(7), 1, 1), 0.267); // any other is rectilinear
}

TEST(SeveralPodSettings, CountIsAWholeNumberFrom3To31AndTheLimitSecondsAboveZero) {
    EXPECT_EQ(*ReadSeveralPodCount(" 12 "), 12);
    EXPECT_EQ(*ReadSeveralPodCount("31"), 31);
    for (const char* bad : {"", "2", "32", "3.0", "3e0", "-3", "x", "1000000000000000000000"})
        EXPECT_EQ(ReadSeveralPodCount(bad).message(),
                  "The number of new PODs must be a whole number from 3 to 31.")
            << bad;
    EXPECT_EQ(*ReadSearchTimeLimit("  "), 0.0);
    EXPECT_EQ(*ReadSearchTimeLimit("1.5"), 1.5);
    for (const char* bad : {"0", "-1", "abc", "1e999", "5 s"})
        EXPECT_EQ(ReadSearchTimeLimit(bad).message(),
                  "The time limit must be a number of seconds above 0, or empty for none.")
            << bad;
}

TEST(OnePodSearch, WorkedExample) {
    ModuleState s = MakeState(kWorkedExample);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    const PopMap& fl = s.fl;
    EXPECT_DOUBLE_EQ(fl.CandidateTravel(1, 1), 15);
    EXPECT_DOUBLE_EQ(fl.CandidateTravel(1, 2), 10);
    EXPECT_DOUBLE_EQ(fl.CandidateTravel(1, 3), 15);
    EXPECT_EQ(fl.NewPodLine, 1);
    EXPECT_EQ(fl.NewPodColumn, 2);
    EXPECT_DOUBLE_EQ(fl.BestTravel, 10);
    EXPECT_DOUBLE_EQ(fl.BestMaxDistance, 0.1);
    EXPECT_EQ(fl.AreaCellCount[1], 2);
    EXPECT_DOUBLE_EQ(fl.CellPopulation(1, 3), 50);
    // No existing POD: no prior figures, the service maps are the input map, no marks.
    EXPECT_EQ(fl.PriorAverageDistance, 0);
    EXPECT_EQ(fl.PriorMaxDistance, 0);
    EXPECT_EQ(fl.ServiceMap[1], "AAB");
    EXPECT_EQ(fl.MarkedServiceMap[1], "AAB");
    EXPECT_EQ(fl.BestServiceMap[1], "***");
    EXPECT_DOUBLE_EQ(fl.PodServed[1], 150);
    // The candidate slot keeps the last cell tried; "*" stays its label.
    EXPECT_EQ(fl.PodLine[1], 1);
    EXPECT_EQ(fl.PodColumn[1], 3);
    EXPECT_EQ(fl.PodSymbol[1], "*");
    EXPECT_EQ(fl.ProgressDone, 3);
    EXPECT_EQ(fl.ProgressTotal, 3);
}

TEST(OnePodSearch, ExistingPodKeepsCellsEquallyNearToTheNewOne) {
    // The POD at column 1; a candidate at column 3 is as near to column 2 as the POD is.
    Problem p{{{"A", 300}}, {{1, 1}}, {"AAA"}};
    ModuleState s = MakeState(p, 1, 1);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    // Best travel: candidate at column 3 or 2 gives the same travel (10 each): the first wins.
    EXPECT_EQ(s.fl.NewPodColumn, 2);
    EXPECT_EQ(s.fl.BestServiceMap[1], "xX*");
    EXPECT_EQ(s.fl.ServiceMap[1], "AAA");
    EXPECT_EQ(s.fl.MarkedServiceMap[1], "xAA");

    // Maximum served: a candidate at column 3 gets only its own cell, since column 2 is as
    // near to the POD; a candidate at column 2 takes columns 2 and 3.
    ModuleState m = MakeState(p, 2, 1);
    ASSERT_EQ(PlainOnePodSearch(m).status, SearchStatus::Done);
    EXPECT_EQ(m.fl.NewPodColumn, 2);
    EXPECT_DOUBLE_EQ(m.fl.BestServed, 200);
    // Candidate 3: column 2 is 0.1 from both, the existing POD keeps it.
    EXPECT_DOUBLE_EQ(m.fl.CandidateTravel(1, 3), 100 * 0.1);
}

TEST(OnePodSearch, FirstCandidateInCellOrderWinsTies) {
    // Columns 2 and 3 of a four-cell line tie under both measures.
    Problem p{{{"A", 60}}, {}, {"AAAA"}};
    for (int measure : {1, 3}) {
        ModuleState s = MakeState(p, measure, 1);
        ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
        EXPECT_EQ(s.fl.NewPodColumn, 2) << measure;
        EXPECT_EQ(s.fl.CandidateTravel(1, 2), s.fl.CandidateTravel(1, 3));
        EXPECT_EQ(s.fl.CandidateMaxDistance(1, 2), s.fl.CandidateMaxDistance(1, 3));
    }
    // A unique best cell is found wherever it lies in the order.
    Problem q{{{"A", 90}}, {}, {"AAA", "AAA", "AAA"}};
    ModuleState s = MakeState(q, 3, 2);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(s.fl.NewPodLine, 2);
    EXPECT_EQ(s.fl.NewPodColumn, 2);
}

TEST(OnePodSearch, MaximumServedWithoutExistingPodTakesTheFirstCell) {
    Problem p{{{"A", 10}, {"B", 20}}, {}, {"", "  AB", "BBA"}};
    ModuleState s = MakeState(p, 2, 1);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    // The first cell of the map is the leftmost cell of the topmost non-empty line, a blank.
    EXPECT_EQ(s.fl.NewPodLine, 2);
    EXPECT_EQ(s.fl.NewPodColumn, 1);
    EXPECT_DOUBLE_EQ(s.fl.BestServed, 30);
    EXPECT_EQ(s.fl.BestTravel, kBigValue);
    EXPECT_EQ(s.fl.BestMaxDistance, kBigValue);
}

TEST(OnePodSearch, NonAreaCellsKeepTheirCharacterAndCanWin) {
    Problem p{{{"A", 100}}, {{1, 1}}, {"A.~.A"}};
    ModuleState s = MakeState(p, 1, 1);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(s.fl.NewPodColumn, 5);
    EXPECT_EQ(s.fl.NumberedMap[1], "1.~.A");
    EXPECT_EQ(s.fl.BestServiceMap[1], "x.~.X");

    // The best cell for two far areas is the blank between them.
    Problem q{{{"A", 100}, {"B", 100}}, {}, {"A B"}};
    ModuleState t = MakeState(q, 3, 1);
    ASSERT_EQ(PlainOnePodSearch(t).status, SearchStatus::Done);
    EXPECT_EQ(t.fl.NewPodColumn, 2);
    EXPECT_EQ(t.fl.BestServiceMap[1], "* *");
}

TEST(OnePodSearch, SharedSymbolTakesTheLastAreasPopulation) {
    Problem p{{{"A", 100}, {"A", 40}}, {}, {"AA"}};
    ModuleState s = MakeState(p, 1, 1);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(s.fl.AreaCellCount[1], 2);
    EXPECT_EQ(s.fl.AreaCellCount[2], 2);
    EXPECT_DOUBLE_EQ(s.fl.CellPopulation(1, 1), 20);
    EXPECT_DOUBLE_EQ(s.fl.PodServed[1], 40);
}

TEST(OnePodSearch, NumberedMapShowsTheFirstDigit) {
    Problem p{{{"A", 10}}, {}, {std::string(30, 'A')}};
    for (int k = 1; k <= 12; ++k)
        p.pods.push_back({1, k});
    ModuleState s = MakeState(p, 1, 1);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(s.fl.NumberedMap[1].substr(0, 13), "123456789111A");
}

TEST(OnePodSearch, PodBeyondTheEndOfItsLineIsMarkedNowhere) {
    Problem p{{{"A", 10}}, {{1, 9}}, {"AAA"}};
    ModuleState s = MakeState(p, 1, 1);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(s.fl.NumberedMap[1], "AAA");
    EXPECT_EQ(s.fl.MarkedServiceMap[1], "AAA"); // every cell labelled "A", none marked
    EXPECT_EQ(s.fl.ServiceMap[1], "AAA");
    EXPECT_EQ(s.fl.BestServiceMap[1].size(), 3u);
}

TEST(SearchFailure, MissingSymbolNamesItAndClearsTheFlag) {
    Problem p{{{"A", 10}, {"Q", 5}}, {}, {"AA"}};
    ModuleState s = MakeState(p, 1, 1);
    const SearchOutcome outcome = RunSearch(s);
    EXPECT_EQ(outcome.status, SearchStatus::Failed);
    EXPECT_EQ(outcome.message, "Population symbol = Q missing from map");
    EXPECT_FALSE(s.fl.SearchResultFlag);

    s.fl.NewPodCount = 2;
    EXPECT_EQ(RunSearch(s).message, "Population symbol = Q missing from map");
}

TEST(SearchFailure, ZeroPopulationIsReportedNotDivided) {
    Problem p{{{"A", 0}}, {{1, 1}}, {"AA"}};
    ModuleState s = MakeState(p, 1, 1);
    const SearchOutcome outcome = RunSearch(s);
    EXPECT_EQ(outcome.status, SearchStatus::Failed);
    EXPECT_NE(outcome.message.find("total population"), std::string::npos);
    EXPECT_FALSE(s.fl.SearchResultFlag);
}

// A full line of area cells, each holding an existing POD.
Problem ThirtyPods() {
    Problem p{{{"A", 10}}, {}, {std::string(60, 'A')}};
    for (int k = 1; k <= 30; ++k)
        p.pods.push_back({1, k});
    return p;
}

TEST(SearchFailure, TwoNewPodsWithThirtyExistingAreRefused) {
    ModuleState s = MakeState(ThirtyPods(), 1, 1, 2);
    const SearchOutcome outcome = RunSearch(s);
    EXPECT_EQ(outcome.status, SearchStatus::Failed);
    EXPECT_NE(outcome.message.find("31 PODs"), std::string::npos);
    EXPECT_EQ(s.fl.PodLine[31], 0); // nothing written past the slots

    s.fl.NewPodCount = 1;
    EXPECT_EQ(RunSearch(s).status, SearchStatus::Done);
    EXPECT_TRUE(s.fl.SearchResultFlag);
}

TEST(SearchFailure, PlainTwoPodSearchRefusesThirtyExistingPods) {
    const Problem p = ThirtyPods();
    ModuleState s = MakeState(p, 1, 1, 2);
    const SearchOutcome outcome = PlainTwoPodSearch(s);
    EXPECT_EQ(outcome.status, SearchStatus::Failed);
    EXPECT_EQ(outcome.message,
              "With 30 existing PODs only one new POD can be located at a time: a problem holds "
              "at most 31 PODs. Locate one new POD.");
    EXPECT_EQ(s.fl.PodLine[31], 0);
    EXPECT_EQ(s.fl.PodColumn[31], 0);

    // The fast search refuses with the same words.
    ModuleState t = MakeState(p, 1, 1, 2);
    EXPECT_EQ(TwoPodSearch(t).message, outcome.message);
    s.fl.ExistingPodCount = 31;
    EXPECT_EQ(PlainOnePodSearch(s).message, "A problem holds at most 30 existing PODs.");
}

TEST(SearchFailure, EmptyMapOrNoAreasDoNotCrash) {
    ModuleState none = MakeState(Problem{{}, {}, {}}, 1, 1);
    EXPECT_EQ(RunSearch(none).status, SearchStatus::Failed);
    ModuleState noMap = MakeState(Problem{{{"A", 5}}, {}, {}}, 1, 1, 2);
    EXPECT_EQ(RunSearch(noMap).message, "Population symbol = A missing from map");
}

TEST(SearchControl, ProgressPerCandidateAndCancel) {
    Problem p{{{"A", 10}}, {{1, 1}}, {"AAAA", "AA"}};
    ModuleState s = MakeState(p, 1, 1);
    std::vector<int> seen;
    SearchControl control;
    control.progress = [&](int done, int total) {
        EXPECT_EQ(total, 6);
        seen.push_back(done);
    };
    ASSERT_EQ(PlainOnePodSearch(s, control).status, SearchStatus::Done);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 5, 6}));

    std::atomic<bool> cancel{false};
    control.cancel = &cancel;
    control.progress = [&](int done, int) {
        if (done == 2)
            cancel = true;
    };
    ModuleState c = MakeState(p, 1, 1, 2);
    EXPECT_EQ(RunSearch(c, control).status, SearchStatus::Cancelled);
    EXPECT_FALSE(c.fl.SearchResultFlag);
}

TEST(SearchControl, ProgressText) {
    EXPECT_EQ(ProgressText(1, 8), "Calculating->12.500%");
    EXPECT_EQ(ProgressText(3, 3), "Calculating->100.000%");
    EXPECT_EQ(ProgressText(1, 3), "Calculating->33.333%");
}

TEST(TwoPodSearch, SingleCellGoesToTheFirstNewPod) {
    Problem p{{{"A", 10}}, {}, {"A"}};
    ModuleState s = MakeState(p, 1, 1, 2);
    ASSERT_EQ(PlainTwoPodSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(s.fl.NewPod1Column, 1);
    EXPECT_EQ(s.fl.NewPod2Column, 1);
    EXPECT_EQ(s.fl.BestServiceMap[1], "*");
    EXPECT_DOUBLE_EQ(s.fl.PodServed[1], 10);
    EXPECT_DOUBLE_EQ(s.fl.PodServed[2], 0);
    EXPECT_EQ(s.fl.KeptProgressDone, 0);
    EXPECT_EQ(s.fl.KeptProgressTotal, 1);

    // With blanks around it, the pair (blank, cell) comes first and wins with no travel.
    Problem q{{{"A", 10}}, {}, {" A "}};
    ModuleState t = MakeState(q, 1, 1, 2);
    ASSERT_EQ(PlainTwoPodSearch(t).status, SearchStatus::Done);
    EXPECT_EQ(t.fl.NewPod1Column, 1);
    EXPECT_EQ(t.fl.NewPod2Column, 2);
    EXPECT_EQ(t.fl.BestServiceMap[1], " @ ");
    // The last pair tried stays in the slots; progress counts first cells.
    EXPECT_EQ(t.fl.PodColumn[1], 3);
    EXPECT_EQ(t.fl.PodColumn[2], 3);
    EXPECT_EQ(t.fl.ProgressDone, 3);
    EXPECT_EQ(t.fl.KeptProgressDone, 2);
}

TEST(TwoPodSearch, NoExistingPodUnderMeasure1ShowsOnlyTheNewLabels) {
    Problem p{{{"A", 100}, {"B", 100}}, {}, {"AAAA....BBBB"}};
    ModuleState s = MakeState(p, 1, 1, 2);
    ASSERT_EQ(PlainTwoPodSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(s.fl.BestServiceMap[1], "****....@@@@");
    EXPECT_LT(s.fl.NewPod1Column, s.fl.NewPod2Column); // the earlier of the two orders wins
    EXPECT_EQ(s.fl.BestServiceMap[1].find('X'), std::string::npos);
}

TEST(TwoPodSearch, MaximumServedWithoutExistingPodTakesTheFirstCellTwice) {
    Problem p{{{"A", 64}, {"B", 32}}, {}, {"AB", "BA"}};
    ModuleState s = MakeState(p, 2, 2, 2);
    ASSERT_EQ(PlainTwoPodSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(s.fl.NewPod1Line, 1);
    EXPECT_EQ(s.fl.NewPod1Column, 1);
    EXPECT_EQ(s.fl.NewPod2Line, 1);
    EXPECT_EQ(s.fl.NewPod2Column, 1);
    EXPECT_DOUBLE_EQ(s.fl.BestServed, 96);
}

TEST(TwoPodSearch, MaximumServedPairIsOneSumInCellOrder) {
    // Every pair serves all four cells. Summed label by label, the pair (1, 2) would total
    // 0.4 + (0.4 + 0.6 + 0.7) = 2.1 and beat the first pair's 2.0999999999999996 by rounding.
    Problem p{{{"a", 0.4}, {"b", 0.4}, {"c", 0.6}, {"d", 0.7}}, {}, {"abcd"}};
    for (const bool plain : {true, false}) {
        ModuleState s = MakeState(p, 2, 1, 2);
        ASSERT_EQ((plain ? PlainTwoPodSearch(s) : TwoPodSearch(s)).status, SearchStatus::Done);
        EXPECT_EQ(s.fl.NewPod1Column, 1) << plain;
        EXPECT_EQ(s.fl.NewPod2Column, 1) << plain;
        EXPECT_EQ(s.fl.BestServed, 2.0999999999999996) << plain;
        EXPECT_EQ(s.fl.BestServiceMap[1], "****") << plain;
    }
}

TEST(TwoPodSearch, MarksExistingAndBothNewPods) {
    Problem p{{{"A", 100}}, {{1, 1}}, {"AAAAAAAAA"}};
    ModuleState s = MakeState(p, 1, 1, 2);
    ASSERT_EQ(PlainTwoPodSearch(s).status, SearchStatus::Done);
    const std::string& best = s.fl.BestServiceMap[1];
    EXPECT_EQ(best[0], 'x');
    EXPECT_EQ(best[s.fl.NewPod1Column - 1], 'X');
    EXPECT_EQ(best[s.fl.NewPod2Column - 1], 'X');
    EXPECT_DOUBLE_EQ(s.fl.PodServed[1] + s.fl.PodServed[2] + s.fl.PodServed[3], 100);
}

TEST(NearOptimal, WorkedExampleBounds) {
    ModuleState s = MakeState(kWorkedExample);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    ModuleState wide = s;
    ASSERT_TRUE(MarkNearOptimal(wide.fl, "0.6").ok());
    EXPECT_DOUBLE_EQ(wide.fl.NearTravelLimit, 16);
    EXPECT_EQ(wide.fl.NumberedMap[1], "%%%");
    EXPECT_EQ(wide.fl.NearOptimalMap[1], "%X%");
    EXPECT_EQ(wide.fl.maptype, MapType::NearOptimal);

    ModuleState narrow = s;
    ASSERT_TRUE(MarkNearOptimal(narrow.fl, "0.4").ok());
    EXPECT_DOUBLE_EQ(narrow.fl.NearTravelLimit, 14);
    EXPECT_EQ(narrow.fl.NumberedMap[1], "A%B");
    EXPECT_EQ(narrow.fl.NearOptimalMap[1], "AXB");

    ModuleState zero = s;
    ASSERT_TRUE(MarkNearOptimal(zero.fl, "abc").ok()); // not a number: taken as 0
    EXPECT_EQ(zero.fl.NearOptimalMap[1], "AXB");
    EXPECT_EQ(zero.fl.NumberedMap[1], "AAB");
}

TEST(NearOptimal, MeasuresOtherThanTravelUseTheMaximumDistance) {
    ModuleState s = MakeState(kWorkedExample, 2);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    ASSERT_TRUE(MarkNearOptimal(s.fl, "0").ok());
    // Under measure 2 the maximum stays 10^10, so every cell is marked.
    EXPECT_EQ(s.fl.NumberedMap[1], "%%%");
    EXPECT_EQ(s.fl.NearMaxDistanceLimit, kBigValue);
}

TEST(NearOptimal, BoundOutsideZeroToOneIsRefused) {
    ModuleState s = MakeState(kWorkedExample);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    const PopMap before = s.fl;
    EXPECT_FALSE(MarkNearOptimal(s.fl, "1.5").ok());
    EXPECT_FALSE(MarkNearOptimal(s.fl, "-0.1").ok());
    EXPECT_EQ(s.fl.NumberedMap[1], before.NumberedMap[1]);
    EXPECT_EQ(s.fl.maptype, before.maptype);
}

TEST(SearchState, MapsOfALongerEarlierProblemAreCleared) {
    Problem big{{{"A", 10}}, {{2, 1}}, {"AA", "AA", "AA"}};
    ModuleState s = MakeState(big, 1, 1);
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    ASSERT_TRUE(MarkNearOptimal(s.fl, "0.5").ok());
    // A shorter problem in the same state.
    Problem small{{{"A", 10}}, {}, {"A"}};
    ModuleState fresh = MakeState(small, 1, 1);
    s.fl.MapLine = fresh.fl.MapLine;
    s.fl.MapLineLength = fresh.fl.MapLineLength;
    s.fl.MapEndLine = fresh.fl.MapEndLine;
    s.fl.ExistingPodCount = 0;
    ASSERT_EQ(PlainOnePodSearch(s).status, SearchStatus::Done);
    for (int i = 2; i <= 3; ++i) {
        EXPECT_EQ(s.fl.NumberedMap[i], "");
        EXPECT_EQ(s.fl.MarkedServiceMap[i], "");
        EXPECT_EQ(s.fl.BestServiceMap[i], "");
    }
    EXPECT_EQ(s.fl.ServiceMap[1], "A");
    EXPECT_EQ(s.fl.NearOptimalMap[1], "");
}

} // namespace
} // namespace davrenta
