#include "batch/mhsimbatch.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/modulestate.h"
#include "batch/interrupt.h"
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

ordered_json Json(const MhSimState& mhs, const Report& report) {
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
    j["Report"] = JsonReport(report);
    return j;
}

// The run; with a terminal to show it on, a line of progress once the run has taken a second,
// renewed a few times a second and wiped at the end.
RunOutcome RunShowingProgress(MhSimState& mhs, std::uint64_t seed, RunControl control,
                              std::ostream* terminal) {
    if (!terminal)
        return RunSimulation(mhs, seed, control);
    std::atomic<long long> done{0};
    control.progress = [&done](long long cycles, long long) { done.store(cycles); };
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    RunOutcome outcome;
    std::thread runner([&] {
        RunOutcome o = RunSimulation(mhs, seed, control);
        const std::lock_guard lock(mutex);
        outcome = std::move(o);
        finished = true;
        ended.notify_one();
    });
    using namespace std::chrono;
    const auto started = steady_clock::now();
    const long long total = static_cast<long long>(mhs.SimCycles);
    std::size_t shown = 0;
    std::unique_lock lock(mutex);
    while (!ended.wait_for(lock, milliseconds(250), [&] { return finished; })) {
        const long long seconds =
            duration_cast<std::chrono::seconds>(steady_clock::now() - started).count();
        if (seconds < 1)
            continue;
        const long long cycles = done.load();
        std::string line = "Simulating: " + std::to_string(cycles) + " of " +
                           std::to_string(total) + " cycles (" +
                           std::to_string(cycles * 100 / std::max(total, 1LL)) + "%), " +
                           std::to_string(seconds) + " s; Ctrl-C stops";
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

    RunControl control;
    control.threads = options.threads;
    control.cancel = &interrupt.flag();
    const RunOutcome outcome =
        RunShowingProgress(mhs, options.seed ? *options.seed : TimeOfDaySeed(), control,
                           options.progress ? &err : nullptr);
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
    return {cmd, [options](std::ostream& out, std::ostream& err) {
                options->progress = ::isatty(STDERR_FILENO) == 1;
                return RunMhSimBatch(*options, out, err);
            }};
}

} // namespace davrenta
