#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "popmap/model.h"
#include "popmap/search.h"
#include "popmap/setsearch.h"
#include "state/shellstate.h"

namespace davrenta {

// Everything the results window shows, as it opens.
struct ResultsTexts {
    std::string floclbl, result1lbl, result2lbl, result4lbl, result5lbl, result6lbl, result7lbl;
    // Three or more new PODs: whether the result is proven optimal, or the bound and gap the
    // search reached in its time limit. Empty for one or two.
    std::string prooflbl;
    std::vector<std::array<std::string, 4>> facgrd; // row 0 is the heading row
    bool okbut = false, ok2but = false, prtbut = false, Prt2but = false, Savebut = false,
         opbut = false;
};

// Opening the results window: its texts, and the step of the result sequence it takes.
ResultsTexts OpenResults(PopMap& fl, Metric distanceMethod, char lineBreak = '\r');

// Three or more new PODs: "PROVEN OPTIMAL", or the bound and gap of a search that reached its
// time limit.
std::string ProofText(const PopMap& fl);

// The map screen's progress line while several new PODs are searched: the best value found,
// the proven bound and their gap, in the measure's result terms ("5 new PODs: best AVG. DIST.
// TRAVELED 4.21; bound AVG. DIST. TRAVELED 4.105; gap 2.5% (3.2 s)").
std::string SetProgressText(const PopMap& fl, const SetProgress& progress);

// The texts without the window's effects on the state.
ResultsTexts ResultsFor(const PopMap& fl, MapType maptype, Metric distanceMethod,
                        char lineBreak = '\r');

// The POD-count window: the value of each count of new PODs placed together and one at a
// time, in the results' terms (the travel as the average distance, "X SCALE").
struct PodCountTexts {
    std::string titlelbl;
    std::vector<std::array<std::string, 4>> countgrd; // row 0 is the heading row
    // The curve's points: count, together, one at a time (when placed).
    struct Point {
        int pods = 0;
        double together = 0;
        std::optional<double> oneAtATime;
    };
    std::vector<Point> points;
};
PodCountTexts CountTexts(const PopMap& fl, const std::vector<PodCountRow>& rows);

// The coverage answers, in words with every new POD's cell.
std::string CoverText(const CoverAnswer& cover);
std::string WithinText(const PopMap& fl, const CoveredPopulation& within);

// Grids of the data review window (plain numbers) and of the result summary window (numbers
// with a leading blank); row 0 is the heading row.
std::vector<std::array<std::string, 3>> ReviewAreaRows(const PopMap& fl);
std::vector<std::array<std::string, 3>> ReviewPodRows(const PopMap& fl);
std::vector<std::array<std::string, 3>> SummaryAreaRows(const PopMap& fl);
std::vector<std::array<std::string, 3>> SummaryPodRows(const PopMap& fl);

// The headings over the population distribution window's columns.
inline const std::array<std::string, 3> kDistributionHeadings{"Area", "Number of Map Points",
                                                              "Population per Point"};

// The population distribution window's rows (no heading row).
std::vector<std::array<std::string, 3>> OpenDistribution(const PopMap& fl);

// The map screen: its caption, the map it shows (lines 1..50) and its progress label.
std::string MapCaption(const PopMap& fl);
const std::string& ShownMapLine(const PopMap& fl, int line); // line 1..50
std::string KeptProgressText(const PopMap& fl);

} // namespace davrenta
