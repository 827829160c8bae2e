// Runs davrenta-batch as a user would and checks what it prints.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct BatchRun {
    int status = -1;
    std::string out;
};

BatchRun Batch(const std::string& args) {
    const std::string command = std::string(DAVRENTA_BATCH_PATH) + " " + args + " 2>&1";
    BatchRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string Example(const std::string& name) {
    return std::string(DAVRENTA_EXAMPLES_DIR) + "/" + name;
}

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
    const BatchRun run = Batch("popmap " + Example("mid-county.fl") + " --pods 1 --measure 2 --distance 2 --json");
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
    const BatchRun run = Batch("popmap " + Example("small-town.fl") + " --pods 2 --measure 3 --distance 3");
    ASSERT_EQ(run.status, 0) << run.out;
    for (const char* expected :
         {"INPUT MAP WITH EXISTING FACILITIES MARKED BY NUMBER", "SERVICE AREAS FOR EACH EXISTING FACILITY",
          "SQUARED EUCLIDEAN CALCULATIONS", "OPTIMAL LOCATION FOR NEW PODS TO MINIMIZE MAX_DISTANCE FOR POPULATION",
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
                        continue;  // the pair search on the county is covered once per measure
                    const BatchRun run = Batch("popmap " + Example(file) + " --pods " + std::to_string(pods) +
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
    EXPECT_EQ(Batch("popmap " + Example("small-town.fl") + " --pods 3 --measure 1 --distance 1").status, 2);
    EXPECT_EQ(Batch("nothing").status, 2);
    EXPECT_EQ(Batch("popmap " + Example("small-town.fl") +
                    " --pods 2 --measure 1 --distance 1 --near-optimal 0.1").status, 2);

    const BatchRun missing = Batch("popmap /nonexistent/x.fl --pods 1 --measure 1 --distance 1");
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.out.find("/nonexistent/x.fl"), std::string::npos);

    char name[] = "/tmp/davrenta-batch-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    const std::string bad = "2,0,2\r\n\"A\",5\r\n\"Q\",3\r\n1,\"A\"\r\n";
    ASSERT_EQ(write(fd, bad.data(), bad.size()), static_cast<ssize_t>(bad.size()));
    close(fd);
    const BatchRun failed = Batch(std::string("popmap ") + name + " --pods 1 --measure 1 --distance 1 --json");
    EXPECT_EQ(failed.status, 4);
    EXPECT_EQ(nlohmann::json::parse(failed.out)["error"], "Population symbol = Q missing from map");
    std::remove(name);

    const BatchRun refused = Batch("popmap " + Example("full-region.fl") + " --pods 2 --measure 1 --distance 1");
    EXPECT_EQ(refused.status, 4);
    EXPECT_NE(refused.out.find("31 PODs"), std::string::npos);
}

} // namespace
