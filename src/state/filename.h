#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "state/shellstate.h"

namespace davrenta {

// The platform's directory separator; a directory path that already ends in it is a drive root.
inline constexpr char kPathSeparator = '/';

inline constexpr const char* kInvalidFileNameText = "Invalid File Name";
inline constexpr const char* kInvalidDeviceText = "Invalid device";

// The chooser's file list pattern: "*." followed by the module flag.
std::string ProblemFilePattern(std::string_view moduleFlag);

// Removes a "." + flag ending from a name; any other name is kept as it stands. Only the dotted
// ending counts: "townfl" keeps its letters, so saving never drops characters the user typed.
std::string StripProblemExtension(std::string_view name, std::string_view moduleFlag);

// Directory and name with one separator between them (none added after a drive root).
std::string JoinDirectoryAndName(std::string_view directory, std::string_view name,
                                 char separator = kPathSeparator);

// A name the chooser can hand on: not empty, not "." or "..", no separator and no NUL inside.
bool IsAcceptableFileName(std::string_view name, char separator = kPathSeparator);

// What the name box shows after a single click on a listed file.
std::string ClickedFileName(std::string_view fileName, ChooserMode saveMode,
                            std::string_view moduleFlag);

// The full path "Ok" returns for the name box, or nullopt for "Invalid File Name". Load mode
// takes the name as it stands; save mode normalises its ending to "." + flag.
std::optional<std::string> ChosenProblemFileName(std::string_view directory, std::string_view name,
                                                 ChooserMode saveMode, std::string_view moduleFlag,
                                                 char separator = kPathSeparator);

} // namespace davrenta
