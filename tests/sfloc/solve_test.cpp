#include "sfloc/solve.h"

#include <gtest/gtest.h>

#include "sfloc_fixtures.h"

namespace davrenta {
namespace {

using testing::Table;

SfLabels Labels(const SingleFacilityState& sf) {
    auto solved = SolveSingleFacility(sf);
    EXPECT_TRUE(solved.ok()) << solved.message();
    return solved ? SolutionLabels(*solved) : SfLabels{};
}

TEST(WeightedMedian, OneFacilityGivesItsCoordinatesEverywhere) {
    EXPECT_EQ(Labels(Table({{3.5, -2, 4}})),
              (SfLabels{"3.500", "-2.000", "3.500", "-2.000", "3.500", "-2.000"}));
}

TEST(WeightedMedian, HalfReachedExactlyGivesTheRangeToTheNextCoordinate) {
    const SfLabels l = Labels(Table({{2, 1, 1}, {5, 3, 1}}));
    EXPECT_EQ(l[0], "2.000***5.000");
    EXPECT_EQ(l[1], "1.000***3.000");
}

TEST(WeightedMedian, CumulativeWeightPassingHalfGivesThatCoordinate) {
    EXPECT_EQ(Labels(Table({{1, 0, 1}, {2, 0, 2}, {3, 0, 1}}))[0], "2.000");
}

TEST(WeightedMedian, OrderOfTheTableDoesNotMatter) {
    const SfLabels ascending = Labels(Table({{1, 10, 1}, {4, 7, 3}, {9, 2, 1}, {12, 1, 2}}));
    const SfLabels descending = Labels(Table({{12, 1, 2}, {9, 2, 1}, {4, 7, 3}, {1, 10, 1}}));
    EXPECT_EQ(ascending[0], "4.000");
    EXPECT_EQ(ascending[1], "7.000");
    EXPECT_EQ(descending[0], ascending[0]);
    EXPECT_EQ(descending[1], ascending[1]);
}

TEST(WeightedMedian, EqualCoordinatesKeepTableOrderAndTheTableIsNotSorted) {
    // Sorted by x the pairs are (1,3) (1,1) (4,4): half is 4, reached exactly after both x = 1
    // facilities, so the range runs from 1 to 4.
    const SingleFacilityState sf = Table({{4, 0, 4}, {1, 0, 3}, {1, 0, 1}});
    const SingleFacilityState before = sf;
    EXPECT_EQ(Labels(sf)[0], "1.000***4.000");
    EXPECT_EQ(sf.FacilityX, before.FacilityX);
    EXPECT_EQ(sf.FacilityWeight, before.FacilityWeight);
}

TEST(WeightedMedian, NegativeCoordinatesShowTheirSign) {
    const SfLabels l = Labels(Table({{-1.5, -0.25, 1}}));
    EXPECT_EQ(l[0], "-1.500");
    EXPECT_EQ(l[1], "-0.250");
}

TEST(WeightedMedian, CumulativeWeightNeverAboveHalfShowsTheLastCoordinateReached) {
    // Total -2, half -1: the cumulative weight runs -3, -2 and never passes half.
    const SfLabels l = Labels(Table({{1, 5, -3}, {2, 6, 1}}));
    EXPECT_EQ(l[0], "2.000");
    EXPECT_EQ(l[1], "6.000");
}

TEST(Weiszfeld, SymmetricProblemStaysAtItsCentre) {
    const SfLabels l = Labels(Table({{0, 0, 1}, {4, 0, 1}, {0, 4, 1}, {4, 4, 1}}));
    EXPECT_EQ(l[2], "2.000");
    EXPECT_EQ(l[3], "2.000");
    EXPECT_EQ(l[4], "2.000");
    EXPECT_EQ(l[5], "2.000");
}

TEST(Weiszfeld, PointLandingExactlyOnAFacilityEndsTheIteration) {
    // From the centroid 3.667 the iterate closes in on facility 2 and reaches it exactly in
    // single precision; the step there would divide by zero.
    const SingleFacilityState sf = Table({{0, 0, 1}, {1, 0, 1}, {10, 0, 1}});
    auto s = SolveSingleFacility(sf);
    ASSERT_TRUE(s.ok());
    EXPECT_TRUE(s->euclOnFacility);
    EXPECT_EQ(s->euclIterations, 7);
    EXPECT_EQ(s->euclX, 1.0f);
    EXPECT_EQ(s->euclY, 0.0f);
    EXPECT_EQ(SolutionLabels(*s)[4], "3.667");
}

TEST(Weiszfeld, CentroidOnAFacilityStopsBeforeTheFirstStep) {
    auto s = SolveSingleFacility(Table({{1, 0, 2}, {2, 0, 2}, {3, 0, 2}}));
    ASSERT_TRUE(s.ok());
    EXPECT_TRUE(s->euclOnFacility);
    EXPECT_EQ(s->euclIterations, 0);
    EXPECT_EQ(SolutionLabels(*s)[2], "2.000");
}

TEST(Weiszfeld, FifteenStepsOnAnUnevenProblem) {
    const SingleFacilityState sf =
        Table({{3, 4, 2}, {8, 1, 3}, {1, 9, 1}, {6, 6, 4}, {-1.5, 2, 2.75}});
    auto s = SolveSingleFacility(sf);
    ASSERT_TRUE(s.ok());
    EXPECT_EQ(s->euclIterations, 15);
    EXPECT_FALSE(s->euclOnFacility);
    EXPECT_EQ(s->euclX, 4.330223560333252f);
    EXPECT_EQ(s->euclY, 4.369624137878418f);
    EXPECT_EQ(SolutionLabels(*s), (SfLabels{"6.000", "4.000", "4.330", "4.370", "3.990", "3.882"}));
}

TEST(SinglePrecision, StoresChangeTheThirdDecimal) {
    // 12345.6784 is 12345.6787109375 in single precision: the median keeps the double, the
    // stored points do not.
    const SfLabels l = Labels(Table({{12345.6784, -3.25, 1}}));
    EXPECT_EQ(l[0], "12345.678");
    EXPECT_EQ(l[2], "12345.679");
    EXPECT_EQ(l[4], "12345.679");
    EXPECT_EQ(l[5], "-3.250");
}

TEST(Objectives, EachAnswerWithItsOwnMeasure) {
    auto s = SolveSingleFacility(Table({{0, 0, 1}, {4, 0, 1}, {0, 4, 1}, {4, 4, 1}}));
    ASSERT_TRUE(s.ok());
    // Median range 0..4 on both axes: at (0, 0) the distances are 0, 4, 4, 8.
    EXPECT_EQ(ObjectiveTexts(*s), (std::array<std::string, 3>{"16.000", "11.314", "32.000"}));
}

TEST(Objectives, AnyPointOfARangeGivesTheSameRectilinearValue) {
    auto s = SolveSingleFacility(Table({{2, 0, 1}, {5, 0, 1}}));
    ASSERT_TRUE(s.ok());
    EXPECT_EQ(s->rectObjective, 3.0);
}

TEST(Refusals, ZeroTotalWeightOrNoFacilityGivesNoLocation) {
    auto zero = SolveSingleFacility(Table({{1, 1, 2}, {3, 3, -2}}));
    ASSERT_FALSE(zero.ok());
    EXPECT_EQ(zero.message(), "The weights of the existing facilities sum to zero, so no location "
                              "can be found. Give the facilities their demands as weights and "
                              "solve again.");
    auto empty = SolveSingleFacility(SingleFacilityState{});
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.message(), "There is no existing facility, so no location can be found. Add "
                               "at least one facility with a weight.");
}

const char* const kTooLarge =
    "The coordinates and weights are too large to compute with: a weight sum in single "
    "precision, a location or a weighted total distance goes beyond the largest number. Scale "
    "them down and solve again.";

TEST(Refusals, MagnitudesBeyondSinglePrecisionAreNoLocation) {
    // 1e39 exceeds every single-precision number.
    for (const auto& sf :
         {Table({{1e39, 0, 1}}), Table({{1e308, 1e308, 1e308}, {-1e308, 0, 1e308}})}) {
        auto s = SolveSingleFacility(sf);
        ASSERT_FALSE(s.ok());
        EXPECT_EQ(s.message(), kTooLarge);
    }
    // 1e-50 rounds to a single-precision zero; 1e10 + 1 - 1e10 cancels to one.
    for (const auto& sf :
         {Table({{1, 1, 1e-50}}), Table({{0, 0, 1e10}, {5, 5, 1}, {1, 1, -1e10}})}) {
        auto s = SolveSingleFacility(sf);
        ASSERT_FALSE(s.ok());
        EXPECT_EQ(s.message(), "The weights add up to zero in single precision (they are too "
                               "small, or large ones cancel out), so no Euclidean location can "
                               "be found. Change the weights and solve again.");
    }
}

TEST(Refusals, AWeightSumBeyondSinglePrecisionIsNoLocationNotTheOrigin) {
    // Each weight fits a single-precision number, their sum does not: divided by it, the
    // moments came out as a location at (0.000, 0.000).
    auto over = SolveSingleFacility(Table({{0, 0, 2e38}, {1, 1, 2e38}}));
    ASSERT_FALSE(over.ok());
    EXPECT_EQ(over.message(), kTooLarge);
    EXPECT_EQ(Labels(Table({{0, 0, 2}, {1, 1, 2}})),
              (SfLabels{"0.000***1.000", "0.000***1.000", "0.500", "0.500", "0.500", "0.500"}));
}

} // namespace
} // namespace davrenta
