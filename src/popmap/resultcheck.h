#pragma once

#include "popmap/model.h"
#include "popmap/search.h"

namespace davrenta {

// A finished search is shown only when it located every new POD on a real cell of the map and
// every figure it reports is a number. Otherwise the outcome becomes a failure saying why; an
// outcome that is not Done is handed back as it is.
SearchOutcome CheckSearchResult(const PopMap& fl, SearchOutcome outcome);

} // namespace davrenta
