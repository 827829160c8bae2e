#pragma once

#include <string>

namespace davrenta {

// Fixed texts of the population-map windows.
inline constexpr const char* kPopMapDescription =
    "This function finds the optimal POD location(s) for "
    "servicing a population.  The assumption that "
    "is used in this system is that the users of the PODs will go to the one "
    "that is closest to them when seeking supplies.";

inline constexpr const char* kPodEntryInstructions =
    "If there are no existing facilities press ok button. Otherwise, "
    "enter each facility's line and column coordinates.";

inline constexpr const char* kNearOptimalPrompt =
    "Enter upper bound for near optimal solution (0 to 1)";

inline constexpr const char* kTensRuler = "111111111122222222223333333333444444444455555555556";
inline constexpr const char* kUnitsRuler =
    "123456789012345678901234567890123456789012345678901234567890";

// The grid window's text; its last paragraph follows two line breaks.
std::string GridPrintingText(char lineBreak);

// The map window's column rulers, with the tens ruler starting over column 10.
std::string EntryTensRuler();

// The map screen's save asks these two first.
std::string AreaCountMessage(int areaCount);
std::string PodCountMessage(int podCount);

} // namespace davrenta
