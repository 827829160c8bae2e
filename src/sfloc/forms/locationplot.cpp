#include "sfloc/forms/locationplot.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>

namespace davrenta {

namespace {

const QColor kFacilityColour(40, 90, 170);
const QColor kLocationColours[3] = {QColor(190, 30, 45), QColor(20, 130, 60), QColor(200, 110, 0)};

// Rectilinear a square, Euclidean a triangle, squared Euclidean a diamond.
void DrawMarker(QPainter& p, int kind, QPointF c) {
    p.setPen(QPen(kLocationColours[kind], 2.2));
    p.setBrush(Qt::NoBrush);
    if (kind == 0) {
        p.drawRect(QRectF(c.x() - 5, c.y() - 5, 10, 10));
        return;
    }
    QPainterPath path;
    if (kind == 1) {
        path.moveTo(c + QPointF(0, -7));
        path.lineTo(c + QPointF(6, 5));
        path.lineTo(c + QPointF(-6, 5));
    } else {
        path.moveTo(c + QPointF(0, -7));
        path.lineTo(c + QPointF(7, 0));
        path.lineTo(c + QPointF(0, 7));
        path.lineTo(c + QPointF(-7, 0));
    }
    path.closeSubpath();
    p.drawPath(path);
}

} // namespace

LocationPlot::LocationPlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("locationpic"));
    setAccessibleName(QStringLiteral("Picture of the facilities and the optimal locations"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void LocationPlot::setPicture(const LocationPicture& picture) {
    picture_ = picture;
    QStringList lines;
    for (const std::string& line : DescribePicture(picture))
        lines << QString::fromStdString(line);
    setAccessibleDescription(lines.join(QLatin1Char('\n')));
    update();
}

void LocationPlot::clearPicture() {
    picture_.reset();
    setAccessibleDescription(QString());
    update();
}

void LocationPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    if (!picture_)
        return;
    const LocationPicture& pic = *picture_;
    const QFontMetrics fm(font());

    // Room for the tick texts on the left and below; one scale for both axes.
    int tickWidth = 0;
    for (const std::string& t : pic.yAxis.tickTexts)
        tickWidth = std::max(tickWidth, fm.horizontalAdvance(QString::fromStdString(t)));
    const QRectF area(tickWidth + 12, 2 * fm.height() + 12, width() - tickWidth - 24,
                      height() - 3 * fm.height() - 24);
    if (area.width() < 20 || area.height() < 20)
        return;
    const double xSpan = pic.xAxis.high - pic.xAxis.low;
    const double ySpan = pic.yAxis.high - pic.yAxis.low;
    const double scale = std::min(area.width() / xSpan, area.height() / ySpan);
    const QRectF plot(area.left() + (area.width() - xSpan * scale) / 2,
                      area.top() + (area.height() - ySpan * scale) / 2, xSpan * scale,
                      ySpan * scale);
    auto at = [&](double x, double y) {
        return QPointF(plot.left() + (x - pic.xAxis.low) * scale,
                       plot.bottom() - (y - pic.yAxis.low) * scale);
    };

    // Axes, grid and tick texts.
    p.setPen(QPen(palette().mid().color(), 0, Qt::DotLine));
    for (std::size_t k = 0; k < pic.xAxis.ticks.size(); ++k) {
        const QPointF a = at(pic.xAxis.ticks[k], pic.yAxis.low);
        p.drawLine(a, at(pic.xAxis.ticks[k], pic.yAxis.high));
    }
    for (std::size_t k = 0; k < pic.yAxis.ticks.size(); ++k)
        p.drawLine(at(pic.xAxis.low, pic.yAxis.ticks[k]), at(pic.xAxis.high, pic.yAxis.ticks[k]));
    p.setPen(palette().text().color());
    p.drawRect(plot);
    for (std::size_t k = 0; k < pic.xAxis.ticks.size(); ++k) {
        const QString t = QString::fromStdString(pic.xAxis.tickTexts[k]);
        const QPointF a = at(pic.xAxis.ticks[k], pic.yAxis.low);
        p.drawText(QPointF(a.x() - fm.horizontalAdvance(t) / 2.0, plot.bottom() + fm.ascent() + 4),
                   t);
    }
    for (std::size_t k = 0; k < pic.yAxis.ticks.size(); ++k) {
        const QString t = QString::fromStdString(pic.yAxis.tickTexts[k]);
        const QPointF a = at(pic.xAxis.low, pic.yAxis.ticks[k]);
        p.drawText(QPointF(plot.left() - fm.horizontalAdvance(t) - 6, a.y() + fm.ascent() / 2.0),
                   t);
    }
    p.drawText(QPointF(plot.right() - fm.horizontalAdvance(QStringLiteral("x")),
                       plot.bottom() + 2 * fm.height() + 4),
               QStringLiteral("x"));
    p.drawText(QPointF(plot.left() - fm.horizontalAdvance(QStringLiteral("y")) - 6,
                       plot.top() - fm.ascent() / 2.0 - 4),
               QStringLiteral("y"));

    // Facilities: the dot's area grows with the weight; a weight of zero or less is a ring.
    const double largest = std::clamp(std::min(plot.width(), plot.height()) / 12, 6.0, 22.0);
    for (const PictureFacility& f : pic.facilities) {
        const double r = 3 + (largest - 3) * std::sqrt(f.areaShare);
        const QPointF c = at(f.x, f.y);
        QColor fill = kFacilityColour;
        fill.setAlpha(110);
        p.setPen(QPen(kFacilityColour, 1.2));
        p.setBrush(f.weight > 0 ? QBrush(fill) : Qt::NoBrush);
        p.drawEllipse(c, r, r);
        p.setPen(palette().text().color());
        p.drawText(c + QPointF(r * 0.7 + 2, -r * 0.7 - 2), QString::number(f.number));
    }

    // The three locations, each with its own shape; a range is a segment or a rectangle.
    p.setBrush(Qt::NoBrush);
    for (std::size_t k = 0; k < pic.locations.size(); ++k) {
        const PictureLocation& l = pic.locations[k];
        const QPointF a = at(l.x1, l.y1), b = at(l.x2, l.y2);
        if (l.isPoint()) {
            DrawMarker(p, static_cast<int>(k), a);
            continue;
        }
        p.setPen(QPen(kLocationColours[k], 2.2));
        if (l.x1 != l.x2 && l.y1 != l.y2) {
            QColor wash = kLocationColours[k];
            wash.setAlpha(40);
            p.setBrush(wash);
            p.drawRect(QRectF(a, b).normalized());
            p.setBrush(Qt::NoBrush);
        } else {
            p.drawLine(a, b);
        }
    }

    // The legend names every mark, in one line above the picture; it starts left of the plot
    // when it would not fit otherwise.
    const QString facilityName = QStringLiteral("facility, area by weight");
    double legendWidth = 15 + fm.horizontalAdvance(facilityName);
    for (const auto& location : pic.locations)
        legendWidth += 17 + fm.horizontalAdvance(QString::fromStdString(location.name)) + 14;
    double x = std::max(4.0, std::min(double(plot.left()), width() - legendWidth - 4));
    const double y = fm.height() / 2.0 + 4;
    for (std::size_t k = 0; k < pic.locations.size(); ++k) {
        DrawMarker(p, static_cast<int>(k), QPointF(x + 7, y));
        p.setPen(palette().text().color());
        const QString name = QString::fromStdString(pic.locations[k].name);
        p.drawText(QPointF(x + 17, y + fm.ascent() / 2.0 - 1), name);
        x += 17 + fm.horizontalAdvance(name) + 14;
    }
    QColor fill = kFacilityColour;
    fill.setAlpha(110);
    p.setPen(QPen(kFacilityColour, 1.2));
    p.setBrush(fill);
    p.drawEllipse(QPointF(x + 6, y), 5, 5);
    p.setPen(palette().text().color());
    p.drawText(QPointF(x + 15, y + fm.ascent() / 2.0 - 1), facilityName);
}

} // namespace davrenta
