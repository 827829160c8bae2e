#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include <QDialog>
#include <QHBoxLayout>
#include <QLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QString>

#include "shell/grid.h"
#include "state/shellstate.h"

namespace davrenta {

// What every window sets up first: its name (for tests and accessibility tools), its caption,
// its accessible name, a size grip on dialogs, and a size that never exceeds the screen it
// opens on, at any scaling.
void SetUpWindow(QWidget* window, const QString& name, const QString& title);

// The window's content on a frameless scroll area: laid out as it would be without one while
// the screen has room for it, and scrolling on a small or highly scaled screen rather than
// squeezing labels and boxes below their texts.
QScrollArea* ScrollingPage(QWidget* window, QLayout* content);

// Keeps a window within the available area of its screen when it is shown.
void FitToScreen(QWidget* window);

// The nearest window of the stack that is still on screen: a window that closed itself
// before opening its successor hands the successor to the window below it.
QWidget* VisibleOwner(QWidget* window);

// Opens a study window modally on top of `from` and waits until it closes.
template <typename Window, typename State> int OpenModal(State& state, QWidget* from) {
    Window window(state, VisibleOwner(from));
    return window.exec();
}

// A row of buttons along the foot of a window, kept to the right.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

// A window that closes itself before its successor opens: hidden at once, its exec() ends
// when control comes back to it.
void HideForSuccessor(QDialog* window);

// `from` leaves the study's chain and `Next` takes its place; when `Next` closes, so does
// `from`'s exec(), and control unwinds to the window below.
template <typename Next, typename State> void HandOver(QDialog* from, State& state) {
    HideForSuccessor(from);
    OpenModal<Next>(state, from);
    from->accept();
}

// The chooser in save mode; false when the user chose no file. ProblemFileName holds the
// path, its extension set to the study's.
bool ChooseFileToSave(ShellState& state, QWidget* from);

// Where a report's PDF is offered: beside the problem file, named after it and the report
// ("town-map.pdf"); without a problem file, "map.pdf" in the chooser's last folder.
QString ReportPdfPath(const ShellState& state, const QString& reportName);

// Study data (map lines, area symbols) keeps one byte per map cell.
QString CellText(const std::string& text);
std::string CellBytes(const QString& text);

// Widens every column whose texts do not fit its width; narrower ones keep their width.
void FitColumns(Grid* grid);

// Widens a column to at least `pixels`; a wider one keeps its width.
void WidenColumn(Grid* grid, int col, int pixels);

// Fills a grid with rows of texts; row 0 of `rows` goes to grid row `firstRow`.
template <std::size_t N>
void FillGrid(Grid* grid, const std::vector<std::array<std::string, N>>& rows, int firstRow = 0) {
    grid->setRows(std::max(grid->fixedRows() + 1, firstRow + static_cast<int>(rows.size())));
    grid->setCols(static_cast<int>(N));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < N; ++c)
            grid->setTextMatrix(firstRow + static_cast<int>(r), static_cast<int>(c),
                                CellText(rows[r][c]));
}

} // namespace davrenta
