#include "mhsim/detmath.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace davrenta {

namespace {

using detail::kLn2Hi;
using detail::kLn2Lo;
constexpr double kInvLn2 = 1.44269504088896338700e+00;

} // namespace

namespace detail {
const LogTable kLogTable;
}

double DetExp(double x) {
    if (x != x)
        return x;
    if (x > 709.782712893384)
        return std::numeric_limits<double>::infinity();
    if (x < -745.2)
        return 0;
    const double kd = std::floor(x * kInvLn2 + 0.5);
    const double r = (x - kd * kLn2Hi) - kd * kLn2Lo; // |r| <= 0.35
    double p = 1.0 / 6227020800.0;                    // 1/13!
    constexpr double kInverseFactorials[] = {1.0 / 479001600.0,
                                             1.0 / 39916800.0,
                                             1.0 / 3628800.0,
                                             1.0 / 362880.0,
                                             1.0 / 40320.0,
                                             1.0 / 5040.0,
                                             1.0 / 720.0,
                                             1.0 / 120.0,
                                             1.0 / 24.0,
                                             1.0 / 6.0,
                                             0.5,
                                             1.0,
                                             1.0};
    for (double c : kInverseFactorials)
        p = c + r * p;
    return std::ldexp(p, static_cast<int>(kd));
}

double DetPow(double x, double y) {
    if (y == 0 || x == 1)
        return 1;
    if (x == 0)
        return y > 0 ? 0 : std::numeric_limits<double>::infinity();
    return DetExp(y * DetLog(x));
}

} // namespace davrenta
