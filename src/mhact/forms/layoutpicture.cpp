#include "mhact/forms/layoutpicture.h"

#include <algorithm>
#include <cmath>

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
    const double margin = 36;
    const double spanX = maxX > minX ? maxX - minX : 1, spanY = maxY > minY ? maxY - minY : 1;
    const double scale = std::min((width() - 2 * margin) / spanX, (height() - 2 * margin) / spanY);
    // Y grows upwards, as on a plan.
    auto at = [&](const Place& d) {
        return QPointF(margin + (d.x - minX) * scale, height() - margin - (d.y - minY) * scale);
    };

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
    for (const Place& d : places_) {
        const QPointF c = at(d);
        p.drawEllipse(c, 4, 4);
        p.drawText(c + QPointF(6, -6), d.name);
    }
}

} // namespace davrenta
