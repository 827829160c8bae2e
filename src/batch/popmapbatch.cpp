#include "batch/popmapbatch.h"

#include "batch/batchio.h"

#include <cmath>

#include "app/modulestate.h"
#include "popmap/mapfile.h"
#include "popmap/reports.h"
#include "popmap/results.h"
#include "popmap/search.h"
#include "popmap/sequence.h"
#include "state/atomicfile.h"
#include "state/messagetext.h"
#include "state/numbers.h"
#include "state/records.h"

namespace davrenta {

namespace {

template <std::size_t N> ordered_json MapLines(const Table1<std::string, N>& map, int last) {
    ordered_json out = ordered_json::array();
    for (int i = 1; i <= last; ++i)
        out.push_back(JsonText(map[i]));
    return out;
}

ordered_json Labels(const ResultsTexts& t) {
    ordered_json j;
    for (const auto& [name, text] : {std::pair{"floclbl", &t.floclbl},
                                     {"result1lbl", &t.result1lbl},
                                     {"result2lbl", &t.result2lbl},
                                     {"result4lbl", &t.result4lbl},
                                     {"result5lbl", &t.result5lbl},
                                     {"result6lbl", &t.result6lbl},
                                     {"result7lbl", &t.result7lbl}})
        j[name] = JsonText(*text);
    j["prooflbl"] = JsonText(t.prooflbl);
    j["facgrd"] = JsonRows(t.facgrd);
    return j;
}

// A map as the map screen showed it at one step of the sequence.
struct MapView {
    std::string caption;
    std::vector<std::string> lines;
};

void PrintMap(std::ostream& out, const MapView& map) {
    out << "== Map: " << SafeForTerminal(map.caption) << " ==\n";
    for (const std::string& line : map.lines)
        out << SafeForTerminal(line) << '\n';
    out << '\n';
}

void PrintResults(std::ostream& out, const ResultsTexts& t) {
    out << "== Output ==\n";
    for (const std::string* label : {&t.floclbl, &t.result1lbl, &t.result4lbl, &t.result2lbl,
                                     &t.result5lbl, &t.result6lbl, &t.prooflbl, &t.result7lbl})
        if (!label->empty())
            out << SafeForTerminal(ForTerminal(*label)) << '\n';
    PrintRows(out, t.facgrd);
    out << '\n';
}

} // namespace

Status ReadBatchProblem(const PopMapBatchOptions& options, ModuleState& state) {
    state.ModuleFlag = Study::PopMap;
    PopMap& fl = state.fl;
    ClearOnModuleEntry(fl);
    fl.NewPodCount = options.pods;
    fl.PerformanceMeasure = static_cast<Measure>(options.measure);
    state.DistanceMethod = static_cast<Metric>(options.distance);
    state.ProblemFileName = options.file;
    return ReadMapFile(state);
}

int RunPopMapBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err) {
    ModuleState state;
    PopMap& fl = state.fl;
    if (Status read = ReadBatchProblem(options, state); !read)
        return Unreadable(err, read.message());

    const auto failed = [&](const std::string& message) {
        return NoResult(options.json, out, err, ShownPath(options.file) + ": " + message);
    };
    // The result sequence, window by window, as a user pressing Ok meets it.
    SearchControl control;
    control.timeLimit = options.timeLimit;
    const SearchOutcome outcome = RunSearch(state, control);
    if (outcome.status != SearchStatus::Done)
        return failed(outcome.message);

    const auto view = [&fl] {
        MapView v{MapCaption(fl), {}};
        for (int i = 1; i <= LastMapLine(fl); ++i)
            v.lines.push_back(ShownMapLine(fl, i));
        return v;
    };
    (void)SummaryOk(fl);
    const MapView numberedMap = view(); // before any "%" mark
    (void)MapScreenOk(fl);
    const auto distribution = OpenDistribution(fl);
    const MapView existingMap = view();
    (void)MapScreenOk(fl);
    const ResultsTexts results3 = OpenResults(fl, state.DistanceMethod);
    const Report report1 = ResultsReport1(fl);
    (void)ResultsOk(fl);
    const MapView newMap = view();
    const Report mapReport = MapReport(fl);
    (void)MapScreenOk(fl);
    const ResultsTexts results4 = OpenResults(fl, state.DistanceMethod);
    const Report report2 = ResultsReport2(fl);
    const Report distributionReport = DistributionReport(fl);
    std::optional<Report> nearReport;
    std::optional<MapView> nearMap;
    if (options.nearOptimal) {
        if (Status marked = MarkNearOptimal(fl, *options.nearOptimal); !marked)
            return failed(marked.message());
        nearReport = MapReport(fl);
        nearMap = view();
    }
    // The results window's Save, once every figure above is taken.
    const auto save = [&]() -> int {
        if (!options.save)
            return 0;
        state.ProblemFileName = *options.save;
        bool added = false;
        if (Status saved = SaveResults(state, added); !saved)
            return Unreadable(err, saved.message()); // the message names the file
        return 0;
    };

    const int last = LastMapLine(fl);
    const int n = fl.ExistingPodCount;
    const int newPods = NewPodsPlaced(fl);

    {
        ordered_json j;
        if (newPods == 1) {
            j["NewPodLine"] = fl.NewPodLine;
            j["NewPodColumn"] = fl.NewPodColumn;
        } else if (newPods == 2) {
            j["NewPod1Line"] = fl.NewPod1Line;
            j["NewPod1Column"] = fl.NewPod1Column;
            j["NewPod2Line"] = fl.NewPod2Line;
            j["NewPod2Column"] = fl.NewPod2Column;
        }
        j["NewPods"] = JsonCells(NewPodCells(fl));
        j["Proven"] = fl.Proven;
        j["Bound"] = fl.Bound;
        j["Gap"] = fl.Gap;
        j["BestTravel"] = fl.BestTravel;
        j["BestMaxDistance"] = fl.BestMaxDistance;
        j["BestServed"] = fl.BestServed;
        j["BestServedTravel"] = fl.BestServedTravel;
        j["PriorAverageDistance"] = fl.PriorAverageDistance;
        j["PriorMaxDistance"] = fl.PriorMaxDistance;
        j["TotalPopulation"] = fl.TotalPopulation;
        j["MapPointsUsed"] = fl.MapPointsUsed;
        j["ExistingPodServed"] = JsonSlots(fl.ExistingPodServed, n);
        j["PodServed"] = JsonSlots(fl.PodServed, n + newPods);
        j["AreaCellCount"] = JsonSlots(fl.AreaCellCount, fl.AreaCount);
        j["AreaCellPopulation"] = JsonSlots(fl.AreaCellPopulation, fl.AreaCount);
        j["NumberedMap"] = MapLines(fl.NumberedMap, last);
        j["ServiceMap"] = MapLines(fl.ServiceMap, last);
        j["MarkedServiceMap"] = MapLines(fl.MarkedServiceMap, last);
        j["BestServiceMap"] = MapLines(fl.BestServiceMap, last);
        j["NearOptimalMap"] = MapLines(fl.NearOptimalMap, last);
        if (newPods == 1) {
            ordered_json travel = ordered_json::array(), maxDistance = ordered_json::array();
            for (int i = 1; i <= last; ++i) {
                ordered_json t = ordered_json::array(), d = ordered_json::array();
                for (int c = 1; c <= CellsInLine(fl, i); ++c) {
                    t.push_back(fl.CandidateTravel(i, c));
                    d.push_back(fl.CandidateMaxDistance(i, c));
                }
                travel.push_back(t);
                maxDistance.push_back(d);
            }
            j["CandidateTravel"] = travel;
            j["CandidateMaxDistance"] = maxDistance;
        }
        if (options.nearOptimal) {
            if (fl.PerformanceMeasure == Measure::MinimizeTravel)
                j["NearTravelLimit"] = fl.NearTravelLimit;
            else
                j["NearMaxDistanceLimit"] = fl.NearMaxDistanceLimit;
        }
        j["Results3"] = Labels(results3);
        j["Results4"] = Labels(results4);
        j["Report1"] = JsonReport(report1);
        j["Report2"] = JsonReport(report2);
        j["MapReport"] = JsonReport(mapReport);
        j["DistributionReport"] = JsonReport(distributionReport);
        if (nearReport)
            j["NearOptimalMapReport"] = JsonReport(*nearReport);
        if (std::optional<int> done = CheckedResult(options.json, out, err, j))
            return *done == kExitDone ? save() : *done;
    }

    out << "== Zedu results ==\n";
    PrintRows(out, SummaryAreaRows(fl));
    if (n > 0)
        PrintRows(out, SummaryPodRows(fl));
    out << '\n';
    PrintMap(out, numberedMap);
    out << "== Distribution of Population ==\n";
    PrintRows(out, std::vector<std::array<std::string, 3>>{kDistributionHeadings});
    PrintRows(out, distribution);
    out << '\n';
    PrintMap(out, existingMap);
    PrintResults(out, results3);
    PrintMap(out, newMap);
    PrintResults(out, results4);
    if (nearMap)
        PrintMap(out, *nearMap);
    PrintReport(out, "results (existing facilities)", report1);
    PrintReport(out, "results (all facilities)", report2);
    PrintReport(out, "map", mapReport);
    PrintReport(out, "population distribution", distributionReport);
    if (nearReport)
        PrintReport(out, "near-optimal map", *nearReport);
    return save();
}

ordered_json JsonCells(const std::vector<std::pair<int, int>>& cells) {
    ordered_json out = ordered_json::array();
    for (const auto& [line, column] : cells)
        out.push_back(ordered_json::array({line, column}));
    return out;
}

BatchCommand AddPopMapCommand(CLI::App& app) {
    auto options = std::make_shared<PopMapBatchOptions>();
    CLI::App* pm = app.add_subcommand("popmap", "Locate new PODs on a population map (.fl file)");
    AddFileArgument(pm, options->file, "The population-map problem file");
    CLI::Option* pods =
        pm->add_option("--pods", options->pods,
                       "Number of new PODs: 1 to 31 less the existing ones (with --cover: the "
                       "population within the radius of that many)")
            ->transform(WholeFrom(1, kMaxPods));
    CLI::Option* measure =
        pm->add_option("--measure", options->measure,
                       "1 minimize travel, 2 maximum number served, 3 minimize maximum distance")
            ->transform(WholeFrom(1, 3));
    CLI::Option* limit =
        pm->add_option(
              "--time-limit", options->timeLimit,
              "Seconds after which a search of three or more PODs stops with the best found "
              "(default: no limit)")
            ->type_name("SECONDS")
            ->transform(SecondsAboveZero());
    CLI::Option* curve =
        pm->add_option("--pods-curve", options->podsCurve,
                       "The optimum for 1 to this many new PODs beside placing them one at a time")
            ->transform(WholeFrom(1, kMaxPods));
    // Any radius of 0 or more is a question; beyond the map's diagonal every cell is covered.
    CLI::Option* cover =
        pm->add_option("--cover", options->cover,
                       "The fewest new PODs that bring every area cell within this distance of a "
                       "POD (the distance method's units, as BestMaxDistance, before the results' "
                       "(X SCALE) factor)")
            ->transform(NumberFrom(0, 1e9));
    curve->excludes(cover);
    pm->add_option("--distance", options->distance,
                   "1 rectilinear, 2 Euclidean, 3 squared Euclidean")
        ->required()
        ->transform(WholeFrom(1, 3));
    // The bound as the command line takes it: a number from 0 to 1 and nothing else (the window
    // keeps the input box's leading-number rule).
    CLI::Option* near =
        pm->add_option("--near-optimal", options->nearOptimal,
                       "Mark the cells within this fraction (0 to 1) of the optimum (one POD)")
            ->transform(NumberFrom(0, 1));
    AddJsonFlag(pm, options->json);
    auto given = std::make_shared<std::string>();
    CLI::Option* evaluate =
        pm->add_option("--evaluate", *given,
                       "The figures of new PODs at these cells beside the existing ones (no "
                       "search)")
            ->transform(MapCellsValue(kMaxPods));
    auto surfaceAsked = std::make_shared<bool>(false);
    pm->add_flag("--surface", *surfaceAsked,
                 "The measure's value of one new POD at each cell, as a grid by map line");
    CLI::Option* save = AddSaveOption(
        pm, options->save,
        "Save the problem with the new POD(s) added as existing ones to this file, as "
        "the results window's Save does");
    const std::vector<const CLI::Option*> searchOptions{pods, curve, cover, near, limit, save};
    return {pm, [=](std::ostream& out, std::ostream& err) {
                if (evaluate->count() > 0 || *surfaceAsked) {
                    const char* name = *surfaceAsked ? "--surface" : "--evaluate";
                    if (evaluate->count() > 0 && *surfaceAsked)
                        return UsageError(pm, err, "--evaluate and --surface go apart");
                    for (const CLI::Option* o : searchOptions)
                        if (o->count() > 0)
                            return UsageError(pm, err,
                                              std::string(name) + " goes without " + o->get_name());
                    if (*surfaceAsked) {
                        if (measure->count() == 0)
                            return UsageError(pm, err, "--measure is required");
                        return RunSurfaceBatch(*options, out, err);
                    }
                    if (measure->count() > 0)
                        return UsageError(pm, err,
                                          "--evaluate goes without --measure: it prints every "
                                          "figure");
                    options->evaluate = *ParseMapCells(*given);
                    return RunEvaluateBatch(*options, out, err);
                }
                if (cover->count() > 0) {
                    if (near->count() > 0 || options->save)
                        return UsageError(pm, err,
                                          "--cover goes with neither --near-optimal nor --save");
                    options->podsGiven = pods->count() > 0;
                    return RunCoverBatch(*options, out, err);
                }
                if (measure->count() == 0)
                    return UsageError(pm, err, "--measure is required");
                if (curve->count() > 0) {
                    if (pods->count() > 0 || near->count() > 0 || options->save)
                        return UsageError(
                            pm, err,
                            "--pods-curve goes with neither --pods, --near-optimal nor --save");
                    return RunPodCurveBatch(*options, out, err);
                }
                if (pods->count() == 0)
                    return UsageError(pm, err, "--pods is required");
                if (options->nearOptimal && options->pods != 1)
                    return UsageError(pm, err, "--near-optimal needs --pods 1");
                return RunPopMapBatch(*options, out, err);
            }};
}

} // namespace davrenta
