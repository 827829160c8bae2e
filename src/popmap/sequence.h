#pragma once

#include "popmap/model.h"
#include "state/result.h"

namespace davrenta {

// The result sequence after a search, as the map screen, the summary and the results window
// walk it:
//   input map --Ok: search--> summary --Ok--> numbered map --Ok--> distribution, then the
//   service areas of the existing PODs --Ok--> results --Ok--> service areas with the new
//   POD(s) --Ok--> results (which ends the sequence) [--Near Optimal--> near-optimal map].
// Each function takes one step: it moves maptype on and says which window opens next.
enum class NextWindow {
    None,         // the window just closes
    Search,       // run the search, then the summary when it leaves a result
    Map,          // the map screen, showing the new maptype
    Distribution, // the population distribution, then the map screen
    Results,      // the results window
    Unknown,      // a maptype the map screen has no step for: it says so
};

// The map screen's Ok.
NextWindow MapScreenOk(PopMap& fl);

// The summary's Ok: after a search, the numbered map.
NextWindow SummaryOk(PopMap& fl);

// The results window's Ok: before the new POD(s), the map with them.
NextWindow ResultsOk(PopMap& fl);

// The results window as it opens: with the new POD(s) shown, the sequence starts over.
void ResultsOpened(PopMap& fl);

struct ModuleState;

// The results window's Save: the new POD(s) join the existing ones once, however often the
// same results are saved (podsAdded starts false for each results window), then the problem
// is written to ProblemFileName.
Status SaveResults(ModuleState& state, bool& podsAdded);

} // namespace davrenta
