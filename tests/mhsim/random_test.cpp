// The uniform source and the eight service-time generators.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "mhsim/random.h"

using namespace davrenta;

namespace {

struct Moments {
    double mean = 0, variance = 0, meanError = 0, varianceError = 0;
};

// Sample mean and variance of n draws with their standard errors (the variance's from the
// sample's fourth central moment).
Moments Sample(const std::function<double()>& draw, int n) {
    std::vector<double> x(static_cast<std::size_t>(n));
    double sum = 0;
    for (double& v : x) {
        v = draw();
        sum += v;
    }
    Moments m;
    m.mean = sum / n;
    double m2 = 0, m4 = 0;
    for (double v : x) {
        const double d = v - m.mean;
        m2 += d * d;
        m4 += d * d * d * d;
    }
    m.variance = m2 / (n - 1);
    m4 /= n;
    m.meanError = std::sqrt(m.variance / n);
    m.varianceError = std::sqrt(std::max(m4 - m.variance * m.variance, 0.0) / n);
    return m;
}

void ExpectMoments(const char* what, const std::function<double()>& draw, double mean,
                   double variance) {
    const Moments m = Sample(draw, 200000);
    EXPECT_NEAR(m.mean, mean, 5 * m.meanError + 1e-12) << what;
    EXPECT_NEAR(m.variance, variance, 5 * m.varianceError + 1e-12) << what;
}

} // namespace

TEST(UniformSource, DrawsSinglePrecisionValuesOnTheHalfOpenUnitInterval) {
    UniformSource u(1, 1);
    for (int i = 0; i < 100000; ++i) {
        const float x = u.next();
        ASSERT_GE(x, 0.0f);
        ASSERT_LT(x, 1.0f);
        ASSERT_EQ(x * 16777216.0f, std::floor(x * 16777216.0f)); // 24 bits
    }
    ExpectMoments(
        "uniform", [&u] { return double(u.next()); }, 0.5, 1.0 / 12);
}

TEST(UniformSource, SameSeedAndStreamRepeatsOtherStreamsDiffer) {
    UniformSource a(42, 7), b(42, 7), c(42, 8), d(43, 7);
    std::set<float> firsts;
    for (int i = 0; i < 5; ++i) {
        const float x = a.next();
        EXPECT_EQ(x, b.next());
        EXPECT_NE(x, c.next());
        EXPECT_NE(x, d.next());
    }
}

TEST(Generators, SampleMomentsMatchTheExactMoments) {
    UniformSource u(2026, 1);
    ExpectMoments(
        "normal", [&] { return NormalVariate(5, 2, u); }, 5, 4);
    ExpectMoments(
        "exponential", [&] { return ExpoVariate(1.5, u); }, 1.5, 2.25);
    const ServiceDistribution weibull = PrepareService(3, 2, 1);
    ExpectMoments(
        "weibull", [&] { return WeibullVariate(weibull, u); }, 0.886226925452758,
        0.2146018366025516);
    const ServiceDistribution weibullSkew = PrepareService(3, 0.5, 2);
    ExpectMoments(
        "weibull m 0.5", [&] { return WeibullVariate(weibullSkew, u); }, 4, 80);
    // exp(mu + sigma Z) with Z the twelve-uniform sum, not a true normal: its own moments.
    const ServiceDistribution lognormal = PrepareService(4, 2, 1);
    ExpectMoments(
        "lognormal", [&] { return LognormalVariate(lognormal, u); }, 1.9995865642877013,
        0.9853139346576136);
    const ServiceDistribution binomial = PrepareService(5, 10, 0.3);
    ExpectMoments(
        "binomial", [&] { return BinomialVariate(binomial, u); }, 3, 2.1);
    const ServiceDistribution poisson = PrepareService(6, 3, 3);
    ExpectMoments(
        "poisson", [&] { return PoissonVariate(poisson, u); }, 3, 3);
    ExpectMoments(
        "uniform", [&] { return UniformVariate(1, 4, u); }, 2.5, 0.75);
    const ServiceDistribution erlang = PrepareService(8, 2, 3);
    ExpectMoments(
        "erlang", [&] { return ErlangVariate(erlang, u); }, 2, 4.0 / 3);
}

TEST(Generators, NormalSumUsesExactlyTwelveDrawsAndStaysWithinSixDeviations) {
    UniformSource u(5, 5), v(5, 5);
    for (int i = 0; i < 1000; ++i) {
        const double x = NormalVariate(10, 1, u);
        EXPECT_GE(x, 4);
        EXPECT_LE(x, 16);
    }
    for (int i = 0; i < 12000; ++i)
        v.next();
    EXPECT_EQ(u.next(), v.next());
}

TEST(Generators, DegenerateParametersGiveTheirExactValues) {
    UniformSource u(9, 9);
    const ServiceDistribution binomialP0 = PrepareService(5, 12, 0);
    const ServiceDistribution binomialN0 = PrepareService(5, 0, 0.4);
    const ServiceDistribution poisson0 = PrepareService(6, 0, 0);
    for (int i = 0; i < 2000; ++i) {
        EXPECT_EQ(NormalVariate(1, 0, u), 1.0);
        EXPECT_EQ(UniformVariate(2.5, 2.5, u), 2.5);
        EXPECT_EQ(BinomialVariate(binomialP0, u), 0.0);
        EXPECT_EQ(BinomialVariate(binomialN0, u), 0.0);
        EXPECT_EQ(PoissonVariate(poisson0, u), 0.0);
    }
}

TEST(Generators, ErlangWithOnePhaseIsTheExponentialDrawForDraw) {
    UniformSource a(77, 3), b(77, 3);
    const ServiceDistribution erlang = PrepareService(8, 1.25, 1);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(ErlangVariate(erlang, a), ExpoVariate(1.25, b));
}

TEST(Generators, ErlangWithManyPhasesStaysFinite) {
    // 5000 uniforms multiply far below the smallest double.
    UniformSource u(3, 3);
    const ServiceDistribution erlang = PrepareService(8, 2, 5000);
    const Moments m = Sample([&] { return ErlangVariate(erlang, u); }, 2000);
    EXPECT_TRUE(std::isfinite(m.mean));
    EXPECT_NEAR(m.mean, 2, 5 * m.meanError);
}

TEST(Generators, ServiceTimeDispatchesOnTheCode) {
    UniformSource a(11, 1), b(11, 1);
    EXPECT_EQ(ServiceTime(PrepareService(7, 3, 3), a), 3.0);
    EXPECT_EQ(ServiceTime(PrepareService(1, -2, 0), a), -2.0);
    for (int i = 0; i < 13; ++i) // the uniform's draw and the normal's twelve
        b.next();
    EXPECT_EQ(ServiceTime(PrepareService(2, 0.5, 99), a), ExpoVariate(0.5, b));
}
