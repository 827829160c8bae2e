#pragma once

#include <array>
#include <string>
#include <vector>

#include "sfloc/model.h"
#include "sfloc/solve.h"

namespace davrenta {

// One axis of the picture: its extent and the labelled ticks on it.
struct PictureAxis {
    double low = 0;
    double high = 1;
    std::vector<double> ticks;
    std::vector<std::string> tickTexts;
};

// An existing facility as a dot whose area grows with its weight's magnitude.
struct PictureFacility {
    int number = 0; // as the table numbers it
    double x = 0, y = 0;
    double weight = 0;
    double areaShare = 0; // |weight| / largest |weight|: 0..1
};

// An optimal location: a point, or a segment or rectangle when the rectilinear answer is a
// range (x1..x2 by y1..y2).
struct PictureLocation {
    std::string name;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool isPoint() const { return x1 == x2 && y1 == y2; }
};

// What the table window draws beside the results, in problem coordinates.
struct LocationPicture {
    PictureAxis xAxis, yAxis;
    std::vector<PictureFacility> facilities;
    std::array<PictureLocation, 3> locations; // rectilinear, Euclidean, squared Euclidean
};

LocationPicture MakeLocationPicture(const SingleFacilityState& sf, const SfSolution& solution);

// Round ticks (steps of 1, 2 or 5 times a power of ten) covering low..high, about `wanted` of
// them; the axis is widened to whole steps. An empty extent is widened around its value.
PictureAxis MakeAxis(double low, double high, int wanted = 5);

// A line of text per facility and location, for screen readers and tests.
std::vector<std::string> DescribePicture(const LocationPicture& picture);

} // namespace davrenta
