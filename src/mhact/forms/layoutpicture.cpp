#include "mhact/forms/layoutpicture.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "mhact/picturefit.h"
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
    const QFontMetrics metrics = fontMetrics();
    double widest = 0;
    std::vector<PlanPoint> plan;
    for (const Place& d : places_) {
        widest = std::max(widest, double(metrics.horizontalAdvance(d.name)));
        plan.push_back({d.x, d.y});
    }
    const std::optional<PictureFit> fit = FitLayoutPicture(plan, widest, width(), height());
    if (!fit)
        return; // nothing sensible to draw
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    auto at = [&](const Place& d) { return QPointF(fit->x(d.x), fit->y(d.y)); };
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
        const QString name = metrics.elidedText(places_[i].name, Qt::ElideRight,
                                                static_cast<int>(std::ceil(fit->nameRoom)) + 1);
        const double w = metrics.horizontalAdvance(name);
        p.drawText(QRectF(c.x() - w / 2, below[i] ? c.y() + 6 : c.y() - 6 - h, w, h),
                   Qt::AlignCenter, name);
    }
}

} // namespace davrenta
