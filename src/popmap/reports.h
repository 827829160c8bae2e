#pragma once

#include "popmap/model.h"
#include "state/report.h"

namespace davrenta {

// The blank 60 x 50 grid laid over a paper map to read off cell coordinates.
Report GridOverlayReport();

// The map shown for the current maptype, with its rulers and 50 numbered lines.
Report MapReport(const PopMap& fl);
// The name its PDF is offered under, one per map, so that saving one keeps the others.
const char* MapReportName(MapType type);

// The results window's two prints: the existing PODs with the chosen location, and all PODs
// with the population each serves.
Report ResultsReport1(const PopMap& fl);
Report ResultsReport2(const PopMap& fl);

// Cells and population per cell of every area.
Report DistributionReport(const PopMap& fl);

} // namespace davrenta
