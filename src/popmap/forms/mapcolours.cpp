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

std::optional<CellColour> MapColours::background(int line, int column, char shown) const {
    const CellColour existing{QColor(40, 40, 40), Qt::white};
    const CellColour located{QColor(200, 30, 45), Qt::white};
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
            return CellColour{QColor(150, 220, 150), Qt::black};
        if (isPodCell(line, column, 1, n))
            return existing;
        break;
    default:
        break;
    }
    return std::nullopt;
}

} // namespace davrenta
