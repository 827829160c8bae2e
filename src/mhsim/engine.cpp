#include "mhsim/engine.h"

#include <algorithm>
#include <atomic>
#include <barrier>
#include <chrono>
#include <cmath>
#include <ctime>
#include <deque>
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

// The service times of the customers waiting in line, first come first served: each customer
// brings the service time drawn at its arrival. Kept per thread and reused from cycle to cycle.
class WaitingLine {
  public:
    void clear() { head_ = tail_ = 0; }
    void push(double service) {
        if (tail_ - head_ == buffer_.size())
            grow();
        buffer_[tail_++ & mask_] = service;
    }
    double pop() { return buffer_[head_++ & mask_]; }

  private:
    void grow() {
        std::vector<double> larger(std::max<std::size_t>(64, 2 * buffer_.size()));
        for (std::size_t k = 0; head_ + k < tail_; ++k)
            larger[k] = buffer_[(head_ + k) & mask_];
        tail_ -= head_;
        head_ = 0;
        buffer_.swap(larger);
        mask_ = buffer_.size() - 1;
    }
    std::vector<double> buffer_;
    std::size_t head_ = 0, tail_ = 0, mask_ = 0;
};

template <bool Lock, bool Limited, bool AllExpo, bool Traced>
CycleStatus Cycle(const CycleInputs& in, UniformSource& arrivals, UniformSource& services,
                  EventList& ev, WaitingLine& line, CycleMeasures& m,
                  const std::atomic<bool>& cancel, CycleTrace* trace) {
    LogsAhead gapsAhead(arrivals), servicesAhead(services);
    const auto gap = [&] {
        return AllExpo ? gapsAhead.expo(in.meanGap) : ExpoVariate(in.meanGap, arrivals);
    };
    const auto serviceTime = [&] {
        return AllExpo ? servicesAhead.expo(in.service.a) : ServiceTime(in.service, services);
    };
    const int s = in.servers;
    const double T = in.cycleLength;
    int idle = s;
    long long served = 0, queue = 0, largest = 0, turnaways = 0;
    double queueArea = 0, busyArea = 0, clock = 0;
    bool locked = false;
    bool sound = true;
    // Traced runs only: the arrival number of each customer in line.
    std::deque<long long> waiting;
    long long customers = 0;

    ev.clear();
    line.clear();
    ev.schedule(kClosing, T);
    ev.schedule(kArrival, gap());
    const auto startService = [&](double service, long long customer) {
        const double end = clock + service;
        sound = sound && std::isfinite(end);
        ev.schedule(kDeparture, end);
        --idle;
        if constexpr (Traced) {
            trace->startedCustomer.push_back(customer);
            trace->startedService.push_back(service);
        }
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
            // Drawn for every customer let in, served or not, so that the n-th customer of a
            // cycle has the same service time whatever the number of servers.
            const double service = serviceTime();
            const long long customer = customers++;
            if constexpr (Traced) {
                trace->arrivalTimes.push_back(clock);
                trace->serviceTimes.push_back(service);
            }
            if (idle > 0) {
                startService(service, customer);
            } else if (!Limited) {
                line.push(service);
                if constexpr (Traced)
                    waiting.push_back(customer);
                ++queue;
                largest = std::max(largest, queue);
            } else if (queue == in.queueLimit) {
                ++turnaways;
            } else {
                line.push(service);
                if constexpr (Traced)
                    waiting.push_back(customer);
                ++queue;
            }
        } else if (type == kDeparture) {
            ++served;
            ++idle;
            if (queue != 0) {
                --queue;
                long long customer = 0;
                if constexpr (Traced) {
                    customer = waiting.front();
                    waiting.pop_front();
                }
                startService(line.pop(), customer);
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

template <bool Lock, bool Limited, bool Traced>
CycleStatus CycleFor(const CycleInputs& in, UniformSource& arrivals, UniformSource& services,
                     EventList& ev, WaitingLine& line, CycleMeasures& m,
                     const std::atomic<bool>& cancel, CycleTrace* trace) {
    return in.service.code == 2 ? Cycle<Lock, Limited, true, Traced>(in, arrivals, services, ev,
                                                                     line, m, cancel, trace)
                                : Cycle<Lock, Limited, false, Traced>(in, arrivals, services, ev,
                                                                      line, m, cancel, trace);
}

template <bool Traced>
CycleStatus CycleOfOption(const CycleInputs& in, UniformSource& arrivals, UniformSource& services,
                          CycleMeasures& m, const std::atomic<bool>& cancel, CycleTrace* trace) {
    EventList ev;
    thread_local WaitingLine line;
    switch (in.option) {
    case 2:
        return CycleFor<true, false, Traced>(in, arrivals, services, ev, line, m, cancel, trace);
    case 3:
        return CycleFor<false, true, Traced>(in, arrivals, services, ev, line, m, cancel, trace);
    case 4:
        return CycleFor<true, true, Traced>(in, arrivals, services, ev, line, m, cancel, trace);
    default:
        return CycleFor<false, false, Traced>(in, arrivals, services, ev, line, m, cancel, trace);
    }
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

// The mean, standard deviation and 95 % half-width of measure k over n cycles, in the unit
// shown (the wait in minutes). The stop rule of a run until precise reads the same figures.
void FiguresOf(const Moments& m, double n, int k, double& mean, double& std, double& half) {
    const double unit = k == 3 ? 60 : 1;
    const double t = StudentT975(n - 1);
    mean = m.mean() * unit;
    std = m.sampleStd() * unit;
    half = t * std / std::sqrt(n);
    if (!std::isfinite(half)) // t x std alone may pass the largest number
        half = t * (std / std::sqrt(n));
}

// Means, standard deviations and half-widths in the units shown; a figure beyond the largest
// number refuses the run, naming its measure.
Result<RunResults> Summarise(const Sums& sums, double n) {
    RunResults r;
    for (int k = 0; k < 6; ++k) {
        FiguresOf(sums.measure[k], n, k, r.mean[k], r.std[k], r.half[k]);
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

void Store(MhSimState& mhs, const RunResults& r) {
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
}

// When a run until precise may stop: after a cycle whose half-width meets the target.
struct StopRule {
    int measure = 3;
    double target = 0;
    bool relative = false;
    bool met(const Moments& m, long long n) const {
        if (n < kMinPreciseCycles)
            return false;
        double mean, std, half;
        FiguresOf(m, static_cast<double>(n), measure, mean, std, half);
        return HalfWidthMeets(half, mean, target, relative);
    }
};

// What the cycles of one run came to.
struct CycleRun {
    Sums sums;
    std::vector<CycleMeasures> kept;
    long long cycles = 0; // cycles added: the total, or where the stop rule stopped
    bool stopped = false; // the stop rule was met
};

// Runs cycles 1..total (or until the stop rule is met) in blocks over the threads, adding
// their measures in cycle order. Progress reports base + cycles done of `overall`.
RunOutcome RunCycles(const CycleInputs& in, double perCycleWork, std::uint64_t seed,
                     long long total, const RunControl& control, bool keep, const StopRule* rule,
                     long long base, long long overall, CycleRun& run) {
    // Blocks of about 4 million events' work per participant, at most 4096 cycles each, so
    // that progress comes a few times a second whatever a cycle's length.
    const long long perThread = std::clamp<long long>(
        static_cast<long long>(0x1p22 / std::max(1.0, perCycleWork)), 1, 4096);
    const long long chunk = std::clamp<long long>(perThread / 32, 1, 128);
    int threads = control.threads > 0 ? control.threads
                                      : static_cast<int>(std::thread::hardware_concurrency());
    threads = static_cast<int>(std::clamp<long long>(total / std::max<long long>(1, perThread / 8),
                                                     1, std::max(threads, 1)));
    const long long blockSize = perThread * threads;

    std::vector<CycleMeasures> block(static_cast<std::size_t>(std::min(total, blockSize)));
    std::vector<CycleStatus> status(block.size());
    if (keep)
        run.kept.reserve(static_cast<std::size_t>(std::min<long long>(total, kKeptCycles)));
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
            run.sums.add(block[slot]);
            ++run.cycles;
            if (keep && run.kept.size() < kKeptCycles)
                run.kept.push_back(block[slot]);
            if (rule && rule->met(run.sums.measure[rule->measure], run.cycles)) {
                run.stopped = true;
                break;
            }
        }
        start = run.cycles;
        if (rule && control.halfWidth) {
            double mean, std, half;
            FiguresOf(run.sums.measure[rule->measure], static_cast<double>(run.cycles),
                      rule->measure, mean, std, half);
            control.halfWidth(run.cycles >= 2 ? half : -1);
        }
        if (control.progress)
            control.progress(base + start, overall);
        blockCount = run.stopped ? 0 : std::min(blockSize, total - start);
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
    return outcome;
}

double PerCycleWork(const MhSimState& mhs) {
    return std::max(1.0, ExpectedWork(mhs).total / mhs.SimCycles);
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
                          CycleMeasures& m, const std::atomic<bool>* cancel, CycleTrace* trace) {
    static const std::atomic<bool> never{false};
    const std::atomic<bool>& flag = cancel ? *cancel : never;
    UniformSource arrivals(seed, ArrivalStream(cycle)), services(seed, ServiceStream(cycle));
    if (trace) {
        *trace = {};
        return CycleOfOption<true>(in, arrivals, services, m, flag, trace);
    }
    return CycleOfOption<false>(in, arrivals, services, m, flag, nullptr);
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
    const long long total = static_cast<long long>(mhs.SimCycles);
    CycleRun run;
    const RunOutcome outcome = RunCycles(InputsOf(mhs), PerCycleWork(mhs), seed, total, control,
                                         true, nullptr, 0, total, run);
    if (outcome.status != RunStatus::Done)
        return outcome;
    const Result<RunResults> results = Summarise(run.sums, static_cast<double>(total));
    if (!results)
        return {RunStatus::Refused, results.message()};
    Store(mhs, *results);
    mhs.Seed = seed;
    mhs.CycleValues = std::move(run.kept);
    mhs.Precise.reset();
    return outcome;
}

bool HalfWidthMeets(double half, double mean, double target, bool relative) {
    if (half == 0) // every cycle alike: nothing more to learn
        return true;
    return half < (relative ? target / 100 * std::fabs(mean) : target);
}

Status ValidatePrecision(const MhSimState& mhs, const PrecisionTarget& target) {
    const int k = static_cast<int>(target.measure);
    if (k < 0 || k > 5)
        return Fail("Choose the measure whose half-width is to be reached.");
    if (!(target.halfWidth > 0) || !std::isfinite(target.halfWidth))
        return Fail(target.relative ? "The half-width to reach must be a percentage above 0."
                                    : "The half-width to reach must be a number above 0.");
    if (!Whole(target.maxCycles) || target.maxCycles < kMinPreciseCycles || target.maxCycles > 1e9)
        return Fail("The largest number of cycles must be a whole number from 10 to "
                    "1000000000.");
    MhSimState bound = mhs;
    bound.SimCycles = target.maxCycles;
    return ValidateRun(bound);
}

double LargestPreciseCycles(const MhSimState& mhs) {
    MhSimState one = mhs;
    one.SimCycles = 1;
    const double perCycle = ExpectedWork(one).total;
    double cycles = 1e6;
    if (perCycle > 0)
        cycles = std::min(cycles, std::floor(kMaxRunEvents / perCycle));
    return std::max<double>(cycles, kMinPreciseCycles);
}

RunOutcome RunUntilPrecise(MhSimState& mhs, std::uint64_t seed, const PrecisionTarget& target,
                           const RunControl& control) {
    if (Status valid = ValidatePrecision(mhs, target); !valid)
        return {RunStatus::Refused, valid.message()};
    MhSimState bound = mhs;
    bound.SimCycles = target.maxCycles;
    const auto total = static_cast<long long>(target.maxCycles);
    StopRule rule;
    rule.measure = static_cast<int>(target.measure);
    rule.target = target.halfWidth;
    rule.relative = target.relative;
    CycleRun run;
    const RunOutcome outcome = RunCycles(InputsOf(bound), PerCycleWork(bound), seed, total, control,
                                         true, &rule, 0, total, run);
    if (outcome.status != RunStatus::Done)
        return outcome;
    const Result<RunResults> results = Summarise(run.sums, static_cast<double>(run.cycles));
    if (!results)
        return {RunStatus::Refused, results.message()};
    Store(mhs, *results);
    mhs.SimCycles = static_cast<double>(run.cycles);
    mhs.Seed = seed;
    mhs.CycleValues = std::move(run.kept);
    PreciseRun precise;
    precise.target = target;
    precise.cyclesRun = run.cycles;
    precise.met = run.stopped;
    mhs.Precise = precise;
    return outcome;
}

Status ValidateSweep(const MhSimState& mhs, int from, int to) {
    if (from < 1 || to > kMaxServers || from > to)
        return Fail("The numbers of servers to compare must run from a smaller to a larger "
                    "whole number, within 1 to 98.");
    MhSimState first = mhs;
    first.NumServers = from;
    if (Status valid = ValidateRun(first); !valid)
        return valid;
    return CheckRunLength(first, to - from + 1);
}

RunOutcome RunServerSweep(const MhSimState& problem, int from, int to, std::uint64_t seed,
                          const RunControl& control, std::vector<MhSimState>& byServers) {
    if (Status valid = ValidateSweep(problem, from, to); !valid)
        return {RunStatus::Refused, valid.message()};
    const long long total = static_cast<long long>(problem.SimCycles);
    const long long overall = total * (to - from + 1);
    std::vector<MhSimState> rows;
    for (int servers = from; servers <= to; ++servers) {
        MhSimState mhs = problem;
        mhs.NumServers = servers;
        mhs.CycleValues.clear();
        CycleRun run;
        RunOutcome outcome = RunCycles(InputsOf(mhs), PerCycleWork(mhs), seed, total, control,
                                       false, nullptr, total * (servers - from), overall, run);
        Result<RunResults> results = Fail("");
        if (outcome.status == RunStatus::Done) {
            results = Summarise(run.sums, static_cast<double>(total));
            if (!results)
                outcome = {RunStatus::Refused, results.message()};
        }
        if (outcome.status == RunStatus::Refused)
            outcome.message = "With " + std::to_string(servers) + " server" +
                              (servers == 1 ? "" : "s") + ": " + outcome.message;
        if (outcome.status != RunStatus::Done)
            return outcome;
        Store(mhs, *results);
        mhs.Seed = seed;
        mhs.Precise.reset();
        rows.push_back(std::move(mhs));
    }
    byServers = std::move(rows);
    return {};
}

} // namespace davrenta
