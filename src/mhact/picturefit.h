#pragma once

#include <optional>
#include <vector>

namespace davrenta {

// A department's location on the plan.
struct PlanPoint {
    double x = 0;
    double y = 0;
};

// Where the layout picture draws the plan: x and y at one scale, y growing upwards as on a
// plan, the layout centred. Names are centred on their dots, so the outermost dots keep half a
// name's width from the picture's sides.
struct PictureFit {
    double scale = 0;    // picture units per unit of the plan; never below 0
    double left = 0;     // where the smallest x is drawn
    double bottom = 0;   // where the smallest y is drawn
    double nameRoom = 0; // the widest a name is drawn; a wider one is shortened to it
    double minX = 0;
    double minY = 0;

    double x(double planX) const { return left + (planX - minX) * scale; }
    double y(double planY) const { return bottom - (planY - minY) * scale; }
};

// Room kept above and below the layout, and beside it for narrow names.
inline constexpr double kPictureMargin = 36;

// The fit of the locations into a picture of width x height whose widest name is
// `widestName` wide. Names take at most half the width, however long they are or small the
// picture is, so the dots keep their order. Nothing to draw (nullopt): no location, or
// one that is not a finite number, or a plan too wide to measure.
std::optional<PictureFit> FitLayoutPicture(const std::vector<PlanPoint>& locations,
                                           double widestName, double width, double height);

} // namespace davrenta
