// The figures of given new PODs (--evaluate) and the objective surface of one new POD
// (--surface) in davrenta-batch popmap: what the moving map shows, for scripts.

#include "app/modulestate.h"
#include "batch/popmapbatch.h"
#include "popmap/moving.h"
#include "popmap/search.h"
#include "state/atomicfile.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

// The problem read and prepared as a search prepares it; the message of what went wrong.
Result<ModuleState> Prepared(const PopMapBatchOptions& options, int& exitStatus, std::ostream& out,
                             std::ostream& err) {
    ModuleState state;
    if (Status read = ReadBatchProblem(options, state); !read) {
        exitStatus = Unreadable(err, read.message());
        return Fail(read.message());
    }
    if (Status prepared = PrepareSearch(state); !prepared) {
        exitStatus =
            NoResult(options.json, out, err, ShownPath(options.file) + ": " + prepared.message());
        return Fail(prepared.message());
    }
    return state;
}

ordered_json JsonGrid(const Surface& s, Measure measure) {
    ordered_json grid = ordered_json::array();
    for (int l = 1; l <= s.lastLine; ++l) {
        ordered_json row = ordered_json::array();
        for (int c = 1; c <= s.lineStart[l + 1] - s.lineStart[l]; ++c)
            row.push_back(s.Value(measure, l, c));
        grid.push_back(row);
    }
    return grid;
}

} // namespace

int RunEvaluateBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err) {
    int status = kExitDone;
    Result<ModuleState> state = Prepared(options, status, out, err);
    if (!state)
        return status;
    const PopMap& fl = state->fl;
    Result<MovingLayout> layout = MovingLayout::Start(*state, options.evaluate);
    if (!layout)
        return NoResult(options.json, out, err, ShownPath(options.file) + ": " + layout.message());
    const LayoutFigures& f = layout->Figures();
    const int n = layout->ExistingPods();
    Table1<std::string, kMapLines> map;
    layout->ServiceMap(map, true);

    {
        ordered_json j;
        j["NewPods"] = JsonCells(options.evaluate);
        j["BestTravel"] = f.travel;
        j["BestMaxDistance"] = f.maxDistance;
        j["BestServed"] = f.served;
        j["TotalPopulation"] = fl.TotalPopulation;
        ordered_json served = ordered_json::array();
        for (double v : f.podServed)
            served.push_back(v);
        j["PodServed"] = served;
        // The existing PODs alone, under the names the search's results give them.
        if (n > 0) {
            j["PriorAverageDistance"] = f.priorTravel / fl.TotalPopulation;
            j["PriorMaxDistance"] = f.priorMaxDistance;
            ordered_json alone = ordered_json::array();
            for (double v : f.existingServed)
                alone.push_back(v);
            j["ExistingPodServed"] = alone;
        }
        ordered_json lines = ordered_json::array();
        for (int i = 1; i <= LastMapLine(fl); ++i)
            lines.push_back(JsonText(map[i]));
        j["BestServiceMap"] = lines;
        if (std::optional<int> done = CheckedResult(options.json, out, err, j))
            return *done;
    }
    const LayoutTexts t = TextsOf(*layout, fl.TotalPopulation, state->DistanceMethod);
    out << "== Output ==\n";
    for (const std::string* label : {&t.floclbl, &t.coordinates, &t.figures, &t.prior})
        if (!label->empty())
            out << SafeForTerminal(ForTerminal(*label)) << '\n';
    PrintRows(out, t.facgrd);
    out << '\n';
    out << "== Map: Service areas with " << options.evaluate.size() << " given new POD"
        << (options.evaluate.size() == 1 ? "" : "s") << (n > 0 ? " and the existing ones" : "")
        << " ==\n";
    for (int i = 1; i <= LastMapLine(fl); ++i)
        out << SafeForTerminal(map[i]) << '\n';
    return kExitDone;
}

int RunSurfaceBatch(const PopMapBatchOptions& options, std::ostream& out, std::ostream& err) {
    int status = kExitDone;
    Result<ModuleState> state = Prepared(options, status, out, err);
    if (!state)
        return status;
    if (Status room = CheckPodSlots(state->fl, 1); !room)
        return NoResult(options.json, out, err, ShownPath(options.file) + ": " + room.message());
    Result<MovingLayout> layout = MovingLayout::Start(*state, {});
    if (!layout)
        return NoResult(options.json, out, err, ShownPath(options.file) + ": " + layout.message());
    const Measure measure = static_cast<Measure>(options.measure);
    const Surface s = layout->SurfaceNow(measure);

    {
        ordered_json j;
        j["Surface"] = JsonGrid(s, measure);
        j["NewPods"] = s.best ? JsonCells({*s.best}) : ordered_json::array();
        if (std::optional<int> done = CheckedResult(options.json, out, err, j))
            return *done;
    }
    static const char* kNames[] = {"TOTAL TRAVEL", "NUMBER SERVED", "MAX DISTANCE"};
    out << "== Surface: " << kNames[options.measure - 1]
        << " with one new POD at each cell, by line ==\n";
    for (int l = 1; l <= s.lastLine; ++l) {
        std::string row;
        for (int c = 1; c <= s.lineStart[l + 1] - s.lineStart[l]; ++c)
            row += (c > 1 ? " " : "") + PlainForm(s.Value(measure, l, c));
        out << row << '\n';
    }
    if (s.best)
        out << "BEST CELL (x,y)= " << s.best->second << ", " << s.best->first << '\n';
    else
        out << "NO CELL IMPROVES ON THE EXISTING PODS\n";
    return kExitDone;
}

} // namespace davrenta
