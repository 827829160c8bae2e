// davrenta-batch popmap --evaluate and --surface, run as a user would.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "batchrun.h"

using davrenta::testing::Batch;
using davrenta::testing::BatchRun;
using davrenta::testing::Errors;
using davrenta::testing::Example;

namespace {

TEST(BatchEvaluate, FiguresOfGivenPodsOnTheWorkedExample) {
    // Cells of 50 people at columns 1..3, 0.1 apart: one POD in the middle, or two at the ends
    // sharing the middle cell (the lower slot keeps a tie).
    BatchRun run =
        Batch("popmap " + Example("worked-example.fl") + " --distance 1 --evaluate 1,2 --json");
    ASSERT_EQ(run.status, 0) << run.out;
    auto j = nlohmann::json::parse(run.out);
    EXPECT_DOUBLE_EQ(j["BestTravel"].get<double>(), 10);
    EXPECT_DOUBLE_EQ(j["BestMaxDistance"].get<double>(), 0.1);
    EXPECT_DOUBLE_EQ(j["BestServed"].get<double>(), 150);
    EXPECT_EQ(j["PodServed"], nlohmann::json::parse("[150.0]"));
    EXPECT_EQ(j["NewPods"], nlohmann::json::parse("[[1,2]]"));

    run = Batch("popmap " + Example("worked-example.fl") +
                " --distance 1 --evaluate \"1,1  1,3\" --json");
    ASSERT_EQ(run.status, 0) << run.out;
    j = nlohmann::json::parse(run.out);
    EXPECT_DOUBLE_EQ(j["BestTravel"].get<double>(), 5);
    EXPECT_EQ(j["PodServed"], nlohmann::json::parse("[100.0, 50.0]"));
    EXPECT_EQ(j["BestServiceMap"][0], "**@");

    run = Batch("popmap " + Example("worked-example.fl") + " --distance 1 --evaluate \"1,1 1,3\"");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("RECTILINEAR CALCULATIONS\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("COORDINATES OF NEW POD 2 (@) (x,y)= 3, 1\n"), std::string::npos);
    EXPECT_NE(run.out.find("AVERAGE DISTANCE 0.356"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("NUMBER SERVED BY NEW PODS"), std::string::npos);
    EXPECT_NE(run.out.find("@               3               1               50\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\n**@\n"), std::string::npos);
}

TEST(BatchEvaluate, TheSearchsCellGivesTheSearchsFigures) {
    const std::string file = Example("mid-county.fl");
    const BatchRun searched =
        Batch("popmap " + file + " --pods 2 --measure 1 --distance 2 --json", Errors::Dropped);
    ASSERT_EQ(searched.status, 0);
    const auto s = nlohmann::json::parse(searched.out);
    std::string cells;
    for (const auto& cell : s["NewPods"])
        cells +=
            std::to_string(cell[0].get<int>()) + "," + std::to_string(cell[1].get<int>()) + " ";
    const BatchRun run = Batch(
        "popmap " + file + " --distance 2 --evaluate \"" + cells + "\" --json", Errors::Dropped);
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["BestTravel"], s["BestTravel"]);
    EXPECT_EQ(j["BestMaxDistance"], s["BestMaxDistance"]);
    EXPECT_EQ(j["PodServed"], s["PodServed"]);
    EXPECT_EQ(j["BestServiceMap"], s["BestServiceMap"]);
    // The existing PODs alone, as the search prepared them.
    EXPECT_EQ(j["PriorAverageDistance"], s["PriorAverageDistance"]);
    EXPECT_EQ(j["PriorMaxDistance"], s["PriorMaxDistance"]);
    EXPECT_EQ(j["ExistingPodServed"], s["ExistingPodServed"]);
}

TEST(BatchSurface, GridOfTheOnePodSearchsValues) {
    BatchRun run =
        Batch("popmap " + Example("worked-example.fl") + " --distance 1 --measure 1 --surface");
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("\n15 10 15\nBEST CELL (x,y)= 2, 1\n"), std::string::npos) << run.out;

    const std::string file = Example("mid-county.fl");
    const BatchRun searched =
        Batch("popmap " + file + " --pods 1 --measure 3 --distance 3 --json", Errors::Dropped);
    ASSERT_EQ(searched.status, 0);
    const auto s = nlohmann::json::parse(searched.out);
    run = Batch("popmap " + file + " --distance 3 --measure 3 --surface --json", Errors::Dropped);
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["Surface"], s["CandidateMaxDistance"]);
    EXPECT_EQ(j["NewPods"], s["NewPods"]);
}

TEST(BatchEvaluate, RefusalsFollowTheExitStatusTable) {
    const std::string file = Example("worked-example.fl");
    struct Case {
        std::string args;
        int status;
        std::string says;
    };
    const Case cases[] = {
        {"--evaluate 1,4", 4, "New POD 1 at line 1, column 4 lies off the map"},
        {"--evaluate 0,1", 2, "is not a list of cells"},
        {"--evaluate 1,2,3", 2, "is not a list of cells"},
        {"--evaluate \"1, 2\"", 2, "is not a list of cells"},
        {"--evaluate \"\"", 2, "is not a list of cells"},
        {"--evaluate 1,2 --pods 1", 2, "--evaluate goes without --pods"},
        {"--evaluate 1,2 --measure 1", 2, "--evaluate goes without --measure"},
        {"--evaluate 1,2 --save /tmp/x.fl", 2, "--evaluate goes without --save"},
        {"--evaluate 1,2 --surface --measure 1", 2, "--evaluate and --surface go apart"},
        {"--surface", 2, "--measure is required"},
        {"--surface --measure 1 --near-optimal 0.1", 2, "--surface goes without --near-optimal"},
    };
    for (const Case& c : cases) {
        const BatchRun run = Batch("popmap " + file + " --distance 1 " + c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.out;
        EXPECT_NE(run.out.find(c.says), std::string::npos) << c.args << "\n" << run.out;
    }
    std::string many;
    for (int k = 0; k < 32; ++k)
        many += "1,1 ";
    BatchRun run = Batch("popmap " + file + " --distance 1 --evaluate \"" + many + "\"");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find("32 cells are more than the 31 PODs"), std::string::npos) << run.out;
    // Six existing PODs leave room for 25 new ones.
    many.clear();
    for (int k = 0; k < 26; ++k)
        many += "1,3 ";
    run = Batch("popmap " + Example("mid-county.fl") + " --distance 1 --evaluate \"" + many +
                "\" --json");
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.out.find("leave room for 25 new ones"), std::string::npos) << run.out;
    run = Batch("popmap /nonexistent/x.fl --distance 1 --evaluate 1,1");
    EXPECT_EQ(run.status, 3) << run.out;
}

} // namespace
