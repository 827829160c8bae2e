#pragma once

#include <array>
#include <string>
#include <vector>

#include "mhact/activity.h"
#include "state/report.h"

namespace davrenta {

inline constexpr const char* kMhDescription =
    "This program uses the coordinates of existing departments within a facility to determine "
    "the optimal location of the departments given a level of material handling activity. "
    "The user may switch the locations of departments to determine the level of possible "
    "improvement. "
    "The system will "
    "calculate the material handling activity based on rectilinear, euclidean, or squared "
    "euclidean movement. ";

inline constexpr const char* kDepartmentInstructions =
    "You may change any of the data by altering the entry in the "
    "text boxes in the table.  You may also delete an entire "
    "department or add new departments.  When all of the "
    "data is complete, press the ok button.";

inline constexpr const char* kNoDataEntered = "No data entered!";

// Shown for a figure that would divide by zero (no counted load, or one for the deviation).
inline constexpr const char* kUndefinedFigure = "undefined";

// The texts of the department window's row i: name, X and Y as the boxes show them. A row
// emptied for keyboard input shows empty boxes. Numbers in the round-trip form, so that "Ok"
// reads back exactly the values a file loaded (a 15-digit form would round them).
std::array<std::string, 3> DepartmentRowTexts(const MhActivityState& mh, int i);

// A move count as the move window's box shows it, in the round-trip form too.
std::string MoveText(double moves);

// What the results window shows once the computation has run.
struct MhResultsTexts {
    std::vector<std::array<std::string, 6>> res1grd; // heading row first
    std::string Label1, Label2, Label3;
};

// Runs the activity computation and gives the results window's texts.
MhResultsTexts OpenMhResults(MhActivityState& mh, Metric method, char lineBreak,
                             ActivityFigures* figures = nullptr);

// The results print: recomputed from the current locations first.
Report MhResultsReport(MhActivityState& mh, Metric method);

// The move window's print of these moves.
Report MoveTableReport(const MhActivityState& mh);

struct SwitchTexts {
    std::vector<std::array<std::string, 3>> res2grd; // heading row first
    std::string Label1;
    bool improved = false; // Make Switch and No Switch shown, Done hidden
};

// Runs the switch search and gives the switch window's texts.
SwitchTexts OpenSwitches(MhActivityState& mh, Metric method, SwitchOutcome* outcome = nullptr);

struct ImproveTexts {
    std::vector<std::array<std::string, 4>> impgrd; // heading row first
    std::string Label1;
    bool improved = false;
};

ImproveTexts ImproveResultTexts(const MhActivityState& mh, const ImproveOutcome& outcome);

} // namespace davrenta
