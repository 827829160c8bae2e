#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mhact/model.h"
#include "state/result.h"
#include "state/shellstate.h"

namespace davrenta {

// A pair of departments that carries activity, in listing order (i, then j ascending).
struct ListedPair {
    int from = 0;
    int to = 0;
};

// What the activity computation finds beyond the tables. A figure that would divide by zero
// (no counted load, or a single one for the deviation) is nullopt.
struct ActivityFigures {
    std::vector<ListedPair> pairs;
    double TotalLoads = 0;
    double SumSquares = 0;
    std::optional<double> AverageMoveDistance;
    std::optional<double> StandardDeviation;
};

// Distance between two locations by the method; no scale factor.
double Distance(Metric method, double x1, double y1, double x2, double y2);

// DeptDistance for every two of the DeptCount departments.
void ComputeDistances(MhActivityState& mh, Metric method);

// Moves below the diagonal join those of the same pair above it; the table stays so.
void CombineDirections(MhActivityState& mh);

// The whole computation the results window runs on opening: distances, combined directions,
// LoadDistance and ActivityTotal, saved copies of the locations, listed pairs and the figures.
ActivityFigures ComputeActivity(MhActivityState& mh, Metric method);

// The same from the current locations, without taking new saved copies (before a print).
ActivityFigures Recompute(MhActivityState& mh, Metric method);

// A pair's share of the total, nullopt when the total is 0.
std::optional<double> PercentOfTotal(const MhActivityState& mh, int i, int j);

// The share by which best lowers start, in percent; nullopt when start is 0.
std::optional<double> Reduction(double start, double best);

// Whether the results window can show the layout's activity: the computation runs on a copy
// (mh is left as it is) and every figure the window, its print, the move window and a save
// after it would show must be a number. Otherwise the refusal naming what went beyond the
// largest number; the window is not opened then.
Status CheckActivityResult(const MhActivityState& mh, Metric method);

// The same for the switch window: every exchange's activity and the reduction.
Status CheckSwitchResult(const MhActivityState& mh, Metric method);

// The same for the improvement: the activity after each step and the reduction.
Status CheckImproveResult(const MhActivityState& mh, Metric method);

// One tried exchange of the switch search.
struct SwitchTrial {
    int dept1 = 0;
    int dept2 = 0;
    double activity = 0;
};

struct SwitchOutcome {
    double StartActivity = 0;
    double BestActivity = 0;
    std::vector<SwitchTrial> trials;
};

// Tries every exchange of two departments' locations once; SwitchDept1/SwitchDept2 name the
// first pair with the strictly lowest total, or stay kNoSwitch. The locations end as they
// were; DeptDistance, LoadDistance and ActivityTotal keep the last trial's values.
SwitchOutcome RunSwitchSearch(MhActivityState& mh, Metric method);

// Exchanges the locations of SwitchDept1 and SwitchDept2; names and moves stay in their rows.
void MakeSwitch(MhActivityState& mh);

// One exchange of the improvement and the activity after it.
using ImproveStep = SwitchTrial;

struct ImproveOutcome {
    double StartActivity = 0;
    std::vector<ImproveStep> steps;
    // The layout after the last step, slots 1..DeptCount.
    Table1<double, kDeptSlots> x;
    Table1<double, kDeptSlots> y;
    bool stoppedAtLimit = false;
};

// Far more exchanges than any layout of 15 departments needs; a guard, not a setting.
inline constexpr int kMaxImproveSteps = 10000;

// Steepest descent: the best exchange of the switch search, made, again and again until no
// exchange lowers the activity. Works on a copy; moves must be combined already.
ImproveOutcome Improve(const MhActivityState& mh, Metric method);

// Takes the improved layout as the current one.
void AcceptImprovedLayout(MhActivityState& mh, const ImproveOutcome& outcome);

// One row of the department window as typed.
struct DepartmentEntry {
    std::string name;
    std::string x;
    std::string y;
};

// The department window's "Ok": the rows with Y above 0 are the departments, in their order;
// an emptied row between them takes its name, location and moves out of the tables, so that
// the departments after it keep their own moves. Returns DeptCount.
int AcceptDepartments(MhActivityState& mh, const std::vector<DepartmentEntry>& rows);

// The move window's "Ok": texts[i - 1][j - 1] for departments i and j.
void StoreMoves(MhActivityState& mh, const std::vector<std::vector<std::string>>& texts);

// The keyboard path: rows 1..15 emptied; DeptCount and the moves stay.
void EmptyDepartmentRows(MhActivityState& mh);

// A line of the layout picture: one listed pair, its width growing with its loads from 1 (the
// lightest flow) to kWidestFlow (the heaviest).
struct FlowLine {
    int from = 0;
    int to = 0;
    double loads = 0;
    double width = 1;
};

inline constexpr double kWidestFlow = 8;

std::vector<FlowLine> FlowLines(const MhActivityState& mh, const ActivityFigures& figures);

} // namespace davrenta
