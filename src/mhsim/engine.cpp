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
#include "mhsim/random.h"

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
bool Cycle(const CycleInputs& in, UniformSource& rng, EventList& ev, CycleMeasures& m) {
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
    for (;;) {
        int type;
        double time;
        ev.next(type, time);
        ++events;
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
            return false;
    }
    m.served = static_cast<double>(served);
    m.overtime = clock - T;
    m.lineLength = queueArea / clock;
    m.wait = served > 0 ? queueArea / static_cast<double>(served) : 0;
    m.propBusy = busyArea / (s * clock);
    m.turnaways = static_cast<double>(turnaways);
    m.maxQueue = static_cast<int>(largest);
    m.events = events;
    return clock > 0 && std::isfinite(m.overtime) && std::isfinite(m.lineLength) &&
           std::isfinite(m.wait) && std::isfinite(m.propBusy);
}

template <bool Lock, bool Limited>
bool CycleFor(const CycleInputs& in, UniformSource& rng, EventList& ev, CycleMeasures& m) {
    return in.service.code == 2 ? Cycle<Lock, Limited, true>(in, rng, ev, m)
                                : Cycle<Lock, Limited, false>(in, rng, ev, m);
}

// Sums and sums of squares of the six measures, in cycle order.
struct Sums {
    double s[6] = {}, q[6] = {};
    int maxLine = 0;
    void add(const CycleMeasures& m) {
        const double x[6] = {m.served, m.overtime, m.lineLength, m.wait, m.propBusy, m.turnaways};
        for (int k = 0; k < 6; ++k) {
            s[k] += x[k];
            q[k] += x[k] * x[k];
        }
        maxLine = std::max(maxLine, m.maxQueue);
    }
};

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
    return CheckDistribution(mhs);
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
    return in;
}

bool SimulateCycle(const CycleInputs& in, std::uint64_t seed, long long cycle, CycleMeasures& m) {
    UniformSource rng(seed, static_cast<std::uint64_t>(cycle));
    EventList ev;
    switch (in.option) {
    case 2:
        return CycleFor<true, false>(in, rng, ev, m);
    case 3:
        return CycleFor<false, true>(in, rng, ev, m);
    case 4:
        return CycleFor<true, true>(in, rng, ev, m);
    default:
        return CycleFor<false, false>(in, rng, ev, m);
    }
}

double SampleStd(double n, double sum, double sumSquares) {
    const double d = (n * sumSquares - sum * sum) / (n * (n - 1));
    return d > 0 ? std::sqrt(d) : 0;
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
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::uint64_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

RunOutcome RunSimulation(MhSimState& mhs, std::uint64_t seed, const RunControl& control) {
    if (Status valid = ValidateRun(mhs); !valid)
        return {RunStatus::Refused, valid.message()};
    const CycleInputs in = InputsOf(mhs);
    const long long total = static_cast<long long>(mhs.SimCycles);

    int threads = control.threads > 0 ? control.threads
                                      : static_cast<int>(std::thread::hardware_concurrency());
    threads = static_cast<int>(std::clamp<long long>(total / 512, 1, std::max(threads, 1)));
    const long long perThread = 4096;
    const long long blockSize = perThread * threads;

    std::vector<CycleMeasures> block(static_cast<std::size_t>(std::min(total, blockSize)));
    std::vector<char> sound(block.size());
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
        constexpr long long kChunk = 128;
        for (;;) {
            const long long from = taken.fetch_add(kChunk, std::memory_order_relaxed);
            if (from >= blockCount)
                return;
            const long long to = std::min(blockCount, from + kChunk);
            for (long long i = from; i < to; ++i) {
                if (control.cancel && control.cancel->load(std::memory_order_relaxed))
                    return;
                const auto slot = static_cast<std::size_t>(i);
                sound[slot] = SimulateCycle(in, seed, start + i + 1, block[slot]);
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
            if (!sound[slot]) {
                outcome = {RunStatus::Refused,
                           "The run was stopped in cycle " + std::to_string(start + i + 1) +
                               ": its measures cannot be computed (a service time too large to "
                               "simulate, or a cycle that ends at time 0 or before). Check the "
                               "service time parameters."};
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

    const double n = static_cast<double>(total);
    const double t = StudentT975(n - 1);
    const auto mean = [&](int k) { return sums.s[k] / n; };
    const auto sd = [&](int k) { return SampleStd(n, sums.s[k], sums.q[k]); };
    const auto half = [&](double stdDev) { return t * stdDev / std::sqrt(n); };
    mhs.NumServMean = mean(0);
    mhs.NumServStd = sd(0);
    mhs.OvertimeMean = mean(1);
    mhs.OvertimeStd = sd(1);
    mhs.LineLenMean = mean(2);
    mhs.LineLenStd = sd(2);
    mhs.WaitMean = mean(3) * 60;
    mhs.WaitStd = sd(3) * 60;
    mhs.PropBusyMean = mean(4);
    mhs.PropBusyStd = sd(4);
    mhs.TurnawayMean = mean(5);
    mhs.TurnawayStd = sd(5);
    mhs.MaxLine = sums.maxLine;
    mhs.NumServHalf = half(mhs.NumServStd);
    mhs.OvertimeHalf = half(mhs.OvertimeStd);
    mhs.LineLenHalf = half(mhs.LineLenStd);
    mhs.WaitHalf = half(mhs.WaitStd);
    mhs.PropBusyHalf = half(mhs.PropBusyStd);
    mhs.TurnawayHalf = half(mhs.TurnawayStd);
    mhs.Seed = seed;
    mhs.CycleValues = std::move(kept);
    return outcome;
}

} // namespace davrenta
