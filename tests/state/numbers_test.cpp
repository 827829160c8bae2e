#include "state/numbers.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "state/records.h"

namespace davrenta {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMax = std::numeric_limits<double>::max();

TEST(PlainForm, ShowsAtMostFifteenSignificantDigits) {
    EXPECT_EQ(PlainForm(0.1 + 0.2), "0.3");
    EXPECT_EQ(PlainForm(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(PlainForm(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(PlainForm(123456.7890123456), "123456.789012346");
}

TEST(PlainForm, WritesShortestTextWithZeroBeforePoint) {
    EXPECT_EQ(PlainForm(0), "0");
    EXPECT_EQ(PlainForm(-0.0), "0");
    EXPECT_EQ(PlainForm(1200), "1200");
    EXPECT_EQ(PlainForm(12.5), "12.5");
    EXPECT_EQ(PlainForm(0.5), "0.5");
    EXPECT_EQ(PlainForm(-2.25), "-2.25");
    EXPECT_EQ(PlainForm(0.0001), "0.0001");
}

TEST(PlainForm, PlainDecimalFromAMillionthToBelowTenToTheFifteenth) {
    EXPECT_EQ(PlainForm(100000), "100000");
    EXPECT_EQ(PlainForm(-100000), "-100000");
    EXPECT_EQ(PlainForm(0.00001), "0.00001");
    EXPECT_EQ(PlainForm(0.000001), "0.000001");
    EXPECT_EQ(PlainForm(0.0000015), "0.0000015");
    EXPECT_EQ(PlainForm(99999999999999.9), "99999999999999.9");
    EXPECT_EQ(PlainForm(123456789012345), "123456789012345");
    EXPECT_EQ(PlainForm(9.9e-7), "9.9E-07");
}

TEST(PlainForm, UsesExponentFormForHugeAndTinyMagnitudes) {
    EXPECT_EQ(PlainForm(1e15), "1E+15");
    EXPECT_EQ(PlainForm(-1.5e20), "-1.5E+20");
    EXPECT_EQ(PlainForm(123456789012345678.0), "1.23456789012346E+17");
    EXPECT_EQ(PlainForm(1e-7), "1E-07");
    EXPECT_EQ(PlainForm(2.5e-300), "2.5E-300");
    EXPECT_EQ(PlainForm(kMax), "1.79769313486232E+308");
    // Rounding to 15 digits can carry into the next power of ten: the form follows the result.
    EXPECT_EQ(PlainForm(999999999999999.9), "1E+15");
    EXPECT_EQ(PlainForm(0.000099999999999999999), "0.0001");
}

TEST(PlainForm, NonFiniteValuesHaveText) {
    EXPECT_EQ(PlainForm(kInf), "inf");
    EXPECT_EQ(PlainForm(-kInf), "-inf");
    EXPECT_EQ(PlainForm(std::nan("")), "nan");
}

TEST(StrForm, PutsBlankOrMinusBeforePlainForm) {
    EXPECT_EQ(StrForm(3), " 3");
    EXPECT_EQ(StrForm(0), " 0");
    EXPECT_EQ(StrForm(-0.0), " 0");
    EXPECT_EQ(StrForm(-2.25), "-2.25");
    EXPECT_EQ(StrForm(-1e20), "-1E+20");
}

TEST(RoundTripForm, WritesShortestExactTextWithoutBlank) {
    EXPECT_EQ(RoundTripForm(5), "5");
    EXPECT_EQ(RoundTripForm(2.5), "2.5");
    EXPECT_EQ(RoundTripForm(-3), "-3");
    EXPECT_EQ(RoundTripForm(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(RoundTripForm(1e20), "1E+20");
    EXPECT_EQ(RoundTripForm(-0.0), "0");
}

// Shorter texts in the exponent form ("1E+05", "1E-04") are not taken below 10^15.
TEST(RoundTripForm, PlainDecimalFromAMillionthToBelowTenToTheFifteenth) {
    EXPECT_EQ(RoundTripForm(100000), "100000");
    EXPECT_EQ(RoundTripForm(-2000000), "-2000000");
    EXPECT_EQ(RoundTripForm(0.0001), "0.0001");
    EXPECT_EQ(RoundTripForm(0.000001), "0.000001");
    EXPECT_EQ(RoundTripForm(999999999999999.9), "999999999999999.9");
    EXPECT_EQ(RoundTripForm(123456789012345.67), "123456789012345.67");
    EXPECT_EQ(RoundTripForm(1e15), "1E+15");
    EXPECT_EQ(RoundTripForm(123456789012345680.0), "1.2345678901234568E+17");
    EXPECT_EQ(RoundTripForm(std::nextafter(1e-6, 0.0)), "9.999999999999997E-07");
    EXPECT_EQ(RoundTripForm(std::numeric_limits<double>::denorm_min()), "5E-324");
    EXPECT_EQ(RoundTripForm(kMax), "1.7976931348623157E+308");
}

// Any double of the plain range, written into a record and read back by the record reader
// every problem-file reader uses, is the same double, and its text carries no exponent.
TEST(RoundTripForm, EveryDoubleOfThePlainRangeReadsBackFromAFile) {
    std::mt19937_64 gen(7341);
    int tried = 0;
    while (tried < 100000) {
        double v;
        std::uint64_t bits = gen();
        std::memcpy(&v, &bits, sizeof v);
        if (!(std::fabs(v) >= 1e-6 && std::fabs(v) < 1e15))
            continue;
        ++tried;
        RecordWriter w;
        w.number(v).number(-v).endRecord();
        RecordReader r(w.contents());
        const auto a = r.next();
        const auto b = r.next();
        ASSERT_TRUE(a && b) << w.contents();
        ASSERT_EQ(a->text.find_first_of("Ee"), std::string::npos) << a->text;
        ASSERT_EQ(ParseFieldNumber(a->text), v) << a->text;
        ASSERT_EQ(ParseFieldNumber(b->text), -v) << b->text;
    }
}

TEST(RoundTripForm, RandomDoublesReadBackExactly) {
    std::mt19937_64 gen(20240611);
    std::uniform_real_distribution<double> plain(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i) {
        double v;
        if (i % 2 == 0) {
            std::uint64_t bits = gen();
            std::memcpy(&v, &bits, sizeof v);
            if (!std::isfinite(v))
                continue;
        } else {
            v = plain(gen);
        }
        std::string text = RoundTripForm(v);
        std::optional<double> back = ParseFieldNumber(text);
        ASSERT_TRUE(back.has_value()) << text;
        ASSERT_EQ(*back, v) << text;
        if (v != 0) {
            ASSERT_EQ(std::signbit(*back), std::signbit(v)) << text;
        }
    }
    for (double v : {std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::min(),
                     kMax, -kMax, 0.1, 1e-4, 123456789012345680.0})
        EXPECT_EQ(ParseFieldNumber(RoundTripForm(v)), v) << RoundTripForm(v);
}

TEST(LeadingNumber, TakesLongestLeadingDecimal) {
    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("2,5"), 2);
    EXPECT_EQ(LeadingNumber("-.5"), -0.5);
    EXPECT_EQ(LeadingNumber("5."), 5);
    EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(LeadingNumber("."), 0);
    EXPECT_EQ(LeadingNumber("--5"), 0);
    EXPECT_EQ(LeadingNumber("0.1"), 0.1);
    EXPECT_EQ(LeadingNumber("00012.500"), 12.5);
}

TEST(LeadingNumber, IgnoresBlanksTabsAndLineFeedsAnywhere) {
    EXPECT_EQ(LeadingNumber("1 2"), 12);
    EXPECT_EQ(LeadingNumber("  \t-3"), -3);
    EXPECT_EQ(LeadingNumber("- 1 . 5"), -1.5);
    EXPECT_EQ(LeadingNumber("1\n2\t3"), 123);
    EXPECT_EQ(LeadingNumber("1 e 3"), 1000);
}

TEST(LeadingNumber, ReadsExponentOnlyWhenDigitsFollow) {
    EXPECT_EQ(LeadingNumber("1e3"), 1000);
    EXPECT_EQ(LeadingNumber("1E-2"), 0.01);
    EXPECT_EQ(LeadingNumber("2.5D+2"), 250);
    EXPECT_EQ(LeadingNumber("1e"), 1);
    EXPECT_EQ(LeadingNumber("1e+"), 1);
    EXPECT_EQ(LeadingNumber("1e5.5"), 1e5);
}

TEST(LeadingNumber, ReadsHexAndOctalWholeNumbers) {
    EXPECT_EQ(LeadingNumber("&H1F"), 31);
    EXPECT_EQ(LeadingNumber("&O17"), 15);
    EXPECT_EQ(LeadingNumber("&o178"), 15);
    EXPECT_EQ(LeadingNumber(" & H 1 0"), 16);
    EXPECT_EQ(LeadingNumber("&H"), 0);
    EXPECT_EQ(LeadingNumber("&X12"), 0);
    EXPECT_EQ(LeadingNumber("&HFFFFFFFFFFFFFFFF"), 18446744073709551615.0);
    EXPECT_EQ(LeadingNumber("&O1777777777777777777777"), 18446744073709551615.0);
    // Summing digit by digit would round twice and land one step off.
    EXPECT_EQ(LeadingNumber("&H39B810E766EC9D286"), 6.654548547083081e+19);
}

TEST(LeadingNumber, GivesCorrectlyRoundedValues) {
    EXPECT_EQ(LeadingNumber("0.30000000000000004"), 0.1 + 0.2);
    EXPECT_EQ(LeadingNumber("9007199254740993"), 9007199254740992.0);
    EXPECT_EQ(LeadingNumber("2.2250738585072011e-308"), 2.2250738585072011e-308);
    EXPECT_EQ(LeadingNumber("4.9e-324"), std::numeric_limits<double>::denorm_min());
    std::string longZeros = "0." + std::string(5000, '0') + "1e5010";
    EXPECT_EQ(LeadingNumber(longZeros), 1e9);
    std::string longDigits = std::string(400, '1') + "e-399";
    EXPECT_EQ(LeadingNumber(longDigits), 1.1111111111111111);
}

TEST(LeadingNumber, OverflowGivesLargestFiniteAndUnderflowZero) {
    EXPECT_EQ(LeadingNumber("1e999"), kMax);
    EXPECT_EQ(LeadingNumber("-1e999"), -kMax);
    EXPECT_EQ(LeadingNumber("1e99999999999999999999999"), kMax);
    EXPECT_EQ(LeadingNumber("1e-999"), 0);
    EXPECT_FALSE(std::signbit(LeadingNumber("-1e-999")));
    EXPECT_FALSE(std::signbit(LeadingNumber("-0")));
    EXPECT_EQ(LeadingNumber("&H" + std::string(400, 'F')), kMax);
}

TEST(LeadingNumber, SurvivesArbitraryBytes) {
    std::mt19937 gen(7);
    const std::string alphabet = "0123456789.+-eEdD&HhOo \t\n,x\r";
    for (int i = 0; i < 20000; ++i) {
        std::string text(gen() % 40, ' ');
        for (char& c : text)
            c = (i % 3 == 0) ? static_cast<char>(gen() % 256) : alphabet[gen() % alphabet.size()];
        double v = LeadingNumber(text);
        ASSERT_FALSE(std::isinf(v)) << text;
        ASSERT_FALSE(std::isnan(v)) << text;
    }
}

TEST(FormatPicture, RoundsHalfAwayFromZeroOnFifteenDigitForm) {
    EXPECT_EQ(FormatPicture(0.125, "0.00"), "0.13");
    EXPECT_EQ(FormatPicture(2.25, "0.0"), "2.3");
    EXPECT_EQ(FormatPicture(1.005, "0.00"), "1.01");
    EXPECT_EQ(FormatPicture(0.0005, "0.000"), "0.001");
    EXPECT_EQ(FormatPicture(9.9995, "0.000"), "10.000");
    EXPECT_EQ(FormatPicture(-1.5, "0"), "-2");
    EXPECT_EQ(FormatPicture(2.5, "0"), "3");
    EXPECT_EQ(FormatPicture(0.4999, "0"), "0");
    EXPECT_EQ(FormatPicture(99.95, "0.0"), "100.0");
    EXPECT_EQ(FormatPicture(1234.5678, "#0.000"), "1234.568");
    EXPECT_EQ(FormatPicture(0.00049, "0.000"), "0.000");
    EXPECT_EQ(FormatPicture(1e-300, "0.00"), "0.00");
}

TEST(FormatPicture, HashPlacesShowOnlySignificantDigitsAndKeepPoint) {
    EXPECT_EQ(FormatPicture(2, "0.###"), "2.");
    EXPECT_EQ(FormatPicture(2, "####.###"), "2.");
    EXPECT_EQ(FormatPicture(2.1234, "0.###"), "2.123");
    EXPECT_EQ(FormatPicture(2.0004, "0.###"), "2.");
    EXPECT_EQ(FormatPicture(2.9996, "0.###"), "3.");
    EXPECT_EQ(FormatPicture(0.5, "####.###"), "0.5");
    EXPECT_EQ(FormatPicture(12345.5, "####.###"), "12345.5");
    EXPECT_EQ(FormatPicture(0, "#######"), "0");
    EXPECT_EQ(FormatPicture(1234567.5, "#######"), "1234568");
    EXPECT_EQ(FormatPicture(0.25, "#0.000"), "0.250");
}

TEST(FormatPicture, NegativeZeroResultsLoseTheirSign) {
    EXPECT_EQ(FormatPicture(-0.0004, "0.###"), "0.");
    EXPECT_EQ(FormatPicture(-0.004, "0.00"), "0.00");
    EXPECT_EQ(FormatPicture(-0.0, "0"), "0");
    EXPECT_EQ(FormatPicture(-0.005, "0.00"), "-0.01");
}

TEST(FormatPicture, LargeAndNonFiniteValues) {
    EXPECT_EQ(FormatPicture(1e20, "0.00"), "100000000000000000000.00");
    EXPECT_EQ(FormatPicture(123456789012345678.0, "0"), "123456789012346000");
    EXPECT_EQ(FormatPicture(kInf, "0.00"), "inf");
    EXPECT_EQ(FormatPicture(-kInf, "0"), "-inf");
    EXPECT_EQ(FormatPicture(std::nan(""), "0.###"), "nan");
    EXPECT_EQ(FormatPicture(kMax, "0").size(), 309u);
}

TEST(IntegerPart, TruncatesTowardsZero) {
    EXPECT_EQ(IntegerPart(2.9), 2);
    EXPECT_EQ(IntegerPart(-2.9), -2);
    EXPECT_FALSE(std::signbit(IntegerPart(-0.5)));
    EXPECT_EQ(PlainForm(IntegerPart(-0.5)), "0");
}

} // namespace
} // namespace davrenta
