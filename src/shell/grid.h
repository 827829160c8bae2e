#pragma once

#include <string>
#include <vector>

#include <QColor>
#include <QString>
#include <QTableWidget>

namespace davrenta {

// A table of text cells for the study windows. Rows and columns are numbered from 0 and
// include the fixed heading row (row 0) and heading column (column 0) when those are on;
// the headings stay in view while the cells scroll. Cells are read-only for the user, and Tab
// moves on to the window's next control rather than through the cells.
// Defaults: 2 rows, 2 columns, one fixed row, one fixed column.
class Grid : public QTableWidget {
    Q_OBJECT

  public:
    explicit Grid(QWidget* parent = nullptr);

    // Size, fixed headings included. Texts of cells that stay inside the grid are kept.
    void setRows(int rows);
    int rows() const { return rows_; }
    void setCols(int cols);
    int cols() const { return cols_; }
    // 0 or 1: whether row 0 (column 0) is a fixed heading.
    void setFixedRows(int count);
    int fixedRows() const { return fixedRows_; }
    void setFixedCols(int count);
    int fixedCols() const { return fixedCols_; }

    // The current cell, which text() and setText() address. Setting a row or column outside
    // the grid fails (false; the current cell stays). A user's click moves it too.
    bool setRow(int row);
    int row() const { return row_; }
    using QTableWidget::row;
    bool setCol(int col);
    int col() const { return col_; }
    void setText(const QString& text);
    void setText(const std::string& text);
    QString text() const;

    // Any cell directly; false for a cell outside the grid.
    bool setTextMatrix(int row, int col, const QString& text);
    bool setTextMatrix(int row, int col, const std::string& text);
    QString textMatrix(int row, int col) const;

    // Widths and heights in twips (1/1440 inch), through the screen's logical DPI.
    void setColWidth(int col, int twips);
    int colWidth(int col) const;
    int twipsToPixelsX(int twips) const;

    // The first row shown below the heading row; clamped to what the grid can scroll to.
    void setTopRow(int row);
    int topRow() const;

    // Paints pending changes at once (during long handlers).
    void refresh();

    // Colours of one cell; false for a cell outside the grid.
    bool setCellBackColor(int row, int col, const QColor& color);
    QColor cellBackColor(int row, int col) const;
    bool setCellForeColor(int row, int col, const QColor& color);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Place { Corner, HeadingRow, HeadingCol, Cell };
    bool inside(int row, int col) const;
    Place place(int row, int col) const;
    QTableWidgetItem* cellItem(int row, int col); // creates a missing cell item
    const QTableWidgetItem* existingCell(int row, int col) const;
    void reshape(int rows, int cols, int fixedRows, int fixedCols);
    void applyHeadingVisibility();
    void ensureHeaderItems();
    void applyColWidth(int col);

    int rows_ = 0;
    int cols_ = 0;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    int row_ = 0;
    int col_ = 0;
    QString cornerText_;
    QColor cornerBack_;
    std::vector<int> colTwips_; // 0: never set
};

} // namespace davrenta
