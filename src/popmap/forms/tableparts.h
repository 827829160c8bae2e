#pragma once

#include <array>
#include <string>
#include <vector>

#include "shell/windowkit.h"

class QLineEdit;
class QString;
class QWidget;

namespace davrenta {

class Grid;

// Lets a table's last column take the room the table has beyond its columns' widths.
void UseTheRoom(Grid* grid);

// A table of the study's rows below its heading row: with no rows, the heading row alone. The
// table uses the room it gets.
template <std::size_t N>
void FillTable(Grid* grid, const std::vector<std::array<std::string, N>>& rows) {
    FillGrid(grid, rows);
    grid->setRows(static_cast<int>(rows.size()));
    UseTheRoom(grid);
}

// The map symbols of a table's column in the map font, where "I", "l" and "1" differ, and the
// column wide enough for them. `col` counts the heading column if the table has one.
void SymbolColumn(Grid* grid, int col);

// A box for a map symbol in the map font.
void SymbolBox(QLineEdit* box);

// A message of map symbols (a map line), shown in the map font.
void ShowSymbolsMessage(QWidget* parent, const QString& text);

} // namespace davrenta
