#pragma once

#include <string>

#include "state/table.h"

namespace davrenta {

// The windows hold 15 departments; the tables keep 30 slots per dimension.
inline constexpr int kMaxDepartments = 15;
inline constexpr int kDeptSlots = 30;

// No switch lowers the activity (yet).
inline constexpr int kNoSwitch = -99;

// The material-handling activity study's tables.
struct MhActivityState {
    int DeptCount = 0;
    Table1<std::string, kDeptSlots> DeptName;
    Table1<double, kDeptSlots> DeptX;
    Table1<double, kDeptSlots> DeptY;
    // Moves from row i to column j; after the activity computation both directions of a pair
    // sit above the diagonal.
    CellTable<double, kDeptSlots, kDeptSlots> MoveCount;
    CellTable<double, kDeptSlots, kDeptSlots> DeptDistance;
    CellTable<double, kDeptSlots, kDeptSlots> LoadDistance;
    double ActivityTotal = 0;
    // The layout the switch trials restore after each exchange.
    Table1<double, kDeptSlots> SavedDeptX;
    Table1<double, kDeptSlots> SavedDeptY;
    int SwitchDept1 = kNoSwitch;
    int SwitchDept2 = kNoSwitch;
};

} // namespace davrenta
