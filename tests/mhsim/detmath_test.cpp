// The logarithm, exponential and power that give the same bits on every machine.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "mhsim/detmath.h"

using namespace davrenta;

namespace {

double UlpsApart(double a, double b) {
    if (a == b)
        return 0;
    return std::fabs(a - b) / (std::nextafter(std::fabs(b), INFINITY) - std::fabs(b));
}

} // namespace

TEST(DetMath, ExactValuesWhereTheGeneratorsNeedThem) {
    EXPECT_EQ(DetLog(1.0), 0.0);
    EXPECT_EQ(DetExp(0.0), 1.0);
    EXPECT_EQ(DetPow(1.0, 12345.0), 1.0);
    EXPECT_EQ(DetPow(0.7, 0.0), 1.0);
    EXPECT_EQ(DetPow(0.0, 2.0), 0.0);
    EXPECT_EQ(DetLog(0.0), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(DetLog(-1.0)));
    EXPECT_EQ(DetExp(-800.0), 0.0);
    EXPECT_EQ(DetExp(710.0), std::numeric_limits<double>::infinity());
}

TEST(DetMath, WithinAFewUnitsInTheLastPlaceOfTheLibrary) {
    std::mt19937_64 gen(1);
    std::uniform_real_distribution<double> unit(0, 1), wide(-700, 700);
    double worstLog = 0, worstExp = 0;
    for (int i = 0; i < 200000; ++i) {
        const double u = std::ldexp(unit(gen), -static_cast<int>(gen() % 60));
        if (u > 0 && std::fabs(std::log(u)) > 1e-3)
            worstLog = std::max(worstLog, UlpsApart(DetLog(u), std::log(u)));
        const double x = wide(gen);
        worstExp = std::max(worstExp, UlpsApart(DetExp(x), std::exp(x)));
    }
    EXPECT_LE(worstLog, 4);
    EXPECT_LE(worstExp, 4);
    // Subnormals and the largest values.
    EXPECT_NEAR(DetLog(4.9406564584124654e-324), -744.44007192138126, 1e-12);
    EXPECT_NEAR(DetLog(1.7976931348623157e308), 709.78271289338397, 1e-12);
    EXPECT_NEAR(DetLog(2.0), 0.69314718055994531, 2e-16);
    EXPECT_NEAR(DetPow(2.0, 0.5), 1.4142135623730951, 4e-16);
}

TEST(DetMath, LogOfEveryUniformDrawWithinTwoUnitsInTheLastPlace) {
    double worst = 0;
    float worstAt = 0;
    for (std::uint32_t k = 1; k < (1u << 24); ++k) {
        const float u = static_cast<float>(k) * 0x1p-24f;
        const double ulps = UlpsApart(DetLogUniform(u), std::log(static_cast<double>(u)));
        if (ulps > worst) {
            worst = ulps;
            worstAt = u;
        }
    }
    EXPECT_LE(worst, 2) << "at " << worstAt;
    EXPECT_EQ(DetLogUniform(1.0f), 0.0);
    EXPECT_EQ(DetLogUniform(0.5f), -0.69314718055994531);
    // Smaller values than a draw can take, down to the smallest normal.
    EXPECT_NEAR(DetLogUniform(0x1p-126f), -87.336544750553102, 2e-14);
}
