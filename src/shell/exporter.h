#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "state/result.h"
#include "state/shellstate.h"

class QPainter;
class QPushButton;
class QTableWidget;
class QWidget;

namespace davrenta {

class Grid;

using CsvRows = QList<QStringList>;

// RFC 4180: fields with a comma, a double quote or a line break in double quotes (quotes
// doubled), records ended by CRLF, UTF-8 without a byte-order mark.
QByteArray CsvText(const CsvRows& rows);

// A grid's cells as shown (surrounding blanks trimmed), headings included, one row a record;
// trailing empty rows and columns left out.
CsvRows TableRows(const Grid* grid);

// A plain table's cells as shown, under its column headings; trailing empty rows left out.
CsvRows TableRows(const QTableWidget* table);

// Figures a table shows rounded, as they were computed: `values` holds one a body row (the
// rows under the heading row), in the table's order; a row without the figure holds none.
struct FullColumn {
    int column = 0; // the shown column these figures refine, counted from 0
    std::vector<std::optional<double>> values;
    QString heading = {}; // empty: "<the shown column's heading> (full precision)"
};

// The shown rows with, after each refined column, its full-precision columns in the order
// given, holding the figures in the round-trip form, which reads back to the very same double.
CsvRows WithFullColumns(const CsvRows& shown, const std::vector<FullColumn>& columns);

// Rows of texts as a study's tables hold them, under their headings.
template <std::size_t N>
CsvRows CsvFrom(const std::array<const char*, N>& headings,
                const std::vector<std::array<std::string, N>>& rows) {
    CsvRows csv;
    QStringList heading;
    for (const char* text : headings)
        heading << QString::fromUtf8(text);
    csv << heading;
    for (const auto& row : rows) {
        QStringList fields;
        for (const std::string& text : row)
            fields << QString::fromStdString(text);
        csv << fields;
    }
    return csv;
}

// Writes the rows as CSV, replacing the file in one step.
Status SaveCsv(const QString& path, const CsvRows& rows);

// What a results window offers: a table (as shown and, where the window has them, the figures
// at full precision) or a picture.
struct ExportItem {
    QString what; // "service areas": names the file ("town-service-areas.csv") and the entry
    std::function<CsvRows()> shownRows;
    std::function<CsvRows()> fullRows;
    QWidget* picture = nullptr;
    QWidget* legend = nullptr; // drawn beneath the picture
};

// An item's picture: a table is drawn whole (every cell with its colours, not only those
// scrolled into view), any other widget as it paints itself, the legend beneath. ".svg" gives
// SVG through Qt's SVG generator, anything else PNG.
Status SavePicture(const QString& path, const ExportItem& item);

// A table item straight from a grid.
ExportItem TableExport(const QString& what, const Grid* table,
                       std::function<CsvRows()> fullRows = {});
// The same with full-precision columns beside the rounded ones they refine.
ExportItem TableExport(const QString& what, const Grid* table,
                       std::function<std::vector<FullColumn>()> fullColumns);
// A table shown in other controls than a grid (or as a plain table widget): its rows as
// shown, and full-precision columns where it has them.
ExportItem RowsExport(const QString& what, std::function<CsvRows()> shownRows,
                      std::function<std::vector<FullColumn>()> fullColumns = {});
ExportItem PictureExport(const QString& what, QWidget* picture);
// A map: its cells as CSV, and as a picture of coloured cells with the legend beneath.
ExportItem MapExport(const QString& what, Grid* map, QWidget* legend);

// Where an export is offered, by the PDF rule: "town-service-areas.csv" beside the problem
// file, or "service-areas.csv" in the chooser's last folder without one.
QString ExportPath(const ShellState& state, const QString& what, const QString& extension);

// Adds an "Export..." button beside `beside` (after it, in the same row) whose menu offers each
// item as CSV, CSV at full precision, PNG and SVG as it allows. Returns the button.
QPushButton* AddExportButton(QPushButton* beside, const ShellState& state,
                             std::vector<ExportItem> items);

// The same button, not yet placed, for a window that lays out its buttons itself (so that a
// row that wraps on a small screen counts it); made in the window's reading order, it takes
// its place in the tab order. Shown and enabled while `follows` is, where one is given.
QPushButton* MakeExportButton(QWidget* window, const ShellState& state,
                              std::vector<ExportItem> items, QPushButton* follows = nullptr);

// Test seam: asked for the file to write (the proposed path in, the chosen one out; empty
// when cancelled). The default is the desktop's save dialog.
using ExportPathChooser = std::function<QString(QWidget* parent, const QString& proposed)>;
ExportPathChooser SetExportPathChooser(ExportPathChooser chooser);

} // namespace davrenta
