#pragma once

#include <array>
#include <string>

#include "sfloc/model.h"
#include "state/result.h"

namespace davrenta {

// The weighted median of one axis: one coordinate, or the interval between two sorted
// coordinates when the cumulative weight meets half the total exactly.
struct AxisMedian {
    double low = 0;
    double high = 0;
    bool range = false;
};

// The three optimal locations of one solve, with each answer's weighted total distance under
// its own measure. The Euclidean and squared Euclidean points are single-precision stores.
struct SfSolution {
    AxisMedian rectX, rectY;
    float euclX = 0, euclY = 0;
    float sqeuX = 0, sqeuY = 0;
    int euclIterations = 0;      // Weiszfeld steps taken (at most 15)
    bool euclOnFacility = false; // stopped because the point lies on a facility
    double rectObjective = 0;    // sum of w * (|dx| + |dy|)
    double euclObjective = 0;    // sum of w * sqrt(dx^2 + dy^2)
    double sqeuObjective = 0;    // sum of w * (dx^2 + dy^2)
};

// The six result labels, in the order olrectxlbl, olrectylbl, oleuclxlbl, oleuclylbl,
// olsqeuxlbl, olsqeuylbl.
using SfLabels = std::array<std::string, 6>;

// Solves the problem in facilities 1..n. The table is only read. Refused with the reason when
// there is no facility, the weights sum to zero (in double or in single precision), or any
// figure shown or used on the way (a single-precision weight sum, a location, a weighted total
// distance) goes beyond the largest number.
Result<SfSolution> SolveSingleFacility(const SingleFacilityState& sf);

// "2.000", or "2.000***5.000" for a range.
std::string MedianText(const AxisMedian& median);

SfLabels SolutionLabels(const SfSolution& s);

// The objective labels beside the rectilinear, Euclidean and squared Euclidean rows.
std::array<std::string, 3> ObjectiveTexts(const SfSolution& s);

} // namespace davrenta
