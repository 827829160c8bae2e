#pragma once

// Random problem values for the save-and-read-back properties of every study: numbers as users
// type them beside the extreme magnitudes a file may hold. Seeded, so a failure repeats.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace davrenta::testing {

class RandomFigures {
  public:
    explicit RandomFigures(std::uint64_t seed) : engine_(seed) {}

    int whole(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }
    bool chance(int percent) { return whole(1, 100) <= percent; }

    // A finite double: small whole numbers, short decimals, powers of ten from the subnormals
    // to the largest, the edges of double and single precision, and any bit pattern. Never -0,
    // which every reader takes as 0.
    double any() {
        const double value = anySigned();
        return value == 0 ? 0.0 : value;
    }

    // Mostly plain numbers, now and then an extreme one: problems whose results can be shown.
    double mostlyPlain() { return chance(85) ? whole(-50, 500) / 4.0 : any(); }

    // Bytes a name may hold: printable text, bytes above 127 and control bytes, without the
    // field and line separators and double quotes, and without blanks or tabs at either end.
    std::string name(int longest) {
        std::string text;
        const std::size_t length = static_cast<std::size_t>(whole(0, longest));
        while (text.size() < length) {
            const int c = whole(1, 255);
            const bool edge = text.empty() || text.size() + 1 == length;
            if (c == ',' || c == '"' || c == '\r' || c == '\n' || (edge && (c == ' ' || c == '\t')))
                continue;
            text += static_cast<char>(c);
        }
        return text;
    }

  private:
    double anySigned() {
        const double sign = chance(30) ? -1.0 : 1.0;
        switch (whole(0, 5)) {
        case 0:
            return sign * whole(0, 1000);
        case 1:
            return sign * whole(0, 100000) / std::pow(10.0, whole(1, 4));
        case 2:
            return sign * whole(1, 9) * std::pow(10.0, whole(-323, 307));
        case 3: {
            constexpr double kEdges[] = {std::numeric_limits<double>::max(),
                                         std::numeric_limits<double>::min(),
                                         std::numeric_limits<double>::denorm_min(),
                                         1.7e308,
                                         0.85e308,
                                         1e300,
                                         1e200,
                                         2e38,
                                         3.4028234663852886e38,
                                         1e15,
                                         0.0};
            return sign * kEdges[whole(0, static_cast<int>(std::size(kEdges)) - 1)];
        }
        case 4: {
            const auto bits = std::uniform_int_distribution<std::uint64_t>()(engine_);
            const double value = std::bit_cast<double>(bits);
            return std::isfinite(value) ? value : sign;
        }
        default:
            return sign * std::uniform_real_distribution<double>(0, 1e6)(engine_);
        }
    }

    std::mt19937_64 engine_;
};

// A number as another program might write it: 17 significant digits, exponent when long.
inline std::string Typed(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// Equal as stored: the same bits, so that nothing rounds.
inline bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

} // namespace davrenta::testing
