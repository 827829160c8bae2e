#include "popmap/forms/mapcolours.h"

namespace davrenta {

MapColours::MapColours(const PopMap& fl) : fl_(fl) {
    const int newPods = fl.NewPodCount == 1 ? 1 : 2;
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

bool MapColours::isNewPodCell(int line, int column) const {
    if (fl_.NewPodCount == 1)
        return line == fl_.NewPodLine && column == fl_.NewPodColumn;
    return (line == fl_.NewPod1Line && column == fl_.NewPod1Column) ||
           (line == fl_.NewPod2Line && column == fl_.NewPod2Column);
}

namespace {

const CellColour kExisting{QColor(40, 40, 40), Qt::white};
const CellColour kLocated{QColor(200, 30, 45), Qt::white};
const CellColour kNearOptimal{QColor(150, 220, 150), Qt::black};

} // namespace

std::vector<std::pair<int, int>> MapColours::newPodCells() const {
    if (fl_.maptype != MapType::NewService && fl_.maptype != MapType::NearOptimal)
        return {};
    if (fl_.NewPodCount == 1)
        return {{fl_.NewPodLine, fl_.NewPodColumn}};
    return {{fl_.NewPod1Line, fl_.NewPod1Column}, {fl_.NewPod2Line, fl_.NewPod2Column}};
}

std::vector<LegendEntry> MapColours::legend() const {
    std::vector<LegendEntry> entries;
    const int n = std::min(fl_.ExistingPodCount, kMaxExistingPods);
    const QString newPod =
        fl_.NewPodCount == 1 ? QStringLiteral("new POD") : QStringLiteral("new PODs");
    switch (fl_.maptype) {
    case MapType::ExistingService:
    case MapType::NewService: {
        const int newPods =
            fl_.maptype == MapType::ExistingService ? 0 : (fl_.NewPodCount == 1 ? 1 : 2);
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
        if (n > 0)
            entries.push_back({QStringLiteral("x"), kExisting, QStringLiteral("existing POD")});
        if (newPods > 0)
            entries.push_back({QStringLiteral("X"), kLocated, newPod});
        break;
    }
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
        if (shown == 'X' && fl_.maptype == MapType::NewService && isNewPodCell(line, column))
            return located;
        if (shown == 'x' && isPodCell(line, column, 1, n))
            return existing;
        if (isAreaCell(line, column))
            if (const int k = podOfLabel_[static_cast<unsigned char>(shown)]; k != 0)
                return CellColour{podTint(k), Qt::black};
        break;
    case 5:
        if (shown == 'X' && isNewPodCell(line, column))
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
