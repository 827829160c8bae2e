#include "state/filename.h"

namespace davrenta {

std::string ProblemFilePattern(std::string_view moduleFlag) {
    std::string pattern = "*.";
    pattern += moduleFlag;
    return pattern;
}

std::string StripProblemExtension(std::string_view name, std::string_view moduleFlag) {
    if (moduleFlag.empty())
        return std::string(name);
    std::string ending = ".";
    ending += moduleFlag;
    if (name.size() >= ending.size() && name.substr(name.size() - ending.size()) == ending)
        name.remove_suffix(ending.size());
    return std::string(name);
}

std::string JoinDirectoryAndName(std::string_view directory, std::string_view name,
                                 char separator) {
    std::string path(directory);
    if (path.empty() || path.back() != separator)
        path += separator;
    path += name;
    return path;
}

bool IsAcceptableFileName(std::string_view name, char separator) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find(separator) == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::string ClickedFileName(std::string_view fileName, ChooserMode saveMode,
                            std::string_view moduleFlag) {
    if (saveMode == ChooserMode::Write)
        return StripProblemExtension(fileName, moduleFlag);
    return std::string(fileName);
}

std::optional<std::string> ChosenProblemFileName(std::string_view directory, std::string_view name,
                                                 ChooserMode saveMode, std::string_view moduleFlag,
                                                 char separator) {
    if (!IsAcceptableFileName(name, separator))
        return std::nullopt;
    if (saveMode != ChooserMode::Write)
        return JoinDirectoryAndName(directory, name, separator);
    // The ending is normalised on the name alone, so a short name can never reach back into
    // the directory part of the path.
    const std::string stem = StripProblemExtension(name, moduleFlag);
    if (!IsAcceptableFileName(stem, separator))
        return std::nullopt;
    std::string path = JoinDirectoryAndName(directory, stem, separator);
    path += '.';
    path += moduleFlag;
    return path;
}

} // namespace davrenta
