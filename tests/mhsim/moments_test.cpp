// The run's mean and standard deviation: the textbook sums for ordinary values, and values up
// to the largest number without a sum or square running out of range.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "mhsim/moments.h"

using namespace davrenta;

namespace {

Moments Of(std::initializer_list<double> values) {
    Moments m;
    for (const double v : values)
        m.add(v);
    return m;
}

} // namespace

TEST(SampleStd, UsesTheDivisorNMinusOneAndNeverGoesBelowZero) {
    EXPECT_DOUBLE_EQ(SampleStd(2, 1 + 3, 1 + 9), 1.4142135623730951);
    EXPECT_DOUBLE_EQ(SampleStd(4, 10, 30), 1.2909944487358056);
    // Five equal values whose rounded sums leave a negative difference.
    double s = 0, q = 0;
    for (int i = 0; i < 5; ++i) {
        s += 0.7;
        q += 0.7 * 0.7;
    }
    ASSERT_LT(5 * q - s * s, 0);
    EXPECT_EQ(SampleStd(5, s, q), 0);
}

TEST(Moments, OrdinaryValuesGiveTheTextbookSumsBitForBit) {
    const Moments m = Of({0.1, 0.7, 2.5, 0, 13.25});
    EXPECT_EQ(m.count(), 5);
    EXPECT_EQ(m.mean(), (0.1 + 0.7 + 2.5 + 0 + 13.25) / 5);
    EXPECT_EQ(m.sampleStd(), SampleStd(5, 0.1 + 0.7 + 2.5 + 0 + 13.25,
                                       0.1 * 0.1 + 0.7 * 0.7 + 2.5 * 2.5 + 0 + 13.25 * 13.25));
}

// A square of 1e161 passes the largest number: the old sums showed a deviation of 0 beside
// the mean.
TEST(Moments, ValuesWhoseSquaresOverflowKeepTheirDeviation) {
    const Moments big = Of({1e161, 3e161});
    EXPECT_DOUBLE_EQ(big.mean(), 2e161);
    EXPECT_DOUBLE_EQ(big.sampleStd(), 1.4142135623730951e161);

    // Sums beyond the largest number, a mean and deviation well within it.
    const Moments huge = Of({1e308, -1e308, 1e308, -1e308});
    EXPECT_EQ(huge.mean(), 0);
    EXPECT_DOUBLE_EQ(huge.sampleStd(), 1.1547005383792515e308);
    const Moments same = Of({1.5e308, 1.5e308, 1.5e308});
    EXPECT_DOUBLE_EQ(same.mean(), 1.5e308);
    EXPECT_EQ(same.sampleStd(), 0);
}

TEST(Moments, ATurnToLargeValuesMidwayKeepsTheValuesBefore) {
    const Moments m = Of({1, 2, 3, 1e200});
    EXPECT_DOUBLE_EQ(m.mean(), 2.5e199);
    EXPECT_DOUBLE_EQ(m.sampleStd(), 5e199);
}

TEST(Moments, TinyValuesKeepTheirDeviation) {
    const Moments m = Of({1e-200, 3e-200, 0});
    EXPECT_DOUBLE_EQ(m.mean(), 1.3333333333333333e-200);
    EXPECT_DOUBLE_EQ(m.sampleStd(), 1.5275252316519468e-200);
}

TEST(Moments, ADeviationBeyondTheLargestNumberIsInfinite) {
    const Moments m = Of({1.7e308, -1.7e308});
    EXPECT_EQ(m.mean(), 0);
    EXPECT_TRUE(std::isinf(m.sampleStd()));
}
