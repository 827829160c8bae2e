#include "popmap/forms/mapcolours.h"

namespace davrenta {

MapColours::MapColours(const PopMap& fl) : fl_(fl) {
    const int newPods = NewPodsPlaced(fl);
    const int last = fl.maptype == MapType::ExistingService ? fl.ExistingPodCount
                                                            : fl.ExistingPodCount + newPods;
    podOfLabel_ = PodOfLabel(fl, last);
    areaChar_ = AreaCharacters(fl);
}

QColor MapColours::podTint(int k) {
    // Hues a golden angle apart stay distinct for every POD.
    return QColor::fromHsv((k * 137 + 20) % 360, 70, 250);
}

bool MapColours::isPodCell(int line, int column, int first, int last) const {
    for (int k = first; k <= last; ++k)
        if (fl_.PodLine[k] == line && fl_.PodColumn[k] == column)
            return true;
    return false;
}

bool MapColours::isAreaCell(int line, int column) const {
    return areaChar_[static_cast<unsigned char>(CellChar(fl_.MapLine[line], column))];
}

int MapColours::newPodAt(int line, int column) const {
    int q = 0;
    for (const auto& [l, c] : NewPodCells(fl_)) {
        ++q;
        if (l == line && c == column)
            return q;
    }
    return 0;
}

QColor MapColours::newPodColour(int q) {
    // Each new POD's cell dark in its service area's hue, so that the mark says which it is.
    if (q <= 0)
        return QColor(200, 30, 45);
    return QColor::fromHsv((q * 137 + 20) % 360, 230, 150);
}

namespace {

const CellColour kExisting{QColor(40, 40, 40), Qt::white};
const CellColour kLocated{QColor(200, 30, 45), Qt::white};
const CellColour kNearOptimal{QColor(150, 220, 150), Qt::black};

} // namespace

std::vector<std::pair<int, int>> MapColours::newPodCells() const {
    if (fl_.maptype != MapType::NewService && fl_.maptype != MapType::NearOptimal)
        return {};
    return NewPodCells(fl_);
}

std::vector<LegendEntry> MapColours::legend() const {
    std::vector<LegendEntry> entries;
    const int n = std::min(fl_.ExistingPodCount, kMaxExistingPods);
    const int placed = NewPodsPlaced(fl_);
    const QString newPod = placed == 1 ? QStringLiteral("new POD") : QStringLiteral("new PODs");
    // Several new PODs: each one's mark, in its own colour, with its cell.
    const auto eachNewPod = [&] {
        int q = 0;
        for (const auto& [line, column] : NewPodCells(fl_)) {
            ++q;
            entries.push_back(
                {QStringLiteral("X"),
                 {newPodColour(q), Qt::white},
                 QStringLiteral("new POD %1 (line %2, column %3)").arg(q).arg(line).arg(column)});
        }
    };
    switch (fl_.maptype) {
    case MapType::ExistingService:
    case MapType::NewService: {
        const int newPods = fl_.maptype == MapType::ExistingService ? 0 : placed;
        for (int k = 1; k <= std::min(n + newPods, kMaxPods); ++k) {
            if (fl_.PodSymbol[k].empty())
                continue;
            const QString whose = k <= n         ? QStringLiteral("POD %1").arg(k)
                                  : newPods == 1 ? QStringLiteral("new POD")
                                                 : QStringLiteral("new POD %1").arg(k - n);
            entries.push_back({QString::fromLatin1(fl_.PodSymbol[k].c_str(), 1),
                               {podTint(k), Qt::black},
                               QStringLiteral("served by ") + whose});
        }
        // Without existing PODs the map marks no POD cell: the new PODs show only by the
        // areas they serve.
        if (n > 0) {
            entries.push_back({QStringLiteral("x"), kExisting, QStringLiteral("existing POD")});
            if (newPods >= 3)
                eachNewPod();
            else if (newPods > 0)
                entries.push_back({QStringLiteral("X"), kLocated, newPod});
        }
        break;
    }
    case MapType::Numbered:
        // Each existing POD's cell shows the first digit of its number.
        for (int k = 1; k <= n; ++k)
            entries.push_back({QString::number(k).left(1), kExisting,
                               QStringLiteral("POD %1 (line %2, column %3)")
                                   .arg(k)
                                   .arg(fl_.PodLine[k])
                                   .arg(fl_.PodColumn[k])});
        break;
    case MapType::NearOptimal:
        entries.push_back({QStringLiteral("X"), kLocated, newPod});
        entries.push_back(
            {QStringLiteral("%"), kNearOptimal, QStringLiteral("near-optimal location")});
        if (n > 0)
            entries.push_back({QString(), kExisting, QStringLiteral("existing POD")});
        break;
    default:
        break;
    }
    return entries;
}

std::optional<CellColour> MapColours::background(int line, int column, char shown) const {
    const CellColour& existing = kExisting;
    const CellColour& located = kLocated;
    const int n = std::min(fl_.ExistingPodCount, kMaxExistingPods);
    switch (MapTypeCode(fl_.maptype)) {
    case 2:
        if (isPodCell(line, column, 1, n))
            return existing;
        break;
    case 3:
    case 4:
        if (shown == 'X' && fl_.maptype == MapType::NewService)
            if (const int q = newPodAt(line, column); q != 0)
                return NewPodsPlaced(fl_) >= 3 ? CellColour{newPodColour(q), Qt::white} : located;
        if (shown == 'x' && isPodCell(line, column, 1, n))
            return existing;
        if (isAreaCell(line, column))
            if (const int k = podOfLabel_[static_cast<unsigned char>(shown)]; k != 0)
                return CellColour{podTint(k), Qt::black};
        break;
    case 5:
        if (shown == 'X' && newPodAt(line, column) != 0)
            return located;
        if (shown == '%')
            return kNearOptimal;
        if (isPodCell(line, column, 1, n))
            return existing;
        break;
    default:
        break;
    }
    return std::nullopt;
}

} // namespace davrenta
