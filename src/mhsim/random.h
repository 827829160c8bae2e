#pragma once

#include <cstdint>

#include "mhsim/detmath.h"

namespace davrenta {

// The uniform source: single-precision values on [0, 1) (0 included, 1 excluded), 24 random
// bits each. Every simulated cycle draws from its own stream, fixed by the run's seed and the
// cycle's number, so a cycle's draws do not depend on which thread runs it or on the cycles
// before it.
class UniformSource {
  public:
    UniformSource(std::uint64_t seed, std::uint64_t stream);

    float next() {
        const std::uint64_t result = s_[0] + s_[3];
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = (s_[3] << 45) | (s_[3] >> 19);
        return static_cast<float>(result >> 40) * 0x1p-24f;
    }

    // A draw that is not 0, for a logarithm: a 0 is drawn again.
    float nextNonZero() {
        float u = next();
        while (u == 0)
            u = next();
        return u;
    }

  private:
    std::uint64_t s_[4];
};

// The service-time distribution of a run with what its generator computes once from the two
// parameters (the draws themselves are as the generators' definitions give them).
struct ServiceDistribution {
    int code = 0; // DistCode 1..8
    double a = 0, b = 0;
    double sigma = 0, mu = 0;     // lognormal
    double probabilityOfZero = 0; // binomial: (1 - p)^n
    double poissonLimit = 0;      // Poisson: e^-lambda
    double inverseShape = 0;      // Weibull: 1 / m
    long long phases = 0;         // Erlang K
    long long trials = 0;         // binomial n
};

ServiceDistribution PrepareService(int code, double a, double b);

// The uniforms one service time draws on average, with a step of the binomial's search counted
// as one draw: the measure of a generator's cost beside the engine's events.
double ExpectedDraws(const ServiceDistribution& d);

// One exponential variate of the given mean: -mean ln(U).
inline double ExpoVariate(double mean, UniformSource& source) {
    return -mean * DetLogUniform(source.nextNonZero());
}

// The eight generators, each as its definition gives it.
double NormalVariate(double mean, double sd, UniformSource& source);
double WeibullVariate(const ServiceDistribution& d, UniformSource& source);
double LognormalVariate(const ServiceDistribution& d, UniformSource& source);
double BinomialVariate(const ServiceDistribution& d, UniformSource& source);
double PoissonVariate(const ServiceDistribution& d, UniformSource& source);
double UniformVariate(double low, double high, UniformSource& source);
double ErlangVariate(const ServiceDistribution& d, UniformSource& source);

// One service time drawn from the run's distribution.
double ServiceTime(const ServiceDistribution& d, UniformSource& source);

} // namespace davrenta
