#include "batch/batchio.h"

#include <cstdio>
#include <limits>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace davrenta {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Checked {
    std::optional<int> status;
    std::string out, err;
};

Checked Check(bool json, const ordered_json& result) {
    std::ostringstream out, err;
    Checked c;
    c.status = CheckedResult(json, out, err, result);
    c.out = out.str();
    c.err = err.str();
    return c;
}

TEST(CheckedResult, AFigureBeyondTheLargestNumberIsNoResultNeverNull) {
    ordered_json result;
    result["DeptCount"] = 2;
    result["Improve"] =
        ordered_json{{"Steps", ordered_json::array({ordered_json{{"ActivityTotal", 12.5}},
                                                    ordered_json{{"ActivityTotal", kInf}}})}};
    const std::string message =
        "davrenta-batch: The results are too large to compute with: "
        "Improve.Steps[1].ActivityTotal goes beyond the largest number. Use smaller values in "
        "the problem file.\n";

    const Checked json = Check(true, result);
    EXPECT_EQ(json.status, 4);
    EXPECT_EQ(json.err, message);
    EXPECT_EQ(json.out, "{\n  \"error\": \"The results are too large to compute with: "
                        "Improve.Steps[1].ActivityTotal goes beyond the largest number. Use "
                        "smaller values in the problem file.\"\n}\n");

    // The text shows the same figures, so it is refused alike, with nothing on stdout.
    const Checked text = Check(false, result);
    EXPECT_EQ(text.status, 4);
    EXPECT_EQ(text.err, message);
    EXPECT_EQ(text.out, "");

    EXPECT_EQ(NonFiniteFigure(ordered_json{{"WaitMean", -kInf}}), "WaitMean");
    EXPECT_EQ(NonFiniteFigure(ordered_json::array({1.0, std::nan("")})), "[1]");
}

TEST(CheckedResult, ASoundResultIsPrintedUnderJsonAndLeftToTheTextOtherwise) {
    const ordered_json result{{"Saving", nullptr}, {"OptimalTotalCost", 1e300}, {"Label", "inf"}};
    const Checked json = Check(true, result);
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out,
              "{\n  \"Saving\": null,\n  \"OptimalTotalCost\": 1e+300,\n  \"Label\": \"inf\"\n}\n");
    const Checked text = Check(false, result);
    EXPECT_EQ(text.status, std::nullopt);
    EXPECT_EQ(text.out, "");
    EXPECT_EQ(text.err, "");
}

TEST(DeliverOutput, AWriteThatFailsIsAFailureWithAMessage) {
    std::FILE* full = std::fopen("/dev/full", "w");
    if (!full)
        GTEST_SKIP() << "no /dev/full";
    std::ostringstream err;
    EXPECT_EQ(DeliverOutput(full, err, "results\n", kExitDone), 3);
    EXPECT_EQ(err.str(), "davrenta-batch: the results could not be written to standard output: "
                         "No space left on device\n");
    // A run that had no result keeps its status.
    std::ostringstream err4;
    EXPECT_EQ(DeliverOutput(full, err4, "{\"error\": \"x\"}\n", kExitNoResult), 4);
    EXPECT_NE(err4.str(), "");
    std::fclose(full);
}

TEST(DeliverOutput, OnlyADoneRunOrOneWithoutResultPrints) {
    std::FILE* sink = std::tmpfile();
    ASSERT_NE(sink, nullptr);
    std::ostringstream err;
    EXPECT_EQ(DeliverOutput(sink, err, "half a table", kExitUnreadable), 3);
    EXPECT_EQ(DeliverOutput(sink, err, "", kExitUsage), 2);
    EXPECT_EQ(DeliverOutput(sink, err, "done\n", kExitDone), 0);
    std::rewind(sink);
    char buffer[64] = {};
    const std::size_t got = std::fread(buffer, 1, sizeof buffer - 1, sink);
    EXPECT_EQ(std::string(buffer, got), "done\n");
    EXPECT_EQ(err.str(), "");
    std::fclose(sink);
}

// The validators as the command line meets them: what they let through, in what form.
std::string Through(const CLI::Validator& validator, std::string value) {
    const std::string error = validator(value);
    return error.empty() ? value : "refused: " + error;
}

TEST(OptionValues, WholeNumbersInRangeAreHandedOnPlain) {
    const CLI::Validator cycles = WholeFrom(2, 1e9);
    EXPECT_EQ(Through(cycles, "30"), "30");
    EXPECT_EQ(Through(cycles, "0030"), "30");
    EXPECT_EQ(Through(cycles, "1e3"),
              "refused: \"1e3\" is not a whole number from 2 to 1000000000");
    EXPECT_EQ(Through(cycles, "1000000000"), "1000000000");
    EXPECT_EQ(Through(cycles, "-5"), "refused: \"-5\" is not a whole number from 2 to 1000000000");
    EXPECT_EQ(Through(cycles, "1"), "refused: \"1\" is not a whole number from 2 to 1000000000");
    EXPECT_EQ(Through(cycles, "1e12"),
              "refused: \"1e12\" is not a whole number from 2 to 1000000000");
    EXPECT_EQ(Through(cycles, "2.5"),
              "refused: \"2.5\" is not a whole number from 2 to 1000000000");
    EXPECT_EQ(Through(cycles, ""), "refused: \"\" is not a whole number from 2 to 1000000000");
    EXPECT_EQ(Through(cycles, "30x"),
              "refused: \"30x\" is not a whole number from 2 to 1000000000");
    EXPECT_EQ(Through(WholeFrom(1, 4), "0"), "refused: \"0\" is not 1, 2, 3 or 4");
    EXPECT_EQ(Through(WholeFrom(1, 2), "3"), "refused: \"3\" is not 1 or 2");
    EXPECT_EQ(Through(WholeFrom(1, 2), "2.0"), "refused: \"2.0\" is not 1 or 2");
    EXPECT_EQ(Through(WholeFrom(1, 2), "+2"), "2");
    EXPECT_EQ(Through(WholeFrom(1, 2), "-"), "refused: \"-\" is not 1 or 2");
    EXPECT_EQ(Through(WholeFrom(1, 3), "3"), "3");
}

TEST(OptionValues, NumbersSeedsAndNames) {
    EXPECT_EQ(Through(NumberFrom(0, 1), ".25"), "0.25");
    EXPECT_EQ(Through(NumberFrom(0, 1), "1E-3"), "0.001");
    EXPECT_EQ(Through(NumberFrom(0, 1), "1.5"), "refused: \"1.5\" is not a number from 0 to 1");
    EXPECT_EQ(Through(NumberFrom(0, 1), "nan"), "refused: \"nan\" is not a number from 0 to 1");
    EXPECT_EQ(Through(SeedValue(), "18446744073709551615"), "18446744073709551615");
    EXPECT_EQ(Through(SeedValue(), "18446744073709551616"),
              "refused: \"18446744073709551616\" is not a whole number from 0 to "
              "18446744073709551615");
    EXPECT_EQ(Through(SeedValue(), "-1"),
              "refused: \"-1\" is not a whole number from 0 to 18446744073709551615");
    EXPECT_EQ(Through(NotEmpty(), ""), "refused: an empty value is not allowed");
    EXPECT_EQ(Through(NotEmpty(), "out.sf"), "out.sf");
}

} // namespace
} // namespace davrenta
