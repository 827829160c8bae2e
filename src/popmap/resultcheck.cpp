#include "popmap/resultcheck.h"

#include <string>

#include "state/figures.h"

namespace davrenta {

namespace {

// Why no candidate replaced the starting best, by measure.
std::string NoWinner(Measure measure) {
    switch (measure) {
    case Measure::MinimizeTravel:
        return "No location was found: the total travel of every location is 10000000000 or "
               "more. Make the populations smaller and search again.";
    case Measure::MaximumServed:
        return "No location was found: no location serves more than 0 people (the populations "
               "are zero, negative or too small). Check the populations and search again.";
    case Measure::MinimizeMaxDistance:
        return "No location was found: the map has no cell a new POD can stand on.";
    default:
        return "No location was found: choose a performance measure from 1 to 3.";
    }
}

bool Won(const PopMap& fl) {
    switch (fl.PerformanceMeasure) {
    case Measure::MinimizeTravel:
        return fl.BestTravel < kBigValue;
    case Measure::MaximumServed:
        return fl.BestServed > 0;
    case Measure::MinimizeMaxDistance:
        return fl.BestMaxDistance < kBigValue;
    default:
        return false;
    }
}

bool IsCell(const PopMap& fl, int line, int column) {
    return line >= 1 && line <= LastMapLine(fl) && column >= 1 && column <= CellsInLine(fl, line);
}

template <typename Table> void AddSlots(Figures& figures, const Table& table, int count) {
    for (int k = 1; k <= count; ++k)
        figures.add(table[static_cast<std::size_t>(k)]);
}

void AddCandidates(Figures& figures, const PopMap& fl) {
    for (int i = 1; i <= LastMapLine(fl); ++i)
        for (int j = 1; j <= CellsInLine(fl, i); ++j)
            figures.add({fl.CandidateTravel(i, j), fl.CandidateMaxDistance(i, j)});
}

} // namespace

SearchOutcome CheckSearchResult(const PopMap& fl, SearchOutcome outcome) {
    if (outcome.status != SearchStatus::Done)
        return outcome;
    const bool one = fl.NewPodCount == 1;
    const int newPods = fl.NewPodCount >= 3 ? fl.NewPodCount : (one ? 1 : 2);
    bool placed = true;
    if (newPods >= 3)
        for (int q = 1; q <= newPods; ++q)
            placed = placed && IsCell(fl, fl.NewPodsLine[q], fl.NewPodsColumn[q]);
    else
        placed = one ? IsCell(fl, fl.NewPodLine, fl.NewPodColumn)
                     : IsCell(fl, fl.NewPod1Line, fl.NewPod1Column) &&
                           IsCell(fl, fl.NewPod2Line, fl.NewPod2Column);
    if (!Won(fl) || !placed)
        return {SearchStatus::Failed, NoWinner(fl.PerformanceMeasure)};

    const int n = fl.ExistingPodCount;
    Figures figures;
    figures.add({fl.TotalPopulation, fl.BestTravel, fl.BestMaxDistance, fl.BestServed,
                 fl.BestServedTravel, fl.PriorAverageDistance, fl.PriorMaxDistance,
                 fl.BestTravel / fl.TotalPopulation, fl.BestServedTravel / fl.TotalPopulation});
    AddSlots(figures, fl.AreaCellPopulation, fl.AreaCount);
    AddSlots(figures, fl.ExistingPodServed, n);
    AddSlots(figures, fl.PodServed, n + newPods);
    figures.add({fl.Bound, fl.Gap});
    if (one)
        AddCandidates(figures, fl);
    if (Status finite = RequireFinite(figures, "populations", "a total travel or a number served",
                                      "Make the populations smaller and search again.");
        !finite)
        return {SearchStatus::Failed, finite.message()};
    return outcome;
}

} // namespace davrenta
