// Runs davrenta-batch sitematch as a user would and checks what it prints.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "batchrun.h"

using davrenta::testing::Batch;
using davrenta::testing::BatchRun;
using davrenta::testing::Errors;
using davrenta::testing::Example;

namespace {

TEST(BatchSiteMatch, JsonOfTheTiedExampleUnderTwoSites) {
    const BatchRun run = Batch("sitematch " + Example("tied-sites.sm") + " --max-sites 2 --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["OptimalTotalCost"].get<double>(), 40);
    EXPECT_EQ(j["ChosenSites"], nlohmann::json::parse("[1, 2]"));
    EXPECT_EQ(j["rows"][0], nlohmann::json::parse(R"([" 1", " 1", " 18"])"));
    EXPECT_EQ(j["rows"][1], nlohmann::json::parse(R"([" 2", " 1 or  2", " 10"])"));
    EXPECT_EQ(j["rows"][3], nlohmann::json::parse(R"([" 4", " 1 or  2", " 0"])"));
    EXPECT_EQ(j["Label2"], "Using a maximum of  2 sites.\r\rResults may use only one or both "
                           "sites.\r\rUtilize sites  1,  2\r\rThe optimal total cost would be: "
                           "\r\r 40");
    EXPECT_EQ(j["Report"][1], "Results for facility site matching");
    EXPECT_EQ(j["Report"].size(), 19u);
    EXPECT_EQ(j["DataReport"].size(), 7u);
    EXPECT_EQ(j["DataReport"][3],
              " 1        6        9        6        12" + std::string(20, ' ') + " 3 ");
    ASSERT_EQ(j["CostsBySites"].size(), 3u);
    EXPECT_EQ(j["CostsBySites"][0]["OptimalTotalCost"].get<double>(), 49);
    EXPECT_TRUE(j["CostsBySites"][0]["Saving"].is_null());
    EXPECT_EQ(j["CostsBySites"][1]["Saving"].get<double>(), 9);
    EXPECT_EQ(j["CostsBySites"][2]["ChosenSites"], nlohmann::json::parse("[1, 2, 3]"));
    EXPECT_EQ(j["CostsBySites"][2]["Saving"].get<double>(), 0);
}

TEST(BatchSiteMatch, EveryShippedExampleUnderEverySiteLimit) {
    const struct {
        const char* file;
        int limit;
        double total;
        const char* sites;
    } cases[] = {
        {"county-depots.sm", 1, 15297, "[4]"},       {"county-depots.sm", 2, 12149, "[4, 8]"},
        {"county-depots.sm", 3, 10744, "[2, 4, 7]"}, {"tied-sites.sm", 1, 49, "[2]"},
        {"tied-sites.sm", 2, 40, "[1, 2]"},          {"tied-sites.sm", 3, 40, "[1, 2, 3]"},
    };
    for (const auto& c : cases) {
        const BatchRun run = Batch("sitematch " + Example(c.file) + " --max-sites " +
                                   std::to_string(c.limit) + " --json");
        ASSERT_EQ(run.status, 0) << c.file << run.out;
        const auto j = nlohmann::json::parse(run.out);
        EXPECT_EQ(j["OptimalTotalCost"].get<double>(), c.total) << c.file << c.limit;
        EXPECT_EQ(j["ChosenSites"], nlohmann::json::parse(c.sites)) << c.file << c.limit;
    }
}

TEST(BatchSiteMatch, TextShowsTheWindowTheCostTableAndBothReports) {
    const BatchRun run = Batch("sitematch " + Example("tied-sites.sm") + " --max-sites 3");
    ASSERT_EQ(run.status, 0) << run.out;
    for (const char* expected :
         {"== results ==", " 1               1 or  3         18", "Utilize sites  1,  2,  3",
          "Results may use only one, two, or all three sites.", "== Costs by number of sites ==",
          "2                   1, 2                40                  9", "== Report: results ==",
          "== Report: data table ==", "Fac.     Sites     Cost", " 2        1 or  2 or  3"})
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
}

TEST(BatchSiteMatch, SaveWritesTheProblemAsTheResultsWindowWould) {
    char tmpl[] = "/tmp/davrenta-smbatch-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string out = std::string(tmpl) + "/copy.sm";
    const BatchRun run =
        Batch("sitematch " + Example("tied-sites.sm") + " --max-sites 1 --save " + out);
    ASSERT_EQ(run.status, 0) << run.out;
    std::ifstream in(out, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(written.substr(0, 14), "4,4\r\n6\r\n9\r\n6\r\n");
    std::ifstream original(Example("tied-sites.sm"), std::ios::binary);
    EXPECT_EQ(written, std::string(std::istreambuf_iterator<char>(original), {}));
    std::filesystem::remove_all(tmpl);
}

TEST(BatchSiteMatch, ExitStatusesOfUsageFilesAndRefusals) {
    const std::string file = Example("tied-sites.sm");
    for (const char* bad : {"--max-sites 4", "--max-sites ''", "--max-sites two", "--max-sites 2.0",
                            "--max-sites 1 --save ''", ""})
        EXPECT_EQ(Batch("sitematch " + file + " " + bad).status, 2) << bad;
    EXPECT_EQ(Batch("sitematch /nonexistent/p.sm --max-sites 1").status, 3);

    char tmpl[] = "/tmp/davrenta-smbatch-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string small = std::string(tmpl) + "/two.sm";
    std::ofstream(small, std::ios::binary) << "1,2\r\n3\r\n4\r\n1\r\n";
    const BatchRun refused = Batch("sitematch " + small + " --max-sites 3 --json", Errors::Dropped);
    EXPECT_EQ(refused.status, 4);
    const auto j = nlohmann::json::parse(refused.out);
    EXPECT_EQ(j["error"], "The problem has 2 sites, so it cannot use a maximum of three sites. "
                          "Choose a smaller number of sites.");
    std::filesystem::remove_all(tmpl);
}

TEST(BatchSiteMatch, FiguresBeyondTheLargestNumberAreNoResult) {
    char tmpl[] = "/tmp/davrenta-smbatch-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    // A saving of 2.55e308; one-site totals of 3e308 while a pair costs 4.
    const std::string saving = std::string(tmpl) + "/saving.sm";
    std::ofstream(saving, std::ios::binary) << "2,2,-0.85e308,1.7e308,1,1.7e308,-0.85e308,1";
    const std::string single = std::string(tmpl) + "/single.sm";
    std::ofstream(single, std::ios::binary)
        << "4,2,1.5e308,1,1,1,1.5e308,1,1.5e308,1,1,1,1.5e308,1";
    for (const std::string& args : {saving + " --max-sites 1", single + " --max-sites 2"}) {
        const BatchRun run = Batch("sitematch " + args + " --json", Errors::Dropped);
        EXPECT_EQ(run.status, 4) << args << run.out;
        const auto j = nlohmann::json::parse(run.out);
        ASSERT_EQ(j.size(), 1u) << run.out;
        EXPECT_EQ(
            j["error"].get<std::string>().rfind("The costs are too large to compute with: ", 0),
            0u);
    }
    std::filesystem::remove_all(tmpl);
}

} // namespace
