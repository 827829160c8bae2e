#include "sfloc/picture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sfloc/texts.h"
#include "state/numbers.h"

namespace davrenta {

PictureAxis MakeAxis(double low, double high, int wanted) {
    PictureAxis axis;
    if (!(low <= high) || !std::isfinite(low) || !std::isfinite(high)) {
        low = 0;
        high = 1;
    }
    constexpr double kLargest = std::numeric_limits<double>::max();
    if (low == high) {
        const double pad = low == 0 ? 1 : std::fabs(low) * 0.1;
        low = std::max(low - pad, -kLargest);
        high = std::min(high + pad, kLargest);
    }
    const double parts = std::max(1, wanted);
    // A range too narrow for its steps to be told apart widens about its middle to one that has
    // steps: near the smallest doubles the padding above rounds away, and at large values a step
    // under about a trillionth of the value is lost in the value's own rounding.
    const double magnitude = std::max(std::fabs(low), std::fabs(high));
    const double narrowest = std::max(1e-300, magnitude * 1e-12);
    if (!(high / parts - low / parts >= narrowest)) {
        const double middle = low / 2 + high / 2;
        const double half = narrowest * parts;
        low = std::max(middle - half, -kLargest);
        high = std::min(middle + half, kLargest);
    }
    const double raw = high / parts - low / parts; // no overflow at the ends of the doubles
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power * 10;
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * power) {
            step = m * power;
            break;
        }
    const double first = std::floor(low / step);
    const double last = std::ceil(high / step);
    // The round ends may lie past the largest double; the axis then stops there.
    axis.low = std::max(first * step, -kLargest);
    axis.high = std::min(last * step, kLargest);
    for (double k = first; k <= last && axis.ticks.size() < 100; k += 1) {
        const double tick = k * step;
        if (!std::isfinite(tick))
            continue;
        axis.ticks.push_back(tick);
        axis.tickTexts.push_back(PlainForm(tick == 0 ? 0.0 : tick));
    }
    return axis;
}

LocationPicture MakeLocationPicture(const SingleFacilityState& sf, const SfSolution& s) {
    LocationPicture p;
    const int n = std::clamp(sf.ExistingFacilityCount, 0, kMaxFacilities);
    double largest = 0;
    for (int i = 1; i <= n; ++i)
        largest = std::max(largest, std::fabs(sf.FacilityWeight[static_cast<std::size_t>(i)]));
    for (int i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const double w = sf.FacilityWeight[k];
        p.facilities.push_back(
            {i, sf.FacilityX[k], sf.FacilityY[k], w, largest > 0 ? std::fabs(w) / largest : 0});
    }
    p.locations = {PictureLocation{kRectName, s.rectX.low, s.rectY.low, s.rectX.high, s.rectY.high},
                   PictureLocation{kEuclName, s.euclX, s.euclY, s.euclX, s.euclY},
                   PictureLocation{kSqEuclName, s.sqeuX, s.sqeuY, s.sqeuX, s.sqeuY}};

    double xLow = HUGE_VAL, xHigh = -HUGE_VAL, yLow = HUGE_VAL, yHigh = -HUGE_VAL;
    auto cover = [&](double x, double y) {
        xLow = std::min(xLow, x);
        xHigh = std::max(xHigh, x);
        yLow = std::min(yLow, y);
        yHigh = std::max(yHigh, y);
    };
    for (const auto& f : p.facilities)
        cover(f.x, f.y);
    for (const auto& l : p.locations) {
        cover(l.x1, l.y1);
        cover(l.x2, l.y2);
    }
    p.xAxis = MakeAxis(xLow, xHigh);
    p.yAxis = MakeAxis(yLow, yHigh);
    return p;
}

std::vector<std::string> DescribePicture(const LocationPicture& picture) {
    std::vector<std::string> lines;
    for (const auto& f : picture.facilities)
        lines.push_back("Facility " + std::to_string(f.number) + " at (" + PlainForm(f.x) + ", " +
                        PlainForm(f.y) + "), weight " + PlainForm(f.weight));
    for (const auto& l : picture.locations) {
        if (l.isPoint())
            lines.push_back(l.name + " at (" + FormatPicture(l.x1, "0.000") + ", " +
                            FormatPicture(l.y1, "0.000") + ")");
        else
            lines.push_back(l.name + " anywhere from (" + FormatPicture(l.x1, "0.000") + ", " +
                            FormatPicture(l.y1, "0.000") + ") to (" + FormatPicture(l.x2, "0.000") +
                            ", " + FormatPicture(l.y2, "0.000") + ")");
    }
    return lines;
}

} // namespace davrenta
