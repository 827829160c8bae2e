#include "popmap/model.h"

#include <algorithm>

#include "state/numbers.h"

namespace davrenta {

int LastMapLine(const PopMap& fl) {
    return std::clamp(fl.MapEndLine - 1, 0, kMapLines);
}

int CellsInLine(const PopMap& fl, int line) {
    const int stored =
        std::min<int>(fl.MapLineLength[line], static_cast<int>(fl.MapLine[line].size()));
    return std::clamp(stored, 0, kMapColumns);
}

char CellChar(const std::string& line, int column) {
    if (column < 1 || static_cast<std::size_t>(column) > line.size())
        return '\0';
    return line[column - 1];
}

void MarkCell(std::string& line, int column, char mark) {
    if (column >= 1 && static_cast<std::size_t>(column) <= line.size())
        line[column - 1] = mark;
}

std::array<bool, 256> AreaCharacters(const PopMap& fl) {
    std::array<bool, 256> is{};
    for (int a = 1; a <= std::min(fl.AreaCount, kMaxAreas); ++a)
        if (fl.AreaSymbol[a].size() == 1)
            is[static_cast<unsigned char>(fl.AreaSymbol[a][0])] = true;
    return is;
}

std::array<int, 256> PodOfLabel(const PopMap& fl, int last) {
    std::array<int, 256> podOf{};
    for (int k = std::min(last, kMaxPods); k >= 1; --k)
        if (!fl.PodSymbol[k].empty())
            podOf[static_cast<unsigned char>(fl.PodSymbol[k][0])] = k;
    return podOf;
}

std::string WholeNumberText(double v) {
    return FormatPicture(v, "0");
}

char NewPodLabel(int q) {
    static constexpr char kLabels[] = "*@#$&+=?!~<>/|{}:;_`()123456789";
    static_assert(sizeof kLabels - 1 == kMaxPods);
    return q >= 1 && q <= kMaxPods ? kLabels[q - 1] : '*';
}

int NewPodsPlaced(const PopMap& fl) {
    if (fl.NewPodCount >= 3)
        return std::min(fl.NewPodCount, kMaxPods);
    return fl.NewPodCount == 1 ? 1 : 2;
}

std::vector<std::pair<int, int>> NewPodCells(const PopMap& fl) {
    const int count = NewPodsPlaced(fl);
    if (count == 1)
        return {{fl.NewPodLine, fl.NewPodColumn}};
    if (count == 2)
        return {{fl.NewPod1Line, fl.NewPod1Column}, {fl.NewPod2Line, fl.NewPod2Column}};
    std::vector<std::pair<int, int>> cells;
    for (int q = 1; q <= count; ++q)
        cells.emplace_back(fl.NewPodsLine[q], fl.NewPodsColumn[q]);
    return cells;
}

void ResetPodSymbols(PopMap& fl) {
    for (int k = 1; k <= kMaxExistingPods; ++k)
        fl.PodSymbol[k] = std::string(1, static_cast<char>(64 + k));
}

void ForgetLastLocation(PopMap& fl) {
    fl.NewPodLine = 0;
    fl.NewPodColumn = 0;
    fl.BestTravel = 0;
    fl.BestMaxDistance = 0;
}

void TakeLineLengths(PopMap& fl) {
    for (int i = 1; i <= kMapLines; ++i)
        fl.MapLineLength[i] = static_cast<int>(fl.MapLine[i].size());
}

namespace {

// The map and the maps derived from it, lines 1..50.
void ClearMaps(PopMap& fl, bool serviceMap) {
    for (int i = 1; i <= kMapLines; ++i) {
        fl.MapLine[i].clear();
        fl.NumberedMap[i].clear();
        fl.MarkedServiceMap[i].clear();
        fl.BestServiceMap[i].clear();
        fl.NearOptimalMap[i].clear();
        if (serviceMap)
            fl.ServiceMap[i].clear();
        fl.MapLineLength[i] = 0;
    }
}

} // namespace

void ClearOnModuleEntry(PopMap& fl) {
    ClearMaps(fl, true);
    for (int a = 1; a <= kMaxAreas; ++a) {
        fl.AreaSymbol[a].clear();
        fl.AreaPopulation[a] = 0;
    }
    for (int k = 1; k <= kMaxExistingPods; ++k) {
        fl.PodLine[k] = 0;
        fl.PodColumn[k] = 0;
    }
}

void ClearForKeyboardProblem(PopMap& fl) {
    ClearMaps(fl, false);
    fl.MapInputLine = 0;
}

double SumPopulation(const PopMap& fl) {
    double total = 0;
    for (int a = 1; a <= std::min(fl.AreaCount, kMaxAreas); ++a)
        total += fl.AreaPopulation[a];
    return total;
}

} // namespace davrenta
