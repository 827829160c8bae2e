#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "state/table.h"

namespace davrenta {

inline constexpr int kMaxAreas = 141;
inline constexpr int kMaxTypedAreas = 140;
inline constexpr int kMaxExistingPods = 30;
inline constexpr int kMaxPods = 31;
inline constexpr int kMapLines = 50;
inline constexpr int kMapColumns = 60;

inline constexpr double kLineScale = 0.167;
inline constexpr double kColumnScale = 0.1;
inline constexpr double kBigValue = 1e10;
// Map units per cell step in the distances the results show.
inline constexpr double kDistanceScale = 62.97 / 5.9;

// Which map the map screen shows; the values are the ones its caption and the messages use.
enum class MapType {
    Input = 1,           // the input map, before a search
    Numbered = 2,        // existing PODs marked by number
    ExistingService = 3, // service areas of the existing PODs
    NewService = 4,      // service areas with the new POD(s)
    NearOptimal = 5,     // near-optimal cells marked "%"
};
inline int MapTypeCode(MapType t) {
    return static_cast<int>(t);
}

// The performance measure a search optimizes.
enum class Measure {
    MinimizeTravel = 1,      // total travel of the population to its nearest POD
    MaximumServed = 2,       // population the new POD(s) take from the existing ones
    MinimizeMaxDistance = 3, // largest distance from a cell to its nearest POD
};

// 1, 2, 3: the codes the batch's --measure takes and the messages name.
inline int MeasureCode(Measure m) {
    return static_cast<int>(m);
}

// The population-map study: one problem at a time, with its settings and everything a search
// derives from it.
struct PopMap {
    // Problem data.
    int AreaCount = 0;
    Table1<std::string, kMaxAreas> AreaSymbol;
    Table1<double, kMaxAreas> AreaPopulation;
    double TotalPopulation = 0;
    int ExistingPodCount = 0;
    Table1<int, kMaxPods> PodLine;
    Table1<int, kMaxPods> PodColumn;
    Table1<std::string, kMapLines + 1> MapLine;
    Table1<int, kMapLines> MapLineLength;
    int MapEndLine = 0;
    int MapInputLine = 0;

    // Settings of the run.
    int NewPodCount = 1;
    Measure PerformanceMeasure = Measure::MinimizeTravel;
    MapType maptype = MapType::Input;
    double NearOptimalBound = 0;
    // Seconds after which a search of three or more new PODs stops with the best set found;
    // 0 for no limit.
    double SearchTimeLimit = 0;

    // Derived by the searches.
    Table1<std::string, kMaxPods> PodSymbol;
    Table1<int, kMaxAreas> AreaCellCount;
    Table1<double, kMaxAreas> AreaCellPopulation;
    CellTable<double, kMapLines, kMapColumns> CellPopulation;
    Table1<std::string, kMapLines> NumberedMap;
    Table1<std::string, kMapLines> ServiceMap;
    Table1<std::string, kMapLines> MarkedServiceMap;
    Table1<std::string, kMapLines> TrialServiceMap;
    Table1<std::string, kMapLines> BestServiceMap;
    Table1<std::string, kMapLines> NearOptimalMap;
    Table1<double, kMaxExistingPods> ExistingPodServed;
    Table1<double, kMaxPods> PodServed;
    double PriorAverageDistance = 0;
    double PriorMaxDistance = 0;
    CellTable<double, kMapLines, kMapColumns> CandidateTravel;
    CellTable<double, kMapLines, kMapColumns> CandidateMaxDistance;
    double BestTravel = 0;
    double BestMaxDistance = 0;
    double BestServed = 0;
    double BestServedTravel = 0;
    int NewPodLine = 0, NewPodColumn = 0;
    int NewPod1Line = 0, NewPod1Column = 0, NewPod2Line = 0, NewPod2Column = 0;
    // Every new POD of the last search, whatever their number: slot q (1..NewPodCount) in
    // cell order (a cell may repeat: two PODs on one cell act as one).
    Table1<int, kMaxPods> NewPodsLine, NewPodsColumn;
    // Whether the search proved its result optimal, the bound it proved on the optimum
    // (equal to the result's value when proven) and their relative gap. The searches of one
    // and two PODs are exhaustive: always proven.
    bool Proven = false;
    double Bound = 0;
    double Gap = 0;
    double NearTravelLimit = 0;
    double NearMaxDistanceLimit = 0;
    int ProgressDone = 0;
    int ProgressTotal = 0;
    // The two-POD search's copies of its progress, shown when the map screen next opens.
    int KeptProgressDone = 0;
    int KeptProgressTotal = 0;
    int MapPointsUsed = 0;
    // Set before a search, cleared when the search is abandoned.
    bool SearchResultFlag = false;
};

// The last map line: L = MapEndLine - 1, kept inside the table.
int LastMapLine(const PopMap& fl);

// Number of cells of map line i that the searches visit (at most 60 columns).
int CellsInLine(const PopMap& fl, int line);

// Character j (1-based) of a map line, or '\0' past its end.
char CellChar(const std::string& line, int column);

// Replace character j of a line when the line has it; a mark never lengthens a line.
void MarkCell(std::string& line, int column, char mark);

// Which characters are area symbols: only one-character symbols can match a cell.
std::array<bool, 256> AreaCharacters(const PopMap& fl);

// The POD (1..last) whose label each character is, 0 for none; the lowest number wins.
std::array<int, 256> PodOfLabel(const PopMap& fl, int last);

// The label of new POD q (1..31) on the service maps: "*", "@", then further signs that are
// neither existing PODs' labels nor the maps' marks.
char NewPodLabel(int q);

// How many new PODs the last search placed (a count other than 1 below 3 searches a pair), and
// their cells (line, column) in slot order.
int NewPodsPlaced(const PopMap& fl);
std::vector<std::pair<int, int>> NewPodCells(const PopMap& fl);

// A coordinate or count in the "0" picture.
std::string WholeNumberText(double v);

// Rebuild the POD labels "A".."^" for slots 1..30.
void ResetPodSymbols(PopMap& fl);

// A new choice of the number of new PODs forgets the location of the previous run.
void ForgetLastLocation(PopMap& fl);

// The map screen takes each line's length from the line as it opens (an edit may have changed
// it since the search).
void TakeLineLengths(PopMap& fl);

// Entering the study from the main window.
void ClearOnModuleEntry(PopMap& fl);

// "New Problem From Keyboard", whatever the active study.
void ClearForKeyboardProblem(PopMap& fl);

// Sum of the area populations 1..AreaCount.
double SumPopulation(const PopMap& fl);

} // namespace davrenta
