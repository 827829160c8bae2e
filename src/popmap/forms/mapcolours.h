#pragma once

#include <array>
#include <optional>

#include <QColor>

#include "popmap/model.h"

namespace davrenta {

struct CellColour {
    QColor back;
    QColor fore;
};

// Colours that make the maps quicker to read: each POD's service area in its own tint, the
// POD cells themselves dark, the near-optimal cells shaded. The texts stay as they are.
class MapColours {
public:
    explicit MapColours(const PopMap& fl);

    // The colours of cell (line, column) showing `shown`, or none for a plain cell.
    std::optional<CellColour> background(int line, int column, char shown) const;

    // The tint of POD k's service area (k = 1..31).
    static QColor podTint(int k);

private:
    bool isPodCell(int line, int column, int first, int last) const;
    bool isAreaCell(int line, int column) const;
    bool isNewPodCell(int line, int column) const;

    const PopMap& fl_;
    std::array<int, 256> podOfLabel_{};
    std::array<bool, 256> areaChar_{};
};

} // namespace davrenta
