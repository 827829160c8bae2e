#include "mhact/forms/layoutpicture.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "shell/windowkit.h"

namespace davrenta {

LayoutPicture::LayoutPicture(QWidget* parent) : QWidget(parent) {
    setMinimumSize(260, 220);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void LayoutPicture::showLayout(const MhActivityState& mh, const std::vector<FlowLine>& lines) {
    places_.clear();
    const int n = std::clamp(mh.DeptCount, 0, kMaxDepartments);
    for (int i = 1; i <= n; ++i)
        places_.push_back({CellText(mh.DeptName[i]), mh.DeptX[i], mh.DeptY[i]});
    lines_ = lines;
    update();
}

void LayoutPicture::paintEvent(QPaintEvent*) {
    if (places_.empty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    double minX = places_[0].x, maxX = minX, minY = places_[0].y, maxY = minY;
    for (const Place& d : places_) {
        if (!std::isfinite(d.x) || !std::isfinite(d.y))
            return; // nothing sensible to draw
        minX = std::min(minX, d.x);
        maxX = std::max(maxX, d.x);
        minY = std::min(minY, d.y);
        maxY = std::max(maxY, d.y);
    }
    // Names are centred on their dots: the outermost need half the widest name beside them.
    const QFontMetrics metrics = fontMetrics();
    double widest = 0;
    for (const Place& d : places_)
        widest = std::max(widest, double(metrics.horizontalAdvance(d.name)));
    const double margin = 36, side = std::max(margin, widest / 2 + 4);
    const double spanX = maxX > minX ? maxX - minX : 1, spanY = maxY > minY ? maxY - minY : 1;
    const double scale = std::min((width() - 2 * side) / spanX, (height() - 2 * margin) / spanY);
    // Y grows upwards, as on a plan.
    auto at = [&](const Place& d) {
        return QPointF(side + (d.x - minX) * scale, height() - margin - (d.y - minY) * scale);
    };
    // Along a row the names take turns above and below their dots, so that names wider than
    // the dots' spacing do not run into each other.
    std::vector<std::size_t> order(places_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return std::pair(places_[a].y, places_[a].x) < std::pair(places_[b].y, places_[b].x);
    });
    std::vector<bool> below(places_.size(), false);
    for (std::size_t k = 1; k < order.size(); ++k)
        if (places_[order[k]].y == places_[order[k - 1]].y)
            below[order[k]] = !below[order[k - 1]];

    QColor flow = palette().color(QPalette::Highlight);
    flow.setAlpha(150);
    for (const FlowLine& l : lines_) {
        if (l.from < 1 || l.to < 1 || l.from > static_cast<int>(places_.size()) ||
            l.to > static_cast<int>(places_.size()))
            continue;
        p.setPen(QPen(flow, l.width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(at(places_[l.from - 1]), at(places_[l.to - 1]));
    }
    p.setPen(QPen(palette().color(QPalette::Text), 1));
    p.setBrush(palette().color(QPalette::Text));
    const double h = metrics.height();
    for (std::size_t i = 0; i < places_.size(); ++i) {
        const QPointF c = at(places_[i]);
        p.drawEllipse(c, 4, 4);
        const double w = metrics.horizontalAdvance(places_[i].name);
        p.drawText(QRectF(c.x() - w / 2, below[i] ? c.y() + 6 : c.y() - 6 - h, w, h),
                   Qt::AlignCenter, places_[i].name);
    }
}

} // namespace davrenta
