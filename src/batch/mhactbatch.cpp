#include "batch/mhactbatch.h"

#include <cmath>
#include <cstdlib>

#include "app/modulestate.h"
#include "mhact/activity.h"
#include "mhact/bestlayout.h"
#include "mhact/besttexts.h"
#include "mhact/mhfile.h"
#include "mhact/texts.h"
#include "state/atomicfile.h"

namespace davrenta {

namespace {

ordered_json Figure(const std::optional<double>& value) {
    return value ? ordered_json(*value) : ordered_json(nullptr);
}

// The best layout's figures, and the current and improved layouts against it (against the
// lower bound when the search was stopped before the proof).
void AddBestLayout(ordered_json& j, const MhActivityState& mh, Metric method,
                   const BestLayoutOutcome& best, const BestLayoutTexts& texts) {
    const double reference = best.proven() ? best.activity : best.lowerBound;
    ordered_json layout = ordered_json::array();
    for (int d = 1; d <= best.DeptCount; ++d)
        layout.push_back(ordered_json{{"x", best.x[d]}, {"y", best.y[d]}});
    j["OptimalActivity"] = best.activity;
    j["OptimalLayout"] = std::move(layout);
    j["Proven"] = best.proven();
    j["LowerBound"] = best.lowerBound;
    j["Gap"] = Figure(GapPercent(best.activity, best.lowerBound));
    j["CurrentActivity"] = best.StartActivity;
    j["CurrentAboveOptimal"] = Figure(PercentAbove(best.StartActivity, reference));
    j["ImprovedActivity"] = best.ImprovedActivity;
    j["ImprovedAboveOptimal"] = Figure(PercentAbove(best.ImprovedActivity, reference));
    j["bestgrd"] = JsonRows(texts.bestgrd);
    j["BestLabel1"] = JsonText(texts.Label1);
    j["BestLabel2"] = JsonText(texts.Label2);
    j["BestPrint"] = JsonReport(BestLayoutReport(mh, method, best));
}

} // namespace

int RunMhActBatch(const MhActBatchOptions& options, std::ostream& out, std::ostream& err) {
    ModuleState state;
    state.ModuleFlag = Study::MhActivity;
    state.DistanceMethod = static_cast<Metric>(options.distance);
    state.ProblemFileName = options.file;
    if (Status read = ReadMhFile(state); !read)
        return Unreadable(err, read.message());
    MhActivityState& mh = state.mh;
    const Metric method = state.DistanceMethod;
    const int n = mh.DeptCount;
    const auto failed = [&](const Status& status) {
        return NoResult(options.json, out, err, ShownPath(options.file) + ": " + status.message());
    };

    // Each window's figures are checked as the window that shows them would be opened.
    const Report moveTable = MoveTableReport(mh);
    if (Status shown = CheckActivityResult(mh, method); !shown)
        return failed(shown);
    ActivityFigures figures;
    const MhResultsTexts results = OpenMhResults(mh, method, state.LineBreak, &figures);
    const double activityTotal = mh.ActivityTotal;
    const Report print = MhResultsReport(mh, method);
    if (Status shown = CheckSwitchResult(mh, method); !shown)
        return failed(shown);
    const SwitchTexts switches = OpenSwitches(mh, method);
    std::optional<ImproveOutcome> improved;
    std::optional<ImproveTexts> improvedTexts;
    if (options.improve) {
        if (Status shown = CheckImproveResult(mh, method); !shown)
            return failed(shown);
        improved = Improve(mh, method);
        improvedTexts = ImproveResultTexts(mh, *improved);
    }
    std::optional<BestLayoutOutcome> best;
    std::optional<BestLayoutTexts> bestTexts;
    if (options.optimal) {
        BestLayoutControl control;
        control.timeLimit = options.timeLimit;
        Result<BestLayoutOutcome> found = FindBestLayout(mh, method, control);
        if (!found)
            return failed(found.failure());
        best = std::move(*found);
        bestTexts = BestLayoutResultTexts(mh, *best, state.LineBreak);
    }

    if (!options.save.empty()) {
        state.ProblemFileName = options.save;
        if (Status saved = WriteMhFile(state); !saved)
            return Unreadable(err, saved.message());
    }

    {
        ordered_json j;
        ordered_json moves = ordered_json::array();
        for (int i = 1; i <= n; ++i) {
            ordered_json row = ordered_json::array();
            for (int k = 1; k <= n; ++k)
                row.push_back(mh.MoveCount(i, k));
            moves.push_back(std::move(row));
        }
        j["DeptCount"] = n;
        j["DeptName"] = JsonSlots(mh.DeptName, n);
        j["DeptX"] = JsonSlots(mh.DeptX, n);
        j["DeptY"] = JsonSlots(mh.DeptY, n);
        j["MoveCount"] = std::move(moves);
        j["ActivityTotal"] = activityTotal;
        j["TotalLoads"] = figures.TotalLoads;
        j["AverageMoveDistance"] = Figure(figures.AverageMoveDistance);
        j["StandardDeviation"] = Figure(figures.StandardDeviation);
        j["res1grd"] = JsonRows(results.res1grd);
        j["Label1"] = JsonText(results.Label1);
        j["Label2"] = JsonText(results.Label2);
        j["Label3"] = JsonText(results.Label3);
        j["Print"] = JsonReport(print);
        j["MoveTablePrint"] = JsonReport(moveTable);
        j["res2grd"] = JsonRows(switches.res2grd);
        j["SwitchLabel1"] = JsonText(switches.Label1);
        j["SwitchDept1"] = mh.SwitchDept1;
        j["SwitchDept2"] = mh.SwitchDept2;
        if (improved) {
            ordered_json steps = ordered_json::array();
            for (const ImproveStep& s : improved->steps)
                steps.push_back(ordered_json{{"Dept1", s.dept1},
                                             {"Dept2", s.dept2},
                                             {"DeptName1", JsonText(mh.DeptName[s.dept1])},
                                             {"DeptName2", JsonText(mh.DeptName[s.dept2])},
                                             {"ActivityTotal", s.activity}});
            j["Improve"] = ordered_json{{"StartActivity", improved->StartActivity},
                                        {"Steps", std::move(steps)},
                                        {"DeptX", JsonSlots(improved->x, n)},
                                        {"DeptY", JsonSlots(improved->y, n)},
                                        {"impgrd", JsonRows(improvedTexts->impgrd)},
                                        {"Label1", JsonText(improvedTexts->Label1)}};
        }
        if (best)
            AddBestLayout(j, mh, method, *best, *bestTexts);
        if (std::optional<int> done = CheckedResult(options.json, out, err, j))
            return *done;
    }

    PrintReport(out, "move table", moveTable);
    out << "== MH Results ==\n";
    PrintRows(out, results.res1grd);
    out << SafeForTerminal(ForTerminal(results.Label1)) << '\n'
        << SafeForTerminal(ForTerminal(results.Label2)) << '\n'
        << "Load x Dist Sum " << results.Label3 << "\n\n";
    PrintReport(out, "results", print);
    out << "== Results 2 ==\n";
    PrintRows(out, switches.res2grd);
    out << SafeForTerminal(switches.Label1) << "\n\n";
    if (improvedTexts) {
        out << "== Improve ==\n";
        PrintRows(out, improvedTexts->impgrd);
        out << SafeForTerminal(improvedTexts->Label1) << '\n';
    }
    if (bestTexts) {
        out << "== Best Layout ==\n";
        PrintRows(out, bestTexts->bestgrd);
        out << SafeForTerminal(ForTerminal(bestTexts->Label1)) << '\n'
            << SafeForTerminal(ForTerminal(bestTexts->Label2)) << '\n';
    }
    return kExitDone;
}

BatchCommand AddMhActCommand(CLI::App& app) {
    auto options = std::make_shared<MhActBatchOptions>();
    CLI::App* cmd =
        app.add_subcommand("mhact", "Material-handling activity of a layout (.mh file)");
    AddFileArgument(cmd, options->file, "The material-handling problem file");
    cmd->add_option("--distance", options->distance,
                    "1 rectilinear, 2 Euclidean, 3 squared Euclidean")
        ->required()
        ->transform(WholeFrom(1, 3));
    cmd->add_flag("--improve", options->improve,
                  "Repeat the best switch until none lowers the activity");
    CLI::Option* optimal = cmd->add_flag("--optimal", options->optimal,
                                         "Find the best layout of the current places and prove it");
    cmd->add_option("--time-limit", options->timeLimit,
                    "Stop the --optimal search after this many seconds")
        ->type_name("SECONDS")
        ->transform(SecondsAboveZero())
        ->needs(optimal);
    AddJsonFlag(cmd, options->json);
    AddSaveOption(cmd, options->save, "Write the problem (moves combined) to this file");
    return {cmd, [options](std::ostream& out, std::ostream& err) {
                return RunMhActBatch(*options, out, err);
            }};
}

} // namespace davrenta
