#pragma once

namespace davrenta {

// Fixed texts of the single-facility windows.
inline constexpr const char* kSfDescription =
    "This function uses the coordinates of existing facilities to determine "
    "the optimal location of a new facility based on demands. The system will "
    "calculate the location based on rectilinear, euclidean, or squared euclidean movement. ";

inline constexpr const char* kSfGridInstructions[] = {
    "In this window, you can correct, add, or remove any data.",
    "To correct data, enter the correct data in the corresponding text box.",
    "To add an existing facility, press the Add Facility button.",
    "To remove an existing facility, press the Remove Facility button."};

inline constexpr const char* kSfRemovePrompt = "Enter facility identification number to remove.";

// The names of the three answers, as the result rows head them.
inline constexpr const char* kRectName = "Rect.";
inline constexpr const char* kEuclName = "Eucl.";
inline constexpr const char* kSqEuclName = "Sq. Eucl.";

} // namespace davrenta
