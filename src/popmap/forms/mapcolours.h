#pragma once

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include <QColor>
#include <QString>

#include "popmap/model.h"

namespace davrenta {

struct CellColour {
    QColor back;
    QColor fore;
};

// One line of a map's legend: a cell as the map shows it, and what it means.
struct LegendEntry {
    QString mark; // the cell's character; empty for "any character in this colour"
    CellColour colour;
    QString meaning;
};

// Colours that make the maps quicker to read: each POD's service area in its own tint, the
// POD cells themselves dark, the near-optimal cells shaded. The texts stay as they are.
class MapColours {
  public:
    explicit MapColours(const PopMap& fl);

    // The colours of cell (line, column) showing `shown`, or none for a plain cell.
    std::optional<CellColour> background(int line, int column, char shown) const;

    // The tint of POD k's service area (k = 1..31).
    static QColor podTint(int k);

    // What each colour and mark of the current map means; empty for the input map, whose cells
    // are the areas' own symbols.
    std::vector<LegendEntry> legend() const;

    // The colour of new POD q's cell when three or more are placed together (q = 1..31).
    static QColor newPodColour(int q);

    // The cells (line, column) of the located POD or PODs on the maps that show them.
    std::vector<std::pair<int, int>> newPodCells() const;

  private:
    bool isPodCell(int line, int column, int first, int last) const;
    bool isAreaCell(int line, int column) const;
    // The new POD (1..p) on this cell, the first when several share it; 0 for none.
    int newPodAt(int line, int column) const;

    const PopMap& fl_;
    std::array<int, 256> podOfLabel_{};
    std::array<bool, 256> areaChar_{};
};

} // namespace davrenta
