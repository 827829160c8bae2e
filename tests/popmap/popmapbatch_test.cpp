// Runs davrenta-batch as a user would and checks what it prints.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "batchrun.h"

using davrenta::testing::Batch;
using davrenta::testing::BatchRun;
using davrenta::testing::Errors;
using davrenta::testing::Example;

namespace {

// A file for one test, removed with it.
struct TempFile {
    std::string path;
    explicit TempFile(const std::string& contents) {
        char name[] = "/tmp/davrenta-batch-XXXXXX";
        const int fd = mkstemp(name);
        path = name;
        if (fd >= 0) {
            if (write(fd, contents.data(), contents.size()) < 0)
                path.clear();
            close(fd);
        }
    }
    ~TempFile() { std::remove(path.c_str()); }
};

TEST(BatchPopMap, JsonOfTheWorkedExample) {
    const BatchRun run = Batch("popmap " + Example("worked-example.fl") +
                               " --pods 1 --measure 1 --distance 1 --near-optimal 0.4 --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["NewPodLine"], 1);
    EXPECT_EQ(j["NewPodColumn"], 2);
    EXPECT_EQ(j["BestTravel"].get<double>(), 10.0);
    EXPECT_EQ(j["BestMaxDistance"].get<double>(), 0.1);
    EXPECT_EQ(j["CandidateTravel"][0].size(), 3u);
    EXPECT_DOUBLE_EQ(j["CandidateTravel"][0][0].get<double>(), 15);
    EXPECT_EQ(j["NearOptimalMap"][0], "AXB");
    EXPECT_DOUBLE_EQ(j["NearTravelLimit"].get<double>(), 14);
    EXPECT_EQ(j["PodServed"].size(), 1u);
    EXPECT_EQ(j["Results3"]["result5lbl"], "NEW AVG. DIST. TRAVELED 0.712");
    EXPECT_EQ(j["Results4"]["facgrd"][1][0], "*");
    EXPECT_EQ(j["MapReport"].size(), 57u);
    EXPECT_FALSE(j.contains("NewPod1Line"));
}

TEST(BatchPopMap, NumbersReadBackToTheSameDouble) {
    const BatchRun run =
        Batch("popmap " + Example("mid-county.fl") + " --pods 1 --measure 2 --distance 2 --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    // Under maximum served the travel figures keep their starting value.
    EXPECT_EQ(j["BestTravel"].get<double>(), 1e10);
    const double prior = j["PriorAverageDistance"].get<double>();
    EXPECT_GT(prior, 0);
    EXPECT_EQ(nlohmann::json::parse(nlohmann::json(prior).dump()).get<double>(), prior);
    EXPECT_EQ(j["ExistingPodServed"].size(), 6u);
}

TEST(BatchPopMap, TextWalksTheWholeResultSequence) {
    const BatchRun run =
        Batch("popmap " + Example("small-town.fl") + " --pods 2 --measure 3 --distance 3");
    ASSERT_EQ(run.status, 0) << run.out;
    for (const char* expected :
         {"INPUT MAP WITH EXISTING FACILITIES MARKED BY NUMBER",
          "SERVICE AREAS FOR EACH EXISTING FACILITY", "SQUARED EUCLIDEAN CALCULATIONS",
          "OPTIMAL LOCATION FOR NEW PODS TO MINIMIZE MAX_DISTANCE FOR POPULATION",
          "COORDINATES OF NEW POD 1 (x,y)= ", "Optimal location of second new POD is @.",
          "EXISTING FACILITIES PLUS OPTIMAL LOCATIONS OF TWO NEW FACILITIES", "Pop. per"})
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected;
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
}

TEST(BatchPopMap, EveryMeasureAndMethodOnTheExamples) {
    for (const char* file : {"worked-example.fl", "small-town.fl", "mid-county.fl"})
        for (int pods : {1, 2})
            for (int measure = 1; measure <= 3; ++measure)
                for (int method = 1; method <= 3; ++method) {
                    if (pods == 2 && std::string(file) == "mid-county.fl" && method != 1)
                        continue; // the pair search on the county is covered once per measure
                    const BatchRun run =
                        Batch("popmap " + Example(file) + " --pods " + std::to_string(pods) +
                              " --measure " + std::to_string(measure) + " --distance " +
                              std::to_string(method) + " --json");
                    ASSERT_EQ(run.status, 0) << file << run.out;
                    const auto j = nlohmann::json::parse(run.out);
                    EXPECT_TRUE(j.contains(pods == 1 ? "NewPodLine" : "NewPod2Column"));
                }
}

std::string FileText(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::array<char, 4096> buffer;
        std::size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0)
            text.append(buffer.data(), n);
        std::fclose(f);
    }
    return text;
}

TEST(BatchPopMap, SaveAddsTheNewPodsAsExistingOnes) {
    char dir[] = "/tmp/davrenta-save-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string out = std::string(dir) + "/saved.fl";
    const BatchRun one = Batch("popmap " + Example("worked-example.fl") +
                               " --pods 1 --measure 1 --distance 1 --json --save " + out);
    ASSERT_EQ(one.status, 0) << one.out;
    EXPECT_EQ(nlohmann::json::parse(one.out)["NewPodColumn"], 2);
    EXPECT_EQ(FileText(out), "2,1,2\r\n\"A\",100\r\n\"B\",50\r\n1,2\r\n3,\"AAB\"\r\n");

    // Two new PODs on the saved problem: both join the existing one.
    const BatchRun two =
        Batch("popmap " + out + " --pods 2 --measure 1 --distance 1 --save " + out);
    ASSERT_EQ(two.status, 0) << two.out;
    EXPECT_EQ(FileText(out).substr(0, 7), "2,3,2\r\n");

    // No room for the new POD: nothing is written and the message says why.
    const std::string full = std::string(dir) + "/full.fl";
    const BatchRun refused = Batch("popmap " + Example("full-region.fl") +
                                   " --pods 1 --measure 1 --distance 1 --save " + full);
    EXPECT_EQ(refused.status, 3);
    EXPECT_NE(refused.out.find("30"), std::string::npos) << refused.out;
    EXPECT_EQ(FileText(full), "");
    std::remove(out.c_str());
    rmdir(dir);
}

TEST(BatchPopMap, Failures) {
    EXPECT_EQ(Batch("popmap").status, 2);
    EXPECT_EQ(
        Batch("popmap " + Example("small-town.fl") + " --pods 32 --measure 1 --distance 1").status,
        2);
    EXPECT_EQ(Batch("nothing").status, 2);
    EXPECT_EQ(Batch("popmap " + Example("small-town.fl") +
                    " --pods 2 --measure 1 --distance 1 --near-optimal 0.1")
                  .status,
              2);

    const BatchRun missing = Batch("popmap /nonexistent/x.fl --pods 1 --measure 1 --distance 1");
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.out.find("/nonexistent/x.fl"), std::string::npos);

    const TempFile bad("2,0,2\r\n\"A\",5\r\n\"Q\",3\r\n1,\"A\"\r\n");
    const BatchRun failed =
        Batch("popmap " + bad.path + " --pods 1 --measure 1 --distance 1 --json", Errors::Apart);
    EXPECT_EQ(failed.status, 4);
    EXPECT_EQ(nlohmann::json::parse(failed.out)["error"],
              bad.path + ": Population symbol = Q missing from map");
    EXPECT_EQ(failed.err,
              "davrenta-batch: " + bad.path + ": Population symbol = Q missing from map\n");

    const BatchRun refused =
        Batch("popmap " + Example("full-region.fl") + " --pods 2 --measure 1 --distance 1",
              Errors::Apart);
    EXPECT_EQ(refused.status, 4);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find(Example("full-region.fl") + ": With 30 existing PODs"),
              std::string::npos);
    EXPECT_NE(refused.err.find("31 PODs"), std::string::npos);
}

TEST(BatchPopMap, JsonCarriesEveryByteAsOneLatin1Character) {
    // A Latin-1 symbol and a UTF-8 lead byte cut from its follower, as map cells.
    const TempFile map("2,0,2\r\n\"A\",10\r\n\"\xE9\",5\r\n3,\"A\xE9\xC3\"\r\n");
    const BatchRun run =
        Batch("popmap " + map.path + " --pods 1 --measure 1 --distance 1 --json", Errors::Apart);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["NumberedMap"][0], "A\u00e9\u00c3");
    EXPECT_EQ(j["BestServiceMap"][0], "**\u00c3");
    EXPECT_EQ(j["Results4"]["facgrd"][1][0], "*");

    // The failure path writes the same way, and cannot abort.
    const TempFile missing("1,0,2\r\n\"\xFF\",5\r\n1,\"A\xC3\"\r\n");
    const BatchRun failed = Batch(
        "popmap " + missing.path + " --pods 1 --measure 1 --distance 1 --json", Errors::Apart);
    EXPECT_EQ(failed.status, 4);
    EXPECT_EQ(nlohmann::json::parse(failed.out)["error"],
              missing.path + ": Population symbol = \\xFF missing from map");
}

TEST(BatchPopMap, NoLocationAndNonFiniteFiguresAreFailures) {
    // Every location's travel is above the starting value: no cell may be reported.
    const TempFile heavy("1,0,2\r\n\"A\",1e12\r\n5,\"A A A\"\r\n");
    const BatchRun none =
        Batch("popmap " + heavy.path + " --pods 1 --measure 1 --distance 1 --json", Errors::Apart);
    EXPECT_EQ(none.status, 4);
    EXPECT_EQ(nlohmann::json::parse(none.out)["error"],
              heavy.path + ": No location was found: the total travel of every location is "
                           "10000000000 or more. Make the populations smaller and search again.");
    const TempFile negative("2,0,2\r\n\"A\",-1\r\n\"B\",-2\r\n2,\"AB\"\r\n");
    const BatchRun nobody =
        Batch("popmap " + negative.path + " --pods 2 --measure 2 --distance 1", Errors::Apart);
    EXPECT_EQ(nobody.status, 4);
    EXPECT_EQ(nobody.out, "");
    EXPECT_NE(nobody.err.find("no location serves more than 0 people"), std::string::npos);

    std::string lines = "1,\"A\"\r\n";
    for (int i = 0; i < 18; ++i)
        lines += "0,\"\"\r\n";
    const TempFile huge("3,0,21\r\n\"A\",-1e308\r\n\"B\",1e308\r\n\"C\",1e308\r\n" + lines +
                        "2,\"BC\"\r\n");
    for (const char* measure : {"2", "3"}) {
        const BatchRun run =
            Batch("popmap " + huge.path + " --pods 1 --measure " + measure + " --distance 1 --json",
                  Errors::Apart);
        EXPECT_EQ(run.status, 4) << measure;
        EXPECT_NE(nlohmann::json::parse(run.out)["error"].get<std::string>().find(
                      "too large to compute with"),
                  std::string::npos);
    }
}

TEST(BatchPopMap, EmptyOptionValuesAreUsageErrors) {
    const std::string file = Example("worked-example.fl");
    for (const std::string& args : {file + " --pods '' --measure 1 --distance 1",
                                    file + " --pods 1 --measure '' --distance 1",
                                    file + " --pods 1 --measure 1 --distance ''",
                                    std::string("'' --pods 1 --measure 1 --distance 1")}) {
        const BatchRun run = Batch("popmap " + args, Errors::Apart);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(run.err.find("Usage"), std::string::npos) << args;
    }
}

TEST(BatchPopMap, NearOptimalBoundIsANumberFrom0To1CheckedBeforeTheSearch) {
    // The file does not exist: a bound checked first gives 2, not 3.
    for (const char* bound : {"abc", "nan", "inf", "''", "0.4abc", "1.5", "-0.1", "' '"}) {
        const BatchRun run = Batch(std::string("popmap /nonexistent/x.fl --pods 1 --measure 1 "
                                               "--distance 1 --near-optimal ") +
                                       bound,
                                   Errors::Apart);
        EXPECT_EQ(run.status, 2) << bound;
        EXPECT_NE(run.err.find("is not a number from 0 to 1"), std::string::npos) << bound;
    }
    for (const char* bound : {"0", "1", "4e-1"}) {
        const BatchRun run =
            Batch("popmap " + Example("worked-example.fl") +
                  " --pods 1 --measure 1 --distance 1 --json --near-optimal " + bound);
        EXPECT_EQ(run.status, 0) << bound;
    }
    const BatchRun run = Batch("popmap " + Example("worked-example.fl") +
                               " --pods 1 --measure 1 --distance 1 --json --near-optimal 4e-1");
    EXPECT_DOUBLE_EQ(nlohmann::json::parse(run.out)["NearTravelLimit"].get<double>(), 14);
}

TEST(BatchPopMap, PipesDevicesAndHugeValuesAreRefusedWithAShortMessage) {
    char dir[] = "/tmp/davrenta-fifo-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string fifo = std::string(dir) + "/map.fl";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& file : {fifo, std::string("/dev/zero"), std::string(dir)}) {
        const BatchRun run =
            Batch("popmap " + file + " --pods 1 --measure 1 --distance 1", Errors::Apart);
        EXPECT_EQ(run.status, 3) << file;
        EXPECT_NE(run.err.find("The file " + file + " cannot be read"), std::string::npos)
            << run.err;
    }
    std::remove(fifo.c_str());
    rmdir(dir);

    // A huge bad field with raw bytes: the message quotes a short, escaped prefix.
    const TempFile bad("1,0,2\r\n\"A\",\x1B[2J\xFF" + std::string(200000, '9') +
                       "x\r\n1,\"A\"\r\n");
    const BatchRun run =
        Batch("popmap " + bad.path + " --pods 1 --measure 1 --distance 1", Errors::Apart);
    EXPECT_EQ(run.status, 3);
    EXPECT_LT(run.err.size(), 500u) << run.err.size();
    EXPECT_NE(run.err.find("\"\\x1B[2J\\xFF999"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\x1B'), std::string::npos);

    // So does a value the option parser refuses.
    const BatchRun option =
        Batch("popmap " + bad.path + " --measure 1 --distance 1 --pods \"$(printf '\\033')\"" +
                  std::string(100000, '7'),
              Errors::Apart);
    EXPECT_EQ(option.status, 2);
    EXPECT_EQ(option.err.find('\x1B'), std::string::npos);
    EXPECT_LT(option.err.size(), 3000u);
}

} // namespace

TEST(BatchPopMap, SeveralPodsInJsonAndText) {
    // The set and value a general solver gives for the same problem (bench/popmap_cbc.py).
    const BatchRun run =
        Batch("popmap " + Example("small-town.fl") + " --pods 3 --measure 1 --distance 1 --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["NewPods"], nlohmann::json::parse("[[1,11],[2,7],[3,12]]"));
    EXPECT_EQ(j["BestTravel"].get<double>(), 1270.4571840659344);
    EXPECT_EQ(j["Proven"], true);
    EXPECT_EQ(j["Bound"].get<double>(), 1270.4571840659344);
    EXPECT_EQ(j["Gap"].get<double>(), 0);
    EXPECT_EQ(j["PodServed"].size(), 6u); // three existing, three new
    EXPECT_EQ(j["Results4"]["facgrd"][6][0], "#");
    EXPECT_FALSE(j.contains("NewPodLine"));
    EXPECT_FALSE(j.contains("NewPod1Line"));

    const BatchRun text =
        Batch("popmap " + Example("small-town.fl") + " --pods 3 --measure 1 --distance 1");
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("COORDINATES OF NEW POD 3 (x,y)= 12, 3"), std::string::npos);
    EXPECT_NE(text.out.find("PROVEN OPTIMAL"), std::string::npos);
}

TEST(BatchPopMap, OneAndTwoPodsGainOnlyTheNewKeys) {
    const BatchRun one =
        Batch("popmap " + Example("small-town.fl") + " --pods 1 --measure 1 --distance 1 --json");
    ASSERT_EQ(one.status, 0);
    const auto j = nlohmann::json::parse(one.out);
    EXPECT_EQ(j["NewPods"], nlohmann::json::parse("[[2,11]]"));
    EXPECT_EQ(j["NewPodLine"], 2);
    EXPECT_EQ(j["Proven"], true);
    EXPECT_EQ(j["Bound"], j["BestTravel"]);
    EXPECT_EQ(j["Gap"].get<double>(), 0);

    const BatchRun two =
        Batch("popmap " + Example("small-town.fl") + " --pods 2 --measure 2 --distance 1 --json");
    ASSERT_EQ(two.status, 0);
    const auto k = nlohmann::json::parse(two.out);
    EXPECT_EQ(k["NewPods"][0][0], k["NewPod1Line"]);
    EXPECT_EQ(k["NewPods"][1][1], k["NewPod2Column"]);
    EXPECT_EQ(k["Bound"], k["BestServed"]);
    const BatchRun text =
        Batch("popmap " + Example("small-town.fl") + " --pods 2 --measure 2 --distance 1");
    EXPECT_EQ(text.out.find("PROVEN"), std::string::npos);
}

TEST(BatchPopMap, PodsCurveRows) {
    const BatchRun run = Batch("popmap " + Example("small-town.fl") +
                               " --pods-curve 3 --measure 1 --distance 1 --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    ASSERT_EQ(j["CostsByPods"].size(), 3u);
    // One POD: the one-POD search's own result either way; three: the result above.
    EXPECT_EQ(j["CostsByPods"][0][1].get<double>(), 1695.7871703296692);
    EXPECT_EQ(j["CostsByPods"][0][2].get<double>(), 1695.7871703296692);
    EXPECT_EQ(j["CostsByPods"][2][0], 3);
    EXPECT_EQ(j["CostsByPods"][2][1].get<double>(), 1270.4571840659344);
    EXPECT_GE(j["CostsByPods"][2][2].get<double>(), 1270.4571840659344);
    EXPECT_EQ(j["ProvenByPods"], nlohmann::json::parse("[true,true,true]"));
    EXPECT_EQ(j["NewPodsByPods"][2], nlohmann::json::parse("[[1,11],[2,7],[3,12]]"));

    const BatchRun text =
        Batch("popmap " + Example("small-town.fl") + " --pods-curve 2 --measure 3 --distance 2");
    ASSERT_EQ(text.status, 0);
    EXPECT_EQ(text.out.rfind("== MAX DISTANCE BY NUMBER OF NEW PODS ==\nPODS", 0), 0u) << text.out;
}

TEST(BatchPopMap, CoverGivesTheFewestPodsAndTheirCells) {
    const BatchRun run =
        Batch("popmap " + Example("small-town.fl") + " --cover 0.5 --distance 1 --pods 2 --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["CoverRadius"].get<double>(), 0.5);
    EXPECT_EQ(j["CoverPods"], 5);
    EXPECT_EQ(j["NewPods"].size(), 5u);
    EXPECT_EQ(j["Proven"], true);
    EXPECT_EQ(j["CoveredPods"], 2);
    EXPECT_EQ(j["CoveredNewPods"].size(), 2u);
    EXPECT_EQ(j["CoveredProven"], true);

    // Every cell within 0 of a POD: a POD on each of a line's three cells.
    const TempFile line("1,0,2\r\n\"A\",30\r\n3,\"AAA\"\r\n");
    const BatchRun zero = Batch("popmap " + line.path + " --cover 0 --distance 2 --json");
    ASSERT_EQ(zero.status, 0) << zero.out;
    EXPECT_EQ(nlohmann::json::parse(zero.out)["NewPods"],
              nlohmann::json::parse("[[1,1],[1,2],[1,3]]"));

    const BatchRun none =
        Batch("popmap " + Example("full-region.fl") + " --cover 0.05 --distance 1", Errors::Apart);
    EXPECT_EQ(none.status, 4);
    EXPECT_NE(none.err.find("takes more than 1 new POD"), std::string::npos) << none.err;
}

TEST(BatchPopMap, NewOptionsRefuseBadValues) {
    const std::string file = " " + Example("small-town.fl");
    EXPECT_EQ(Batch("popmap" + file + " --pods 3 --measure 1 --distance 1 --time-limit 0").status,
              2);
    EXPECT_EQ(Batch("popmap" + file + " --pods 3 --measure 1 --distance 1 --time-limit x").status,
              2);
    EXPECT_EQ(Batch("popmap" + file + " --cover -1 --distance 1").status, 2);
    EXPECT_EQ(Batch("popmap" + file + " --cover 1 --distance 1 --save /tmp/x.fl").status, 2);
    EXPECT_EQ(Batch("popmap" + file + " --pods-curve 3 --pods 2 --measure 1 --distance 1").status,
              2);
    EXPECT_EQ(Batch("popmap" + file + " --pods-curve 3 --cover 1 --measure 1 --distance 1").status,
              2);
    EXPECT_EQ(Batch("popmap" + file + " --pods 3 --distance 1").status, 2);
    EXPECT_EQ(Batch("popmap" + file + " --measure 1 --distance 1").status, 2);
    // small-town has three existing PODs: 28 more fit, 29 do not.
    EXPECT_EQ(
        Batch("popmap" + file + " --pods 29 --measure 3 --distance 1", Errors::Dropped).status, 4);
}

TEST(BatchPopMap, ATimeLimitStillGivesTheBestSetFound) {
    const BatchRun run = Batch("popmap " + Example("mid-county.fl") +
                               " --pods 12 --measure 1 --distance 2 --time-limit 0.001 --json");
    ASSERT_EQ(run.status, 0) << run.out;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["NewPods"].size(), 12u);
    const double best = j["BestTravel"].get<double>();
    EXPECT_LE(j["Bound"].get<double>(), best);
    if (j["Proven"] == false)
        EXPECT_GT(j["Gap"].get<double>(), 0);
}
