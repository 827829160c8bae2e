#include "popmap/resultcheck.h"

#include <gtest/gtest.h>

#include "popmap/search.h"
#include "popmap_fixtures.h"

namespace davrenta {
namespace {

using testing::MakeState;
using testing::Problem;

// A failed search leaves no location behind that a window could show as a result.
void ExpectNoLocation(ModuleState& s, const std::string& message) {
    const SearchOutcome outcome = RunSearch(s);
    EXPECT_EQ(outcome.status, SearchStatus::Failed);
    EXPECT_EQ(outcome.message, message);
    EXPECT_FALSE(s.fl.SearchResultFlag);
}

TEST(NoCellIsReportedAsALocation, TravelAboveTheStartingValue) {
    // Every candidate's total travel is at least 10^10: nothing beats the start.
    ModuleState s = MakeState(Problem{{{"A", 1e12}}, {}, {"A A A"}}, 1, 1, 1);
    ExpectNoLocation(s, "No location was found: the total travel of every location is "
                        "10000000000 or more. Make the populations smaller and search again.");
    ModuleState two = MakeState(Problem{{{"A", 1e12}}, {}, {"A A A"}}, 1, 1, 2);
    ExpectNoLocation(two, "No location was found: the total travel of every location is "
                          "10000000000 or more. Make the populations smaller and search again.");
}

TEST(NoCellIsReportedAsALocation, NobodyServedUnderMaximumServed) {
    const std::string nobody =
        "No location was found: no location serves more than 0 people (the populations are "
        "zero, negative or too small). Check the populations and search again.";
    ModuleState negative = MakeState(Problem{{{"A", -5}, {"B", -7}}, {}, {"AB"}}, 2, 1, 1);
    ExpectNoLocation(negative, nobody);
    ModuleState pair = MakeState(Problem{{{"A", -5}, {"B", -7}}, {}, {"AB"}}, 2, 2, 2);
    ExpectNoLocation(pair, nobody);
    // A subnormal population shared by cells rounds to nothing per cell.
    ModuleState tiny = MakeState(Problem{{{"A", 5e-324}}, {}, {"AAAA"}}, 2, 1, 1);
    ExpectNoLocation(tiny, nobody);
}

TEST(NoCellIsReportedAsALocation, AWinnerStillNamesItsCell) {
    ModuleState s = MakeState(testing::kWorkedExample, 1, 1, 1);
    ASSERT_EQ(RunSearch(s).status, SearchStatus::Done);
    EXPECT_EQ(s.fl.NewPodLine, 1);
    EXPECT_EQ(s.fl.NewPodColumn, 2);
    EXPECT_TRUE(s.fl.SearchResultFlag);

    // A location left over from an earlier search is no excuse for a result.
    PopMap fl = s.fl;
    fl.NewPodLine = 2;
    EXPECT_EQ(CheckSearchResult(fl, {}).status, SearchStatus::Failed);
    fl.NewPodLine = 1;
    fl.NewPodColumn = 4;
    EXPECT_EQ(CheckSearchResult(fl, {}).status, SearchStatus::Failed);
    fl.NewPodColumn = 3;
    EXPECT_EQ(CheckSearchResult(fl, {}).status, SearchStatus::Done);
    // A failure is handed on untouched.
    const SearchOutcome cancelled = CheckSearchResult(fl, {SearchStatus::Cancelled, "stop"});
    EXPECT_EQ(cancelled.status, SearchStatus::Cancelled);
    EXPECT_EQ(cancelled.message, "stop");
}

TEST(NonFiniteFiguresAreFailures, ProductsBeyondTheLargestNumber) {
    const std::string tooLarge =
        "The populations are too large to compute with: a total travel or a number served goes "
        "beyond the largest number. Make the populations smaller and search again.";
    // The sum is finite; the travel over twenty lines is not.
    std::vector<std::string> lines(20);
    lines.front() = "A";
    lines.back() = "BC";
    const Problem huge{{{"A", -1e308}, {"B", 1e308}, {"C", 1e308}}, {}, lines};
    for (int measure : {1, 2, 3}) {
        ModuleState s = MakeState(huge, measure);
        const SearchOutcome outcome = RunSearch(s);
        EXPECT_EQ(outcome.status, SearchStatus::Failed) << measure;
        EXPECT_FALSE(s.fl.SearchResultFlag);
        if (measure != 1) { // under measure 1 no finite travel beats the start either
            EXPECT_EQ(outcome.message, tooLarge) << measure;
        }
    }
    ModuleState pair = MakeState(huge, 3, 1, 2);
    EXPECT_EQ(RunSearch(pair).message, tooLarge);
}

} // namespace
} // namespace davrenta
