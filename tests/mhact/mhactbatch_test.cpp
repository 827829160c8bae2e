// Runs davrenta-batch mhact as a user would and checks what it prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "batchrun.h"

using davrenta::testing::Batch;
using davrenta::testing::BatchRun;
using davrenta::testing::Errors;
using davrenta::testing::Example;

namespace {

TEST(BatchMhAct, JsonOfTheMachineShop) {
    const BatchRun run =
        Batch("mhact " + Example("machine-shop.mh") + " --distance 1 --json", Errors::Dropped);
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["ActivityTotal"].get<double>(), 5180);
    EXPECT_EQ(j["TotalLoads"].get<double>(), 345);
    EXPECT_DOUBLE_EQ(j["AverageMoveDistance"].get<double>(), 15.014492753623188);
    EXPECT_DOUBLE_EQ(j["StandardDeviation"].get<double>(), 9.373535162495234);
    // Combined: Saw->Lathe 35 and 4 back from Lathe to Saw make 39.
    EXPECT_EQ(j["MoveCount"].size(), 8u);
    EXPECT_EQ(j["MoveCount"][1][2].get<double>(), 39);
    EXPECT_EQ(j["MoveCount"][2][1].get<double>(), 0);
    EXPECT_EQ(j["res1grd"][0][0], "FROM DEPT");
    EXPECT_EQ(j["res1grd"][1][0], "Receiving");
    EXPECT_EQ(j["res1grd"][1][1], "Saw");
    EXPECT_EQ(j["res1grd"][1][2], "60");
    EXPECT_EQ(j["Label1"],
              "CURRENT MH ACTIVITY (RECT) \rAVERAGE MOVE DISTANCE\rSTANDARD DEVIATION");
    EXPECT_EQ(j["Label2"], "345\r15.0\r9.4");
    EXPECT_EQ(j["Label3"], "5180");
    EXPECT_EQ(j["res2grd"].size(), 29u);
    EXPECT_EQ(j["SwitchLabel1"], "OPTIMAL SWITCH = Mill <---> Grind 4450.0    Reduction 14.1%");
    EXPECT_EQ(j["SwitchDept1"], 4);
    EXPECT_EQ(j["SwitchDept2"], 6);
    // The move table as loaded: Lathe->Saw 4 still below the diagonal.
    EXPECT_EQ(j["MoveTablePrint"][8], "  Lathe    0    4    0    10    0    20    0    0");
    EXPECT_EQ(j["Print"][2], "From DeptTo Dept  Loads    Distance Load x Dist  Percent");
    EXPECT_FALSE(j.contains("Improve"));
}

TEST(BatchMhAct, EveryExampleUnderEveryMethod) {
    for (const char* file : {"machine-shop.mh", "assembly-plant.mh", "mezzanine.mh"})
        for (const char* method : {"1", "2", "3"}) {
            const BatchRun run = Batch(std::string("mhact ") + Example(file) + " --distance " +
                                           method + " --improve --json",
                                       Errors::Dropped);
            ASSERT_EQ(run.status, 0) << file << " " << method << run.out;
            const auto j = nlohmann::json::parse(run.out);
            EXPECT_TRUE(j["SwitchDept1"].get<int>() > 0) << file << " " << method;
            EXPECT_FALSE(j["Improve"]["Steps"].empty());
        }
}

TEST(BatchMhAct, TheAssemblyPlantsBestSwitchAndImprovement) {
    const BatchRun run = Batch("mhact " + Example("assembly-plant.mh") + " --distance 1 --improve");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("OPTIMAL SWITCH = Receiving <---> Shipping 25215.0    Reduction 23.5%"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("== Improve ==\n"), std::string::npos);
    EXPECT_NE(run.out.find("Load x Dist Sum 32965\n"), std::string::npos);
}

TEST(BatchMhAct, SharedLocationsAreNotListed) {
    const BatchRun run =
        Batch("mhact " + Example("mezzanine.mh") + " --distance 2 --json", Errors::Dropped);
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["TotalLoads"].get<double>(), 131);
    for (const auto& row : j["res1grd"])
        EXPECT_FALSE(row[0] == "Offices" && row[1] == "Stores");
}

TEST(BatchMhAct, SaveWritesTheCombinedProblem) {
    const std::string out =
        ::testing::TempDir() + "mhact-save-" + std::to_string(::getpid()) + ".mh";
    const BatchRun run = Batch("mhact " + Example("mezzanine.mh") + " --distance 1 --save " + out);
    ASSERT_EQ(run.status, 0) << run.out;
    std::ifstream in(out, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::filesystem::remove(out);
    EXPECT_EQ(text.str().substr(0, 66),
              " 5 \r\nOffices       ,              5            ,              5 \r\n");
    // Dispatch -> Offices (2) joined Offices -> Dispatch (6).
    EXPECT_NE(text.str().find("\r\n 0 \r\n 12 \r\n 0 \r\n 0 \r\n 8 \r\n 0 \r\n"),
              std::string::npos);
}

TEST(BatchMhAct, ExitStatuses) {
    EXPECT_EQ(Batch("mhact " + Example("machine-shop.mh")).status, 2);
    EXPECT_EQ(Batch("mhact " + Example("machine-shop.mh") + " --distance 4").status, 2);
    EXPECT_EQ(Batch("mhact " + Example("machine-shop.mh") + " --distance x").status, 2);
    EXPECT_EQ(Batch("mhact " + Example("machine-shop.mh") + " --distance ''").status, 2);
    const BatchRun missing = Batch("mhact /nonexistent/x.mh --distance 1");
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.out.find("/nonexistent/x.mh"), std::string::npos);
    EXPECT_EQ(
        Batch("mhact " + Example("machine-shop.mh") + " --distance 1 --save /nonexistent/dir/x.mh")
            .status,
        3);
}

std::string TempFile(const std::string& name, const std::string& contents) {
    const std::string path =
        ::testing::TempDir() + "mhact-" + std::to_string(::getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

TEST(BatchMhAct, FiguresBeyondTheLargestNumberAreNoResult) {
    // Moves of 1.7e308 both ways combine to more than the largest number; the far department
    // carries no load until an exchange moves A there.
    for (const auto& [name, contents] :
         {std::pair{"both-ways.mh", "2\r\nA,0,1\r\nB,1,1\r\n0\r\n1.7e308\r\n1.7e308\r\n0\r\n"},
          {"exchange.mh", "3\r\nA,0,1\r\nB,3,1\r\nFar,1e308,1\r\n0,2,0\r\n0,0,0\r\n0,0,0\r\n"}}) {
        const std::string file = TempFile(name, contents);
        const BatchRun run = Batch(
            "mhact " + file + " --distance 3 --json --save " + file + ".saved", Errors::Dropped);
        EXPECT_EQ(run.status, 4) << name << run.out;
        const auto j = nlohmann::json::parse(run.out);
        ASSERT_EQ(j.size(), 1u) << run.out;
        EXPECT_EQ(j["error"].get<std::string>().rfind(
                      file + ": The locations and moves are too large to compute with: ", 0),
                  0u);
        EXPECT_FALSE(std::filesystem::exists(file + ".saved")) << name;
        std::filesystem::remove(file);
    }
}

TEST(BatchMhAct, ASaveThatWouldNotReadBackIsRefusedWithExitThree) {
    // A quoted name may hold a comma; the file's unquoted names cannot.
    const std::string file =
        TempFile("comma.mh", "2\r\n\"Saw, band\",0,1\r\nLathe,3,1\r\n0,4\r\n0,0\r\n");
    const std::string saved = file + ".saved";
    const BatchRun run =
        Batch("mhact " + file + " --distance 1 --json --save " + saved, Errors::Apart);
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("The name of department 1 \"Saw, band\""), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(saved));
    std::filesystem::remove(file);
}

TEST(BatchMhAct, OptimalLayoutOfTheAssemblyPlantBesideTheCurrentAndImproved) {
    const BatchRun run = Batch("mhact " + Example("assembly-plant.mh") +
                                   " --distance 1 --optimal --time-limit 600 --json",
                               Errors::Dropped);
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["OptimalActivity"].get<double>(), 17180);
    EXPECT_EQ(j["Proven"], true);
    EXPECT_EQ(j["LowerBound"].get<double>(), 17180);
    EXPECT_EQ(j["Gap"].get<double>(), 0);
    EXPECT_EQ(j["CurrentActivity"].get<double>(), 32965);
    EXPECT_EQ(j["ImprovedActivity"].get<double>(), 18015);
    EXPECT_NEAR(j["CurrentAboveOptimal"].get<double>(), 91.8801, 1e-4);
    EXPECT_NEAR(j["ImprovedAboveOptimal"].get<double>(), 4.8603, 1e-4);
    // Every department on one of the file's locations, each location used once.
    ASSERT_EQ(j["OptimalLayout"].size(), 15u);
    std::vector<std::pair<double, double>> best, file;
    for (int d = 0; d < 15; ++d) {
        best.emplace_back(j["OptimalLayout"][d]["x"].get<double>(),
                          j["OptimalLayout"][d]["y"].get<double>());
        file.emplace_back(j["DeptX"][d].get<double>(), j["DeptY"][d].get<double>());
    }
    std::sort(best.begin(), best.end());
    std::sort(file.begin(), file.end());
    EXPECT_EQ(best, file);
    EXPECT_EQ(j["BestLabel1"], "BEST LAYOUT = 17180.0    Reduction 47.9%\r"
                               "PROVEN: NO LAYOUT OF THESE PLACES HAS A LOWER ACTIVITY");
    EXPECT_EQ(j["BestLabel2"], "CURRENT LAYOUT 32965.0, 91.9% ABOVE THE BEST\r"
                               "IMPROVE RESULT 18015.0, 4.9% ABOVE THE BEST");
    EXPECT_EQ(j["bestgrd"].size(), 16u);
    EXPECT_EQ(j["BestPrint"][2], "Best layout, rectilinear distance");

    const BatchRun text =
        Batch("mhact " + Example("assembly-plant.mh") + " --distance 1 --optimal", Errors::Dropped);
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("== Best Layout ==\nDEPARTMENT      X               Y"),
              std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("CURRENT LAYOUT 32965.0, 91.9% ABOVE THE BEST\n"), std::string::npos);
}

TEST(BatchMhAct, OptimalStoppedAtTheTimeLimitSaysSo) {
    // Fifteen departments with dense moves: far more than a millisecond's search.
    const std::string file =
        ::testing::TempDir() + "mhact-dense-" + std::to_string(::getpid()) + ".mh";
    {
        std::ofstream f(file, std::ios::binary);
        f << "15\r\n";
        for (int d = 0; d < 15; ++d)
            f << "D" << d << "," << 10 * (d % 5) << "," << 10 + 10 * (d / 5) << "\r\n";
        for (int a = 0; a < 15; ++a)
            for (int b = 0; b < 15; ++b)
                f << (a < b && (a * 7 + b * 3) % 5 != 0 ? 1 + (a * b + 3 * a + b) % 37 : 0)
                  << "\r\n";
    }
    const BatchRun run = Batch(
        "mhact " + file + " --distance 3 --optimal --time-limit 0.001 --json", Errors::Dropped);
    std::filesystem::remove(file);
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["Proven"], false);
    EXPECT_LE(j["LowerBound"].get<double>(), j["OptimalActivity"].get<double>());
    EXPECT_LE(j["OptimalActivity"].get<double>(), j["ImprovedActivity"].get<double>());
    EXPECT_GE(j["Gap"].get<double>(), 0);
    EXPECT_EQ(j["BestLabel1"].get<std::string>().find("NOT PROVEN: THE TIME LIMIT WAS REACHED"),
              j["BestLabel1"].get<std::string>().find('\r') + 1);
}

TEST(BatchMhAct, TimeLimitNeedsOptimalAndSecondsAboveZero) {
    const std::string plant = "mhact " + Example("assembly-plant.mh") + " --distance 1";
    EXPECT_EQ(Batch(plant + " --time-limit 5").status, 2);
    EXPECT_EQ(Batch(plant + " --optimal --time-limit 0").status, 2);
    EXPECT_EQ(Batch(plant + " --optimal --time-limit 5s").status, 2);
    const BatchRun nan = Batch(plant + " --optimal --time-limit nan");
    EXPECT_EQ(nan.status, 2);
    EXPECT_NE(nan.out.find("--time-limit: \"nan\" is not a number of seconds above 0"),
              std::string::npos);
}

} // namespace
