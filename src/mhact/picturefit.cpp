#include "mhact/picturefit.h"

#include <algorithm>
#include <cmath>

namespace davrenta {

std::optional<PictureFit> FitLayoutPicture(const std::vector<PlanPoint>& locations,
                                           double widestName, double width, double height) {
    if (locations.empty())
        return std::nullopt;
    PictureFit fit;
    fit.minX = locations[0].x;
    fit.minY = locations[0].y;
    double maxX = fit.minX, maxY = fit.minY;
    for (const PlanPoint& p : locations) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return std::nullopt;
        fit.minX = std::min(fit.minX, p.x);
        fit.minY = std::min(fit.minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    const double spanX = maxX - fit.minX, spanY = maxY - fit.minY;
    if (!std::isfinite(spanX) || !std::isfinite(spanY))
        return std::nullopt;

    fit.nameRoom = std::clamp(widestName, 0.0, std::max(0.0, width / 2));
    const double side = std::max(kPictureMargin, fit.nameRoom / 2 + 4);
    const double roomX = std::max(0.0, width - 2 * side);
    const double roomY = std::max(0.0, height - 2 * kPictureMargin);
    // A plan without width (or height) is drawn at the scale of the other direction alone.
    const double scaleX = spanX > 0 ? roomX / spanX : HUGE_VAL;
    const double scaleY = spanY > 0 ? roomY / spanY : HUGE_VAL;
    fit.scale = std::min(scaleX, scaleY);
    if (!std::isfinite(fit.scale))
        fit.scale = 0;
    fit.left = side + (roomX - spanX * fit.scale) / 2;
    fit.bottom = height - kPictureMargin - (roomY - spanY * fit.scale) / 2;
    return fit;
}

} // namespace davrenta
