// davrenta-batch mhsim: text and JSON output, a seed that repeats, exit statuses.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

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

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// davrenta-batch started beside the test, its stdout and stderr on the descriptors given.
pid_t Start(const std::vector<std::string>& args, int out, int err) {
    std::vector<std::string> all = {DAVRENTA_BATCH_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    pid_t pid = -1;
    const int started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? pid : -1;
}

// Whether the process has put its own handlers on SIGINT and SIGTERM yet (Linux's status).
bool CatchesInterrupts(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0) {
            const unsigned long long caught = std::stoull(line.substr(7), nullptr, 16);
            return (caught >> (SIGINT - 1) & 1) && (caught >> (SIGTERM - 1) & 1);
        }
    }
    return false;
}

bool WaitUntil(const std::function<bool()>& ready) {
    for (int i = 0; i < 2000; ++i) {
        if (ready())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// The exit status, or -1 when the process did not exit by itself within the limit (it is then
// killed) or ended by a signal.
int ExitStatus(pid_t pid, int seconds) {
    int raw = 0;
    for (int i = 0; i < seconds * 100; ++i) {
        if (::waitpid(pid, &raw, WNOHANG) == pid)
            return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &raw, 0);
    return -1;
}

// A run of 200 million cycles: about 8.4 billion events, within the bound, minutes of work.
std::vector<std::string> LongRun(const std::string& save) {
    return {"mhsim",    Example("loading-dock.mhs"),
            "--option", "1",
            "--cycles", "200000000",
            "--seed",   "1",
            "--json",   "--save",
            save};
}

class MhSimBatchSignals : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("mhsim-signals-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "kept.mhs", std::ios::binary) << "old\r\n";
    }
    void TearDown() override { fs::remove_all(dir); }
    int open(const char* name) {
        return ::open((dir / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    // Only the old problem file is left in the folder, untouched.
    void expectNothingWritten() {
        EXPECT_EQ(Contents(dir / "kept.mhs"), "old\r\n");
        EXPECT_EQ(Contents(dir / "out"), "");
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "kept.mhs" || name == "out" || name == "err") << name;
        }
    }

    fs::path dir;
};

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

// Ctrl-C and SIGTERM stop a long run at once: exit 128 + the signal, nothing printed, the file
// named by --save as it was and no temporary file left. With stderr not on a terminal no
// progress shows, however long the run has taken.
TEST_F(MhSimBatchSignals, CtrlCAndSigtermStopALongRunWithNothingWritten) {
    struct Case {
        int signal, status, waitMs;
        const char* message;
    };
    for (const Case& c : {Case{SIGINT, 130, 0, "Interrupted (Ctrl-C)"},
                          Case{SIGTERM, 143, 1300, "Terminated (SIGTERM)"}}) {
        const int out = open("out"), err = open("err");
        const pid_t pid = Start(LongRun((dir / "kept.mhs").string()), out, err);
        ::close(out);
        ::close(err);
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(WaitUntil([pid] { return CatchesInterrupts(pid); }));
        std::this_thread::sleep_for(std::chrono::milliseconds(c.waitMs));
        ::kill(pid, c.signal);
        EXPECT_EQ(ExitStatus(pid, 30), c.status) << c.message;
        EXPECT_EQ(Contents(dir / "err"),
                  "davrenta-batch: " + std::string(c.message) +
                      ": the run was stopped; nothing was printed or saved.\n");
        expectNothingWritten();
    }
}

// On a terminal a line of progress appears once the run has taken a second, and is wiped
// before the program's last words.
TEST_F(MhSimBatchSignals, ProgressShowsOnATerminalAndIsWipedAtTheEnd) {
    int master = -1, slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        GTEST_SKIP() << "no pseudo-terminal here";
    const int out = open("out");
    const pid_t pid = Start(LongRun((dir / "kept.mhs").string()), out, slave);
    ::close(out);
    ::close(slave);
    ASSERT_GT(pid, 0);
    std::string seen;
    const auto readSome = [&](int ms) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0)
            return false;
        char buffer[4096];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        seen.append(buffer, static_cast<std::size_t>(n));
        return true;
    };
    for (int i = 0; i < 200 && seen.find(" cycles (") == std::string::npos; ++i)
        readSome(100);
    ::kill(pid, SIGINT);
    while (readSome(2000)) {
    }
    ::close(master);
    EXPECT_EQ(ExitStatus(pid, 30), 130);
    EXPECT_EQ(seen.rfind("\rSimulating: ", 0), 0u) << seen;
    EXPECT_NE(seen.find(" of 200000000 cycles ("), std::string::npos) << seen;
    const std::size_t wiped = seen.rfind("\rdavrenta-batch: Interrupted (Ctrl-C)");
    ASSERT_NE(wiped, std::string::npos) << seen;
    const std::size_t blanks = seen.rfind('\r', wiped - 1);
    ASSERT_NE(blanks, std::string::npos);
    EXPECT_EQ(seen.substr(blanks + 1, wiped - blanks - 1).find_first_not_of(' '), std::string::npos)
        << seen;
    expectNothingWritten();
}
