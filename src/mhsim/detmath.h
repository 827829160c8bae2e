#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <limits>

namespace davrenta {

// Logarithm, exponential and power built from additions, multiplications and exact scaling
// only. The system's libm may pick a different code path on a different processor (FMA or
// not), so a seeded run could differ in its last bits between machines; these give the same
// bits everywhere. Accurate to a few units in the last place.

namespace detail {

// ln 2 split so that k * kLn2Hi is exact for every exponent k of a double.
inline constexpr double kLn2Hi = 6.93147180369123816490e-01;
inline constexpr double kLn2Lo = 1.90821492927058770002e-10;

// ln((1 + f) / (1 - f)) = 2 atanh(f) for |f| <= 0.2 by its series, which needs nothing but
// the four operations, so the tables below are the same on every machine.
inline double TwiceAtanh(double f) {
    const double f2 = f * f;
    double sum = 0, power = f;
    for (int k = 0; k < 40; ++k) {
        sum += power / (2 * k + 1);
        power *= f2;
    }
    return 2 * sum;
}

// ln(c) and 1/c for c = 0.75 + j/128, j = 0..95, which covers [0.75, 1.5); around 1 the
// series keeps its relative accuracy.
struct LogTable {
    std::array<double, 96> inv{};
    std::array<double, 96> lnc{};
    LogTable() {
        for (int j = 0; j < 96; ++j) {
            inv[j] = 128.0 / (96 + j);
            lnc[j] = TwiceAtanh((j - 32.0) / (224.0 + j)); // f = (c - 1) / (c + 1)
        }
    }
};

extern const LogTable kLogTable;

} // namespace detail

// ln(x) for x > 0 (subnormals included); -infinity for 0, NaN for a negative x or NaN. Inline:
// every interarrival time takes one.
inline double DetLog(double x) {
    if (!(x > 0))
        return x == 0 ? -std::numeric_limits<double>::infinity()
                      : std::numeric_limits<double>::quiet_NaN();
    if (x == std::numeric_limits<double>::infinity())
        return x;
    std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    int e = static_cast<int>(bits >> 52) - 1023;
    if (e == -1023) { // subnormal: scale into the normal range first
        bits = std::bit_cast<std::uint64_t>(x * 0x1p54);
        e = static_cast<int>(bits >> 52) - 1023 - 54;
    }
    const std::uint64_t mantissa = (bits & 0xFFFFFFFFFFFFFull) | 0x3FF0000000000000ull;
    double m = std::bit_cast<double>(mantissa); // [1, 2)
    if (m >= 1.5) { // into [0.75, 1.5), so that x near 1 meets no cancellation
        m *= 0.5;
        ++e;
    }
    const int j = static_cast<int>((m - 0.75) * 128.0);
    const detail::LogTable& t = detail::kLogTable;
    // m - c is exact (c <= m < 2c), so r loses nothing near 1.
    const double c0 = (96 + j) / 128.0;
    const double r = (m - c0) * t.inv[j]; // [0, 1/96)
    const double r2 = r * r;
    const double a = -0.5 + r * (1.0 / 3.0);
    const double b = -0.25 + r * 0.2;
    const double c = -1.0 / 6.0 + r * (1.0 / 7.0);
    const double d = -0.125 + r * (1.0 / 9.0);
    const double q = a + r2 * (b + r2 * (c + r2 * d));
    const double lnm = t.lnc[j] + (r + r2 * q);
    if (e == 0)
        return lnm;
    const double k = e;
    return k * detail::kLn2Hi + (lnm + k * detail::kLn2Lo);
}

namespace detail {

// For the logarithm of a single-precision value: the 256 intervals that cut [0.699, 1.398)
// by the top 8 bits of the significand, each with 1/c for a c inside it, rounded to 28 bits so
// that z / c comes out exact as z * (1/c) for any 24-bit z, and ln c.
struct FloatLogTable {
    static constexpr int kBits = 8;
    static constexpr std::uint32_t kOffset = 0x3f330000; // 0.69921875
    struct Entry {
        double invc, logc;
    };
    std::array<Entry, 1 << kBits> entry{};
    FloatLogTable();
};

extern const FloatLogTable kFloatLogTable;

} // namespace detail

// ln(u) for a single-precision u from the smallest normal one, 2^-126, to 1, within two units
// in the last place; the logarithm of every uniform draw. A draw has only 24 significant bits, so
// the reduction is exact and there is no branch: u = 2^k z with z in [0.699, 1.398) comes from
// integer operations on its bits, and ln u = k ln 2 + ln c + ln(1 + r) with r = z / c - 1 below
// 2^-8.
inline double DetLogUniform(float u) {
    using Table = detail::FloatLogTable;
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(u);
    const std::uint32_t shifted = bits - Table::kOffset;
    const auto i =
        static_cast<std::size_t>((shifted >> (23 - Table::kBits)) & ((1u << Table::kBits) - 1));
    const double k = static_cast<std::int32_t>(shifted) >> 23;
    const float z = std::bit_cast<float>(bits - (shifted & 0xff800000u));
    const Table::Entry& e = detail::kFloatLogTable.entry[i];
    const double r = static_cast<double>(z) * e.invc - 1.0;
    const double r2 = r * r;
    // ln(1 + r) - r, to r^7 (the first term left out is below 2^-67).
    const double p = r2 * ((-0.5 + r * (1.0 / 3.0)) +
                           r2 * ((-0.25 + r * 0.2) + r2 * (-1.0 / 6.0 + r * (1.0 / 7.0))));
    const double hi = k * detail::kLn2Hi + e.logc;
    const double lo = k * detail::kLn2Lo + r;
    return hi + (lo + p);
}

// e^x; 0 below the smallest subnormal, +infinity above the largest double.
double DetExp(double x);

// x^y for x >= 0 as e^(y ln x); 0^y is 0 for y > 0, and x^0 is 1.
double DetPow(double x, double y);

} // namespace davrenta
