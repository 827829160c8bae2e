#include "sfloc/picture.h"

#include <cmath>
#include <limits>
#include <utility>

#include <gtest/gtest.h>

#include "sfloc_fixtures.h"

namespace davrenta {
namespace {

using testing::Table;

TEST(PictureAxis, RoundTicksCoverTheValues) {
    const PictureAxis a = MakeAxis(-1.5, 8);
    EXPECT_EQ(a.low, -2.0);
    EXPECT_EQ(a.high, 8.0);
    EXPECT_EQ(a.tickTexts, (std::vector<std::string>{"-2", "0", "2", "4", "6", "8"}));
    EXPECT_EQ(MakeAxis(0.1, 0.3).tickTexts,
              (std::vector<std::string>{"0.1", "0.15", "0.2", "0.25", "0.3"}));
    EXPECT_EQ(MakeAxis(5, 5).tickTexts, (std::vector<std::string>{"4.5", "5", "5.5"}));
}

TEST(PictureAxis, WidthsNearTheSmallestDoublesStillHaveTicks) {
    // One facility at the smallest subnormal: a tenth of it rounds to 0, so padding alone
    // leaves no width at all.
    for (const auto& [low, high] : {std::pair{5e-324, 5e-324}, std::pair{0.0, 5e-324},
                                    std::pair{-5e-324, 1e-320}, std::pair{1e-310, 1e-310}}) {
        const PictureAxis a = MakeAxis(low, high);
        EXPECT_LT(a.low, a.high) << low << " " << high;
        EXPECT_LE(a.low, low);
        EXPECT_GE(a.high, high);
        EXPECT_FALSE(a.ticks.empty());
        for (double t : a.ticks)
            EXPECT_TRUE(std::isfinite(t));
    }
}

TEST(PictureAxis, NarrowRangesAtLargeValuesHaveDistinctTicks) {
    // A solved location one rounding step from its facility: the width divided into steps
    // rounds to nothing at these magnitudes.
    constexpr double kMax = std::numeric_limits<double>::max();
    for (const auto& [low, high] :
         {std::pair{700.99999999999989, 701.0}, std::pair{1e300, 1e300},
          std::pair{1e300, std::nextafter(1e300, kMax)}, std::pair{kMax, kMax},
          std::pair{-kMax, -kMax}, std::pair{-1e17, -1e17 + 16}}) {
        const PictureAxis a = MakeAxis(low, high);
        EXPECT_LT(a.low, a.high) << low << " " << high;
        EXPECT_LE(a.low, low);
        EXPECT_GE(a.high, high);
        ASSERT_GE(a.ticks.size(), 2u) << low;
        for (std::size_t i = 0; i < a.ticks.size(); ++i) {
            EXPECT_TRUE(std::isfinite(a.ticks[i])) << low;
            if (i > 0)
                EXPECT_LT(a.ticks[i - 1], a.ticks[i]) << low;
        }
    }
}

TEST(LocationPicture, DotsByWeightAndTheRangeAsASegment) {
    const SingleFacilityState sf = Table({{2, 1, 1}, {5, 1, 4}, {5, 7, 3}});
    auto s = SolveSingleFacility(sf);
    ASSERT_TRUE(s.ok());
    const LocationPicture p = MakeLocationPicture(sf, *s);
    ASSERT_EQ(p.facilities.size(), 3u);
    EXPECT_EQ(p.facilities[0].areaShare, 0.25);
    EXPECT_EQ(p.facilities[1].areaShare, 1.0);
    EXPECT_EQ(DescribePicture(p),
              (std::vector<std::string>{"Facility 1 at (2, 1), weight 1",
                                        "Facility 2 at (5, 1), weight 4",
                                        "Facility 3 at (5, 7), weight 3", "Rect. at (5.000, 1.000)",
                                        "Eucl. at (4.985, 1.044)", "Sq. Eucl. at (4.625, 3.250)"}));
    const SingleFacilityState range = Table({{2, 1, 1}, {5, 3, 1}});
    auto r = SolveSingleFacility(range);
    ASSERT_TRUE(r.ok());
    const LocationPicture q = MakeLocationPicture(range, *r);
    EXPECT_FALSE(q.locations[0].isPoint());
    EXPECT_EQ(DescribePicture(q)[2], "Rect. anywhere from (2.000, 1.000) to (5.000, 3.000)");
}

} // namespace
} // namespace davrenta
