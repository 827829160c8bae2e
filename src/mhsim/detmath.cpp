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

FloatLogTable::FloatLogTable() {
    constexpr std::uint32_t width = 1u << (23 - kBits);
    constexpr std::uint32_t one = 0x3f800000;
    for (std::uint32_t i = 0; i < entry.size(); ++i) {
        const std::uint32_t from = kOffset + i * width;
        // The intervals on either side of 1 take c = 1, so that ln u keeps its relative
        // accuracy as u nears 1.
        const double c =
            from == one || from + width == one ? 1.0 : std::bit_cast<float>(from + width / 2);
        const double scaled = std::floor(0x1p28 / c + 0.5); // below 2^29
        entry[i].invc = scaled * 0x1p-28;
        // ln c = -ln(1/c), with f = (1/c - 1) / (1/c + 1).
        entry[i].logc = -TwiceAtanh((scaled - 0x1p28) / (scaled + 0x1p28));
    }
}

const FloatLogTable kFloatLogTable;

} // namespace detail

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
