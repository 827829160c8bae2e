// Runs davrenta-batch sfloc as a user would and checks what it prints.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "batchrun.h"

using davrenta::testing::Batch;
using davrenta::testing::BatchRun;
using davrenta::testing::Errors;
using davrenta::testing::Example;

namespace {

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("sflocbatch-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

TEST(BatchSfloc, TextShowsTheTableAndTheThreeLocations) {
    const BatchRun run = Batch("sfloc " + Example("depot-range.sf"));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "== Existing Facility ==\n"
                       "      x                       y                       Weight\n"
                       "1     0                       0                       30\n"
                       "2     10                      2                       20\n"
                       "3     14                      8                       25\n"
                       "4     22                      6                       25\n"
                       "\n== Optimal Location ==\n"
                       "           X                           Y                           "
                       "Weighted total distance\n"
                       "Rect.      10.000***14.000             2.000***6.000               "
                       "1010.000\n"
                       "Eucl.      10.857                      3.454                       "
                       "799.473\n"
                       "Sq. Eucl.  11.000                      3.900                       "
                       "7959.000\n");
}

TEST(BatchSfloc, JsonCarriesLabelsTableAndObjectives) {
    const BatchRun run = Batch("sfloc " + Example("rural-clinic.sf") + " --json", Errors::Dropped);
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["olrectxlbl"], "5.800");
    EXPECT_EQ(j["olrectylbl"], "5.500");
    EXPECT_EQ(j["ExistingFacilityCount"], 6);
    EXPECT_EQ(j["FacilityX"].size(), 6u);
    EXPECT_EQ(j["FacilityWeight"][4].get<double>(), 880.0);
    EXPECT_EQ(j["FacilityY"][0].get<double>(), 7.1);
    for (const char* key : {"oleuclxlbl", "oleuclylbl", "olsqeuxlbl", "olsqeuylbl"})
        EXPECT_TRUE(j[key].is_string()) << key;
    EXPECT_GT(j["RectilinearObjective"].get<double>(), j["EuclideanObjective"].get<double>());
}

TEST(BatchSfloc, EveryShippedExampleIsAnswered) {
    for (const char* name : {"rural-clinic.sf", "warehouse-stores.sf", "depot-range.sf"}) {
        const BatchRun run = Batch("sfloc " + Example(name) + " --json", Errors::Dropped);
        EXPECT_EQ(run.status, 0) << name << run.out;
    }
}

TEST(BatchSfloc, ExitStatusesForUsageUnreadableAndNoResult) {
    EXPECT_EQ(Batch("sfloc \"\"").status, 2);
    EXPECT_EQ(Batch("sfloc " + Example("rural-clinic.sf") + " --save \"\"").status, 2);
    EXPECT_EQ(Batch("sfloc").status, 2);

    const std::string bad = TempPath("bad.sf");
    std::ofstream(bad, std::ios::binary) << "2\r\n1,2,3\r\n4,five,6\r\n";
    const BatchRun unreadable = Batch("sfloc " + bad);
    EXPECT_EQ(unreadable.status, 3);
    EXPECT_EQ(unreadable.out, "davrenta-batch: The file " + bad +
                                  " cannot be read: line 3, facility record 2: the y coordinate "
                                  "of facility 2 \"five\" is not a number. The current problem is "
                                  "unchanged.\n");

    const std::string zero = TempPath("zero.sf");
    std::ofstream(zero, std::ios::binary) << "2\r\n1,1,2\r\n3,3,-2\r\n";
    const BatchRun none = Batch("sfloc " + zero + " --json", Errors::Dropped);
    EXPECT_EQ(none.status, 4);
    const auto j = nlohmann::json::parse(none.out);
    EXPECT_EQ(j["error"], "The problem in " + zero +
                              " has no location: The weights of the existing facilities sum to "
                              "zero, so no location can be found. Give the facilities their "
                              "demands as weights and solve again.");
    std::remove(bad.c_str());
    std::remove(zero.c_str());
}

TEST(BatchSfloc, AWeightSumBeyondSinglePrecisionIsNoResultNotTheOrigin) {
    const std::string heavy = TempPath("heavy.sf");
    std::ofstream(heavy, std::ios::binary) << "2\r\n0,0,2e38\r\n1,1,2e38\r\n";
    const BatchRun run =
        Batch("sfloc " + heavy + " --json --save " + heavy + ".saved", Errors::Dropped);
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(nlohmann::json::parse(run.out)["error"],
              "The problem in " + heavy +
                  " has no location: The coordinates and weights are too large to compute with: "
                  "a weight sum in single precision, a location or a weighted total distance "
                  "goes beyond the largest number. Scale them down and solve again.");
    EXPECT_FALSE(std::filesystem::exists(heavy + ".saved")); // no result, nothing saved
    std::remove(heavy.c_str());
    // A save that fails is exit 3, with nothing on standard output.
    const BatchRun unsaved =
        Batch("sfloc " + Example("rural-clinic.sf") + " --json --save /nonexistent/dir/x.sf",
              Errors::Dropped);
    EXPECT_EQ(unsaved.status, 3);
    EXPECT_EQ(unsaved.out, "");
}

TEST(BatchSfloc, SaveWritesTheProblemAsTheWindowDoes) {
    const std::string one = TempPath("one-line.sf");
    std::ofstream(one, std::ios::binary) << "2,1,2,10,4,5.5,20";
    const std::string out = TempPath("saved.sf");
    const BatchRun run = Batch("sfloc " + one + " --save " + out);
    ASSERT_EQ(run.status, 0) << run.out;
    std::ifstream in(out, std::ios::binary);
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_EQ(saved.str(), "2\r\n1,2,10\r\n4,5.5,20\r\n");
    std::remove(one.c_str());
    std::remove(out.c_str());
}

} // namespace
