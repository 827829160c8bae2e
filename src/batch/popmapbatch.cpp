#include "batch/popmapbatch.h"

#include "batch/batchio.h"

#include "app/modulestate.h"
#include "popmap/mapfile.h"
#include "popmap/reports.h"
#include "popmap/results.h"
#include "popmap/search.h"
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
    j["facgrd"] = JsonRows(t.facgrd);
    return j;
}

template <std::size_t N>
void PrintRows(std::ostream& out, const std::vector<std::array<std::string, N>>& rows) {
    for (const auto& row : rows) {
        std::string line;
        for (const auto& cell : row) {
            line += cell;
            line.append(cell.size() < 16 ? 16 - cell.size() : 1, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << SafeForTerminal(line) << '\n';
    }
}

void PrintMap(std::ostream& out, const PopMap& fl) {
    out << "== Map: " << SafeForTerminal(MapCaption(fl)) << " ==\n";
    for (int i = 1; i <= LastMapLine(fl); ++i)
        out << SafeForTerminal(ShownMapLine(fl, i)) << '\n';
    out << '\n';
}

void PrintResults(std::ostream& out, const ResultsTexts& t) {
    out << "== Output ==\n";
    for (const std::string* label : {&t.floclbl, &t.result1lbl, &t.result4lbl, &t.result2lbl,
                                     &t.result5lbl, &t.result6lbl, &t.result7lbl})
        if (!label->empty())
            out << SafeForTerminal(ForTerminal(*label)) << '\n';
    PrintRows(out, t.facgrd);
    out << '\n';
}

} // namespace

int RunPopMapBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err) {
    ModuleState state;
    state.ModuleFlag = Study::PopMap;
    PopMap& fl = state.fl;
    ClearOnModuleEntry(fl);
    fl.NewPodCount = options.pods;
    fl.PerformanceMeasure = options.measure;
    state.DistanceMethod = static_cast<Metric>(options.distance);
    fl.maptype = 1;
    state.ProblemFileName = options.file;
    if (Status read = ReadMapFile(state); !read)
        return Unreadable(err, read.message());

    const auto failed = [&](const std::string& message) {
        return NoResult(options.json, out, err, ShownPath(options.file) + ": " + message);
    };
    const SearchOutcome outcome = RunSearch(state);
    if (outcome.status != SearchStatus::Done)
        return failed(outcome.message);

    // The result sequence, in the order the windows open.
    fl.maptype = 2;
    const std::string numberedCaption = MapCaption(fl);
    const Table1<std::string, kMapLines> numberedMap = fl.NumberedMap; // before any "%" mark
    const auto distribution = OpenDistribution(fl);
    fl.maptype = 3;
    const ResultsTexts results3 = OpenResults(fl, MetricCode(state.DistanceMethod));
    const Report report1 = ResultsReport1(fl);
    fl.maptype = 4;
    const Report mapReport = MapReport(fl);
    const ResultsTexts results4 = OpenResults(fl, MetricCode(state.DistanceMethod));
    const Report report2 = ResultsReport2(fl);
    const Report distributionReport = DistributionReport(fl);
    std::optional<Report> nearReport;
    if (options.nearOptimal) {
        if (Status marked = MarkNearOptimal(fl, *options.nearOptimal); !marked)
            return failed(marked.message());
        nearReport = MapReport(fl);
    }

    const int last = LastMapLine(fl);
    const int n = fl.ExistingPodCount;
    const int newPods = fl.NewPodCount == 1 ? 1 : 2;

    if (options.json) {
        ordered_json j;
        if (newPods == 1) {
            j["NewPodLine"] = fl.NewPodLine;
            j["NewPodColumn"] = fl.NewPodColumn;
        } else {
            j["NewPod1Line"] = fl.NewPod1Line;
            j["NewPod1Column"] = fl.NewPod1Column;
            j["NewPod2Line"] = fl.NewPod2Line;
            j["NewPod2Column"] = fl.NewPod2Column;
        }
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
            if (fl.PerformanceMeasure == 1)
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
        out << DumpJson(j) << '\n';
        return 0;
    }

    out << "== Zedu results ==\n";
    PrintRows(out, SummaryAreaRows(fl));
    if (n > 0)
        PrintRows(out, SummaryPodRows(fl));
    out << '\n';
    out << "== Map: " << SafeForTerminal(numberedCaption) << " ==\n";
    for (int i = 1; i <= last; ++i)
        out << SafeForTerminal(numberedMap[i]) << '\n';
    out << '\n';
    out << "== Distribution of Population ==\n";
    PrintRows(out, std::vector<std::array<std::string, 3>>{
                       {"Area", "Number of Map Points", "Population per Point"}});
    PrintRows(out, distribution);
    out << '\n';
    {
        PopMap shown = fl;
        shown.maptype = 3;
        PrintMap(out, shown);
    }
    PrintResults(out, results3);
    {
        PopMap shown = fl;
        shown.maptype = 4;
        PrintMap(out, shown);
    }
    PrintResults(out, results4);
    if (options.nearOptimal)
        PrintMap(out, fl);
    PrintReport(out, "results (existing facilities)", report1);
    PrintReport(out, "results (all facilities)", report2);
    PrintReport(out, "map", mapReport);
    PrintReport(out, "population distribution", distributionReport);
    if (nearReport)
        PrintReport(out, "near-optimal map", *nearReport);
    return 0;
}

namespace {

// An empty value would read as 0 and run a search nobody asked for.
const CLI::Validator kNotEmpty(
    [](std::string& value) {
        return value.empty() ? std::string("an empty value is not a choice") : std::string();
    },
    "", "NOT EMPTY");

// The bound as the command line takes it: a number from 0 to 1 and nothing else (the window
// keeps the input box's leading-number rule).
std::optional<double> StrictBound(const std::string& text) {
    if (text.find_first_not_of(" \t") == std::string::npos)
        return std::nullopt;
    const std::optional<double> value = ParseFieldNumber(text);
    if (!value || !(*value >= 0 && *value <= 1))
        return std::nullopt;
    return value;
}

} // namespace

BatchCommand AddPopMapCommand(CLI::App& app) {
    auto options = std::make_shared<PopMapBatchOptions>();
    auto bound = std::make_shared<std::string>();
    CLI::App* pm = app.add_subcommand("popmap", "Locate new PODs on a population map (.fl file)");
    pm->add_option("FILE", options->file, "The population-map problem file")->required();
    pm->add_option("--pods", options->pods, "Number of new PODs: 1 or 2")
        ->required()
        ->check(kNotEmpty)
        ->check(CLI::IsMember({1, 2}));
    pm->add_option("--measure", options->measure,
                   "1 minimize travel, 2 maximum number served, 3 minimize maximum distance")
        ->required()
        ->check(kNotEmpty)
        ->check(CLI::IsMember({1, 2, 3}));
    pm->add_option("--distance", options->distance,
                   "1 rectilinear, 2 Euclidean, 3 squared Euclidean")
        ->required()
        ->check(kNotEmpty)
        ->check(CLI::IsMember({1, 2, 3}));
    CLI::Option* near =
        pm->add_option("--near-optimal", *bound,
                       "Mark the cells within this fraction (0 to 1) of the optimum (one POD)");
    pm->add_flag("--json", options->json, "Print one JSON object instead of text");
    return {pm, [pm, options, bound, near](std::ostream& out, std::ostream& err) {
                if (options->file.empty())
                    return UsageError(pm, err, "FILE is empty: name a population-map file");
                if (near->count() > 0) {
                    if (options->pods != 1)
                        return UsageError(pm, err, "--near-optimal needs --pods 1");
                    const std::optional<double> f = StrictBound(*bound);
                    if (!f)
                        return UsageError(pm, err,
                                          "--near-optimal \"" + QuoteForMessage(*bound) +
                                              "\" is not a number from 0 to 1");
                    options->nearOptimal = RoundTripForm(*f);
                }
                return RunPopMapBatch(*options, out, err);
            }};
}

} // namespace davrenta
