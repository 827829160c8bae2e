#include "popmap/keyboard.h"

#include <algorithm>
#include <cmath>

#include "state/numbers.h"

namespace davrenta {

namespace {

// Coordinates are whole numbers; a typed 2.6 is taken as 3.
int WholeCoordinate(const std::string& text) {
    const double v = LeadingNumber(text);
    if (!std::isfinite(v))
        return 0;
    return static_cast<int>(std::lround(std::clamp(v, -1e6, 1e6)));
}

} // namespace

std::vector<std::pair<std::string, std::string>> OpenAreaEntry(PopMap& fl) {
    ResetPodSymbols(fl);
    std::vector<std::pair<std::string, std::string>> boxes;
    for (int a = 1; a <= std::min(fl.AreaCount, kMaxTypedAreas); ++a)
        boxes.emplace_back(fl.AreaSymbol[a], PlainForm(fl.AreaPopulation[a]));
    return boxes;
}

void StoreAreas(PopMap& fl, const std::vector<std::string>& symbols,
                const std::vector<std::string>& populations) {
    const int boxes = std::min<int>(static_cast<int>(symbols.size()), kMaxTypedAreas);
    int count = 0;
    while (count < boxes && !symbols[count].empty())
        ++count;
    fl.AreaCount = count;
    for (int a = 1; a <= count; ++a) {
        fl.AreaSymbol[a] = symbols[a - 1];
        fl.AreaPopulation[a] = static_cast<std::size_t>(a - 1) < populations.size()
                                   ? LeadingNumber(populations[a - 1])
                                   : 0.0;
    }
    fl.TotalPopulation = SumPopulation(fl);
}

std::vector<std::pair<std::string, std::string>> OpenPodEntry(const PopMap& fl) {
    // Slots past ExistingPodCount hold a search's last candidate, never an existing POD.
    std::vector<std::pair<std::string, std::string>> rows(kMaxExistingPods);
    for (int k = 1; k <= std::clamp(fl.ExistingPodCount, 0, kMaxExistingPods); ++k)
        if (fl.PodColumn[k] != 0)
            rows[k - 1] = {PlainForm(fl.PodColumn[k]), PlainForm(fl.PodLine[k])};
    return rows;
}

Status StorePods(PopMap& fl, const std::vector<std::string>& xs,
                 const std::vector<std::string>& ys) {
    const int rows = std::min<int>(static_cast<int>(xs.size()), kMaxExistingPods);
    auto text = [](const std::vector<std::string>& v, int r) {
        return static_cast<std::size_t>(r) < v.size() ? v[r] : std::string();
    };
    int count = 0;
    while (count < rows && !xs[count].empty())
        ++count;
    for (int r = 0; r < count; ++r) {
        const int column = WholeCoordinate(text(xs, r));
        const int line = WholeCoordinate(text(ys, r));
        if (line < 1 || line > kMapLines || column < 1 || column > kMapColumns)
            return Fail(
                "Facility " + std::to_string(r + 1) + " is at x " + PlainForm(column) + ", y " +
                PlainForm(line) +
                ", outside the map. Enter x (column) from 1 to 60 and y (line) from 1 to 50.");
    }
    for (int r = 0; r < count; ++r) {
        fl.PodColumn[r + 1] = WholeCoordinate(text(xs, r));
        fl.PodLine[r + 1] = WholeCoordinate(text(ys, r));
    }
    if (count < kMaxExistingPods) {
        fl.PodColumn[count + 1] = 0;
        fl.PodLine[count + 1] = WholeCoordinate(text(ys, count));
    }
    fl.ExistingPodCount = count;
    return {};
}

void OpenMapEntry(PopMap& fl, bool keyboardSource) {
    if (keyboardSource && fl.MapInputLine == 0)
        for (int i = 1; i <= kMapLines; ++i)
            fl.MapLine[i].clear();
    fl.MapInputLine = 1;
}

void StoreInputLine(PopMap& fl, const std::string& text) {
    fl.MapInputLine = std::clamp(fl.MapInputLine, 1, kMapLines);
    fl.MapLine[fl.MapInputLine] = text;
}

void NextInputLine(PopMap& fl) {
    if (fl.MapInputLine < kMapLines)
        ++fl.MapInputLine;
}

void PreviousInputLine(PopMap& fl) {
    if (fl.MapInputLine > 1)
        --fl.MapInputLine;
}

int InputTopRow(const PopMap& fl) {
    return fl.MapInputLine > 10 ? fl.MapInputLine - 10 : 0;
}

void FinishMapEntry(PopMap& fl) {
    int endLine = 0;
    for (int i = 1; i <= kMapLines; ++i) {
        for (int k = 1; k <= std::min(fl.ExistingPodCount, kMaxExistingPods); ++k) {
            const int column = std::min(fl.PodColumn[k], kMapColumns);
            if (fl.PodLine[k] == i && static_cast<int>(fl.MapLine[i].size()) < column)
                fl.MapLine[i].resize(column, ' ');
        }
        fl.MapLineLength[i] = static_cast<int>(fl.MapLine[i].size());
        if (fl.MapLineLength[i] > 0)
            endLine = i;
    }
    fl.MapEndLine = endLine + 1;
    fl.maptype = MapType::Input;
}

} // namespace davrenta
