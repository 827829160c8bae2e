// davrenta-batch mhsim: text and JSON output, a seed that repeats, exit statuses.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

#include "batchrun.h"

using davrenta::testing::Batch;
using davrenta::testing::BatchRun;
using davrenta::testing::Errors;
using davrenta::testing::Example;

namespace {

// davrenta-batch mhsim, its messages left out.
BatchRun Mhsim(const std::string& arguments) {
    return Batch("mhsim " + arguments, Errors::Dropped);
}

} // namespace

TEST(MhSimBatch, TextWithASeedRepeatsExactly) {
    const std::string args = Example("loading-dock.mhs") + " --option 1 --seed 42";
    const BatchRun first = Mhsim(args), second = Mhsim(args);
    ASSERT_EQ(first.status, 0) << first.out;
    EXPECT_EQ(first.out, second.out);
    EXPECT_NE(first.out.find("== Results For Multi-Servers Option =="), std::string::npos);
    EXPECT_NE(first.out.find("Seed                                         42\n"),
              std::string::npos)
        << first.out;
    EXPECT_NE(first.out.find("SIMULATION RESULTS FOR MULTI-SERVERS OPTION"), std::string::npos);
    EXPECT_NE(first.out.find("Maximum observed line length"), std::string::npos);
    EXPECT_NE(Mhsim(Example("loading-dock.mhs") + " --option 1 --seed 43").out, first.out);
}

TEST(MhSimBatch, JsonCarriesEveryResultByNameAndRepeats) {
    const std::string args = Example("tool-crib.mhs") + " --option 3 --seed 7 --cycles 40 --json";
    const BatchRun first = Mhsim(args), second = Mhsim(args);
    ASSERT_EQ(first.status, 0);
    EXPECT_EQ(first.out, second.out);
    const auto j = nlohmann::json::parse(first.out);
    for (const char* key :
         {"NumServMean", "NumServStd", "LineLenMean", "LineLenStd", "WaitMean", "WaitStd",
          "PropBusyMean", "PropBusyStd", "OvertimeMean", "OvertimeStd", "TurnawayMean",
          "TurnawayStd", "MaxLine", "NumServHalf", "WaitHalf", "Seed", "SimCycles", "Report"})
        EXPECT_TRUE(j.contains(key)) << key;
    EXPECT_EQ(j["Seed"], 7);
    EXPECT_EQ(j["SimCycles"], 40);
    EXPECT_EQ(j["SimOption"], 3);
    EXPECT_EQ(j["MaxLine"], 0);
    EXPECT_EQ(j["OvertimeMean"], 0);
    EXPECT_EQ(j["Report"][1],
              "         SIMULATION RESULTS FOR MULTI-SERVERS + LIMITED QUEUE SIZE OPTION");
}

TEST(MhSimBatch, ExitStatusesForUsageUnreadableAndRefusedRuns) {
    EXPECT_EQ(Mhsim(Example("loading-dock.mhs") + " --option 5").status, 2);
    EXPECT_EQ(Mhsim(Example("loading-dock.mhs") + " --option 1 --seed abc").status, 2);
    EXPECT_EQ(Mhsim(Example("loading-dock.mhs") + " --option 1 --cycles ''").status, 2);
    EXPECT_EQ(Mhsim("/nonexistent/none.mhs --option 1").status, 3);
    // Out of range on the command line is a usage error; in the file, a refused run.
    EXPECT_EQ(Mhsim(Example("loading-dock.mhs") + " --option 1 --cycles 1 --json").status, 2);
    const fs::path file =
        fs::temp_directory_path() / ("one-cycle-" + std::to_string(::getpid()) + ".mhs");
    std::ofstream(file, std::ios::binary) << "1,8,0,2,1,1,1,2\r\n";
    const BatchRun refused = Mhsim(file.string() + " --option 1 --seed 1 --json");
    EXPECT_EQ(refused.status, 4);
    EXPECT_EQ(nlohmann::json::parse(refused.out)["error"],
              "Number of simulation cycles must be a whole number from 2 to 1000000000.");
    fs::remove(file);
}

TEST(MhSimBatch, SaveWritesTheProblemAsRun) {
    const fs::path out =
        fs::temp_directory_path() / ("batch-" + std::to_string(::getpid()) + ".mhs");
    ASSERT_EQ(Mhsim(Example("clinic-desk.mhs") + " --option 2 --seed 1 --cycles 30 --save " +
                    out.string())
                  .status,
              0);
    std::ifstream in(out, std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(contents.substr(0, 3), "30,");
    EXPECT_EQ(contents.substr(contents.size() - 2), "\r\n");
    fs::remove(out);
}

TEST(MhSimBatch, UniformWithBBelowAIsRefusedAsSimulateRefusesIt) {
    const fs::path file =
        fs::temp_directory_path() / ("uniform-" + std::to_string(::getpid()) + ".mhs");
    std::ofstream(file, std::ios::binary) << "10,8,0,2,7,1,0.5,2\r\n";
    const BatchRun refused = Mhsim(file.string() + " --option 1 --seed 1 --json");
    EXPECT_EQ(refused.status, 4);
    EXPECT_EQ(nlohmann::json::parse(refused.out)["error"],
              "Uniform distribution\nparameter b must be larger than parameter a");
    fs::remove(file);
}
