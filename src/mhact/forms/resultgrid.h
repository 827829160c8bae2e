#pragma once

#include <array>
#include <string>
#include <vector>

#include "shell/grid.h"
#include "shell/windowkit.h"

namespace davrenta {

// The study's result tables: a fixed heading row, no heading column, columns 1400 twips wide
// or as wide as their texts. A table asks for the room of all its rows, so that a window
// opened on a large screen shows them without scrolling.
template <std::size_t N>
void ShowResultRows(Grid* grid, const std::vector<std::array<std::string, N>>& rows) {
    grid->setFixedRows(1);
    grid->setFixedCols(0);
    FillGrid(grid, rows);
    for (int c = 0; c < static_cast<int>(N); ++c)
        grid->setColWidth(c, 1400);
    FitColumns(grid);
    grid->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
}

} // namespace davrenta
