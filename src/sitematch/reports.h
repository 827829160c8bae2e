#pragma once

#include "sitematch/model.h"
#include "state/report.h"

namespace davrenta {

// The data table's print: per facility its times and, at column 60, its demand.
Report MatchDataReport(const SiteMatchState& sm);

// The results window's print: the message and the rows as the window shows them. The
// message's line breaks separate printed lines.
Report MatchResultsReport(const SiteMatchState& sm, char lineBreak);

} // namespace davrenta
