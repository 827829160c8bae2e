#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "state/result.h"
#include "state/table.h"

namespace davrenta {

// The table has 20 rows on screen; a problem never holds more.
inline constexpr int kMaxFacilities = 20;

// The single-facility study: the existing facilities, numbered 1..ExistingFacilityCount in
// table order. Slots above the count keep what they last held and are never shown.
struct SingleFacilityState {
    int ExistingFacilityCount = 0;
    int EntryFacility = 0; // the facility the input window collects next
    Table1<double, kMaxFacilities> FacilityX;
    Table1<double, kMaxFacilities> FacilityY;
    Table1<double, kMaxFacilities> FacilityWeight;
};

// One row of the table window: the x, y and weight boxes.
using FacilityBoxes = std::array<std::string, 3>;

// The description window's load: a new study starts with no facility.
void OpenDescription(SingleFacilityState& sf);

// The count window's "Ok": a whole number from 1 to 20 (leading-number rule) starts the
// input of facility 1; anything else is refused and nothing changes.
Status SetFacilityCount(SingleFacilityState& sf, std::string_view countText);

// "Facility  1 of  3" on the input window.
std::string FacilityEntryLabel(const SingleFacilityState& sf);

// The input window's "Ok": stores the facility being entered and moves on to the next one.
// True when the last facility has been stored and the table window follows.
bool StoreEnteredFacility(SingleFacilityState& sf, std::string_view x, std::string_view y,
                          std::string_view weight);

// The boxes of rows 1..n as the table window shows them when it opens.
std::vector<FacilityBoxes> TableBoxes(const SingleFacilityState& sf);

// "Solve" reads the boxes of rows 1..n back into the facility table (leading-number rule).
void StoreTableBoxes(SingleFacilityState& sf, const std::vector<FacilityBoxes>& rows);

// "Add Facility": one more facility, to be entered next. Refused at 20 facilities.
Status AddFacility(SingleFacilityState& sf);

// "Remove": the facility numbered in the box leaves the table and those after it move up.
// Refused, with nothing changed, by the rule every study's remove window keeps
// (FacilityToRemove): a whole number from 1 to n, and never the last facility.
Status RemoveFacility(SingleFacilityState& sf, std::string_view numberText);

} // namespace davrenta
