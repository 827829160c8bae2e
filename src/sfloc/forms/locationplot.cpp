#include "sfloc/forms/locationplot.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

const QString kFacilityName = QStringLiteral("facility, area by weight");

// One entry of the legend: its mark (a location's index, or -1 for the facilities) and name.
struct LegendEntry {
    int kind;
    QString name;
    double width;
};

// The legend's entries in rows, as many to a row as the width takes.
std::vector<std::vector<LegendEntry>> LegendRows(const LocationPicture& pic, const QFontMetrics& fm,
                                                 double width) {
    std::vector<LegendEntry> entries;
    for (std::size_t k = 0; k < pic.locations.size(); ++k) {
        const QString name = QString::fromStdString(pic.locations[k].name);
        entries.push_back({static_cast<int>(k), name, 17.0 + fm.horizontalAdvance(name) + 14});
    }
    entries.push_back({-1, kFacilityName, 15.0 + fm.horizontalAdvance(kFacilityName)});
    std::vector<std::vector<LegendEntry>> rows(1);
    double used = 0;
    for (const LegendEntry& e : entries) {
        if (!rows.back().empty() && used + e.width > width) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(e);
        used += e.width;
    }
    return rows;
}

// The room the picture leaves for the plot: the legend's rows and the y title above, the tick
// texts and the x title below, the y tick texts on the left.
QRectF PlotArea(const LocationPicture& pic, const QFontMetrics& fm, QSize size, int legendRows) {
    int tickWidth = 0;
    for (const std::string& t : pic.yAxis.tickTexts)
        tickWidth = std::max(tickWidth, fm.horizontalAdvance(QString::fromStdString(t)));
    const double top = legendRows * (fm.height() + 4) + fm.height() + 12;
    return QRectF(tickWidth + 12, top, size.width() - tickWidth - 24,
                  size.height() - top - 2 * fm.height() - 12);
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
    noteClippedTexts();
    update();
}

void LocationPlot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    noteClippedTexts();
}

void LocationPlot::noteClippedTexts() {
    // What the picture cannot show whole at this size, for those who check the windows.
    QStringList clipped;
    if (picture_) {
        const QFontMetrics fm(font());
        const auto rows = LegendRows(*picture_, fm, width() - 8);
        for (const auto& row : rows)
            for (const LegendEntry& e : row)
                if (e.width > width() - 8)
                    clipped << e.name;
        const QRectF area = PlotArea(*picture_, fm, size(), static_cast<int>(rows.size()));
        if (area.width() < 20 || area.height() < 20)
            clipped << QStringLiteral("x") << QStringLiteral("y");
    }
    setProperty("clippedTexts", clipped);
}

void LocationPlot::clearPicture() {
    picture_.reset();
    setAccessibleDescription(QString());
    noteClippedTexts();
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

    // Room for the legend and the axis texts; one scale for both axes.
    const auto legend = LegendRows(pic, fm, width() - 8);
    const QRectF area = PlotArea(pic, fm, size(), static_cast<int>(legend.size()));
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

    // The legend names every mark above the picture, in as many rows as the width needs.
    QColor fill = kFacilityColour;
    fill.setAlpha(110);
    double y = fm.height() / 2.0 + 4;
    for (const auto& row : legend) {
        double x = 4;
        for (const LegendEntry& e : row) {
            if (e.kind >= 0) {
                DrawMarker(p, e.kind, QPointF(x + 7, y));
                p.setPen(palette().text().color());
                p.drawText(QPointF(x + 17, y + fm.ascent() / 2.0 - 1), e.name);
            } else {
                p.setPen(QPen(kFacilityColour, 1.2));
                p.setBrush(fill);
                p.drawEllipse(QPointF(x + 6, y), 5, 5);
                p.setBrush(Qt::NoBrush);
                p.setPen(palette().text().color());
                p.drawText(QPointF(x + 15, y + fm.ascent() / 2.0 - 1), e.name);
            }
            x += e.width;
        }
        y += fm.height() + 4;
    }
}

} // namespace davrenta
