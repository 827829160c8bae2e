#include "batch/mhsimbatch.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "app/modulestate.h"
#include "batch/interrupt.h"
#include "mhsim/capacity.h"
#include "mhsim/engine.h"
#include "mhsim/parameters.h"
#include "mhsim/problemfile.h"
#include "mhsim/texts.h"
#include "state/numbers.h"
#include "state/records.h"

namespace davrenta {

namespace {

std::string Padded(std::string text, std::size_t width) {
    text.append(text.size() < width ? width - text.size() : 1, ' ');
    return text;
}

void PrintResults(std::ostream& out, const MhsResultsTexts& t) {
    out << "== " << t.caption << " ==\n";
    const auto field = [&out](const std::string& label, const std::string& value) {
        out << Padded(label, 45) << value << '\n';
    };
    field("Number of simulation cycles", t.daystxt);
    field("Length of simulation cycle (hours per day)", t.lsimtxt);
    field("Demand Rate (demands/hours)", t.afreqtxt);
    field("Number of servers", t.nservtxt);
    if (t.showQueueLimit)
        field("Specified maximum queue length", t.wspacetxt);
    field("Service Time Distribution", t.sflagtxt);
    field(t.labels.a, t.svcatxt);
    if (t.labels.bShown)
        field(t.labels.b, t.svcbtxt);
    field("Seed", t.seedtxt);
    out << '\n'
        << Padded("", 45) << Padded("Mean", 12) << Padded("Std. Dev.", 12) << "95% half-width\n";
    for (const MhsResultRow& row : t.rows)
        out << Padded(row.label, 45) << Padded(row.mean, 12) << Padded(row.std, 12) << row.half
            << '\n';
    if (t.showMaxLine)
        field("Maximum observed line length", t.maxlinetxt);
    out << '\n';
}

// The keys of a single run: its inputs, seed and results.
ordered_json RunKeys(const MhSimState& mhs) {
    ordered_json j;
    j["SimOption"] = mhs.SimOption;
    j["SimCycles"] = mhs.SimCycles;
    j["CycleLength"] = mhs.CycleLength;
    j["DemandRate"] = mhs.DemandRate;
    j["NumServers"] = mhs.NumServers;
    j["QueueLimit"] = mhs.QueueLimit;
    j["DistCode"] = mhs.DistCode;
    j["ServiceParamA"] = mhs.ServiceParamA;
    j["ServiceParamB"] = mhs.ServiceParamB;
    j["Seed"] = mhs.Seed;
    j["NumServMean"] = mhs.NumServMean;
    j["NumServStd"] = mhs.NumServStd;
    j["LineLenMean"] = mhs.LineLenMean;
    j["LineLenStd"] = mhs.LineLenStd;
    j["WaitMean"] = mhs.WaitMean;
    j["WaitStd"] = mhs.WaitStd;
    j["PropBusyMean"] = mhs.PropBusyMean;
    j["PropBusyStd"] = mhs.PropBusyStd;
    j["OvertimeMean"] = mhs.OvertimeMean;
    j["OvertimeStd"] = mhs.OvertimeStd;
    j["TurnawayMean"] = mhs.TurnawayMean;
    j["TurnawayStd"] = mhs.TurnawayStd;
    j["MaxLine"] = mhs.MaxLine;
    j["NumServHalf"] = mhs.NumServHalf;
    j["LineLenHalf"] = mhs.LineLenHalf;
    j["WaitHalf"] = mhs.WaitHalf;
    j["PropBusyHalf"] = mhs.PropBusyHalf;
    j["OvertimeHalf"] = mhs.OvertimeHalf;
    j["TurnawayHalf"] = mhs.TurnawayHalf;
    return j;
}

ordered_json Json(const MhSimState& mhs, const Report& report) {
    ordered_json j = RunKeys(mhs);
    if (mhs.Precise) {
        j["CyclesRun"] = mhs.Precise->cyclesRun;
        j["PrecisionMet"] = mhs.Precise->met;
    }
    j["Report"] = JsonReport(report);
    return j;
}

// A comparison: a row per number of servers with the long-day values where theory gives them,
// and the smallest count meeting the target.
ordered_json ComparisonJson(const std::vector<MhSimState>& rows, const CapacityTarget& target,
                            const Report& report) {
    ordered_json j;
    j["SimOption"] = rows.front().SimOption;
    j["Seed"] = rows.front().Seed;
    if (target.kind == TargetKind::None) {
        j["Target"] = nullptr;
    } else {
        j["Target"] = {{"Kind", target.kind == TargetKind::Wait ? "wait" : "turnaways"},
                       {"Value", target.value}};
    }
    ordered_json byServers = ordered_json::array();
    for (const MhSimState& m : rows) {
        ordered_json row;
        row["NumServers"] = m.NumServers;
        const ordered_json keys = RunKeys(m);
        for (auto it = keys.begin(); it != keys.end(); ++it)
            if (it.key() != "NumServers")
                row[it.key()] = it.value();
        if (const std::optional<LongDayValues> theory = LongDayTheory(m)) {
            row["LongDayBounded"] = theory->bounded;
            if (theory->bounded) {
                row["WaitTheory"] = theory->waitMinutes;
                row["LineLenTheory"] = theory->lineLength;
                row["PropBusyTheory"] = theory->propBusy;
                if (m.SimOption == 3)
                    row["TurnawayTheory"] = theory->turnawaysPerCycle;
            }
        }
        if (target.kind != TargetKind::None)
            row["TargetMark"] = MarkText(rows, target, byServers.size());
        byServers.push_back(std::move(row));
    }
    j["ByServers"] = std::move(byServers);
    const std::optional<std::size_t> smallest = SmallestMeeting(rows, target);
    if (smallest)
        j["SmallestMeeting"] = rows[*smallest].NumServers;
    else
        j["SmallestMeeting"] = nullptr;
    j["Report"] = JsonReport(report);
    return j;
}

// The run; with a terminal to show it on, a line of progress once the run has taken a second,
// renewed a few times a second and wiped at the end. `what` names the work ("Simulating"); a
// run until precise adds the half-width reached so far.
RunOutcome RunShowingProgress(const std::function<RunOutcome(const RunControl&)>& run,
                              RunControl control, long long total, const std::string& what,
                              std::ostream* terminal) {
    if (!terminal)
        return run(control);
    std::atomic<long long> done{0};
    std::atomic<double> half{-1};
    control.progress = [&done](long long cycles, long long) { done.store(cycles); };
    const bool precise = static_cast<bool>(control.halfWidth);
    if (precise)
        control.halfWidth = [&half](double h) { half.store(h); };
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    RunOutcome outcome;
    std::thread runner([&] {
        RunOutcome o = run(control);
        const std::lock_guard lock(mutex);
        outcome = std::move(o);
        finished = true;
        ended.notify_one();
    });
    using namespace std::chrono;
    const auto started = steady_clock::now();
    std::size_t shown = 0;
    std::unique_lock lock(mutex);
    while (!ended.wait_for(lock, milliseconds(250), [&] { return finished; })) {
        const long long seconds =
            duration_cast<std::chrono::seconds>(steady_clock::now() - started).count();
        if (seconds < 1)
            continue;
        const long long cycles = done.load();
        std::string line = what + ": " + std::to_string(cycles) + " of " + std::to_string(total) +
                           " cycles (" + std::to_string(cycles * 100 / std::max(total, 1LL)) +
                           "%), ";
        if (precise && half.load() >= 0)
            line += "half-width " + FormatPicture(half.load(), "0.0000") + ", ";
        line += std::to_string(seconds) + " s; Ctrl-C stops";
        const std::size_t width = line.size();
        line.append(shown > width ? shown - width : 0, ' ');
        *terminal << '\r' << line << std::flush;
        shown = width;
    }
    lock.unlock();
    runner.join();
    if (shown > 0)
        *terminal << '\r' << std::string(shown, ' ') << '\r' << std::flush;
    return outcome;
}

// Saves the problem if asked, then prints the comparison as text or JSON.
int PrintComparison(const MhSimBatchOptions& options, ModuleState& state,
                    const std::vector<MhSimState>& rows, std::ostream& out, std::ostream& err) {
    if (!options.save.empty()) {
        state.ProblemFileName = options.save;
        if (Status saved = WriteMhsFile(state); !saved)
            return Unreadable(err, saved.message());
    }
    const Report report = ComparisonReport(rows, options.target);
    if (std::optional<int> done =
            CheckedResult(options.json, out, err, ComparisonJson(rows, options.target, report)))
        return *done;
    PrintReport(out, "comparison of numbers of servers", report);
    return kExitDone;
}

} // namespace

int RunMhSimBatch(const MhSimBatchOptions& options, std::ostream& out, std::ostream& err) {
    const InterruptGuard interrupt;
    ModuleState state;
    state.ModuleFlag = Study::MhSimulation;
    state.ProblemFileName = options.file;
    if (Status read = ReadMhsFile(state); !read)
        return Unreadable(err, read.message());
    MhSimState& mhs = state.mhs;
    mhs.SimOption = options.option;
    if (options.cycles)
        mhs.SimCycles = *options.cycles;
    // The parameter window stores Poisson's parameter b as its a.
    if (mhs.DistCode == 6)
        mhs.ServiceParamB = mhs.ServiceParamA;
    // As "Simulate" checks them: the cycle length first, then the uniform's order.
    if (mhs.CycleLength > 0 && mhs.DistCode == 7 && mhs.ServiceParamB < mhs.ServiceParamA)
        return NoResult(options.json, out, err, ForTerminal(kUniformOrderMessage));

    std::optional<PrecisionTarget> precision = options.precision;
    if (precision && precision->maxCycles == 0)
        precision->maxCycles = LargestPreciseCycles(mhs);

    RunControl control;
    control.threads = options.threads;
    control.cancel = &interrupt.flag();
    const std::uint64_t seed = options.seed ? *options.seed : TimeOfDaySeed();
    std::ostream* terminal = options.progress ? &err : nullptr;
    if (options.serversTo > 0) {
        std::vector<MhSimState> rows;
        const long long total =
            static_cast<long long>(mhs.SimCycles) * (options.serversTo - options.serversFrom + 1);
        const RunOutcome compared = RunShowingProgress(
            [&](const RunControl& c) {
                return RunServerSweep(mhs, options.serversFrom, options.serversTo, seed, c, rows);
            },
            control, total, "Comparing", terminal);
        if (interrupt.interrupted()) {
            err << "davrenta-batch: "
                << interrupt.message("the run was stopped; nothing was printed or saved.") << '\n';
            return interrupt.exitStatus();
        }
        if (compared.status != RunStatus::Done)
            return NoResult(options.json, out, err, compared.message);
        return PrintComparison(options, state, rows, out, err);
    }
    if (precision)
        control.halfWidth = [](double) {};
    const auto total = static_cast<long long>(precision ? precision->maxCycles : mhs.SimCycles);
    const RunOutcome outcome = RunShowingProgress(
        [&](const RunControl& c) {
            return precision ? RunUntilPrecise(mhs, seed, *precision, c)
                             : RunSimulation(mhs, seed, c);
        },
        control, total, "Simulating", terminal);
    if (interrupt.interrupted()) {
        err << "davrenta-batch: "
            << interrupt.message("the run was stopped; nothing was printed or saved.") << '\n';
        return interrupt.exitStatus();
    }
    if (outcome.status != RunStatus::Done)
        return NoResult(options.json, out, err, outcome.message);

    if (!options.save.empty()) {
        state.ProblemFileName = options.save;
        if (Status saved = WriteMhsFile(state); !saved)
            return Unreadable(err, saved.message());
    }
    const Report report = MhsReport(mhs);
    if (std::optional<int> done = CheckedResult(options.json, out, err, Json(mhs, report)))
        return *done;
    PrintResults(out, OpenMhsResults(mhs));
    PrintReport(out, "simulation results", report);
    return kExitDone;
}

namespace {

// The comparison's and the run until precise's options as typed, checked once parsed.
struct CapacityTexts {
    CLI::Option *servers, *targetWait, *targetTurnaways, *precision, *measure, *maxCycles, *cycles;
    std::string serversText, waitText, turnawaysText, precisionText, measureText, maxText;
};

std::shared_ptr<CapacityTexts> AddCapacityOptions(CLI::App* cmd) {
    auto t = std::make_shared<CapacityTexts>();
    t->servers = cmd->add_option("--servers", t->serversText,
                                 "Compare the numbers of servers FROM to TO (within 1-98), "
                                 "every one with the same seed")
                     ->type_name("FROM-TO");
    t->targetWait = cmd->add_option("--target-wait", t->waitText,
                                    "With --servers: mark the smallest number of servers whose "
                                    "average wait is at most MIN minutes")
                        ->type_name("MIN")
                        ->transform(NumberFrom(0, 1e15));
    t->targetTurnaways = cmd->add_option("--target-turnaways", t->turnawaysText,
                                         "With --servers, options 3 and 4: mark the smallest "
                                         "number of servers with at most N turn-aways per cycle")
                             ->type_name("N")
                             ->transform(NumberFrom(0, 1e15));
    t->targetWait->excludes(t->targetTurnaways);
    t->precision = cmd->add_option("--precision", t->precisionText,
                                   "Run until the 95% half-width of the measure is below H (in "
                                   "its unit, the wait in minutes) or H% of its mean")
                       ->type_name("H|H%");
    t->measure =
        cmd->add_option("--precision-measure", t->measureText, "The measure --precision is for")
            ->check(CLI::IsMember({"wait", "line", "busy", "turnaways", "overtime"}));
    t->maxCycles = cmd->add_option("--max-cycles", t->maxText,
                                   "With --precision: the most cycles to run (default a "
                                   "million, or fewer where the work bound allows fewer)")
                       ->type_name("N")
                       ->transform(WholeFrom(kMinPreciseCycles, kMaxSimCycles));
    t->servers->excludes(t->precision);
    t->cycles = cmd->get_option("--cycles");
    return t;
}

// A number that is all of the text.
std::optional<double> WholeText(const std::string& text) {
    if (text.find_first_not_of(" \t") == std::string::npos)
        return std::nullopt;
    const std::optional<double> value = ParseFieldNumber(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

// The options' values into `options`; the usage error's message, or empty.
std::string ReadCapacityOptions(const CapacityTexts& t, MhSimBatchOptions& options) {
    const bool limited = options.option >= 3, locked = options.option % 2 == 0;
    if (t.servers->count() > 0) {
        const std::string& text = t.serversText;
        const auto dash = text.find('-', 1);
        const std::optional<double> from =
            dash == std::string::npos ? std::nullopt : WholeText(text.substr(0, dash));
        const std::optional<double> to =
            dash == std::string::npos ? std::nullopt : WholeText(text.substr(dash + 1));
        if (!from || !to || *from != std::floor(*from) || *to != std::floor(*to) || *from < 1 ||
            *to > kMaxServers || *from > *to)
            return "--servers must be FROM-TO, two whole numbers from 1 to 98 with FROM at most "
                   "TO";
        options.serversFrom = static_cast<int>(*from);
        options.serversTo = static_cast<int>(*to);
    }
    for (CLI::Option* target : {t.targetWait, t.targetTurnaways}) {
        if (target->count() == 0)
            continue;
        if (t.servers->count() == 0)
            return target->get_name() + " goes with --servers";
        const bool wait = target == t.targetWait;
        if (!wait && !limited)
            return "--target-turnaways needs --option 3 or 4, where demands are turned away";
        const std::optional<double> value = WholeText(wait ? t.waitText : t.turnawaysText);
        if (!value || *value < 0)
            return target->get_name() + " must be a number of at least 0";
        options.target = {wait ? TargetKind::Wait : TargetKind::Turnaways, *value};
    }
    if (t.precision->count() == 0) {
        if (t.measure->count() > 0 || t.maxCycles->count() > 0)
            return "--precision-measure and --max-cycles go with --precision";
        return {};
    }
    if (t.cycles && t.cycles->count() > 0)
        return "--cycles does not go with --precision; give the most cycles with --max-cycles";
    PrecisionTarget p;
    std::string h = t.precisionText;
    p.relative = !h.empty() && h.back() == '%';
    if (p.relative)
        h.pop_back();
    const std::optional<double> half = WholeText(h);
    if (!half || !(*half > 0))
        return "--precision must be a number above 0, or a percentage of the mean such as 5%";
    p.halfWidth = *half;
    if (t.measure->count() == 0)
        return "--precision needs --precision-measure wait, line, busy, turnaways or overtime";
    const std::string& m = t.measureText;
    p.measure = m == "wait"        ? SimMeasure::Wait
                : m == "line"      ? SimMeasure::LineLen
                : m == "busy"      ? SimMeasure::PropBusy
                : m == "turnaways" ? SimMeasure::Turnaways
                                   : SimMeasure::Overtime;
    if (p.measure == SimMeasure::Turnaways && !limited)
        return "--precision-measure turnaways needs --option 3 or 4, where demands are turned "
               "away";
    if (p.measure == SimMeasure::Overtime && !locked)
        return "--precision-measure overtime needs --option 2 or 4, where the door is locked";
    if (t.maxCycles->count() > 0) {
        const std::optional<double> most = WholeText(t.maxText);
        if (!most || *most != std::floor(*most) || *most < kMinPreciseCycles || *most > 1e9)
            return "--max-cycles must be a whole number from 10 to 1000000000";
        p.maxCycles = *most;
    }
    options.precision = p;
    return {};
}

} // namespace

BatchCommand AddMhSimCommand(CLI::App& app) {
    auto options = std::make_shared<MhSimBatchOptions>();
    CLI::App* cmd =
        app.add_subcommand("mhsim", "Simulate a multi-server service point (.mhs file)");
    AddFileArgument(cmd, options->file, "The simulation problem file");
    cmd->add_option("--option", options->option,
                    "1 multi-servers, 2 + lock door, 3 + limited queue size, 4 + both")
        ->required()
        ->transform(WholeFrom(1, 4));
    cmd->add_option("--seed", options->seed,
                    "Seed of the run, 0 to 18446744073709551615 (default: the time of day in "
                    "nanoseconds)")
        ->check(SeedValue());
    cmd->add_option("--cycles", options->cycles, "Number of cycles, instead of the file's")
        ->type_name("N")
        ->transform(WholeFrom(kMinSimCycles, kMaxSimCycles));
    AddJsonFlag(cmd, options->json);
    AddSaveOption(cmd, options->save, "Save the problem to this file after the run");
    const std::shared_ptr<CapacityTexts> texts = AddCapacityOptions(cmd);
    return {cmd, [cmd, options, texts](std::ostream& out, std::ostream& err) {
                if (std::string wrong = ReadCapacityOptions(*texts, *options); !wrong.empty())
                    return UsageError(cmd, err, wrong);
                options->progress = ::isatty(STDERR_FILENO) == 1;
                return RunMhSimBatch(*options, out, err);
            }};
}

} // namespace davrenta
