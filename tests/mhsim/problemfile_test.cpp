// The .mhs problem file: eight values, read whole or not at all, saved in one step.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "app/modulestate.h"
#include "mhsim/engine.h"
#include "mhsim/parameters.h"
#include "mhsim/problemfile.h"

using namespace davrenta;
namespace fs = std::filesystem;

namespace {

class MhsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("mhsfile-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        state.mhs.SimCycles = 11;
        state.mhs.DistCode = 3;
        state.mhs.ServiceParamA = 7;
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    std::string write(const std::string& name, const std::string& contents) {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary) << contents;
        return p.string();
    }
    // The read fails with a message naming the file, and nothing was loaded.
    void expectRefused(const std::string& path, const std::string& part) {
        state.ProblemFileName = path;
        const MhSimState before = state.mhs;
        const Status read = ReadMhsFile(state);
        ASSERT_FALSE(read.ok());
        EXPECT_NE(read.message().find(path), std::string::npos) << read.message();
        EXPECT_NE(read.message().find(part), std::string::npos) << read.message();
        EXPECT_EQ(state.mhs.SimCycles, before.SimCycles);
        EXPECT_EQ(state.mhs.DistCode, before.DistCode);
        EXPECT_EQ(state.mhs.ServiceParamA, before.ServiceParamA);
    }

    fs::path dir;
    ModuleState state;
};

} // namespace

TEST_F(MhsFile, ReadsTheEightValuesInTheirOrder) {
    state.ProblemFileName = write("dock.mhs", "250,8,.5,2.5,8,0.75,3,3\r\n");
    ASSERT_TRUE(ReadMhsFile(state).ok());
    const MhSimState& m = state.mhs;
    EXPECT_EQ(m.SimCycles, 250);
    EXPECT_EQ(m.CycleLength, 8);
    EXPECT_EQ(m.QueueLimit, 0.5);
    EXPECT_EQ(m.DemandRate, 2.5);
    EXPECT_EQ(m.DistCode, 8);
    EXPECT_EQ(m.ServiceParamA, 0.75);
    EXPECT_EQ(m.ServiceParamB, 3);
    EXPECT_EQ(m.NumServers, 3);
}

TEST_F(MhsFile, ValuesMayStandOnSeparateLinesWithLineFeedsOnly) {
    state.ProblemFileName = write("lines.mhs", "10\n8\n0\n1.5\n2\n1\n1\n2\n");
    ASSERT_TRUE(ReadMhsFile(state).ok());
    EXPECT_EQ(state.mhs.NumServers, 2);
    EXPECT_EQ(state.mhs.DistCode, 2);
}

TEST_F(MhsFile, WritesOneRecordAndPoissonsParameterTwice) {
    MhSimState& m = state.mhs;
    m.SimCycles = 100;
    m.CycleLength = 7.5;
    m.QueueLimit = 4;
    m.DemandRate = 0.25;
    m.DistCode = 6;
    m.ServiceParamA = 2;
    m.ServiceParamB = 99;
    m.NumServers = 2;
    EXPECT_EQ(MhsFileContents(m), "100,7.5,4,0.25,6,2,2,2\r\n");
    state.ProblemFileName = (dir / "crib.mhs").string();
    ASSERT_TRUE(WriteMhsFile(state).ok());
    ModuleState back;
    back.ProblemFileName = state.ProblemFileName;
    ASSERT_TRUE(ReadMhsFile(back).ok());
    EXPECT_EQ(back.mhs.ServiceParamB, 2);
    EXPECT_EQ(back.mhs.CycleLength, 7.5);
    EXPECT_EQ(MhsFileContents(back.mhs), "100,7.5,4,0.25,6,2,2,2\r\n");
}

TEST_F(MhsFile, RoundTripKeepsEveryBitOfTheValues) {
    MhSimState& m = state.mhs;
    m.SimCycles = 3;
    m.CycleLength = 0.1 + 0.2;
    m.DemandRate = 1.0 / 3;
    m.DistCode = 1;
    m.ServiceParamA = -2.5e-7;
    m.ServiceParamB = 123456.789;
    m.NumServers = 98;
    const Result<MhsProblem> p = ParseMhsProblem(MhsFileContents(m));
    ASSERT_TRUE(p.ok()) << p.message();
    EXPECT_EQ(p->CycleLength, 0.1 + 0.2);
    EXPECT_EQ(p->DemandRate, 1.0 / 3);
    EXPECT_EQ(p->ServiceParamA, -2.5e-7);
}

TEST_F(MhsFile, RefusesShortFilesTextAndUnknownDistributions) {
    expectRefused(write("short.mhs", "10,8,0,2\r\n"),
                  "line 1, problem record: the file ends before the service time distribution "
                  "code (value 5).");
    expectRefused(write("text.mhs", "10,8,0,two,2,1,1,2\r\n"),
                  "line 1, problem record: the demand rate (value 4) \"two\" is not a number.");
    expectRefused(write("quoted.mhs", "10,8,0,\"2\",2,1,1,2\r\n"), "demand rate (value 4)");
    expectRefused(write("code.mhs", "10,8,0,2,9,1,1,2\r\n"),
                  "the service time distribution code (value 5) \"9\" is not a whole number "
                  "from 1 to 8.");
    expectRefused(write("utf8.mhs", "10,8,0,2\xC3\x28,2,1,1,2\r\n"), "\"2\\xC3(\" is not a number");
    expectRefused(write("inf.mhs", "10,8,0,inf,2,1,1,2\r\n"), "demand rate (value 4)");
}

// A matching problem (or any longer file) is not a simulation problem with values to spare.
TEST_F(MhsFile, RefusesWhatFollowsTheEighthValue) {
    expectRefused(write("more.mhs", "10,8,0,2,2,1,1,2,5\r\n"),
                  "line 1, after problem record: the file holds more than the eight values of a "
                  "simulation problem: \"5\" follows the last record.");
    expectRefused(write("matching.mhs", "2,3\r\n4\r\n7\r\n2\r\n10\r\n5\r\n1\r\n6\r\n3\r\n"),
                  "line 8, after problem record: the file holds more than the eight values");
    expectRefused(write("comma.mhs", "10,8,0,2,2,1,1,2,\r\n"), "a comma follows the last value");
    state.ProblemFileName = write("ended.mhs", "10,8,0,2,2,1,1,2\r\n\r\n\x1a");
    ASSERT_TRUE(ReadMhsFile(state).ok());
    EXPECT_EQ(state.mhs.NumServers, 2);
}

TEST_F(MhsFile, NumbersAreWrittenInPlainDecimal) {
    MhSimState& m = state.mhs;
    m.SimCycles = 100000;
    m.CycleLength = 8;
    m.QueueLimit = 0;
    m.DemandRate = 0.0001;
    m.DistCode = 1;
    m.ServiceParamA = 1000000;
    m.ServiceParamB = 0;
    m.NumServers = 2;
    EXPECT_EQ(MhsFileContents(m), "100000,8,0,0.0001,1,1000000,0,2\r\n");
}

TEST_F(MhsFile, RefusesWhatIsNoRegularFileWithoutBlocking) {
    const std::string fifo = (dir / "pipe.mhs").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    expectRefused(fifo, "cannot be read");
    fs::create_directory(dir / "folder.mhs");
    expectRefused((dir / "folder.mhs").string(), "cannot be read");
    expectRefused(write("huge.mhs", std::string(2 << 20, '1')), "cannot be read");
    expectRefused((dir / "missing.mhs").string(), "cannot be read");
}

TEST_F(MhsFile, AFailedSaveKeepsTheOldFile) {
    const std::string path = write("kept.mhs", "old contents\r\n");
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(dir.c_str(), W_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    state.ProblemFileName = path;
    state.mhs.DistCode = 2;
    const Status saved = WriteMhsFile(state);
    EXPECT_FALSE(saved.ok());
    EXPECT_NE(saved.message().find(path), std::string::npos);
    std::ifstream in(path, std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(contents, "old contents\r\n");
}

namespace {

// A value for a field: mostly of the field's ordinary size, often one of every magnitude a
// double holds, either sign.
class ValueMaker {
  public:
    explicit ValueMaker(std::uint64_t seed) : random_(seed) {}

    double operator()(double low, double high, bool whole) {
        static const double extremes[] = {0,
                                          1e-6,
                                          0.1 + 0.2,
                                          1.0 / 3,
                                          99,
                                          100000,
                                          1e15,
                                          123456789012345678.0,
                                          5e-324,
                                          2.2250738585072014e-308,
                                          1e-300,
                                          1e300,
                                          1.7976931348623157e308};
        const unsigned kind = random_() % 8;
        if (kind < 2) {
            const double v = extremes[random_() % std::size(extremes)];
            return random_() % 4 == 0 ? -v : v;
        }
        const double v = std::uniform_real_distribution<double>(low, high)(random_);
        return whole ? std::floor(v) : v;
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(random_() % n); }

  private:
    std::mt19937_64 random_;
};

void ExpectSameInputs(const MhSimState& a, const MhSimState& b, const std::string& file) {
    EXPECT_EQ(a.SimCycles, b.SimCycles) << file;
    EXPECT_EQ(a.CycleLength, b.CycleLength) << file;
    EXPECT_EQ(a.QueueLimit, b.QueueLimit) << file;
    EXPECT_EQ(a.DemandRate, b.DemandRate) << file;
    EXPECT_EQ(a.DistCode, b.DistCode) << file;
    EXPECT_EQ(a.ServiceParamA, b.ServiceParamA) << file;
    EXPECT_EQ(a.ServiceParamB, b.ServiceParamB) << file;
    EXPECT_EQ(a.NumServers, b.NumServers) << file;
}

// Every figure the results window shows, MaxLine apart.
std::vector<double> Shown(const MhSimState& m) {
    return {m.NumServMean,  m.NumServStd,  m.LineLenMean,  m.LineLenStd,
            m.WaitMean,     m.WaitStd,     m.PropBusyMean, m.PropBusyStd,
            m.OvertimeMean, m.OvertimeStd, m.TurnawayMean, m.TurnawayStd,
            m.NumServHalf,  m.WaitHalf,    m.OvertimeHalf, m.TurnawayHalf};
}

} // namespace

// Read, run, save and read again: the saved file reads back to the same problem, which runs
// with the same seed to the same results (or the same refusal). Random problems, fixed seeds.
TEST_F(MhsFile, ReadRunSaveReadGivesTheSameProblemAndResults) {
    ValueMaker value(20240518);
    int ran = 0;
    for (int trial = 0; trial < 300; ++trial) {
        const double fields[8] = {value(2, 30, true),   value(0.5, 12, false), value(0, 5, true),
                                  value(0.1, 5, false), 1.0 + value.below(8),  value(0, 3, false),
                                  value(0, 3, false),   value(1, 6, true)};
        std::string text;
        for (const double f : fields) {
            char number[40];
            std::snprintf(number, sizeof number, "%.17g", f);
            text += (text.empty() ? "" : ",") + std::string(number);
        }
        const std::string first = write("first.mhs", text + "\r\n");
        ModuleState one;
        one.ProblemFileName = first;
        ASSERT_TRUE(ReadMhsFile(one).ok()) << text;
        one.mhs.SimOption = 1 + static_cast<int>(value.below(4));
        if (one.mhs.DistCode == 6) // as the parameter window and the batch runner store it
            one.mhs.ServiceParamB = one.mhs.ServiceParamA;

        // Only runs of moderate length; every problem is saved and read back.
        const bool run = !ValidateRun(one.mhs) || ExpectedWork(one.mhs).total < 2e5;
        const RunOutcome outcome = run ? RunSimulation(one.mhs, 77 + trial) : RunOutcome{};
        // Some through the atomic save (whose syncs take time), the rest as its text.
        one.ProblemFileName = (dir / "second.mhs").string();
        if (trial % 60 == 0)
            ASSERT_TRUE(WriteMhsFile(one).ok()) << text;
        else
            write("second.mhs", MhsFileContents(one.mhs));
        ModuleState two;
        two.ProblemFileName = one.ProblemFileName;
        const Status reread = ReadMhsFile(two);
        ASSERT_TRUE(reread.ok()) << text << ": " << reread.message();
        two.mhs.SimOption = one.mhs.SimOption;
        ExpectSameInputs(one.mhs, two.mhs, text);
        if (!run)
            continue;
        const RunOutcome again = RunSimulation(two.mhs, 77 + trial);
        EXPECT_EQ(outcome.status, again.status) << text;
        EXPECT_EQ(outcome.message, again.message) << text;
        if (outcome.status == RunStatus::Done) {
            ++ran;
            EXPECT_EQ(Shown(one.mhs), Shown(two.mhs)) << text;
            EXPECT_EQ(one.mhs.MaxLine, two.mhs.MaxLine) << text;
            for (const double figure : Shown(one.mhs))
                EXPECT_TRUE(std::isfinite(figure)) << text;
        }
    }
    EXPECT_GT(ran, 30) << ran; // enough problems ran to the end
}
