#pragma once

// A layout of PODs (the existing ones and new ones) that the user moves one step at a time,
// with every figure kept as a fresh evaluation of the layout would compute it: the assignment
// rule (nearest POD, the lowest slot winning ties) kept cell by cell, the sums taken afresh in
// cell order after each move, so that no rounding builds up along a walk. And the objective
// surface: the value one more new POD would give at each cell, as the one-POD search computes
// it, with the search's best cell.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "popmap/model.h"
#include "state/result.h"
#include "state/shellstate.h"

namespace davrenta {

struct ModuleState;

// The figures of a layout, as the results window shows them for a search's result.
struct LayoutFigures {
    double travel = 0;      // over area cells in cell order: population x distance to its POD
    double maxDistance = 0; // the largest distance of an area cell to its POD
    double served = 0;      // one sum in cell order over the cells a new POD takes
    std::vector<double> podServed; // slot 1..m at index 0..m-1, each one sum in cell order
    // The existing PODs alone, as the map of their service areas and its results window show
    // them (the search's PriorAverageDistance is priorTravel / TotalPopulation); all 0 when
    // there are none.
    double priorTravel = 0;
    double priorMaxDistance = 0;
    std::vector<double> existingServed; // slot 1..n at index 0..n-1
};

// The one-POD search's per-candidate values: a new POD at each map cell beside the existing
// PODs where they stand now.
struct Surface {
    int lastLine = 0;
    std::vector<int> lineStart; // first candidate of line l at lineStart[l], l = 1..lastLine+1
    std::vector<double> travel, maxDistance, served; // per candidate, in cell order
    // The search's cell under the measure (strict comparisons in cell order), or none when no
    // candidate beats the starting best.
    std::optional<std::pair<int, int>> best;

    int Index(int line, int column) const { return lineStart[line] + column - 1; }
    double Value(Measure measure, int line, int column) const;
};

class MovingLayout {
  public:
    // The layout of a prepared state (PrepareSearch done, or a search's result on it): its
    // existing PODs in slots 1..ExistingPodCount and newPods after them, each a map cell.
    static Result<MovingLayout> Start(const ModuleState& state,
                                      const std::vector<std::pair<int, int>>& newPods);

    MovingLayout(MovingLayout&&) noexcept;
    MovingLayout& operator=(MovingLayout&&) noexcept;
    ~MovingLayout();

    int Pods() const;                        // every POD, slots 1..Pods()
    int ExistingPods() const;                // slots 1..ExistingPods() are existing PODs
    std::pair<int, int> Cell(int pod) const; // (line, column)
    // The POD whose label the service map shows (existing PODs' symbols, new PODs' NewPodLabel).
    char Label(int pod) const;
    // Whether a POD may stand on (line, column): a cell of the map.
    bool OnMap(int line, int column) const;

    // Moves a POD to a map cell and brings every figure up to date; a cell off the map leaves
    // everything as it was and returns false.
    bool MoveTo(int pod, int line, int column);
    // One step: dLine and dColumn of -1, 0 or 1 (the arrow keys).
    bool Step(int pod, int dLine, int dColumn);

    const LayoutFigures& Figures() const;
    // The value of the layout under a measure (travel, served or largest distance).
    double Value(Measure measure) const;

    // The service map of the layout (lines 1..last of map), each area cell showing its POD's
    // label; with marks, "x" on the existing PODs and "X" on the new ones when there are
    // existing PODs, as the result maps show them.
    void ServiceMap(Table1<std::string, kMapLines>& map, bool marks) const;
    // The same for the existing PODs alone (the new ones neither serve nor show), with "x" on
    // them as the marked service map of the existing PODs has it.
    void ExistingServiceMap(Table1<std::string, kMapLines>& map, bool marks) const;

    // The cell populations of a problem on the same map (an area's population edited and the
    // problem prepared again), every figure summed afresh with them.
    void TakePopulations(const PopMap& fl);

    // The objective surface of one more new POD beside the existing PODs as they stand now.
    // It refreshes a table the layout keeps: not for two threads at once.
    Surface SurfaceNow(Measure measure) const;

    // Live re-optimisation: the best single new POD beside the existing PODs as they stand,
    // as the one-POD search would find it, moved to that cell. Only for a layout with one new
    // POD; returns its cell, or none (nothing moved) when no cell beats the starting best.
    std::optional<std::pair<int, int>> Reoptimise(Measure measure);

    // Writes the layout into the state as a search's result: the new PODs' slots and cells,
    // BestTravel, BestMaxDistance, BestServed, BestServedTravel, PodServed and the best service
    // map with its marks, so that the results window and its Save take it as they stand.
    void WriteResult(PopMap& fl) const;

  private:
    struct Impl;
    explicit MovingLayout(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// What the results window shows of a layout: the calculation, the new PODs' coordinates, the
// figures, and every POD's row (existing PODs by number, new ones by label) with the
// population it serves.
struct LayoutTexts {
    std::string floclbl;
    std::string coordinates;
    std::string figures;
    std::vector<std::array<std::string, 4>> facgrd; // row 0 is the heading row
    // The existing PODs alone: their average and largest distance and total travel; empty
    // without existing PODs.
    std::string prior;
    // Beside each row of facgrd: the heading, then what each existing POD serves alone (empty
    // for the new PODs).
    std::vector<std::string> priorServed;
};
LayoutTexts TextsOf(const MovingLayout& layout, double totalPopulation, Metric method,
                    char lineBreak = '\r');

// The change of a moved layout against the optimum under the measure, as "+3.2 % travel",
// "-1.5 % served" or "+0.4 % largest distance"; empty when the value is the optimum's.
std::string ChangeText(Measure measure, const LayoutFigures& now, const LayoutFigures& optimum);

// An area's population (area 1..AreaCount) edited on a problem of its own, the problem then
// prepared again as a search prepares it (cell populations, the total, the existing PODs'
// figures). Text that is not a number of 0 or more, or a total of 0, is refused with a message
// saying so, and the problem stays as it was.
Status EditAreaPopulation(ModuleState& problem, int area, std::string_view text);

} // namespace davrenta
