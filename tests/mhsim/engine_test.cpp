// The run: checks before it starts, the exact relations between options, reproducible
// seeding on any number of threads, cancelling, and the measures against queueing theory.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "mhsim/engine.h"

using namespace davrenta;

namespace {

// Exponential service (DistCode 2) unless told otherwise.
MhSimState Problem(int option, double servers, double rate, double meanService, double length,
                   double cycles, double queueLimit = 0) {
    MhSimState mhs;
    mhs.SimOption = option;
    mhs.NumServers = servers;
    mhs.DemandRate = rate;
    mhs.DistCode = 2;
    mhs.ServiceParamA = meanService;
    mhs.CycleLength = length;
    mhs.SimCycles = cycles;
    mhs.QueueLimit = queueLimit;
    return mhs;
}

MhSimState Simulate(MhSimState mhs, std::uint64_t seed, int threads = 1) {
    RunControl control;
    control.threads = threads;
    const RunOutcome outcome = RunSimulation(mhs, seed, control);
    EXPECT_EQ(outcome.status, RunStatus::Done) << outcome.message;
    return mhs;
}

std::string Refusal(MhSimState mhs) {
    const RunOutcome outcome = RunSimulation(mhs, 1);
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    return outcome.message;
}

// The relaxation time of an M/M/s queue, the scale of the start-empty bias.
double Relaxation(double servers, double rate, double mu) {
    const double rho = rate / (servers * mu);
    return 1 / (servers * mu * (1 - std::sqrt(rho)) * (1 - std::sqrt(rho)));
}

// |measured - theory| within four standard errors of the run plus the start-empty bias
// allowed as three relaxation times' worth of the cycle.
void ExpectTheory(const char* what, double mean, double stdDev, double cycles, double theory,
                  double biasFraction) {
    const double tolerance = 4 * stdDev / std::sqrt(cycles) + std::fabs(theory) * biasFraction;
    EXPECT_NEAR(mean, theory, tolerance) << what;
}

} // namespace

TEST(ValidateRun, RefusesEachBadInputNamingTheFieldAndTheAllowedValues) {
    const MhSimState ok = Problem(3, 2, 1, 1, 8, 10, 2);
    ASSERT_TRUE(ValidateRun(ok).ok());
    struct Case {
        std::function<void(MhSimState&)> change;
        const char* message;
    };
    const Case cases[] = {
        {[](MhSimState& m) { m.CycleLength = 0; },
         "Length of simulation cycle (hours per day) must be a number above 0."},
        {[](MhSimState& m) { m.DistCode = 0; },
         "Select a Service Time Distribution in the list before simulating."},
        {[](MhSimState& m) { m.SimCycles = 1; },
         "Number of simulation cycles must be a whole number from 2 to 1000000000."},
        {[](MhSimState& m) { m.SimCycles = 2.5; },
         "Number of simulation cycles must be a whole number from 2 to 1000000000."},
        {[](MhSimState& m) { m.DemandRate = 0; },
         "Demand Rate (demands/hours) must be a number above 0."},
        {[](MhSimState& m) { m.DemandRate = 2e6; },
         "Demand Rate (demands/hours) times Length of simulation cycle, the demands expected in "
         "one cycle, must be at most 10000000."},
        {[](MhSimState& m) { m.NumServers = 0; },
         "Number of servers must be a whole number from 1 to 98."},
        {[](MhSimState& m) { m.NumServers = 99; },
         "Number of servers must be a whole number from 1 to 98."},
        {[](MhSimState& m) { m.NumServers = 1.5; },
         "Number of servers must be a whole number from 1 to 98."},
        {[](MhSimState& m) { m.QueueLimit = -1; },
         "Specified maximum length of queue must be a whole number of at least 0."},
        {[](MhSimState& m) { m.QueueLimit = 2.5; },
         "Specified maximum length of queue must be a whole number of at least 0."},
        {[](MhSimState& m) { m.ServiceParamA = 0; }, "Expo: Mean must be a number above 0."},
        {[](MhSimState& m) { m.DistCode = 1, m.ServiceParamB = -1; },
         "Normal: Standard Deviation must be a number of at least 0."},
        {[](MhSimState& m) { m.DistCode = 3, m.ServiceParamB = 0; },
         "Weibull: Theta must be a number above 0."},
        {[](MhSimState& m) { m.DistCode = 3, m.ServiceParamA = 0, m.ServiceParamB = 1; },
         "Weibull: m must be a number above 0."},
        {[](MhSimState& m) { m.DistCode = 4, m.ServiceParamA = -1; },
         "Lognormal: Mean must be a number above 0."},
        {[](MhSimState& m) { m.DistCode = 4, m.ServiceParamB = -1; },
         "Lognormal: Variance must be a number of at least 0."},
        {[](MhSimState& m) { m.DistCode = 5, m.ServiceParamA = 2.5, m.ServiceParamB = 0.5; },
         "Binomial: n must be a whole number from 0 to 100000."},
        {[](MhSimState& m) { m.DistCode = 5, m.ServiceParamA = 3, m.ServiceParamB = 1; },
         "Binomial: p must be at least 0 and below 1."},
        {[](MhSimState& m) { m.DistCode = 5, m.ServiceParamA = 2000, m.ServiceParamB = 0.5; },
         "Binomial: the probability of 0, (1 - p)^n, must be at least 1E-300; use a smaller n "
         "or p."},
        {[](MhSimState& m) { m.DistCode = 6, m.ServiceParamA = -0.5; },
         "Poisson: Lamda must be a number from 0 to 690."},
        {[](MhSimState& m) { m.DistCode = 8, m.ServiceParamB = 0; },
         "Erlang: K must be a whole number from 1 to 100000."},
        {[](MhSimState& m) { m.DistCode = 8, m.ServiceParamB = 1.5; },
         "Erlang: K must be a whole number from 1 to 100000."},
        {[](MhSimState& m) { m.SimCycles = 1e9; },
         "The run would take about 18000000000 events (1000000000 cycles of about 18): more "
         "than the 10000000000 a run may take. Use fewer cycles, a shorter cycle or a lower "
         "demand rate."},
    };
    for (const Case& c : cases) {
        MhSimState m = ok;
        c.change(m);
        EXPECT_EQ(Refusal(m), c.message);
    }
    // The queue limit is not read under options 1 and 2.
    MhSimState open = ok;
    open.SimOption = 2;
    open.QueueLimit = -3.5;
    EXPECT_TRUE(ValidateRun(open).ok());
}

TEST(RunSimulation, RefusedOrCancelledRunsLeaveTheLastResults) {
    MhSimState mhs = Simulate(Problem(1, 2, 1, 1, 8, 10), 5);
    const double served = mhs.NumServMean;
    mhs.SimCycles = 1;
    EXPECT_EQ(RunSimulation(mhs, 6).status, RunStatus::Refused);
    EXPECT_EQ(mhs.NumServMean, served);
    EXPECT_EQ(mhs.Seed, 5u);

    mhs.SimCycles = 100000;
    std::atomic<bool> cancel{true};
    RunControl control;
    control.cancel = &cancel;
    EXPECT_EQ(RunSimulation(mhs, 7, control).status, RunStatus::Cancelled);
    EXPECT_EQ(mhs.NumServMean, served);
    EXPECT_EQ(mhs.Seed, 5u);
}

TEST(RunSimulation, SameSeedGivesTheSameResultsOnAnyNumberOfThreads) {
    const MhSimState problem = Problem(2, 3, 2.5, 1, 8, 5000);
    const MhSimState one = Simulate(problem, 12345, 1);
    for (int threads : {2, 3, 7}) {
        const MhSimState many = Simulate(problem, 12345, threads);
        EXPECT_EQ(many.NumServMean, one.NumServMean) << threads;
        EXPECT_EQ(many.NumServStd, one.NumServStd) << threads;
        EXPECT_EQ(many.LineLenStd, one.LineLenStd) << threads;
        EXPECT_EQ(many.WaitMean, one.WaitMean) << threads;
        EXPECT_EQ(many.PropBusyStd, one.PropBusyStd) << threads;
        EXPECT_EQ(many.OvertimeMean, one.OvertimeMean) << threads;
        EXPECT_EQ(many.MaxLine, one.MaxLine) << threads;
    }
    const MhSimState other = Simulate(problem, 12346, 1);
    EXPECT_NE(other.NumServMean, one.NumServMean);
}

// Exponential service takes its logarithms ahead of use; Erlang with one phase draws the same
// values one at a time. The two runs must agree to the bit, cycle by cycle.
TEST(RunSimulation, ExponentialServiceGivesTheBitsOfErlangWithOnePhase) {
    for (int option = 1; option <= 4; ++option) {
        const MhSimState expo = Simulate(Problem(option, 2, 3, 0.6, 8, 300, 2), 99);
        MhSimState problem = Problem(option, 2, 3, 0.6, 8, 300, 2);
        problem.DistCode = 8;
        problem.ServiceParamB = 1;
        const MhSimState erlang = Simulate(problem, 99);
        ASSERT_EQ(expo.CycleValues.size(), erlang.CycleValues.size());
        for (std::size_t c = 0; c < expo.CycleValues.size(); ++c) {
            const CycleMeasures &a = expo.CycleValues[c], &b = erlang.CycleValues[c];
            ASSERT_EQ(a.events, b.events) << option << " " << c;
            ASSERT_EQ(a.served, b.served) << option << " " << c;
            ASSERT_EQ(a.overtime, b.overtime) << option << " " << c;
            ASSERT_EQ(a.lineLength, b.lineLength) << option << " " << c;
            ASSERT_EQ(a.wait, b.wait) << option << " " << c;
            ASSERT_EQ(a.propBusy, b.propBusy) << option << " " << c;
            ASSERT_EQ(a.turnaways, b.turnaways) << option << " " << c;
        }
        EXPECT_EQ(expo.WaitStd, erlang.WaitStd) << option;
        EXPECT_EQ(expo.MaxLine, erlang.MaxLine) << option;
    }
}

TEST(RunSimulation, ReportsProgressByCyclesUpToTheTotal) {
    MhSimState mhs = Problem(1, 1, 1, 0.5, 8, 20000);
    std::vector<long long> seen;
    RunControl control;
    control.threads = 2;
    control.progress = [&seen](long long done, long long total) {
        EXPECT_EQ(total, 20000);
        seen.push_back(done);
    };
    ASSERT_EQ(RunSimulation(mhs, 1, control).status, RunStatus::Done);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 20000);
    EXPECT_EQ(mhs.CycleValues.size(), 20000u);
}

TEST(RunSimulation, ExactRelationsOfTheFourOptions) {
    for (int option = 1; option <= 4; ++option) {
        const MhSimState m = Simulate(Problem(option, 2, 3, 1, 8, 200, 1), 99);
        const bool lock = option == 2 || option == 4, limited = option >= 3;
        if (!lock) {
            EXPECT_EQ(m.OvertimeMean, 0) << option;
            EXPECT_EQ(m.OvertimeStd, 0) << option;
        } else {
            EXPECT_GT(m.OvertimeMean, 0) << option;
        }
        if (!limited) {
            EXPECT_EQ(m.TurnawayMean, 0) << option;
            EXPECT_GT(m.MaxLine, 0) << option;
        } else {
            EXPECT_EQ(m.MaxLine, 0) << option;
            EXPECT_GT(m.TurnawayMean, 0) << option;
        }
        for (const CycleMeasures& c : m.CycleValues) {
            EXPECT_GE(c.overtime, 0);
            EXPECT_LE(c.propBusy, 1);
        }
    }
}

TEST(RunSimulation, QueueLimitZeroKeepsTheLineEmpty) {
    for (int option : {3, 4}) {
        const MhSimState m = Simulate(Problem(option, 2, 4, 1, 8, 100, 0), 3);
        EXPECT_EQ(m.LineLenMean, 0);
        EXPECT_EQ(m.LineLenStd, 0);
        EXPECT_EQ(m.WaitMean, 0);
        EXPECT_GT(m.TurnawayMean, 0);
    }
}

TEST(RunSimulation, CyclesThatServeNoOneCountAWaitOfZero) {
    const MhSimState m = Simulate(Problem(1, 2, 0.01, 0.1, 1, 500), 8);
    EXPECT_LT(m.NumServMean, 0.05);
    EXPECT_EQ(m.WaitMean, 0);
    EXPECT_TRUE(std::isfinite(m.LineLenMean));
}

TEST(RunSimulation, ServiceTimesTooLargeStopTheRunWithAMessage) {
    MhSimState m = Problem(2, 1, 1, 1, 8, 10);
    m.DistCode = 7;
    m.ServiceParamA = -1e308;
    m.ServiceParamB = 1e308; // b - a overflows
    const RunOutcome outcome = RunSimulation(m, 1);
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message.rfind("The run was stopped in cycle 1: ", 0), 0u) << outcome.message;
}

// Normal service of mean -1e306: each cycle's proportion busy is finite, near -1e306, and 500 of
// them add up beyond the largest number. The mean and deviation are checked against the kept
// cycles summed in extended precision, where nothing overflows.
TEST(RunSimulation, SumsBeyondTheLargestNumberStillGiveTheirMeanAndDeviation) {
    MhSimState problem = Problem(1, 2, 2, 0, 8, 500);
    problem.DistCode = 1;
    problem.ServiceParamA = -1e306;
    problem.ServiceParamB = 1e305;
    const MhSimState m = Simulate(problem, 1);
    ASSERT_EQ(m.CycleValues.size(), 500u);
    long double sum = 0, squares = 0;
    for (const CycleMeasures& c : m.CycleValues)
        sum += c.propBusy;
    const long double mean = sum / 500;
    for (const CycleMeasures& c : m.CycleValues)
        squares += (c.propBusy - mean) * (c.propBusy - mean);
    const double stdDev = static_cast<double>(std::sqrt(squares / 499));
    ASSERT_LT(mean, -1e305L);
    EXPECT_NEAR(m.PropBusyMean / static_cast<double>(mean), 1, 1e-12);
    EXPECT_NEAR(m.PropBusyStd / stdDev, 1, 1e-9);
    EXPECT_TRUE(std::isfinite(m.PropBusyHalf));
}

TEST(RunSimulation, AFigureBeyondTheLargestNumberRefusesTheRunAndKeepsTheLastResults) {
    MhSimState mhs = Simulate(Problem(2, 2, 1, 1, 8, 10), 5);
    const double served = mhs.NumServMean;
    // Overtimes of 0 and about 3e307 hours: a half-width of 1.9e308.
    mhs.NumServers = 98;
    mhs.DemandRate = 0.1;
    mhs.SimCycles = 2;
    mhs.DistCode = 1;
    mhs.ServiceParamA = 3e307;
    mhs.ServiceParamB = 0;
    RunOutcome outcome = RunSimulation(mhs, 1);
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message,
              "The service times are too large to compute with: the mean, the standard deviation "
              "or the 95% half-width of the overtime hours required per cycle goes beyond the "
              "largest number. Use service time parameters or a length of simulation cycle of "
              "smaller magnitude.");
    EXPECT_EQ(mhs.NumServMean, served);
    EXPECT_EQ(mhs.Seed, 5u);

    // A wait of about 1e306 hours is finite; in minutes it is not.
    mhs.NumServers = 2;
    mhs.DemandRate = 2;
    mhs.SimCycles = 20;
    mhs.ServiceParamA = 1e306;
    mhs.ServiceParamB = 1e305;
    outcome = RunSimulation(mhs, 1);
    EXPECT_EQ(outcome.status, RunStatus::Refused);
    EXPECT_EQ(outcome.message,
              "The service times are too large to compute with: the wait time per service "
              "(minutes) of cycle 1 goes beyond the largest number. Use service time parameters "
              "or a length of simulation cycle of smaller magnitude.");
    EXPECT_EQ(mhs.NumServMean, served);
}

// 98 servers times a clock near 1e307 pass the largest number; the proportion busy was then
// divided by infinity and shown as 0.
TEST(RunSimulation, ProportionBusyOfAVeryLongCycleIsNotZero) {
    MhSimState problem = Problem(2, 98, 0.1, 0, 8, 2);
    problem.DistCode = 1;
    problem.ServiceParamA = 1e307;
    const MhSimState m = Simulate(problem, 2);
    ASSERT_EQ(m.CycleValues.size(), 2u);
    for (const CycleMeasures& c : m.CycleValues) {
        if (c.served > 0) {
            EXPECT_GT(c.propBusy, 0.005);
            EXPECT_LT(c.propBusy, 0.03);
        }
    }
    EXPECT_GT(m.PropBusyMean, 0);
}

namespace {

// 100000 demands an hour on 98 servers, Erlang service of mean 0.0005 hours and 10000 phases:
// one cycle draws about a billion uniforms, seconds of work.
CycleInputs LongCycle() {
    MhSimState problem = Problem(1, 98, 100000, 0.0005, 1, 2);
    problem.DistCode = 8;
    problem.ServiceParamB = 10000;
    return InputsOf(problem);
}

} // namespace

// The flag set from another thread while the cycle runs: the cycle stops where it is, long
// before its 200000 events.
TEST(SimulateCycle, ACancelFromAnotherThreadStopsARunningCycle) {
    std::atomic<bool> cancel{false};
    CycleMeasures m;
    CycleStatus status = CycleStatus::Done;
    std::thread cycle([&] { status = SimulateCycle(LongCycle(), 1, 1, m, &cancel); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    cancel = true;
    cycle.join();
    EXPECT_EQ(status, CycleStatus::Cancelled);
    EXPECT_GT(m.events, 0);
    EXPECT_LT(m.events, 150000);
}

// Cycles of 400000 events: blocks of ten cycles a thread, so progress comes every ten cycles,
// and the same results on any number of threads.
TEST(RunSimulation, LongCyclesComeInSmallBlocksWithTheSameResults) {
    const MhSimState problem = Problem(2, 3, 200000, 0.00001, 1, 24);
    std::vector<long long> seen;
    RunControl control;
    control.threads = 1;
    control.progress = [&seen](long long done, long long) { seen.push_back(done); };
    MhSimState one = problem;
    ASSERT_EQ(RunSimulation(one, 9, control).status, RunStatus::Done);
    EXPECT_EQ(seen, (std::vector<long long>{10, 20, 24}));
    const MhSimState many = Simulate(problem, 9, 3);
    EXPECT_EQ(many.NumServMean, one.NumServMean);
    EXPECT_EQ(many.WaitStd, one.WaitStd);
    EXPECT_EQ(many.OvertimeMean, one.OvertimeMean);
}

TEST(TimeOfDaySeed, TwoSeedsDrawnInQuickSuccessionDiffer) {
    std::uint64_t previous = TimeOfDaySeed();
    for (int i = 0; i < 1000; ++i) {
        const std::uint64_t seed = TimeOfDaySeed();
        ASSERT_NE(seed, previous) << i;
        previous = seed;
    }
    // Nanoseconds since midnight (a day has 86400 seconds).
    EXPECT_LT(previous, 86401000000000u);
}

TEST(StudentT975, QuantilesOfTheTable) {
    EXPECT_NEAR(StudentT975(1), 12.706204736, 1e-8);
    EXPECT_NEAR(StudentT975(9), 2.262157163, 1e-8);
    EXPECT_NEAR(StudentT975(30), 2.042272456, 1e-8);
    EXPECT_NEAR(StudentT975(31), 2.039513446, 1e-6);
    EXPECT_NEAR(StudentT975(100), 1.983971519, 1e-6);
    EXPECT_NEAR(StudentT975(1e6), 1.959966, 1e-6);
}

TEST(RunSimulation, HalfWidthsAreStudentTTimesTheStandardError) {
    const MhSimState m = Simulate(Problem(1, 2, 1.5, 1, 8, 10), 4);
    EXPECT_NEAR(m.NumServHalf / (m.NumServStd / std::sqrt(10.0)), 2.262157163, 1e-9);
    EXPECT_NEAR(m.WaitHalf / (m.WaitStd / std::sqrt(10.0)), 2.262157163, 1e-9);
}

// Options 1 and 2, exponential service, long cycles: M/M/s (Erlang C).
TEST(Theory, MultiServerMeasuresMatchErlangC) {
    struct Case {
        int servers;
        double rate, utilisation, lineLength, waitMinutes;
    };
    const Case cases[] = {{1, 0.5, 0.5, 0.5, 60.0},
                          {3, 2.4, 0.8, 2.5887640449438183, 64.71910112359546},
                          {5, 3.0, 0.6, 0.35422740524781327, 7.084548104956265}};
    const double T = 10000, N = 40;
    for (int option : {1, 2}) {
        for (const Case& c : cases) {
            const MhSimState m =
                Simulate(Problem(option, c.servers, c.rate, 1, T, N), 2024 + option);
            const double bias = 3 * Relaxation(c.servers, c.rate, 1) / T;
            ExpectTheory("utilisation", m.PropBusyMean, m.PropBusyStd, N, c.utilisation, bias);
            ExpectTheory("line length", m.LineLenMean, m.LineLenStd, N, c.lineLength, bias);
            ExpectTheory("wait", m.WaitMean, m.WaitStd, N, c.waitMinutes, bias);
            ExpectTheory("served", m.NumServMean, m.NumServStd, N, c.rate * T, bias);
        }
    }
}

// Options 3 and 4: turn-aways against the M/M/s/K blocking probability, K = s + QueueLimit.
TEST(Theory, TurnawaysMatchTheBlockingProbability) {
    struct Case {
        int servers, queueLimit;
        double rate, blocking, utilisation;
    };
    const Case cases[] = {{2, 3, 2.0, 0.18181818181818182, 0.8181818181818181},
                          {3, 0, 3.0, 0.34615384615384615, 0.6538461538461539},
                          {1, 2, 1.5, 0.4153846153846154, 0.8769230769230768}};
    const double T = 5000, N = 30;
    for (int option : {3, 4}) {
        for (const Case& c : cases) {
            const MhSimState m =
                Simulate(Problem(option, c.servers, c.rate, 1, T, N, c.queueLimit), 77 + option);
            // Turn-aways missed while the empty system first fills: about K service times.
            const double fill = (c.servers + c.queueLimit) / (c.rate * T);
            ExpectTheory("turn-aways", m.TurnawayMean, m.TurnawayStd, N, c.rate * T * c.blocking,
                         3 * fill);
            ExpectTheory("utilisation", m.PropBusyMean, m.PropBusyStd, N, c.utilisation, 3 * fill);
        }
    }
}
