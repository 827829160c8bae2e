#include "shell/grid.h"

#include <algorithm>

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

namespace davrenta {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kDefaultColTwips = 960;

QTableWidgetItem* NewItem() {
    auto* item = new QTableWidgetItem(QString());
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

struct CellCopy {
    int row;
    int col;
    QString text;
    QVariant back;
    QVariant fore;
};

} // namespace

Grid::Grid(QWidget* parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    // A map has 3000 cells: Tab walking them would never reach the buttons.
    setTabKeyNavigation(false);
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultSectionSize(twipsToPixelsX(kDefaultColTwips));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setCornerButtonEnabled(false);
    if (auto* corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
        corner->installEventFilter(this);

    connect(this, &QTableWidget::cellClicked, this, [this](int r, int c) {
        row_ = r + fixedRows_;
        col_ = c + fixedCols_;
    });

    reshape(2, 2, 1, 1);
}

bool Grid::inside(int row, int col) const {
    return row >= 0 && row < rows_ && col >= 0 && col < cols_;
}

Grid::Place Grid::place(int row, int col) const {
    if (row < fixedRows_ && col < fixedCols_)
        return Place::Corner;
    if (row < fixedRows_)
        return Place::HeadingRow;
    if (col < fixedCols_)
        return Place::HeadingCol;
    return Place::Cell;
}

const QTableWidgetItem* Grid::existingCell(int row, int col) const {
    switch (place(row, col)) {
    case Place::Corner:
        return nullptr;
    case Place::HeadingRow:
        return horizontalHeaderItem(col - fixedCols_);
    case Place::HeadingCol:
        return verticalHeaderItem(row - fixedRows_);
    case Place::Cell:
        break;
    }
    return item(row - fixedRows_, col - fixedCols_);
}

QTableWidgetItem* Grid::cellItem(int row, int col) {
    if (place(row, col) != Place::Cell)
        return const_cast<QTableWidgetItem*>(existingCell(row, col));
    QTableWidgetItem* cell = item(row - fixedRows_, col - fixedCols_);
    if (!cell) {
        cell = NewItem();
        setItem(row - fixedRows_, col - fixedCols_, cell);
    }
    return cell;
}

void Grid::ensureHeaderItems() {
    // Sections without an item would show Qt's own numbering.
    for (int c = 0; c < columnCount(); ++c)
        if (!horizontalHeaderItem(c))
            setHorizontalHeaderItem(c, NewItem());
    for (int r = 0; r < rowCount(); ++r)
        if (!verticalHeaderItem(r))
            setVerticalHeaderItem(r, NewItem());
}

void Grid::applyHeadingVisibility() {
    horizontalHeader()->setVisible(fixedRows_ > 0);
    verticalHeader()->setVisible(fixedCols_ > 0);
}

void Grid::reshape(int rows, int cols, int fixedRows, int fixedCols) {
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    fixedRows = std::clamp(fixedRows, 0, 1);
    fixedCols = std::clamp(fixedCols, 0, 1);
    const bool remap = fixedRows != fixedRows_ || fixedCols != fixedCols_;

    std::vector<CellCopy> kept;
    if (remap) {
        for (int r = 0; r < std::min(rows_, rows); ++r)
            for (int c = 0; c < std::min(cols_, cols); ++c) {
                if (place(r, c) == Place::Corner) {
                    kept.push_back({r,
                                    c,
                                    cornerText_,
                                    cornerBack_.isValid() ? QVariant(cornerBack_) : QVariant(),
                                    {}});
                    continue;
                }
                const QTableWidgetItem* it = existingCell(r, c);
                if (it && (!it->text().isEmpty() || it->data(Qt::BackgroundRole).isValid() ||
                           it->data(Qt::ForegroundRole).isValid()))
                    kept.push_back({r, c, it->text(), it->data(Qt::BackgroundRole),
                                    it->data(Qt::ForegroundRole)});
            }
        QTableWidget::clear();
        cornerText_.clear();
        cornerBack_ = QColor();
    }

    rows_ = rows;
    cols_ = cols;
    fixedRows_ = fixedRows;
    fixedCols_ = fixedCols;
    setRowCount(std::max(rows_ - fixedRows_, 0));
    setColumnCount(std::max(cols_ - fixedCols_, 0));
    colTwips_.resize(static_cast<std::size_t>(cols_), 0);
    ensureHeaderItems();
    applyHeadingVisibility();
    if (remap)
        for (int c = 0; c < cols_; ++c)
            if (colTwips_[static_cast<std::size_t>(c)] > 0)
                applyColWidth(c);

    for (const CellCopy& copy : kept) {
        if (place(copy.row, copy.col) == Place::Corner) {
            cornerText_ = copy.text;
            cornerBack_ = copy.back.value<QColor>();
            continue;
        }
        QTableWidgetItem* it = cellItem(copy.row, copy.col);
        it->setText(copy.text);
        it->setData(Qt::BackgroundRole, copy.back);
        it->setData(Qt::ForegroundRole, copy.fore);
    }
    row_ = std::min(row_, std::max(rows_ - 1, 0));
    col_ = std::min(col_, std::max(cols_ - 1, 0));
}

void Grid::setRows(int rows) {
    reshape(rows, cols_, fixedRows_, fixedCols_);
}
void Grid::setCols(int cols) {
    reshape(rows_, cols, fixedRows_, fixedCols_);
}
void Grid::setFixedRows(int count) {
    reshape(rows_, cols_, count, fixedCols_);
}
void Grid::setFixedCols(int count) {
    reshape(rows_, cols_, fixedRows_, count);
}

bool Grid::setRow(int row) {
    if (row < 0 || row >= rows_)
        return false;
    row_ = row;
    return true;
}

bool Grid::setCol(int col) {
    if (col < 0 || col >= cols_)
        return false;
    col_ = col;
    return true;
}

void Grid::setText(const QString& text) {
    setTextMatrix(row_, col_, text);
}
void Grid::setText(const std::string& text) {
    setText(QString::fromStdString(text));
}
QString Grid::text() const {
    return textMatrix(row_, col_);
}

bool Grid::setTextMatrix(int row, int col, const QString& text) {
    if (!inside(row, col))
        return false;
    if (place(row, col) == Place::Corner) {
        cornerText_ = text;
        if (auto* corner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
            corner->update();
        return true;
    }
    cellItem(row, col)->setText(text);
    return true;
}

bool Grid::setTextMatrix(int row, int col, const std::string& text) {
    return setTextMatrix(row, col, QString::fromStdString(text));
}

QString Grid::textMatrix(int row, int col) const {
    if (!inside(row, col))
        return QString();
    if (place(row, col) == Place::Corner)
        return cornerText_;
    const QTableWidgetItem* it = existingCell(row, col);
    return it ? it->text() : QString();
}

int Grid::twipsToPixelsX(int twips) const {
    return qRound(static_cast<double>(twips) * logicalDpiX() / kTwipsPerInch);
}

void Grid::applyColWidth(int col) {
    const int px = std::max(twipsToPixelsX(colTwips_[static_cast<std::size_t>(col)]), 1);
    if (col < fixedCols_)
        verticalHeader()->setFixedWidth(px);
    else
        setColumnWidth(col - fixedCols_, px);
}

void Grid::setColWidth(int col, int twips) {
    if (col < 0 || col >= cols_)
        return;
    colTwips_[static_cast<std::size_t>(col)] = std::max(twips, 0);
    applyColWidth(col);
}

int Grid::colWidth(int col) const {
    if (col < 0 || col >= cols_)
        return 0;
    if (const int twips = colTwips_[static_cast<std::size_t>(col)]; twips > 0)
        return twips;
    const int px =
        col < fixedCols_ ? verticalHeader()->sizeHint().width() : columnWidth(col - fixedCols_);
    return qRound(static_cast<double>(px) * kTwipsPerInch / logicalDpiX());
}

void Grid::setTopRow(int row) {
    const int first = std::clamp(row, fixedRows_, std::max(rows_ - 1, fixedRows_)) - fixedRows_;
    // The scroll range follows the grid's size only once the view has laid itself out.
    updateGeometries();
    verticalScrollBar()->setValue(first);
}

int Grid::topRow() const {
    return verticalScrollBar()->value() + fixedRows_;
}

void Grid::refresh() {
    viewport()->repaint();
    if (horizontalHeader()->isVisible())
        horizontalHeader()->viewport()->repaint();
    if (verticalHeader()->isVisible())
        verticalHeader()->viewport()->repaint();
}

bool Grid::setCellBackColor(int row, int col, const QColor& color) {
    if (!inside(row, col))
        return false;
    if (place(row, col) == Place::Corner) {
        cornerBack_ = color;
        return true;
    }
    cellItem(row, col)->setBackground(color);
    return true;
}

QColor Grid::cellBackColor(int row, int col) const {
    if (!inside(row, col))
        return QColor();
    if (place(row, col) == Place::Corner)
        return cornerBack_;
    const QTableWidgetItem* it = existingCell(row, col);
    if (!it || !it->data(Qt::BackgroundRole).isValid())
        return QColor();
    return it->background().color();
}

bool Grid::setCellForeColor(int row, int col, const QColor& color) {
    if (!inside(row, col) || place(row, col) == Place::Corner)
        return false;
    cellItem(row, col)->setForeground(color);
    return true;
}

bool Grid::eventFilter(QObject* watched, QEvent* event) {
    // The corner button shows the text of cell (0, 0) when both headings are fixed.
    if (event->type() == QEvent::Paint) {
        if (auto* corner = qobject_cast<QAbstractButton*>(watched)) {
            QPainter painter(corner);
            QStyleOptionHeader option;
            option.initFrom(corner);
            option.state |= QStyle::State_Enabled;
            option.rect = corner->rect();
            option.position = QStyleOptionHeader::OnlyOneSection;
            option.text = cornerText_;
            option.textAlignment = Qt::AlignCenter;
            if (cornerBack_.isValid())
                option.palette.setColor(QPalette::Button, cornerBack_);
            corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
            return true;
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

} // namespace davrenta
