#include "mhsim/engine.h"

#include <algorithm>
#include <atomic>
#include <barrier>
#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>
#include <vector>

#include "mhsim/events.h"
#include "mhsim/parameters.h"
#include "mhsim/random.h"
#include "state/figures.h"

namespace davrenta {

namespace {

bool Whole(double v) {
    return std::isfinite(v) && v == std::floor(v);
}

Status CheckDistribution(const MhSimState& mhs) {
    const double a = mhs.ServiceParamA, b = mhs.ServiceParamB;
    switch (mhs.DistCode) {
    case 1:
        if (!(b >= 0))
            return Fail("Normal: Standard Deviation must be a number of at least 0.");
        break;
    case 2:
        if (!(a > 0))
            return Fail("Expo: Mean must be a number above 0.");
        break;
    case 3:
        if (!(a > 0))
            return Fail("Weibull: m must be a number above 0.");
        if (!(b > 0))
            return Fail("Weibull: Theta must be a number above 0.");
        break;
    case 4:
        if (!(a > 0))
            return Fail("Lognormal: Mean must be a number above 0.");
        if (!(b >= 0))
            return Fail("Lognormal: Variance must be a number of at least 0.");
        break;
    case 5:
        if (!Whole(a) || a < 0 || a > 100000)
            return Fail("Binomial: n must be a whole number from 0 to 100000.");
        if (!(b >= 0 && b < 1))
            return Fail("Binomial: p must be at least 0 and below 1.");
        // Below this the probability of 0 underflows and the inverse transform cannot start.
        if (PrepareService(5, a, b).probabilityOfZero < 1e-300)
            return Fail("Binomial: the probability of 0, (1 - p)^n, must be at least 1E-300; "
                        "use a smaller n or p.");
        break;
    case 6:
        if (!(a >= 0 && a <= 690))
            return Fail("Poisson: Lamda must be a number from 0 to 690.");
        break;
    case 7:
        break; // the parameter window checks the order of a and b
    case 8:
        if (!(a > 0))
            return Fail("Erlang: Mean must be a number above 0.");
        if (!Whole(b) || b < 1 || b > 100000)
            return Fail("Erlang: K must be a whole number from 1 to 100000.");
        break;
    default:
        return Fail("Select a Service Time Distribution in the list before simulating.");
    }
    return {};
}

// When every draw of a cycle is exponential, each one is -mean ln(U) for the next nonzero U of
// the cycle's stream, whichever mean it takes. The logarithms are then computed a few at a
// time ahead of use, where they need not wait for one another: the same values, sooner.
class LogsAhead {
  public:
    explicit LogsAhead(UniformSource& source) : source_(source) {}

    double expo(double mean) {
        if (next_ == kAhead) {
            for (double& l : logs_)
                l = DetLogUniform(source_.nextNonZero());
            next_ = 0;
        }
        return -mean * logs_[next_++];
    }

  private:
    static constexpr int kAhead = 8;
    UniformSource& source_;
    double logs_[kAhead];
    int next_ = kAhead;
};

template <bool Lock, bool Limited, bool AllExpo>
CycleStatus Cycle(const CycleInputs& in, UniformSource& rng, EventList& ev, CycleMeasures& m,
                  const std::atomic<bool>& cancel) {
    LogsAhead ahead(rng);
    const auto gap = [&] {
        return AllExpo ? ahead.expo(in.meanGap) : ExpoVariate(in.meanGap, rng);
    };
    const int s = in.servers;
    const double T = in.cycleLength;
    int idle = s;
    long long served = 0, queue = 0, largest = 0, turnaways = 0;
    double queueArea = 0, busyArea = 0, clock = 0;
    bool locked = false;
    bool sound = true;

    ev.clear();
    ev.schedule(kClosing, T);
    ev.schedule(kArrival, gap());
    const auto startService = [&] {
        const double end =
            clock + (AllExpo ? ahead.expo(in.service.a) : ServiceTime(in.service, rng));
        sound = sound && std::isfinite(end);
        ev.schedule(kDeparture, end);
        --idle;
    };
    long long events = 0;
    const long long checkMask = in.checkMask; // kept in a register, not read from memory
    for (;;) {
        int type;
        double time;
        ev.next(type, time);
        ++events;
        if ((events & checkMask) == 0 && cancel.load(std::memory_order_relaxed)) {
            m.events = events;
            return CycleStatus::Cancelled;
        }
        const double dt = time - clock;
        clock = time;
        queueArea += dt * static_cast<double>(queue);
        busyArea += dt * (s - idle);
        if (type == kArrival) {
            if (Lock && locked)
                continue;
            ev.schedule(kArrival, clock + gap());
            if (idle > 0) {
                startService();
            } else if (!Limited) {
                ++queue;
                largest = std::max(largest, queue);
            } else if (queue == in.queueLimit) {
                ++turnaways;
            } else {
                ++queue;
            }
        } else if (type == kDeparture) {
            ++served;
            ++idle;
            if (queue != 0) {
                --queue;
                startService();
            } else if (Lock && locked && idle == s) {
                break;
            }
        } else {
            if (!Lock)
                break;
            locked = true;
            if (idle == s)
                break;
        }
        if (!sound)
            return CycleStatus::Undefined;
    }
    m.served = static_cast<double>(served);
    m.overtime = clock - T;
    m.lineLength = queueArea / clock;
    m.wait = served > 0 ? queueArea / static_cast<double>(served) : 0;
    const double serverHours = s * clock;
    // Beyond the largest number the servers' hours divide one at a time, never as a 0.
    m.propBusy = std::isfinite(serverHours) ? busyArea / serverHours : busyArea / clock / s;
    m.turnaways = static_cast<double>(turnaways);
    m.maxQueue = static_cast<int>(largest);
    m.events = events;
    const bool defined = clock > 0 && std::isfinite(m.overtime) && std::isfinite(m.lineLength) &&
                         std::isfinite(m.wait) && std::isfinite(m.propBusy);
    return defined ? CycleStatus::Done : CycleStatus::Undefined;
}

template <bool Lock, bool Limited>
CycleStatus CycleFor(const CycleInputs& in, UniformSource& rng, EventList& ev, CycleMeasures& m,
                     const std::atomic<bool>& cancel) {
    return in.service.code == 2 ? Cycle<Lock, Limited, true>(in, rng, ev, m, cancel)
                                : Cycle<Lock, Limited, false>(in, rng, ev, m, cancel);
}

// The six measures of every cycle, in cycle order, in the results' order below.
struct Sums {
    Moments measure[6];
    int maxLine = 0;
    void add(const CycleMeasures& m) {
        const double x[6] = {m.served, m.overtime, m.lineLength, m.wait, m.propBusy, m.turnaways};
        for (int k = 0; k < 6; ++k)
            measure[k].add(x[k]);
        maxLine = std::max(maxLine, m.maxQueue);
    }
};

constexpr const char* kMeasureNames[6] = {
    "number served per cycle", "overtime hours required per cycle",
    "line length per cycle",   "wait time per service (minutes)",
    "proportion busy time",    "turn aways per cycle"};

constexpr const char* kTooLargeRemedy =
    "Use service time parameters or a length of simulation cycle of smaller magnitude.";

// The results of a run as the state holds them, before they replace the last run's.
struct RunResults {
    double mean[6] = {}, std[6] = {}, half[6] = {};
    int maxLine = 0;
};

// Means, standard deviations and half-widths in the units shown (the wait in minutes); a
// figure beyond the largest number refuses the run, naming its measure.
Result<RunResults> Summarise(const Sums& sums, double n) {
    const double t = StudentT975(n - 1);
    RunResults r;
    for (int k = 0; k < 6; ++k) {
        const double unit = k == 3 ? 60 : 1;
        r.mean[k] = sums.measure[k].mean() * unit;
        r.std[k] = sums.measure[k].sampleStd() * unit;
        r.half[k] = t * r.std[k] / std::sqrt(n);
        if (!std::isfinite(r.half[k])) // t x std alone may pass the largest number
            r.half[k] = t * (r.std[k] / std::sqrt(n));
        Figures figures;
        figures.add({r.mean[k], r.std[k], r.half[k]});
        const std::string what =
            std::string("the mean, the standard deviation or the 95% half-width of the ") +
            kMeasureNames[k];
        if (Status finite = RequireFinite(figures, "service times", what, kTooLargeRemedy); !finite)
            return Fail(finite.message());
    }
    r.maxLine = sums.maxLine;
    return r;
}

} // namespace

Status ValidateRun(const MhSimState& mhs) {
    if (!(mhs.CycleLength > 0) || !std::isfinite(mhs.CycleLength))
        return Fail(kCycleLengthMessage);
    if (mhs.DistCode < 1 || mhs.DistCode > 8)
        return Fail("Select a Service Time Distribution in the list before simulating.");
    if (!Whole(mhs.SimCycles) || mhs.SimCycles < kMinSimCycles || mhs.SimCycles > kMaxSimCycles)
        return Fail("Number of simulation cycles must be a whole number from 2 to 1000000000.");
    if (!(mhs.DemandRate > 0) || !std::isfinite(mhs.DemandRate))
        return Fail("Demand Rate (demands/hours) must be a number above 0.");
    // Beyond this a cycle would take hours, and the arrival times stop advancing on the clock.
    if (mhs.DemandRate * mhs.CycleLength > 1e7)
        return Fail("Demand Rate (demands/hours) times Length of simulation cycle, the demands "
                    "expected in one cycle, must be at most 10000000.");
    if (!Whole(mhs.NumServers) || mhs.NumServers < 1 || mhs.NumServers > kMaxServers)
        return Fail("Number of servers must be a whole number from 1 to 98.");
    if (mhs.SimOption >= 3 && (!Whole(mhs.QueueLimit) || mhs.QueueLimit < 0))
        return Fail("Specified maximum length of queue must be a whole number of at least 0.");
    if (Status distribution = CheckDistribution(mhs); !distribution)
        return distribution;
    return CheckRunLength(mhs);
}

CycleInputs InputsOf(const MhSimState& mhs) {
    CycleInputs in;
    in.option = mhs.SimOption;
    in.cycleLength = mhs.CycleLength;
    in.meanGap = 1 / mhs.DemandRate;
    in.servers = static_cast<int>(mhs.NumServers);
    // Under options 1 and 2 the limit is never read; a value that is no count never matches.
    in.queueLimit = Whole(mhs.QueueLimit) && std::fabs(mhs.QueueLimit) < 1e18
                        ? static_cast<long long>(mhs.QueueLimit)
                        : -1;
    in.service = PrepareService(mhs.DistCode, mhs.ServiceParamA, mhs.ServiceParamB);
    // About 4096 uniforms' worth of events between looks at the flag, a power of two.
    const double perCheck = 4096 / std::max(1.0, ExpectedDraws(in.service));
    long long events = 1;
    while (events * 2 <= perCheck)
        events *= 2;
    in.checkMask = events - 1;
    return in;
}

CycleStatus SimulateCycle(const CycleInputs& in, std::uint64_t seed, long long cycle,
                          CycleMeasures& m, const std::atomic<bool>* cancel) {
    static const std::atomic<bool> never{false};
    const std::atomic<bool>& flag = cancel ? *cancel : never;
    UniformSource rng(seed, static_cast<std::uint64_t>(cycle));
    EventList ev;
    switch (in.option) {
    case 2:
        return CycleFor<true, false>(in, rng, ev, m, flag);
    case 3:
        return CycleFor<false, true>(in, rng, ev, m, flag);
    case 4:
        return CycleFor<true, true>(in, rng, ev, m, flag);
    default:
        return CycleFor<false, false>(in, rng, ev, m, flag);
    }
}

double StudentT975(double df) {
    static const double table[] = {
        12.7062047361747, 4.30265272974946, 3.18244630528371, 2.77644510519779, 2.57058183563631,
        2.44691185114497, 2.36462425159278, 2.30600413520417, 2.26215716279820, 2.22813885198627,
        2.20098516009164, 2.17881282966723, 2.16036865646279, 2.14478668791780, 2.13144954555978,
        2.11990529922125, 2.10981557783332, 2.10092204024104, 2.09302405440831, 2.08596344726586,
        2.07961384472768, 2.07387306790403, 2.06865761041905, 2.06389856162802, 2.05953855275330,
        2.05552943864287, 2.05183051648029, 2.04840714179525, 2.04522964213270, 2.04227245630124};
    if (df < 1)
        return 0;
    if (df <= 30)
        return table[static_cast<int>(df) - 1];
    // Cornish-Fisher expansion about the normal quantile; below 1e-7 off from df = 30 on.
    const double z = 1.959963984540054, v = df;
    const double z2 = z * z, z3 = z2 * z, z5 = z3 * z2, z7 = z5 * z2, z9 = z7 * z2;
    return z + (z3 + z) / (4 * v) + (5 * z5 + 16 * z3 + 3 * z) / (96 * v * v) +
           (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / (384 * v * v * v) +
           (79 * z9 + 776 * z7 + 1482 * z5 - 1920 * z3 - 945 * z) / (92160 * v * v * v * v);
}

std::uint64_t TimeOfDaySeed() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto sinceSecond = duration_cast<nanoseconds>(now - system_clock::from_time_t(seconds));
    std::uint64_t seed =
        static_cast<std::uint64_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) *
            1000000000u +
        static_cast<std::uint64_t>(std::clamp<long long>(sinceSecond.count(), 0, 999999999));
    // Two runs started within the clock's resolution must still differ.
    static std::atomic<std::uint64_t> last{0};
    std::uint64_t previous = last.load();
    do {
        if (seed <= previous && previous - seed < 1000000000u)
            seed = previous + 1;
    } while (!last.compare_exchange_weak(previous, seed));
    return seed;
}

RunOutcome RunSimulation(MhSimState& mhs, std::uint64_t seed, const RunControl& control) {
    if (Status valid = ValidateRun(mhs); !valid)
        return {RunStatus::Refused, valid.message()};
    const CycleInputs in = InputsOf(mhs);
    const long long total = static_cast<long long>(mhs.SimCycles);

    // Blocks of about 4 million events' work per participant, at most 4096 cycles each, so
    // that progress comes a few times a second whatever a cycle's length.
    const double perCycle = std::max(1.0, ExpectedWork(mhs).total / mhs.SimCycles);
    const long long perThread =
        std::clamp<long long>(static_cast<long long>(0x1p22 / perCycle), 1, 4096);
    const long long chunk = std::clamp<long long>(perThread / 32, 1, 128);
    int threads = control.threads > 0 ? control.threads
                                      : static_cast<int>(std::thread::hardware_concurrency());
    threads = static_cast<int>(std::clamp<long long>(total / std::max<long long>(1, perThread / 8),
                                                     1, std::max(threads, 1)));
    const long long blockSize = perThread * threads;

    std::vector<CycleMeasures> block(static_cast<std::size_t>(std::min(total, blockSize)));
    std::vector<CycleStatus> status(block.size());
    std::vector<CycleMeasures> kept;
    kept.reserve(static_cast<std::size_t>(std::min<long long>(total, kKeptCycles)));
    Sums sums;
    long long start = 0;      // first cycle (from 0) of the current block
    long long blockCount = 0; // cycles in the current block
    bool stop = false;
    RunOutcome outcome;

    // The participants take the block's cycles a chunk at a time, so that a core that runs
    // slower (a busy neighbour) takes fewer; participant 0 then adds the block in order.
    std::atomic<long long> taken{0};
    const auto work = [&] {
        for (;;) {
            const long long from = taken.fetch_add(chunk, std::memory_order_relaxed);
            if (from >= blockCount)
                return;
            const long long to = std::min(blockCount, from + chunk);
            for (long long i = from; i < to; ++i) {
                if (control.cancel && control.cancel->load(std::memory_order_relaxed))
                    return;
                const auto slot = static_cast<std::size_t>(i);
                status[slot] = SimulateCycle(in, seed, start + i + 1, block[slot], control.cancel);
            }
        }
    };
    const auto gather = [&] {
        if (control.cancel && control.cancel->load()) {
            outcome = {RunStatus::Cancelled, "The run was cancelled."};
            stop = true;
            return;
        }
        for (long long i = 0; i < blockCount; ++i) {
            const auto slot = static_cast<std::size_t>(i);
            const std::string cycle = std::to_string(start + i + 1);
            if (status[slot] != CycleStatus::Done) {
                outcome = {RunStatus::Refused,
                           "The run was stopped in cycle " + cycle +
                               ": its measures cannot be computed (a service time too large to "
                               "simulate, or a cycle that ends at time 0 or before). Check the "
                               "service time parameters."};
                stop = true;
                return;
            }
            // The chart shows each cycle's wait in minutes.
            if (!std::isfinite(block[slot].wait * 60)) {
                outcome = {
                    RunStatus::Refused,
                    TooLargeToCompute("service times",
                                      "the wait time per service (minutes) of cycle " + cycle,
                                      kTooLargeRemedy)
                        .message};
                stop = true;
                return;
            }
            sums.add(block[slot]);
            if (kept.size() < kKeptCycles)
                kept.push_back(block[slot]);
        }
        start += blockCount;
        if (control.progress)
            control.progress(start, total);
        blockCount = std::min(blockSize, total - start);
        taken.store(0, std::memory_order_relaxed);
        stop = blockCount == 0;
    };

    blockCount = std::min(blockSize, total);
    if (threads == 1) {
        while (!stop) {
            work();
            gather();
        }
    } else {
        std::barrier sync(threads);
        const auto participant = [&](int w) {
            for (;;) {
                work();
                sync.arrive_and_wait();
                if (w == 0)
                    gather();
                sync.arrive_and_wait();
                if (stop)
                    return;
            }
        };
        std::vector<std::jthread> pool;
        for (int w = 1; w < threads; ++w)
            pool.emplace_back(participant, w);
        participant(0);
    }
    if (outcome.status != RunStatus::Done)
        return outcome;

    const Result<RunResults> results = Summarise(sums, static_cast<double>(total));
    if (!results)
        return {RunStatus::Refused, results.message()};
    const RunResults& r = *results;
    mhs.NumServMean = r.mean[0];
    mhs.NumServStd = r.std[0];
    mhs.NumServHalf = r.half[0];
    mhs.OvertimeMean = r.mean[1];
    mhs.OvertimeStd = r.std[1];
    mhs.OvertimeHalf = r.half[1];
    mhs.LineLenMean = r.mean[2];
    mhs.LineLenStd = r.std[2];
    mhs.LineLenHalf = r.half[2];
    mhs.WaitMean = r.mean[3];
    mhs.WaitStd = r.std[3];
    mhs.WaitHalf = r.half[3];
    mhs.PropBusyMean = r.mean[4];
    mhs.PropBusyStd = r.std[4];
    mhs.PropBusyHalf = r.half[4];
    mhs.TurnawayMean = r.mean[5];
    mhs.TurnawayStd = r.std[5];
    mhs.TurnawayHalf = r.half[5];
    mhs.MaxLine = r.maxLine;
    mhs.Seed = seed;
    mhs.CycleValues = std::move(kept);
    return outcome;
}

} // namespace davrenta
