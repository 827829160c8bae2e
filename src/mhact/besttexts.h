#pragma once

#include <array>
#include <string>
#include <vector>

#include "mhact/bestlayout.h"
#include "state/report.h"

namespace davrenta {

// What the best-layout window shows once a search has ended.
struct BestLayoutTexts {
    // Heading row first; then each department, its place in the best layout and whose place
    // that is now.
    std::vector<std::array<std::string, 4>> bestgrd;
    std::string Label1;   // the best layout's activity, and whether it is proven the best
    std::string Label2;   // the current layout and Improve's against it
    bool changed = false; // some department moves: "Accept Layout" is offered
};

BestLayoutTexts BestLayoutResultTexts(const MhActivityState& mh, const BestLayoutOutcome& outcome,
                                      char lineBreak);

// The progress line while the search runs.
std::string BestLayoutProgressText(const BestLayoutProgress& progress);

// The best-layout window's print: its result lines and its table.
Report BestLayoutReport(const MhActivityState& mh, Metric method, const BestLayoutOutcome& outcome);

} // namespace davrenta
