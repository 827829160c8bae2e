// The POD-count and coverage studies of davrenta-batch popmap (--pods-curve, --cover).

#include "app/modulestate.h"
#include "batch/popmapbatch.h"
#include "popmap/setsearch.h"
#include "state/atomicfile.h"
#include "state/messagetext.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

// What the curve's values are, by measure.
const char* MeasureName(int measure) {
    switch (measure) {
    case 2:
        return "NUMBER SERVED";
    case 3:
        return "MAX DISTANCE";
    default:
        return "TOTAL TRAVEL";
    }
}

std::string CellsText(const CellList& cells) {
    std::string text;
    int q = 0;
    for (const auto& [line, column] : cells)
        text += "NEW POD " + std::to_string(++q) + " (x,y)= " + WholeNumberText(column) + ", " +
                WholeNumberText(line) + "\n";
    return text;
}

std::string YesNo(bool b) {
    return b ? "yes" : "no";
}

} // namespace

int RunPodCurveBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err) {
    ModuleState state;
    if (Status read = ReadBatchProblem(options, state); !read)
        return Unreadable(err, read.message());
    SearchControl control;
    control.timeLimit = options.timeLimit;
    const Result<std::vector<PodCountRow>> rows = PodCountCurve(state, *options.podsCurve, control);
    if (!rows)
        return NoResult(options.json, out, err, ShownPath(options.file) + ": " + rows.message());

    if (options.json) {
        ordered_json j;
        ordered_json costs = ordered_json::array(), proven = ordered_json::array(),
                     bounds = ordered_json::array(), cells = ordered_json::array();
        for (const PodCountRow& r : *rows) {
            costs.push_back(ordered_json::array(
                {r.pods, r.optimal, r.oneAtATime ? ordered_json(*r.oneAtATime) : ordered_json()}));
            proven.push_back(r.proven);
            bounds.push_back(r.bound);
            cells.push_back(JsonCells(r.cells));
        }
        j["CostsByPods"] = costs;
        j["ProvenByPods"] = proven;
        j["BoundByPods"] = bounds;
        j["NewPodsByPods"] = cells;
        out << DumpJson(j) << '\n';
        return 0;
    }
    out << "== " << MeasureName(options.measure) << " BY NUMBER OF NEW PODS ==\n";
    std::vector<std::array<std::string, 4>> table{{"PODS", "OPTIMAL", "ONE AT A TIME", "PROVEN"}};
    for (const PodCountRow& r : *rows)
        table.push_back({PlainForm(r.pods), PlainForm(r.optimal),
                         r.oneAtATime ? PlainForm(*r.oneAtATime) : std::string("-"),
                         r.proven ? std::string("yes") : "no (bound " + PlainForm(r.bound) + ")"});
    PrintRows(out, table);
    return 0;
}

int RunCoverBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err) {
    ModuleState state;
    if (Status read = ReadBatchProblem(options, state); !read)
        return Unreadable(err, read.message());
    SearchControl control;
    control.timeLimit = options.timeLimit;
    const double radius = *options.cover;
    const Result<CoverAnswer> cover = FewestPodsToCover(state, radius, control);
    if (!cover)
        return NoResult(options.json, out, err, ShownPath(options.file) + ": " + cover.message());
    std::optional<CoveredPopulation> population;
    if (options.podsGiven) {
        Result<CoveredPopulation> most =
            LargestPopulationWithin(state, radius, options.pods, control);
        if (!most)
            return NoResult(options.json, out, err,
                            ShownPath(options.file) + ": " + most.message());
        population = *most;
    }

    if (options.json) {
        ordered_json j;
        j["CoverRadius"] = radius;
        j["CoverPods"] = cover->pods;
        j["NewPods"] = JsonCells(cover->cells);
        j["Proven"] = cover->proven;
        j["CoverLowerBound"] = cover->lowerBound;
        if (population) {
            j["CoveredPods"] = population->pods;
            j["CoveredPopulation"] = population->population;
            j["CoveredNewPods"] = JsonCells(population->cells);
            j["CoveredProven"] = population->proven;
            j["CoveredBound"] = population->bound;
            j["CoveredGap"] = population->gap;
        }
        out << DumpJson(j) << '\n';
        return 0;
    }
    out << "== Coverage within " << PlainForm(radius) << " ==\n";
    out << "FEWEST NEW PODS " << cover->pods
        << (cover->proven ? std::string()
                          : " (not proven: at least " + std::to_string(cover->lowerBound) + ")")
        << '\n';
    out << CellsText(cover->cells);
    if (population) {
        out << "POPULATION WITHIN " << PlainForm(radius) << " OF A POD WITH " << population->pods
            << " NEW PODS " << PlainForm(population->population) << '\n';
        out << CellsText(population->cells);
        out << "PROVEN " << YesNo(population->proven);
        if (!population->proven)
            out << " (bound " << PlainForm(population->bound) << ", gap "
                << FormatPicture(100 * population->gap, "0.###") << "%)";
        out << '\n';
    }
    return 0;
}

} // namespace davrenta
