#include "mhact/forms/windowparts.h"

#include <algorithm>

#include <QBoxLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

namespace davrenta {

namespace {

// The narrowest a control may be made: its own least size or the minimum it was given.
int LeastWidth(const QWidget* w) {
    return std::max(w->minimumWidth(), w->minimumSizeHint().width());
}

int Spacing(const QWidget* w, QStyle::PixelMetric metric) {
    const int spacing = w->style()->pixelMetric(metric);
    return spacing >= 0 ? spacing : 6;
}

} // namespace

void WidenBoxFor(QLineEdit* box, const QString& sample) {
    const QFontMetrics metrics(box->font());
    // What a box takes beside its text: frame and margins, as in its own size hint.
    const int beside = std::max(0, box->sizeHint().width() - 17 * metrics.horizontalAdvance(u'x'));
    const int text =
        std::max(metrics.horizontalAdvance(sample), metrics.horizontalAdvance(box->text()));
    box->setMinimumWidth(std::max(box->minimumWidth(), text + beside));
}

HeadedTable::HeadedTable(QWidget* parent, QWidget* corner,
                         const std::vector<QWidget*>& columnHeadings,
                         const std::vector<QWidget*>& rowHeadings,
                         const std::vector<std::vector<QWidget*>>& cells)
    : QScrollArea(parent), corner_(corner) {
    setFocusPolicy(Qt::NoFocus); // Tab goes to the cells
    gap_ = Spacing(this, QStyle::PM_LayoutHorizontalSpacing);
    const std::size_t cols = columnHeadings.size(), rows = rowHeadings.size();

    std::vector<int> widths(cols), heights(rows);
    for (std::size_t c = 0; c < cols; ++c) {
        widths[c] = LeastWidth(columnHeadings[c]);
        for (std::size_t r = 0; r < rows; ++r)
            widths[c] = std::max(widths[c], LeastWidth(cells[r][c]));
    }
    for (std::size_t r = 0; r < rows; ++r) {
        heights[r] = rowHeadings[r]->sizeHint().height();
        for (std::size_t c = 0; c < cols; ++c)
            heights[r] = std::max(heights[r], cells[r][c]->sizeHint().height());
    }
    headings_ = corner->sizeHint();
    for (std::size_t c = 0; c < cols; ++c) {
        const QWidget* h = columnHeadings[c];
        headings_.setHeight(std::max(headings_.height(), h->hasHeightForWidth()
                                                             ? h->heightForWidth(widths[c])
                                                             : h->sizeHint().height()));
    }
    for (const QWidget* h : rowHeadings)
        headings_.setWidth(std::max(headings_.width(), h->sizeHint().width()));
    firstCell_ = QSize(cols ? widths[0] : 0, rows ? heights[0] : 0);

    topClip_ = new QWidget(this);
    top_ = new QWidget(topClip_);
    auto* top = new QHBoxLayout(top_);
    sideClip_ = new QWidget(this);
    side_ = new QWidget(sideClip_);
    auto* side = new QVBoxLayout(side_);
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    for (QBoxLayout* strip : {static_cast<QBoxLayout*>(top), static_cast<QBoxLayout*>(side)}) {
        strip->setContentsMargins(0, 0, 0, 0);
        strip->setSpacing(gap_);
        strip->setSizeConstraint(QLayout::SetFixedSize);
    }
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(gap_);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    for (std::size_t c = 0; c < cols; ++c) {
        columnHeadings[c]->setFixedSize(widths[c], headings_.height());
        top->addWidget(columnHeadings[c]);
    }
    for (std::size_t r = 0; r < rows; ++r) {
        rowHeadings[r]->setFixedSize(headings_.width(), heights[r]);
        side->addWidget(rowHeadings[r]);
        for (std::size_t c = 0; c < cols; ++c) {
            cells[r][c]->setFixedSize(widths[c], heights[r]);
            grid->addWidget(cells[r][c], static_cast<int>(r), static_cast<int>(c));
        }
    }
    corner_->setParent(this);
    corner_->setFixedSize(headings_);
    top_->adjustSize();
    side_->adjustSize();
    setWidget(page);
    setWidgetResizable(false);
    page->adjustSize();
    setViewportMargins(headings_.width() + gap_, headings_.height() + gap_, 0, 0);
}

QSize HeadedTable::sizeHint() const {
    const int frame = 2 * frameWidth();
    return QSize(frame + headings_.width() + gap_ + widget()->width(),
                 frame + headings_.height() + gap_ + widget()->height());
}

QSize HeadedTable::minimumSizeHint() const {
    const int frame = 2 * frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(frame + headings_.width() + gap_ + firstCell_.width() + bar,
                 frame + headings_.height() + gap_ + firstCell_.height() + bar);
}

void HeadedTable::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    placeHeadings();
}

void HeadedTable::scrollContentsBy(int dx, int dy) {
    QScrollArea::scrollContentsBy(dx, dy);
    placeHeadings();
}

void HeadedTable::placeHeadings() {
    const QRect cells = viewport()->geometry();
    const int left = cells.left() - gap_ - headings_.width();
    const int top = cells.top() - gap_ - headings_.height();
    corner_->move(left, top);
    topClip_->setGeometry(cells.left(), top, cells.width(), headings_.height());
    sideClip_->setGeometry(left, cells.top(), headings_.width(), cells.height());
    top_->move(-horizontalScrollBar()->value(), 0);
    side_->move(0, -verticalScrollBar()->value());
}

} // namespace davrenta
