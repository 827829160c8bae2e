#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace davrenta {

// Shortest decimal text of at most 15 significant digits, no blanks, "0" before the point
// (12.5, 3, -2.25, 0.5, 100000, 0.000001). Plain decimal for magnitudes from 10^-6 up to below
// 10^15; only beyond them the exponent form ("1E+15", "1.5E-07").
std::string PlainForm(double value);

// The plain form after one blank for a non-negative value, after "-" for a negative one.
std::string StrForm(double value);

// The shortest text that reads back to exactly the same double (problem files), laid out as
// the plain form is: 100000, 0.0001, 123456789012345.67, 1E+15, 5E-324.
std::string RoundTripForm(double value);

// Text to number as every input box reads it: blanks, tabs and line feeds are ignored
// wherever they stand; the longest leading decimal number (sign, digits with at most one
// ".", exponent by E or D) is taken; "&H" and "&O" read hexadecimal and octal whole numbers;
// text without such a part reads 0. A number beyond every double reads as the largest finite
// one with its sign, so that a typed value never becomes infinite.
double LeadingNumber(std::string_view text);

// Picture patterns "0", "0.0", "0.00", "0.000", "#0.000", "0.###", "####.###", "#######":
// rounded half away from zero on the value's 15-significant-digit decimal form. The integer
// part always shows at least one digit; with "#" places only significant digits show, and
// the point stays ("0.###" gives "2." for 2).
std::string FormatPicture(double value, std::string_view pattern);

// Integer part (towards zero), as the screens show populations.
double IntegerPart(double value);

// The correctly rounded double of a decimal: the digits (no sign, no point) with the point
// after the first pointPos of them (pointPos may lie outside), times 10^exponent. A magnitude
// beyond every double gives the largest finite one with the sign and sets overflow; one below
// the smallest gives 0. The common core of LeadingNumber and the problem-file field reader.
struct DecimalValue {
    double value = 0;
    bool overflow = false;
};
DecimalValue DecimalToDouble(bool negative, std::string_view digits, std::int64_t pointPos,
                             std::int64_t exponent);

} // namespace davrenta
