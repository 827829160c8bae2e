#pragma once

#include <vector>

#include <QScrollArea>
#include <QString>

class QLineEdit;

namespace davrenta {

// A box wide enough for `sample` and for the text it holds now.
void WidenBoxFor(QLineEdit* box, const QString& sample);

// A table of controls whose heading row and heading column stay in view while its cells
// scroll under them. Each heading takes its column's width (its row's height) and the other
// way round, so that headings and cells line up; a column heading may wrap its text.
class HeadedTable : public QScrollArea {
  public:
    // cells[r][c] is the cell of row heading r and column heading c.
    HeadedTable(QWidget* parent, QWidget* corner, const std::vector<QWidget*>& columnHeadings,
                const std::vector<QWidget*>& rowHeadings,
                const std::vector<std::vector<QWidget*>>& cells);

    // The whole table while the screen has room for it; at least the headings and one cell.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    void placeHeadings();

    QWidget* corner_;
    QWidget* top_;     // the column headings' strip, moved as the cells scroll sideways
    QWidget* topClip_; // shows the part of the strip above the visible cells
    QWidget* side_;    // the row headings' strip
    QWidget* sideClip_;
    QSize headings_; // the heading column's width and the heading row's height
    QSize firstCell_;
    int gap_ = 0;
};

} // namespace davrenta
