#include "sfloc/solve.h"

#include <cmath>
#include <utility>
#include <vector>

#include "state/figures.h"
#include "state/numbers.h"

namespace davrenta {

namespace {

struct Pair {
    double coordinate;
    double weight;
};

// Exchange sort on a copy: equal coordinates keep their table order.
void ExchangeSort(std::vector<Pair>& pairs) {
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (std::size_t j = 1; j < pairs.size(); ++j) {
            if (pairs[j].coordinate < pairs[j - 1].coordinate) {
                std::swap(pairs[j], pairs[j - 1]);
                exchanged = true;
            }
        }
    }
}

// When the cumulative weight never passes half (a negative total), or meets it at the last
// sorted facility, the coordinate reached last is the answer shown.
AxisMedian WeightedMedian(std::vector<Pair> pairs, double half) {
    ExchangeSort(pairs);
    double cumulative = 0;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        cumulative += pairs[k].weight;
        if (cumulative > half)
            return {pairs[k].coordinate, pairs[k].coordinate, false};
        if (cumulative == half && k + 1 < pairs.size())
            return {pairs[k].coordinate, pairs[k + 1].coordinate, true};
    }
    const double last = pairs.back().coordinate;
    return {last, last, false};
}

float Single(double value) {
    return static_cast<float>(value);
}

} // namespace

Result<SfSolution> SolveSingleFacility(const SingleFacilityState& sf) {
    const int n =
        sf.ExistingFacilityCount < kMaxFacilities ? sf.ExistingFacilityCount : kMaxFacilities;
    if (n < 1)
        return Fail("There is no existing facility, so no location can be found. Add at least "
                    "one facility with a weight.");
    const auto X = [&](int i) { return sf.FacilityX[static_cast<std::size_t>(i)]; };
    const auto Y = [&](int i) { return sf.FacilityY[static_cast<std::size_t>(i)]; };
    const auto W = [&](int i) { return sf.FacilityWeight[static_cast<std::size_t>(i)]; };

    double total = 0;
    for (int i = 1; i <= n; ++i)
        total += W(i);
    if (total == 0)
        return Fail("The weights of the existing facilities sum to zero, so no location can be "
                    "found. Give the facilities their demands as weights and solve again.");
    const double half = total / 2;

    SfSolution s;
    std::vector<Pair> xs, ys;
    for (int i = 1; i <= n; ++i) {
        xs.push_back({X(i), W(i)});
        ys.push_back({Y(i), W(i)});
    }
    s.rectX = WeightedMedian(xs, half);
    s.rectY = WeightedMedian(ys, half);

    // Weiszfeld from the weighted centroid; every partial sum and stored point is single
    // precision. A weight sum beyond the largest single-precision number would divide the
    // moments down to a point at the origin, so it refuses the result like any other overflow.
    Figures figures;
    float sumW = 0, sumA = 0, sumB = 0;
    for (int i = 1; i <= n; ++i) {
        sumW = Single(static_cast<double>(sumW) + W(i));
        sumA = Single(static_cast<double>(sumA) + W(i) * X(i));
        sumB = Single(static_cast<double>(sumB) + W(i) * Y(i));
    }
    figures.add({sumW, sumA, sumB});
    if (sumW == 0 && figures.finite())
        return Fail("The weights add up to zero in single precision (they are too small, or "
                    "large ones cancel out), so no Euclidean location can be found. Change the "
                    "weights and solve again.");
    float x = Single(static_cast<double>(sumA) / sumW);
    float y = Single(static_cast<double>(sumB) / sumW);
    for (int iteration = 1; iteration <= 15; ++iteration) {
        double sx = 0, sy = 0, sum = 0;
        bool onFacility = false;
        for (int i = 1; i <= n; ++i) {
            const double dx = static_cast<double>(x) - X(i);
            const double dy = static_cast<double>(y) - Y(i);
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d == 0) {
                onFacility = true;
                break;
            }
            const double r = W(i) / d;
            sx += r * X(i);
            sy += r * Y(i);
            sum += r;
        }
        if (onFacility) {
            s.euclOnFacility = true;
            break;
        }
        // An overflowed sum would divide a finite moment down to 0.
        figures.add({sx, sy, sum});
        if (sum == 0 || !figures.finite())
            break;
        x = Single(sx / sum);
        y = Single(sy / sum);
        s.euclIterations = iteration;
    }
    s.euclX = x;
    s.euclY = y;

    // The weighted centroid: the weight sum in single precision, the moments in double.
    float weight = 0;
    double mx = 0, my = 0;
    for (int i = 1; i <= n; ++i) {
        weight = Single(static_cast<double>(weight) + W(i));
        mx += X(i) * W(i);
        my += Y(i) * W(i);
    }
    figures.add({weight, mx, my});
    s.sqeuX = Single(mx / weight);
    s.sqeuY = Single(my / weight);

    for (int i = 1; i <= n; ++i) {
        const double rdx = std::fabs(s.rectX.low - X(i)), rdy = std::fabs(s.rectY.low - Y(i));
        s.rectObjective += W(i) * (rdx + rdy);
        const double edx = s.euclX - X(i), edy = s.euclY - Y(i);
        s.euclObjective += W(i) * std::sqrt(edx * edx + edy * edy);
        const double qdx = s.sqeuX - X(i), qdy = s.sqeuY - Y(i);
        s.sqeuObjective += W(i) * (qdx * qdx + qdy * qdy);
    }

    figures.add({s.rectX.low, s.rectX.high, s.rectY.low, s.rectY.high, s.euclX, s.euclY, s.sqeuX,
                 s.sqeuY, s.rectObjective, s.euclObjective, s.sqeuObjective});
    if (Status finite = RequireFinite(figures, "coordinates and weights",
                                      "a weight sum in single precision, a location or a "
                                      "weighted total distance",
                                      "Scale them down and solve again.");
        !finite)
        return Fail(finite.message());
    return s;
}

std::string MedianText(const AxisMedian& median) {
    std::string text = FormatPicture(median.low, "0.000");
    if (median.range)
        text += "***" + FormatPicture(median.high, "0.000");
    return text;
}

SfLabels SolutionLabels(const SfSolution& s) {
    return {MedianText(s.rectX),
            MedianText(s.rectY),
            FormatPicture(s.euclX, "0.000"),
            FormatPicture(s.euclY, "0.000"),
            FormatPicture(s.sqeuX, "0.000"),
            FormatPicture(s.sqeuY, "0.000")};
}

std::array<std::string, 3> ObjectiveTexts(const SfSolution& s) {
    return {FormatPicture(s.rectObjective, "0.000"), FormatPicture(s.euclObjective, "0.000"),
            FormatPicture(s.sqeuObjective, "0.000")};
}

} // namespace davrenta
