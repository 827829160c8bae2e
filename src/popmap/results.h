#pragma once

#include <array>
#include <string>
#include <vector>

#include "popmap/model.h"

namespace davrenta {

// Everything the results window shows, as it opens.
struct ResultsTexts {
    std::string floclbl, result1lbl, result2lbl, result4lbl, result5lbl, result6lbl, result7lbl;
    std::vector<std::array<std::string, 4>> facgrd;  // row 0 is the heading row
    bool okbut = false, ok2but = false, prtbut = false, Prt2but = false, Savebut = false,
         opbut = false;
};

// Opening the results window: sets DistanceScale, and with maptype 4 resets maptype to 1.
ResultsTexts OpenResults(PopMap& fl, int distanceMethod, char lineBreak = '\r');

// The texts without the window's effects on the state (for printing and the batch runner).
ResultsTexts ResultsFor(const PopMap& fl, int maptype, int distanceMethod, char lineBreak = '\r');

// Grids of the data review window (plain numbers) and of the result summary window (numbers
// with a leading blank); row 0 is the heading row.
std::vector<std::array<std::string, 3>> ReviewAreaRows(const PopMap& fl);
std::vector<std::array<std::string, 3>> ReviewPodRows(const PopMap& fl);
std::vector<std::array<std::string, 3>> SummaryAreaRows(const PopMap& fl);
std::vector<std::array<std::string, 3>> SummaryPodRows(const PopMap& fl);

// The population distribution window's rows (no heading row); sets MapPointsUsed.
std::vector<std::array<std::string, 3>> OpenDistribution(PopMap& fl);

// The map screen: its caption, the map it shows (lines 1..50) and its progress label.
std::string MapCaption(const PopMap& fl);
const std::string& ShownMapLine(const PopMap& fl, int line);  // line 1..50
std::string KeptProgressText(const PopMap& fl);

} // namespace davrenta
