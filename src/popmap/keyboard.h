#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "popmap/model.h"
#include "state/result.h"

namespace davrenta {

// What the area window's boxes show as it opens (pairs for areas 1..AreaCount); also rebuilds
// the POD labels, as loading a file does.
std::vector<std::pair<std::string, std::string>> OpenAreaEntry(PopMap& fl);

// The area window's "Ok": the areas are the leading non-empty symbol boxes; populations are
// read by the leading-number rule.
void StoreAreas(PopMap& fl, const std::vector<std::string>& symbols,
                const std::vector<std::string>& populations);

// The existing-POD window as it opens: row k-1 shows (x, y) of POD k (k = 1..ExistingPodCount)
// when its column is set.
std::vector<std::pair<std::string, std::string>> OpenPodEntry(const PopMap& fl);

// The existing-POD window's "Ok": PODs are the rows up to the first empty x box. A POD off the
// map (line 1..50, column 1..60) is refused with a message and nothing is stored, since a
// problem holding it could be saved but never loaded again.
Status StorePods(PopMap& fl, const std::vector<std::string>& xs,
                 const std::vector<std::string>& ys);

// The map window: opening (empties the lines of a new keyboard problem), moving between
// lines (the text of the box is stored first), and "Ok".
void OpenMapEntry(PopMap& fl, bool keyboardSource);
void StoreInputLine(PopMap& fl, const std::string& text);
void NextInputLine(PopMap& fl);
void PreviousInputLine(PopMap& fl);
// Top visible grid row that keeps the current line in view (0 when no scrolling is needed).
int InputTopRow(const PopMap& fl);
// Pads lines under PODs beyond their end, sets the lengths and MapEndLine (1 for a map
// without any character), and maptype 1.
void FinishMapEntry(PopMap& fl);

} // namespace davrenta
