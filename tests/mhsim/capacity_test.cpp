// Capacity planning on the simulation: server counts compared on common random numbers, the
// long-day values of queueing theory, the target marks, and runs until precise.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "mhsim/capacity.h"
#include "mhsim/engine.h"

using namespace davrenta;

namespace {

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

std::vector<MhSimState> Sweep(const MhSimState& problem, int from, int to, std::uint64_t seed,
                              int threads = 2) {
    std::vector<MhSimState> rows;
    RunControl control;
    control.threads = threads;
    const RunOutcome outcome = RunServerSweep(problem, from, to, seed, control, rows);
    EXPECT_EQ(outcome.status, RunStatus::Done) << outcome.message;
    return rows;
}

// The relaxation time of an M/M/s queue, the scale of the start-empty bias.
double Relaxation(double servers, double rate, double mu) {
    const double rho = rate / (servers * mu);
    return 1 / (servers * mu * (1 - std::sqrt(rho)) * (1 - std::sqrt(rho)));
}

MhSimState Row(double servers, double wait, double waitHalf, double turnaways = 0,
               double turnawayHalf = 0) {
    MhSimState m;
    m.NumServers = servers;
    m.WaitMean = wait;
    m.WaitHalf = waitHalf;
    m.TurnawayMean = turnaways;
    m.TurnawayHalf = turnawayHalf;
    return m;
}

} // namespace

// Under every option a traced cycle gives each count the same customers: the same arrival
// times and the same service time for the n-th customer; and each service started uses the
// time drawn for its own customer, first come first served.
TEST(CommonRandomNumbers, EveryCountSeesTheSameArrivalsAndServiceTimesInEachCycle) {
    for (int option = 1; option <= 4; ++option) {
        for (int dist : {2, 1}) {
            MhSimState problem = Problem(option, 1, 3, 0.8, 8, 2, 2);
            problem.DistCode = dist;
            problem.ServiceParamB = 0.3;
            for (long long cycle : {1, 17}) {
                CycleTrace reference;
                for (int servers = 1; servers <= 5; ++servers) {
                    problem.NumServers = servers;
                    CycleTrace trace;
                    CycleMeasures m;
                    ASSERT_EQ(SimulateCycle(InputsOf(problem), 4242, cycle, m, nullptr, &trace),
                              CycleStatus::Done);
                    ASSERT_GT(trace.arrivalTimes.size(), 10u);
                    if (servers == 1)
                        reference = trace;
                    EXPECT_EQ(trace.arrivalTimes, reference.arrivalTimes)
                        << option << " " << servers;
                    EXPECT_EQ(trace.serviceTimes, reference.serviceTimes)
                        << option << " " << servers;
                    for (std::size_t k = 0; k < trace.startedCustomer.size(); ++k) {
                        const auto customer = static_cast<std::size_t>(trace.startedCustomer[k]);
                        ASSERT_LT(customer, trace.serviceTimes.size());
                        EXPECT_EQ(trace.startedService[k], trace.serviceTimes[customer]);
                        if (k > 0) {
                            EXPECT_GT(trace.startedCustomer[k], trace.startedCustomer[k - 1]);
                        }
                    }
                }
            }
        }
    }
}

// Each row of a comparison is the single run of its count with the same seed, on any number of
// threads; the common random numbers make adding a server never lengthen the average wait here.
TEST(RunServerSweep, RowsAreTheSingleRunsOfEachCountWithTheSameSeed) {
    MhSimState problem = Problem(2, 1, 2.5, 1, 8, 300);
    problem.DistCode = 8;
    problem.ServiceParamB = 2;
    const std::vector<MhSimState> rows = Sweep(problem, 2, 6, 99, 2);
    ASSERT_EQ(rows.size(), 5u);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        MhSimState single = problem;
        single.NumServers = 2 + static_cast<double>(k);
        RunControl one;
        one.threads = 1;
        ASSERT_EQ(RunSimulation(single, 99, one).status, RunStatus::Done);
        EXPECT_EQ(rows[k].NumServers, single.NumServers);
        EXPECT_EQ(rows[k].WaitMean, single.WaitMean) << k;
        EXPECT_EQ(rows[k].WaitHalf, single.WaitHalf) << k;
        EXPECT_EQ(rows[k].OvertimeStd, single.OvertimeStd) << k;
        EXPECT_EQ(rows[k].MaxLine, single.MaxLine) << k;
        EXPECT_EQ(rows[k].Seed, 99u);
        EXPECT_TRUE(rows[k].CycleValues.empty());
        if (k > 0) {
            EXPECT_LE(rows[k].WaitMean, rows[k - 1].WaitMean) << k;
        }
    }
    EXPECT_GT(rows.front().WaitMean, 10 * rows.back().WaitMean);
}

TEST(RunServerSweep, RefusalsNameTheRangeTheCountOrTheWorkOfAllRuns) {
    std::vector<MhSimState> rows(1);
    const MhSimState ok = Problem(1, 1, 2, 1, 8, 100);
    EXPECT_EQ(RunServerSweep(ok, 0, 3, 1, {}, rows).message,
              "The numbers of servers to compare must run from a smaller to a larger whole "
              "number, within 1 to 98.");
    EXPECT_EQ(RunServerSweep(ok, 5, 4, 1, {}, rows).message,
              "The numbers of servers to compare must run from a smaller to a larger whole "
              "number, within 1 to 98.");
    EXPECT_EQ(RunServerSweep(ok, 90, 99, 1, {}, rows).message,
              "The numbers of servers to compare must run from a smaller to a larger whole "
              "number, within 1 to 98.");
    // 1e8 cycles of about 34 events fit one run, not ten.
    MhSimState big = ok;
    big.SimCycles = 1e8;
    EXPECT_TRUE(ValidateRun(big).ok());
    EXPECT_EQ(RunServerSweep(big, 1, 10, 1, {}, rows).message,
              "The comparison of 10 numbers of servers would take about 34000000000 events (10 "
              "runs of 100000000 cycles of about 34): more than the 10000000000 a run may take. "
              "Use fewer cycles, a shorter cycle or a lower demand rate, or compare fewer "
              "numbers of servers.");
    // A cancelled comparison leaves the rows as they were.
    std::atomic<bool> cancel{true};
    RunControl control;
    control.cancel = &cancel;
    EXPECT_EQ(RunServerSweep(ok, 1, 3, 1, control, rows).status, RunStatus::Cancelled);
    EXPECT_EQ(rows.size(), 1u);
}

TEST(LongDayTheory, MultiServerAndLimitedLineValues) {
    // M/M/3 at 2.4 an hour, mean service 1 hour: Erlang's delay formula.
    const auto mms = LongDayTheory(Problem(1, 3, 2.4, 1, 8, 10));
    ASSERT_TRUE(mms);
    EXPECT_TRUE(mms->bounded);
    EXPECT_NEAR(mms->lineLength, 2.5887640449438183, 1e-12);
    EXPECT_NEAR(mms->waitMinutes, 64.71910112359546, 1e-10);
    EXPECT_NEAR(mms->propBusy, 0.8, 1e-15);
    EXPECT_EQ(mms->turnawaysPerCycle, 0);
    // M/M/1: Lq = rho^2 / (1 - rho).
    const auto mm1 = LongDayTheory(Problem(1, 1, 0.5, 1, 8, 10));
    EXPECT_NEAR(mm1->lineLength, 0.5, 1e-14);
    EXPECT_NEAR(mm1->waitMinutes, 60, 1e-12);
    // Utilisation 1 or more: no long-day value.
    EXPECT_FALSE(LongDayTheory(Problem(1, 2, 2, 1, 8, 10))->bounded);
    EXPECT_FALSE(LongDayTheory(Problem(1, 2, 5, 1, 8, 10))->bounded);

    // M/M/2/5 at 2 an hour: p0 = 1/11, p1 .. p5 = 2/11, Lq = (1 + 2 + 3) 2/11, Wq = 40 min.
    const auto mmsk = LongDayTheory(Problem(3, 2, 2, 1, 100, 10, 3));
    ASSERT_TRUE(mmsk);
    EXPECT_NEAR(mmsk->turnawaysPerCycle, 200 * 2.0 / 11, 1e-9);
    EXPECT_NEAR(mmsk->propBusy, 0.8181818181818181, 1e-12);
    EXPECT_NEAR(mmsk->lineLength, 12.0 / 11, 1e-12);
    EXPECT_NEAR(mmsk->waitMinutes, 40, 1e-9);
    // No room to wait: Erlang's loss formula, B(3, 3) = 4.5 / 13.
    const auto loss = LongDayTheory(Problem(3, 3, 3, 1, 10, 10, 0));
    EXPECT_NEAR(loss->turnawaysPerCycle, 30 * 4.5 / 13, 1e-9);
    EXPECT_EQ(loss->lineLength, 0);
    // Overloaded with a limit of a million: nearly always full, every figure a number.
    const auto full = LongDayTheory(Problem(3, 2, 4, 1, 10, 10, 1e6));
    EXPECT_NEAR(full->propBusy, 1, 1e-9);
    EXPECT_NEAR(full->turnawaysPerCycle, 20, 1e-6);
    EXPECT_TRUE(std::isfinite(full->lineLength));

    // Only options 1 and 3 with exponential service; Erlang with one phase is exponential.
    MhSimState erlang = Problem(1, 3, 2.4, 1, 8, 10);
    erlang.DistCode = 8;
    erlang.ServiceParamB = 1;
    EXPECT_TRUE(LongDayTheory(erlang));
    erlang.ServiceParamB = 2;
    EXPECT_FALSE(LongDayTheory(erlang));
    EXPECT_FALSE(LongDayTheory(Problem(2, 3, 2.4, 1, 8, 10)));
    EXPECT_FALSE(LongDayTheory(Problem(4, 3, 2.4, 1, 8, 10, 2)));
}

// Each count's long-day wait and line against theory, within four standard errors (about two
// half-widths) plus the start-empty bias, as the single-run theory tests allow.
TEST(RunServerSweep, EachCountAgreesWithTheoryForLongDays) {
    const double T = 10000, N = 40;
    const std::vector<MhSimState> open = Sweep(Problem(1, 1, 2.4, 1, T, N), 3, 5, 31);
    for (const MhSimState& m : open) {
        const LongDayValues theory = *LongDayTheory(m);
        const double bias = 3 * Relaxation(m.NumServers, 2.4, 1) / T;
        EXPECT_NEAR(m.WaitMean, theory.waitMinutes, 2 * m.WaitHalf + theory.waitMinutes * bias)
            << m.NumServers;
        EXPECT_NEAR(m.LineLenMean, theory.lineLength, 2 * m.LineLenHalf + theory.lineLength * bias)
            << m.NumServers;
    }
    const std::vector<MhSimState> limited = Sweep(Problem(3, 1, 2.0, 1, 5000, 30, 3), 1, 3, 32);
    for (const MhSimState& m : limited) {
        const LongDayValues theory = *LongDayTheory(m);
        const double fill = 3 * (m.NumServers + 3) / (2.0 * 5000);
        EXPECT_NEAR(m.WaitMean, theory.waitMinutes, 2 * m.WaitHalf + theory.waitMinutes * fill)
            << m.NumServers;
        EXPECT_NEAR(m.TurnawayMean, theory.turnawaysPerCycle,
                    2 * m.TurnawayHalf + theory.turnawaysPerCycle * fill)
            << m.NumServers;
    }
}

TEST(CapacityTarget, MarksByTheIntervalAndTheSmallestCountMeetingIt) {
    const std::vector<MhSimState> rows = {Row(1, 40, 5), Row(2, 12, 3), Row(3, 9, 2), Row(4, 7, 1),
                                          Row(5, 8.5, 1.5)};
    const CapacityTarget wait{TargetKind::Wait, 10};
    EXPECT_EQ(MarkAgainst(rows[0], wait), TargetMark::Misses);
    EXPECT_EQ(MarkAgainst(rows[1], wait), TargetMark::Uncertain); // 9 .. 15
    EXPECT_EQ(MarkAgainst(rows[2], wait), TargetMark::Uncertain); // 7 .. 11
    EXPECT_EQ(MarkAgainst(rows[3], wait), TargetMark::Meets);     // 6 .. 8
    EXPECT_EQ(MarkAgainst(rows[4], wait), TargetMark::Meets);     // 7 .. 10, at the target
    EXPECT_EQ(SmallestMeeting(rows, wait), std::optional<std::size_t>(3));
    EXPECT_EQ(MarkText(rows, wait, 3), "smallest");
    EXPECT_EQ(MarkText(rows, wait, 4), "meets");
    EXPECT_EQ(MarkText(rows, wait, 2), "uncertain");
    EXPECT_EQ(MarkText(rows, wait, 0), "misses");
    EXPECT_EQ(TargetSummary(rows, wait),
              "Smallest number of servers meeting the target (average wait at most 10 "
              "minutes): 4, with an average wait of 7.00 +/- 1.00 minutes.");

    const CapacityTarget strict{TargetKind::Wait, 5};
    EXPECT_EQ(SmallestMeeting(rows, strict), std::nullopt);
    EXPECT_EQ(TargetSummary(rows, strict),
              "No number of servers from 1 to 5 meets the target (average wait at most 5 "
              "minutes).");
    const CapacityTarget close{TargetKind::Wait, 6.5};
    EXPECT_EQ(TargetSummary(rows, close),
              "No number of servers from 1 to 5 meets the target (average wait at most 6.5 "
              "minutes); those marked uncertain may, with more cycles.");

    const std::vector<MhSimState> limited = {Row(1, 0, 0, 3, 0.5), Row(2, 0, 0, 0.4, 0.2),
                                             Row(3, 0, 0, 0, 0)};
    const CapacityTarget turnaways{TargetKind::Turnaways, 0.5};
    EXPECT_EQ(MarkAgainst(limited[1], turnaways), TargetMark::Uncertain);
    EXPECT_EQ(SmallestMeeting(limited, turnaways), std::optional<std::size_t>(2));
    EXPECT_EQ(SmallestMeeting(limited, CapacityTarget{}), std::nullopt);
}

// Without long-day values (Erlang service) the marks stand next to the line lengths, with no
// gap left for the theory's columns.
TEST(ComparisonReport, MarksFollowTheLineLengthsWhereTheoryGivesNothing) {
    std::vector<MhSimState> rows = {Row(1, 40, 5), Row(2, 7, 1)};
    for (MhSimState& m : rows) {
        m.SimOption = 1;
        m.DistCode = 8;
        m.ServiceParamA = 1;
        m.ServiceParamB = 2;
        m.DemandRate = 2.5;
        m.CycleLength = 8;
        m.SimCycles = 250;
    }
    const std::vector<std::string> lines =
        RenderText(ComparisonReport(rows, CapacityTarget{TargetKind::Wait, 10}));
    const auto head = std::find(lines.begin(), lines.end(),
                                "Servers Wait (minutes)     Line length       Target");
    ASSERT_NE(head, lines.end());
    ASSERT_LT(head + 2, lines.end());
    EXPECT_EQ(head[1], "1       40.00 +/- 5.00     0.00 +/- 0.00     misses");
    EXPECT_EQ(head[2], "2       7.00 +/- 1.00      0.00 +/- 0.00     smallest");
}

namespace {

// The first cycle count n >= 10 whose half-width of the wait, worked out afresh from the kept
// cycles (two passes, long double), is below the target.
long long FirstMeeting(const std::vector<CycleMeasures>& cycles, double target, bool relative) {
    for (std::size_t n = 10; n <= cycles.size(); ++n) {
        long double sum = 0;
        for (std::size_t k = 0; k < n; ++k)
            sum += cycles[k].wait * 60;
        const long double mean = sum / n;
        long double squares = 0;
        for (std::size_t k = 0; k < n; ++k)
            squares += (cycles[k].wait * 60 - mean) * (cycles[k].wait * 60 - mean);
        const double half = StudentT975(static_cast<double>(n) - 1) *
                            static_cast<double>(std::sqrt(squares / (n - 1) / n));
        const double bound = relative ? target / 100 * static_cast<double>(mean) : target;
        if (half < bound)
            return static_cast<long long>(n);
    }
    return -1;
}

} // namespace

TEST(RunUntilPrecise, StopsAtTheFirstCycleCountMeetingTheTargetOnAnyThreadCount) {
    const MhSimState problem = Problem(1, 3, 2.5, 1, 8, 2);
    MhSimState fixed = problem;
    fixed.SimCycles = 5000;
    RunControl one;
    one.threads = 1;
    ASSERT_EQ(RunSimulation(fixed, 8, one).status, RunStatus::Done);
    for (const auto& [target, relative] : {std::pair{4.0, false}, std::pair{10.0, true}}) {
        const long long expected = FirstMeeting(fixed.CycleValues, target, relative);
        ASSERT_GT(expected, 10);
        ASSERT_LT(expected, 5000);
        PrecisionTarget t;
        t.measure = SimMeasure::Wait;
        t.halfWidth = target;
        t.relative = relative;
        t.maxCycles = 5000;
        for (int threads : {1, 2, 3}) {
            MhSimState mhs = problem;
            RunControl control;
            control.threads = threads;
            std::vector<double> halves;
            control.halfWidth = [&halves](double h) { halves.push_back(h); };
            ASSERT_EQ(RunUntilPrecise(mhs, 8, t, control).status, RunStatus::Done);
            ASSERT_TRUE(mhs.Precise);
            EXPECT_TRUE(mhs.Precise->met);
            EXPECT_EQ(mhs.Precise->cyclesRun, expected) << threads;
            EXPECT_EQ(mhs.SimCycles, static_cast<double>(expected));
            EXPECT_EQ(mhs.CycleValues.size(), static_cast<std::size_t>(expected));
            const double bound = relative ? target / 100 * mhs.WaitMean : target;
            EXPECT_LT(mhs.WaitHalf, bound);
            ASSERT_FALSE(halves.empty());
            EXPECT_EQ(halves.back(), mhs.WaitHalf);
        }
    }
}

TEST(RunUntilPrecise, ATargetNotReachedRunsTheLargestNumberOfCyclesAndSaysSo) {
    MhSimState mhs = Problem(3, 2, 2, 1, 8, 2, 2);
    PrecisionTarget t;
    t.measure = SimMeasure::Turnaways;
    t.halfWidth = 0.001;
    t.maxCycles = 40;
    ASSERT_EQ(RunUntilPrecise(mhs, 3, t).status, RunStatus::Done);
    EXPECT_FALSE(mhs.Precise->met);
    EXPECT_EQ(mhs.Precise->cyclesRun, 40);
    EXPECT_EQ(mhs.SimCycles, 40);
    const std::vector<std::string> lines = PreciseLines(mhs);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Run until precise: after the largest number of cycles, 40,");
    EXPECT_EQ(lines[1].rfind("the 95% half-width of the turn aways per cycle is ", 0), 0u)
        << lines[1];
    EXPECT_NE(lines[1].find(", not below the target of 0.001."), std::string::npos) << lines[1];

    // A fixed run clears what a run until precise left.
    mhs.SimCycles = 20;
    ASSERT_EQ(RunSimulation(mhs, 3).status, RunStatus::Done);
    EXPECT_FALSE(mhs.Precise);
    EXPECT_TRUE(PreciseLines(mhs).empty());
}

TEST(RunUntilPrecise, RefusesATargetOrBoundThatCannotBeRun) {
    MhSimState mhs = Problem(1, 2, 2, 1, 8, 2);
    PrecisionTarget t;
    t.halfWidth = 0;
    t.maxCycles = 100;
    EXPECT_EQ(RunUntilPrecise(mhs, 1, t).message,
              "The half-width to reach must be a number above 0.");
    t.relative = true;
    EXPECT_EQ(RunUntilPrecise(mhs, 1, t).message,
              "The half-width to reach must be a percentage above 0.");
    t.halfWidth = 5;
    t.maxCycles = 9;
    EXPECT_EQ(RunUntilPrecise(mhs, 1, t).message,
              "The largest number of cycles must be a whole number from 10 to 1000000000.");
    t.maxCycles = 1e9;
    EXPECT_EQ(RunUntilPrecise(mhs, 1, t).message,
              "The run would take about 34000000000 events (1000000000 cycles of about 34): "
              "more than the 10000000000 a run may take. Use fewer cycles, a shorter cycle or a "
              "lower demand rate.");
    EXPECT_FALSE(mhs.Precise);
    // A million cycles, or what the work bound allows: 10^10 / 34 events.
    EXPECT_EQ(LargestPreciseCycles(mhs), 1e6);
    mhs.CycleLength = 8000;
    EXPECT_EQ(LargestPreciseCycles(mhs), 312480);
}
