#include "state/figures.h"

#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace davrenta {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Figures, OneValueBeyondTheLargestNumberRefusesTheWholeResult) {
    EXPECT_TRUE(Figures().add({1.0, -2.5, 1.7e308}).finite());
    EXPECT_FALSE(Figures().add(1.0).add(kInf).add(3.0).finite());
    EXPECT_FALSE(Figures().add({0.0, -kInf}).finite());
    EXPECT_FALSE(Figures().addAll(std::vector<double>{1, kNaN, 2}).finite());
    // A sum of finite values that overflows is caught where it is added.
    EXPECT_FALSE(Figures().add(1.7e308 + 1.7e308).finite());
}

TEST(Figures, RefusalSaysWhatWentBeyondAndWhatToChange) {
    Figures figures;
    EXPECT_TRUE(RequireFinite(figures.add(2), "moves", "the activity", "Edit.").ok());
    const Status refused = RequireFinite(figures.add(kNaN), "moves", "the activity",
                                         "Make the moves smaller and compute again.");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(),
              "The moves are too large to compute with: the activity goes beyond the largest "
              "number. Make the moves smaller and compute again.");
}

} // namespace
} // namespace davrenta
