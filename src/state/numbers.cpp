#include "state/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

// Every conversion here goes through std::to_chars / std::from_chars: they are exact and never
// look at the C locale, which the toolkit sets from the environment (a "," decimal point would
// otherwise leak into problem files and reports).

namespace davrenta {

namespace {

// The value rounded to 15 significant digits: digits d0 d1 ... (no trailing zeros, at least
// one digit) standing for d0.d1d2... x 10^exponent. Magnitude must be finite and >= 0.
struct Decimal15 {
    std::string digits;
    int exponent = 0;
};

Decimal15 ToDecimal15(double magnitude) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf)); // d.dddddddddddddde+XX
    Decimal15 d;
    std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] >= '0' && text[i] <= '9')
            d.digits += text[i];
    std::string_view exp = text.substr(e + 1);
    if (!exp.empty() && exp.front() == '+')
        exp.remove_prefix(1);
    std::from_chars(exp.data(), exp.data() + exp.size(), d.exponent);
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

std::string NonFiniteText(double value) {
    if (std::isnan(value))
        return "nan";
    return value < 0 ? "-inf" : "inf";
}

// Significant digits d0 d1 ... (no trailing zeros) standing for d0.d1d2... x 10^exponent, as
// text: plain decimal from 10^-6 up to below 10^15, where a reader takes in the number at a
// glance; beyond, the digits would need invented zeros or a long run of leading ones, so the
// exponent form "1.5E+20", "2E-07" takes over.
std::string LaidOut(bool negative, const std::string& digits, int exponent) {
    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -6) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += 'E';
        out += exponent < 0 ? '-' : '+';
        const int e = std::abs(exponent);
        if (e < 10)
            out += '0';
        out += std::to_string(e);
        return out;
    }
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
        out += digits;
        out.append(intDigits - digits.size(), '0');
    } else {
        out.append(digits, 0, intDigits);
        out += '.';
        out.append(digits, intDigits);
    }
    return out;
}

bool IsIgnorable(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// A whole number in base 16 or 8, correctly rounded: the digits are turned into hexadecimal
// text and read by from_chars. Overflow gives the largest finite value.
double WholeNumberInBase(const std::string& digits, int base) {
    std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    std::string_view sig(digits);
    sig.remove_prefix(first);
    int bitsPerDigit = base == 16 ? 4 : 3;
    if (sig.size() * bitsPerDigit > 1100)
        return std::numeric_limits<double>::max();
    std::string hex;
    if (base == 16) {
        hex.assign(sig);
    } else {
        std::string bits;
        for (char c : sig) {
            int v = c - '0';
            bits += (v & 4) ? '1' : '0';
            bits += (v & 2) ? '1' : '0';
            bits += (v & 1) ? '1' : '0';
        }
        bits.insert(0, (4 - bits.size() % 4) % 4, '0');
        for (std::size_t i = 0; i < bits.size(); i += 4) {
            int v = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 +
                    (bits[i + 3] - '0');
            hex += "0123456789abcdef"[v];
        }
    }
    double value = 0;
    auto res = std::from_chars(hex.data(), hex.data() + hex.size(), value, std::chars_format::hex);
    if (res.ec != std::errc() || std::isinf(value))
        return std::numeric_limits<double>::max();
    return value;
}

} // namespace

DecimalValue DecimalToDouble(bool negative, std::string_view digits, std::int64_t pointPos,
                             std::int64_t exponent) {
    // Normalise to 0.DIGITS x 10^scale so that a long run of zeros or a huge written exponent
    // never reaches from_chars in a form it would misjudge.
    std::size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos)
        return {0.0, false};
    std::size_t last = digits.find_last_not_of('0');
    std::string_view sig = digits.substr(first, last - first + 1);
    constexpr std::int64_t kFar = std::int64_t{1} << 60;
    auto clamp = [](std::int64_t a) { return a > kFar ? kFar : (a < -kFar ? -kFar : a); };
    auto clampAdd = [&](std::int64_t a, std::int64_t b) { return clamp(clamp(a) + clamp(b)); };
    std::int64_t scale = clampAdd(clampAdd(pointPos, -static_cast<std::int64_t>(first)), exponent);
    double sign = negative ? -1.0 : 1.0;
    if (scale > 400)
        return {sign * std::numeric_limits<double>::max(), true};
    if (scale < -400)
        return {0.0, false};
    std::string text = "0.";
    text.append(sig);
    text += 'e';
    text += std::to_string(scale);
    double value = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec == std::errc::result_out_of_range)
        return scale > 0 ? DecimalValue{sign * std::numeric_limits<double>::max(), true}
                         : DecimalValue{0.0, false};
    if (std::isinf(value))
        return {sign * std::numeric_limits<double>::max(), true};
    if (value == 0)
        return {0.0, false};
    return {sign * value, false};
}

std::string PlainForm(double value) {
    if (!std::isfinite(value))
        return NonFiniteText(value);
    if (value == 0)
        return "0";
    const Decimal15 d = ToDecimal15(std::fabs(value));
    return LaidOut(value < 0, d.digits, d.exponent);
}

std::string StrForm(double value) {
    if (value < 0)
        return "-" + PlainForm(-value);
    return " " + PlainForm(value);
}

std::string RoundTripForm(double value) {
    if (!std::isfinite(value))
        return NonFiniteText(value);
    if (value == 0)
        return "0"; // -0 too: a problem file has no use for the sign of zero
    // The shortest digits that read back to the same double, laid out by the same rule as the
    // plain form (to_chars alone would pick "1e+05" over "100000" for being shorter).
    char buf[64];
    auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf)); // d.ddde+XX
    const std::size_t e = text.find('e');
    std::string digits;
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            digits += text[i];
    std::string_view exp = text.substr(e + 1);
    if (!exp.empty() && exp.front() == '+')
        exp.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exp.data(), exp.data() + exp.size(), exponent);
    return LaidOut(value < 0, digits, exponent);
}

double LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto peek = [&]() -> char {
        while (i < n && IsIgnorable(text[i]))
            ++i;
        return i < n ? text[i] : '\0';
    };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };

    char c = peek();
    if (c == '&') {
        ++i;
        char kind = peek();
        int base = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
        if (base == 0)
            return 0;
        ++i;
        std::string digits;
        for (char d = peek(); i < n && DigitValue(d) < base; d = peek()) {
            digits += d;
            ++i;
        }
        return WholeNumberInBase(digits, base);
    }

    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        ++i;
    }
    std::string digits;
    std::int64_t pointPos = -1;
    for (c = peek(); i < n; c = peek()) {
        if (isDigit(c)) {
            digits += c;
        } else if (c == '.' && pointPos < 0) {
            pointPos = static_cast<std::int64_t>(digits.size());
        } else {
            break;
        }
        ++i;
    }
    if (digits.empty())
        return 0;
    if (pointPos < 0)
        pointPos = static_cast<std::int64_t>(digits.size());

    std::int64_t exponent = 0;
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        std::size_t mark = i;
        ++i;
        bool expNegative = false;
        char s = peek();
        if (s == '+' || s == '-') {
            expNegative = s == '-';
            ++i;
        }
        bool any = false;
        for (char d = peek(); i < n && isDigit(d); d = peek()) {
            any = true;
            if (exponent < (std::int64_t{1} << 40)) // far past any double; stop growing
                exponent = exponent * 10 + (d - '0');
            ++i;
        }
        if (!any)
            i = mark; // "1e" or "1e+": the letter is not part of the number
        else if (expNegative)
            exponent = -exponent;
    }
    return DecimalToDouble(negative, digits, pointPos, exponent).value;
}

std::string FormatPicture(double value, std::string_view pattern) {
    if (!std::isfinite(value))
        return NonFiniteText(value);

    std::size_t point = pattern.find('.');
    bool hasPoint = point != std::string_view::npos;
    std::string_view intPattern = pattern.substr(0, point);
    std::string_view fracPattern = hasPoint ? pattern.substr(point + 1) : std::string_view();
    std::size_t minInt = 0;
    for (char c : intPattern)
        if (c == '0')
            ++minInt;
    if (minInt == 0)
        minInt = 1;
    std::size_t places = 0;
    std::size_t minFrac = 0; // places up to the last "0" always show
    for (char c : fracPattern) {
        if (c == '0' || c == '#')
            ++places;
        if (c == '0')
            minFrac = places;
    }

    // Round half away from zero on the 15-digit decimal form: "digits" with "intLen" digits
    // before the point.
    Decimal15 d = ToDecimal15(std::fabs(value));
    std::string digits = d.digits;
    std::int64_t intLen = static_cast<std::int64_t>(d.exponent) + 1;
    std::int64_t keep = intLen + static_cast<std::int64_t>(places);
    if (value == 0 || keep < 0) {
        digits = "0";
        intLen = 1;
    } else if (keep < static_cast<std::int64_t>(digits.size())) {
        bool up = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (up) {
            std::int64_t k = keep - 1;
            while (k >= 0 && digits[static_cast<std::size_t>(k)] == '9') {
                digits[static_cast<std::size_t>(k)] = '0';
                --k;
            }
            if (k >= 0) {
                ++digits[static_cast<std::size_t>(k)];
            } else {
                digits.insert(digits.begin(), '1');
                ++intLen;
            }
        }
        if (digits.empty()) {
            digits = "0";
            intLen = 1;
        }
    }

    // Lay the digits out around the point.
    std::string intPart;
    std::string fracPart;
    if (intLen <= 0) {
        fracPart.assign(static_cast<std::size_t>(-intLen), '0');
        fracPart += digits;
    } else if (static_cast<std::int64_t>(digits.size()) <= intLen) {
        intPart = digits;
        intPart.append(static_cast<std::size_t>(intLen) - digits.size(), '0');
    } else {
        intPart = digits.substr(0, static_cast<std::size_t>(intLen));
        fracPart = digits.substr(static_cast<std::size_t>(intLen));
    }
    std::size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
    if (intPart.size() < minInt)
        intPart.insert(0, minInt - intPart.size(), '0');
    fracPart.resize(places, '0');
    while (fracPart.size() > minFrac && fracPart.back() == '0')
        fracPart.pop_back();

    bool nonZero = intPart.find_first_not_of('0') != std::string::npos ||
                   fracPart.find_first_not_of('0') != std::string::npos;
    std::string out = (value < 0 && nonZero) ? "-" : "";
    out += intPart;
    if (hasPoint) {
        out += '.';
        out += fracPart;
    }
    return out;
}

double IntegerPart(double value) {
    double t = std::trunc(value);
    return t == 0 ? 0.0 : t;
}

} // namespace davrenta
