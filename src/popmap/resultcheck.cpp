#include "popmap/resultcheck.h"

#include <cmath>
#include <string>

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

template <typename Table> bool AllFinite(const Table& table, int count) {
    for (int k = 1; k <= count; ++k)
        if (!std::isfinite(table[static_cast<std::size_t>(k)]))
            return false;
    return true;
}

bool CandidatesFinite(const PopMap& fl) {
    for (int i = 1; i <= LastMapLine(fl); ++i)
        for (int j = 1; j <= CellsInLine(fl, i); ++j)
            if (!std::isfinite(fl.CandidateTravel(i, j)) ||
                !std::isfinite(fl.CandidateMaxDistance(i, j)))
                return false;
    return true;
}

} // namespace

SearchOutcome CheckSearchResult(const PopMap& fl, SearchOutcome outcome) {
    if (outcome.status != SearchStatus::Done)
        return outcome;
    const bool one = fl.NewPodCount == 1;
    const bool placed = one ? IsCell(fl, fl.NewPodLine, fl.NewPodColumn)
                            : IsCell(fl, fl.NewPod1Line, fl.NewPod1Column) &&
                                  IsCell(fl, fl.NewPod2Line, fl.NewPod2Column);
    if (!Won(fl) || !placed)
        return {SearchStatus::Failed, NoWinner(fl.PerformanceMeasure)};

    const int n = fl.ExistingPodCount;
    const bool finite =
        std::isfinite(fl.TotalPopulation) && std::isfinite(fl.BestTravel) &&
        std::isfinite(fl.BestMaxDistance) && std::isfinite(fl.BestServed) &&
        std::isfinite(fl.BestServedTravel) && std::isfinite(fl.PriorAverageDistance) &&
        std::isfinite(fl.PriorMaxDistance) && std::isfinite(fl.BestTravel / fl.TotalPopulation) &&
        std::isfinite(fl.BestServedTravel / fl.TotalPopulation) &&
        AllFinite(fl.AreaCellPopulation, fl.AreaCount) && AllFinite(fl.ExistingPodServed, n) &&
        AllFinite(fl.PodServed, n + (one ? 1 : 2)) && (!one || CandidatesFinite(fl));
    if (!finite)
        return {SearchStatus::Failed,
                "The populations are too large to compute with: a total travel or a number "
                "served goes beyond the largest number. Make the populations smaller and "
                "search again."};
    return outcome;
}

} // namespace davrenta
