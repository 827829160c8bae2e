#pragma once

#include <array>
#include <functional>
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
#include "state/result.h"
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
// The same each time the window is shown, for windows not made with SetUpWindow (message
// boxes, file dialogs).
void KeepOnScreen(QWidget* window);

// A window laid out as the study windows are: its content on a ScrollingPage, a row of buttons
// below it that stays in view however small the screen.
void PageAndButtons(QWidget* window, QLayout* content, QLayout* buttons);

// A width to ask of a wrapped text: `wanted`, or less on a screen too narrow for it.
int WidthOnScreen(const QWidget* window, int wanted);

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

// The window's buttons, right-aligned: in one row while the screen is wide enough for them, in
// as many rows as it needs on a small or highly scaled screen.
QBoxLayout* ButtonRows(QWidget* window, const std::vector<QPushButton*>& buttons);

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

// A study's "Existing Problem From Disk": the chooser, then `read` on the chosen file. A file
// that cannot be read is told in a message and the chooser opens again, in the same folder with
// the name kept, until a file is read or the user chooses none. True when a file was read;
// otherwise ProblemFileName is what it was before (the problem in memory is unchanged).
bool OpenProblemFile(ShellState& state, QWidget* from, const std::function<Status()>& read);

// A study's "Save": the chooser in save mode (which asks before replacing a file), then
// `write`; a message tells where the problem was saved, or why not. True when it was saved;
// otherwise ProblemFileName is what it was before.
bool SaveProblemAs(ShellState& state, QWidget* from, const std::function<Status()>& write);

// Where a report's PDF is offered: beside the problem file, named after it and the report
// ("town-map.pdf"); for a problem without a file (typed in, or the file it came from not read),
// "untitled-map.pdf" in the chooser's last folder.
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
