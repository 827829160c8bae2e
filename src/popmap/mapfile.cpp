#include "popmap/mapfile.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/modulestate.h"
#include "state/atomicfile.h"
#include "state/messagetext.h"
#include "state/numbers.h"
#include "state/records.h"

namespace davrenta {

namespace {

struct ParsedProblem {
    int areaCount = 0, podCount = 0, mapEndLine = 0;
    std::vector<std::string> symbols;
    std::vector<double> populations;
    std::vector<int> podLines, podColumns;
    std::vector<std::string> lines;
};

Status Parse(std::string_view contents, ParsedProblem& p) {
    RecordParser in(contents);
    const std::string header = "header record";
    auto areas = in.whole(header, "number of areas", 0, kMaxAreas);
    auto pods = in.whole(header, "number of existing PODs", 0, kMaxExistingPods);
    auto endLine = in.whole(header, "first line after the map", 0, kMapLines + 1);
    if (in.error)
        return Fail(*in.error);
    p.areaCount = *areas;
    p.podCount = *pods;
    p.mapEndLine = *endLine;

    for (int a = 1; a <= p.areaCount; ++a) {
        const std::string record = "area record " + std::to_string(a);
        auto symbol = in.field(record, "symbol of area " + std::to_string(a));
        auto population = in.number(record, "population of area " + std::to_string(a));
        if (in.error)
            return Fail(*in.error);
        p.symbols.push_back(symbol->text);
        p.populations.push_back(*population);
    }
    for (int k = 1; k <= p.podCount; ++k) {
        const std::string record = "existing POD record " + std::to_string(k);
        auto line = in.whole(record, "line of POD " + std::to_string(k), 1, kMapLines);
        auto column = in.whole(record, "column of POD " + std::to_string(k), 1, kMapColumns);
        if (in.error)
            return Fail(*in.error);
        p.podLines.push_back(*line);
        p.podColumns.push_back(*column);
    }
    for (int i = 1; i < p.mapEndLine; ++i) {
        const std::string record = "map line record " + std::to_string(i);
        auto length = in.number(record, "length of map line " + std::to_string(i));
        auto text = in.field(record, "text of map line " + std::to_string(i));
        if (in.error)
            return Fail(*in.error);
        (void)length; // the text itself says how long the line is
        if (text->text.size() > static_cast<std::size_t>(kMapColumns)) {
            in.fail(text->line, record,
                    "the line holds " + std::to_string(text->text.size()) +
                        " characters, more than the " + std::to_string(kMapColumns) +
                        " columns of a map");
            return Fail(*in.error);
        }
        p.lines.push_back(text->text);
    }
    const std::string last = p.mapEndLine > 1
                                 ? "map line record " + std::to_string(p.mapEndLine - 1)
                             : p.podCount > 0  ? "existing POD record " + std::to_string(p.podCount)
                             : p.areaCount > 0 ? "area record " + std::to_string(p.areaCount)
                                               : header;
    in.expectEnd(last, "the " + std::to_string(p.areaCount) + " areas, " +
                           std::to_string(p.podCount) + " existing PODs and " +
                           std::to_string(std::max(p.mapEndLine - 1, 0)) +
                           " map lines its header counts");
    if (in.error)
        return Fail(*in.error);
    return {};
}

} // namespace

Status ParseMapProblem(std::string_view contents, PopMap& fl) {
    ParsedProblem p;
    if (Status parsed = Parse(contents, p); !parsed)
        return parsed;

    fl.AreaCount = p.areaCount;
    fl.ExistingPodCount = p.podCount;
    fl.MapEndLine = p.mapEndLine;
    for (int a = 1; a <= kMaxAreas; ++a) {
        fl.AreaSymbol[a] = a <= p.areaCount ? p.symbols[a - 1] : std::string();
        fl.AreaPopulation[a] = a <= p.areaCount ? p.populations[a - 1] : 0.0;
    }
    fl.TotalPopulation = SumPopulation(fl);
    for (int k = 1; k <= kMaxExistingPods; ++k) {
        fl.PodLine[k] = k <= p.podCount ? p.podLines[k - 1] : 0;
        fl.PodColumn[k] = k <= p.podCount ? p.podColumns[k - 1] : 0;
    }
    // Lines after the map are emptied so that no line of an earlier problem shows under the
    // new one.
    for (int i = 1; i <= kMapLines; ++i) {
        fl.MapLine[i] = i < p.mapEndLine ? p.lines[i - 1] : std::string();
        fl.MapLineLength[i] = static_cast<int>(fl.MapLine[i].size());
    }
    return {};
}

Status ReadMapFile(ModuleState& state) {
    ResetPodSymbols(state.fl);
    if (state.ProblemFileName.empty())
        return {};
    // A map problem is a few kilobytes; anything far larger is not one.
    constexpr std::size_t kMaxMapFileBytes = 256 * 1024;
    return LoadProblemFile(
        state.ProblemFileName,
        [&state](std::string_view contents) { return ParseMapProblem(contents, state.fl); },
        kMaxMapFileBytes);
}

Result<std::string> MapFileContents(const PopMap& fl) {
    const int areas = std::clamp(fl.AreaCount, 0, kMaxAreas);
    const int pods = std::clamp(fl.ExistingPodCount, 0, kMaxExistingPods);
    const int endLine = std::clamp(fl.MapEndLine, 0, kMapLines + 1);
    for (int a = 1; a <= areas; ++a)
        if (!RecordWriter::CanHold(fl.AreaSymbol[a]))
            return Fail("The symbol of area " + std::to_string(a) +
                        " holds a double quote or a line break, which a problem file cannot keep. "
                        "Change the symbol and save again.");
    for (int i = 1; i < endLine; ++i)
        if (!RecordWriter::CanHold(fl.MapLine[i]))
            return Fail("Map line " + std::to_string(i) +
                        " holds a double quote or a line break, which a problem file cannot keep. "
                        "Change the line and save again.");

    RecordWriter out;
    out.number(areas).number(pods).number(endLine).endRecord();
    for (int a = 1; a <= areas; ++a)
        out.text(fl.AreaSymbol[a]).number(fl.AreaPopulation[a]).endRecord();
    for (int k = 1; k <= pods; ++k)
        out.number(fl.PodLine[k]).number(fl.PodColumn[k]).endRecord();
    for (int i = 1; i < endLine; ++i)
        out.number(static_cast<double>(fl.MapLine[i].size())).text(fl.MapLine[i]).endRecord();
    return out.contents();
}

Status WriteMapFile(const ModuleState& state) {
    if (state.ProblemFileName.empty())
        return {};
    Result<std::string> contents = MapFileContents(state.fl);
    if (!contents)
        return contents.failure();
    return SaveProblemFile(state.ProblemFileName, *contents);
}

Status AddNewPodsAsExisting(PopMap& fl) {
    const bool two = fl.NewPodCount == 2;
    const bool several = fl.NewPodCount >= 3;
    const int added = several ? fl.NewPodCount : (two ? 2 : 1);
    if (fl.ExistingPodCount + added > kMaxExistingPods)
        return Fail("A problem holds at most " + std::to_string(kMaxExistingPods) +
                    " existing PODs: the new POD" + (two || several ? "s" : "") +
                    " cannot be added. The problem was not saved.");
    const int n = fl.ExistingPodCount;
    if (several) {
        for (int q = 1; q <= added; ++q) {
            fl.PodLine[n + q] = fl.NewPodsLine[q];
            fl.PodColumn[n + q] = fl.NewPodsColumn[q];
        }
    } else if (two) {
        fl.PodLine[n + 1] = fl.NewPod1Line;
        fl.PodColumn[n + 1] = fl.NewPod1Column;
        fl.PodLine[n + 2] = fl.NewPod2Line;
        fl.PodColumn[n + 2] = fl.NewPod2Column;
    } else {
        fl.PodLine[n + 1] = fl.NewPodLine;
        fl.PodColumn[n + 1] = fl.NewPodColumn;
    }
    fl.ExistingPodCount += added;
    return {};
}

} // namespace davrenta
