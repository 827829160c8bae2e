#include "mhsim/random.h"

#include <cmath>

#include "mhsim/detmath.h"

namespace davrenta {

namespace {

std::uint64_t Mix(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Z = U1 + ... + U12 - 6, in the order drawn.
double TwelveUniformSum(UniformSource& source) {
    double sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += source.next();
    return sum - 6;
}

} // namespace

UniformSource::UniformSource(std::uint64_t seed, std::uint64_t stream) {
    std::uint64_t x = Mix(Mix(seed + 0x9E3779B97F4A7C15ull) ^ stream);
    for (std::uint64_t& word : s_) {
        x += 0x9E3779B97F4A7C15ull;
        word = Mix(x);
    }
}

ServiceDistribution PrepareService(int code, double a, double b) {
    ServiceDistribution d;
    d.code = code;
    d.a = a;
    d.b = b;
    switch (code) {
    case 3:
        d.inverseShape = 1 / a;
        break;
    case 4: {
        const double sigma2 = DetLog(1 + b / (a * a));
        d.mu = DetLog(a) - sigma2 / 2;
        d.sigma = std::sqrt(sigma2);
        break;
    }
    case 5:
        d.trials = static_cast<long long>(a);
        d.probabilityOfZero = DetPow(1 - b, a);
        break;
    case 6:
        d.poissonLimit = DetExp(-a);
        break;
    case 8:
        d.phases = static_cast<long long>(b);
        break;
    default:
        break;
    }
    return d;
}

double ExpectedDraws(const ServiceDistribution& d) {
    switch (d.code) {
    case 1:
    case 4:
        return 12;
    case 5: // one draw, then a step for every value up to the result
        return 2 + d.a * d.b;
    case 6: // a draw for every count and one more
        return 1 + d.a;
    case 8:
        return static_cast<double>(d.phases);
    default:
        return 1;
    }
}

double NormalVariate(double mean, double sd, UniformSource& source) {
    return mean + sd * TwelveUniformSum(source);
}

double WeibullVariate(const ServiceDistribution& d, UniformSource& source) {
    const float u = source.next();
    return d.b * DetPow(-DetLogUniform(1 - u), d.inverseShape); // 1 - u is exact
}

double LognormalVariate(const ServiceDistribution& d, UniformSource& source) {
    return DetExp(d.mu + d.sigma * TwelveUniformSum(source));
}

double BinomialVariate(const ServiceDistribution& d, UniformSource& source) {
    const double n = d.a, p = d.b;
    double P = d.probabilityOfZero;
    double F = P;
    const double u = source.next();
    if (u <= P)
        return 0;
    long long result = 0;
    for (long long k = 0; k <= d.trials; ++k) {
        P = P * (p * (n - k)) / ((k + 1) * (1 - p));
        F = F + P;
        result = k + 1;
        if (u <= F)
            break;
    }
    return static_cast<double>(result);
}

double PoissonVariate(const ServiceDistribution& d, UniformSource& source) {
    double product = 1;
    long long count = 0;
    for (;;) {
        product = product * source.next();
        if (product < d.poissonLimit)
            break;
        ++count;
    }
    return static_cast<double>(count);
}

double UniformVariate(double low, double high, UniformSource& source) {
    return low + (high - low) * source.next();
}

double ErlangVariate(const ServiceDistribution& d, UniformSource& source) {
    if (d.phases == 1) // the product is one draw: the same bits as the exponential
        return ExpoVariate(d.a, source);
    // A long product would underflow to 0 (and its logarithm to -infinity): fold it into a
    // sum of logarithms well before that.
    double product = 1, logs = 0;
    for (long long i = 0; i < d.phases; ++i) {
        product = product * source.nextNonZero();
        if (product < 0x1p-960) {
            logs += DetLog(product);
            product = 1;
        }
    }
    return -d.a * (logs + DetLog(product)) / static_cast<double>(d.phases);
}

double ServiceTime(const ServiceDistribution& d, UniformSource& source) {
    switch (d.code) {
    case 1:
        return NormalVariate(d.a, d.b, source);
    case 2:
        return ExpoVariate(d.a, source);
    case 3:
        return WeibullVariate(d, source);
    case 4:
        return LognormalVariate(d, source);
    case 5:
        return BinomialVariate(d, source);
    case 6:
        return PoissonVariate(d, source);
    case 7:
        return UniformVariate(d.a, d.b, source);
    case 8:
        return ErlangVariate(d, source);
    default:
        return 0; // refused before a run starts
    }
}

} // namespace davrenta
