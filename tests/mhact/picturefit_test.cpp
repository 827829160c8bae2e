#include "mhact/picturefit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace davrenta {
namespace {

TEST(MhLayoutPicture, LongNamesInASmallPictureKeepTheLayoutUnmirrored) {
    // Names 300 wide in a picture 260 wide once took the whole width and turned the scale
    // negative: East was drawn left of West.
    const auto fit = FitLayoutPicture({{0, 5}, {10, 5}}, 300, 260, 220);
    ASSERT_TRUE(fit);
    EXPECT_DOUBLE_EQ(fit->nameRoom, 130);
    EXPECT_DOUBLE_EQ(fit->scale, 12.2);
    EXPECT_DOUBLE_EQ(fit->x(0), 69);
    EXPECT_DOUBLE_EQ(fit->x(10), 191);
    EXPECT_DOUBLE_EQ(fit->y(5), 110);

    // However small the picture, the scale never turns negative.
    const auto tiny = FitLayoutPicture({{0, 1}, {10, 2}}, 300, 20, 10);
    ASSERT_TRUE(tiny);
    EXPECT_EQ(tiny->scale, 0);
    EXPECT_LE(tiny->x(0), tiny->x(10));
}

TEST(MhLayoutPicture, OneScaleForBothDirectionsYUpwardsAndTheLayoutCentred) {
    const auto fit = FitLayoutPicture({{0, 0}, {10, 0}, {0, 5}}, 40, 300, 200);
    ASSERT_TRUE(fit);
    EXPECT_DOUBLE_EQ(fit->nameRoom, 40);
    EXPECT_DOUBLE_EQ(fit->scale, 22.8);
    EXPECT_DOUBLE_EQ(fit->x(0), 36);
    EXPECT_DOUBLE_EQ(fit->x(10), 264);
    EXPECT_DOUBLE_EQ(fit->y(0), 157);
    EXPECT_DOUBLE_EQ(fit->y(5), 43);

    // A tall plan leaves room at the sides, shared equally.
    const auto tall = FitLayoutPicture({{4, 0}, {5, 10}}, 40, 300, 200);
    ASSERT_TRUE(tall);
    EXPECT_DOUBLE_EQ(tall->scale, 12.8);
    EXPECT_DOUBLE_EQ(tall->x(4), 143.6);
    EXPECT_DOUBLE_EQ(tall->x(5), 156.4);
}

TEST(MhLayoutPicture, DepartmentsInOnePlaceSitInTheMiddle) {
    const auto one = FitLayoutPicture({{3, 4}}, 40, 300, 200);
    ASSERT_TRUE(one);
    EXPECT_DOUBLE_EQ(one->x(3), 150);
    EXPECT_DOUBLE_EQ(one->y(4), 100);
    // A row: the width alone sets the scale.
    const auto row = FitLayoutPicture({{0, 7}, {2, 7}}, 40, 300, 200);
    ASSERT_TRUE(row);
    EXPECT_DOUBLE_EQ(row->scale, 114);
    EXPECT_DOUBLE_EQ(row->y(7), 100);
}

TEST(MhLayoutPicture, NothingToDrawWithoutFiniteLocations) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(FitLayoutPicture({}, 40, 300, 200));
    EXPECT_FALSE(FitLayoutPicture({{0, 0}, {inf, 0}}, 40, 300, 200));
    EXPECT_FALSE(FitLayoutPicture({{0, std::nan("")}}, 40, 300, 200));
    // Each location finite, the span between them beyond the largest number.
    EXPECT_FALSE(FitLayoutPicture({{-1.5e308, 0}, {1.5e308, 0}}, 40, 300, 200));
}

} // namespace
} // namespace davrenta
