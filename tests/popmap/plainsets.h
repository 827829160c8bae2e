#pragma once

// The exhaustive references for several new PODs: every set of p PODs (slots in cell order, a
// cell possibly repeated), each evaluated cell by cell by the assignment rule, the first best
// in slot order kept by strict comparisons, as the one- and two-POD plain searches keep theirs;
// and the coverage questions answered by trying every set.

#include <functional>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "app/modulestate.h"
#include "popmap/search.h"

namespace davrenta::testing {

struct PlainSet {
    bool found = false; // some set beats the starting best
    std::vector<std::pair<int, int>> cells;
    double travel = kBigValue, maxDistance = kBigValue, served = 0;
};

struct PlainFigures {
    double travel = 0, maxDistance = 0, served = 0;
    double within = 0; // population with a POD at most `radius` away
};

// The figures of PODs at cells (line, column) beside the existing ones, on a prepared state.
inline PlainFigures PlainEvaluate(const ModuleState& s,
                                  const std::vector<std::pair<int, int>>& pods,
                                  double radius = -1) {
    const PopMap& fl = s.fl;
    const auto isArea = AreaCharacters(fl);
    PlainFigures f;
    for (int i = 1; i <= LastMapLine(fl); ++i)
        for (int j = 1; j <= CellsInLine(fl, i); ++j) {
            if (!isArea[static_cast<unsigned char>(fl.MapLine[i][j - 1])])
                continue;
            double minimum = kBigValue;
            bool isNew = false;
            for (int k = 1; k <= fl.ExistingPodCount; ++k) {
                const double d =
                    PodDistance(s.DistanceMethod, i - fl.PodLine[k], j - fl.PodColumn[k]);
                if (d < minimum)
                    minimum = d;
            }
            for (const auto& [line, column] : pods) {
                const double d = PodDistance(s.DistanceMethod, i - line, j - column);
                if (d < minimum) {
                    minimum = d;
                    isNew = true;
                }
            }
            const double pop = fl.CellPopulation(i, j);
            f.travel += pop * minimum;
            if (minimum > f.maxDistance)
                f.maxDistance = minimum;
            if (isNew)
                f.served += pop;
            if (minimum <= radius)
                f.within += pop;
        }
    return f;
}

inline std::vector<std::pair<int, int>> MapCells(const PopMap& fl) {
    std::vector<std::pair<int, int>> cells;
    for (int i = 1; i <= LastMapLine(fl); ++i)
        for (int j = 1; j <= CellsInLine(fl, i); ++j)
            cells.emplace_back(i, j);
    return cells;
}

// Calls visit for every set of p cells in slot order (nondecreasing in cell order).
inline void EverySet(const std::vector<std::pair<int, int>>& cells, int p,
                     const std::function<void(const std::vector<std::pair<int, int>>&)>& visit) {
    std::vector<std::size_t> index(static_cast<std::size_t>(p), 0);
    std::vector<std::pair<int, int>> set(static_cast<std::size_t>(p));
    std::function<void(int, std::size_t)> next = [&](int slot, std::size_t from) {
        if (slot == p) {
            visit(set);
            return;
        }
        for (std::size_t c = from; c < cells.size(); ++c) {
            set[static_cast<std::size_t>(slot)] = cells[c];
            next(slot + 1, c);
        }
    };
    next(0, 0);
}

// The search of p new PODs by trying every set; the state must have been prepared.
inline PlainSet PlainSetSearch(const ModuleState& s, int p) {
    PlainSet best;
    const Measure measure = s.fl.PerformanceMeasure;
    EverySet(MapCells(s.fl), p, [&](const std::vector<std::pair<int, int>>& set) {
        const PlainFigures f = PlainEvaluate(s, set);
        bool better = false;
        switch (measure) {
        case Measure::MinimizeTravel:
            better = f.travel < best.travel;
            break;
        case Measure::MaximumServed:
            better = f.served > best.served;
            break;
        case Measure::MinimizeMaxDistance:
            better = f.maxDistance < best.maxDistance;
            break;
        default:
            break;
        }
        if (better) {
            best.found = true;
            best.cells = set;
            best.travel = f.travel;
            best.maxDistance = f.maxDistance;
            best.served = f.served;
        }
    });
    return best;
}

// The fewest new PODs that bring every area cell within radius of a POD (existing ones
// count), trying every set of distinct cells of one size after another in cell order: the
// first set that covers, or none up to `most` PODs.
inline std::optional<std::vector<std::pair<int, int>>> PlainFewestCover(const ModuleState& s,
                                                                        double radius, int most) {
    const std::vector<std::pair<int, int>> cells = MapCells(s.fl);
    for (int q = 0; q <= most; ++q) {
        std::optional<std::vector<std::pair<int, int>>> found;
        std::vector<std::pair<int, int>> set;
        std::function<void(std::size_t)> next = [&](std::size_t from) {
            if (found)
                return;
            if (static_cast<int>(set.size()) == q) {
                bool all = true;
                const auto isArea = AreaCharacters(s.fl);
                for (int i = 1; i <= LastMapLine(s.fl) && all; ++i)
                    for (int j = 1; j <= CellsInLine(s.fl, i) && all; ++j) {
                        if (!isArea[static_cast<unsigned char>(s.fl.MapLine[i][j - 1])])
                            continue;
                        bool near = false;
                        for (int k = 1; k <= s.fl.ExistingPodCount && !near; ++k)
                            near = PodDistance(s.DistanceMethod, i - s.fl.PodLine[k],
                                               j - s.fl.PodColumn[k]) <= radius;
                        for (const auto& [l, c] : set)
                            near = near || PodDistance(s.DistanceMethod, i - l, j - c) <= radius;
                        all = near;
                    }
                if (all)
                    found = set;
                return;
            }
            for (std::size_t c = from; c < cells.size(); ++c) {
                set.push_back(cells[c]);
                next(c + 1);
                set.pop_back();
            }
        };
        next(0);
        if (found)
            return found;
    }
    return std::nullopt;
}

// The largest population within radius of a POD with p new PODs, over every set (slots in cell
// order), the first best kept.
inline std::pair<double, std::vector<std::pair<int, int>>>
PlainLargestWithin(const ModuleState& s, double radius, int p) {
    double best = -std::numeric_limits<double>::infinity();
    std::vector<std::pair<int, int>> at;
    EverySet(MapCells(s.fl), p, [&](const std::vector<std::pair<int, int>>& set) {
        const double within = PlainEvaluate(s, set, radius).within;
        if (within > best) {
            best = within;
            at = set;
        }
    });
    return {best, at};
}

} // namespace davrenta::testing
