#pragma once

#include <string>
#include <string_view>

namespace davrenta {

// The active study; its flag is also the extension of its problem files.
enum class Study { None, PopMap, SingleFacility, SiteMatch, MhActivity, MhSimulation };

// "", "fl", "sf", "sm", "mh", "mhs".
std::string_view StudyFlag(Study study);

// Where the problem comes from, as the input-source window sets it.
enum class Source { None, Keyboard, Disk };

// " ", "k", "d".
std::string_view SourceCode(Source source);

// What the chooser is asked for: a file to read (0) or to write (1).
enum class ChooserMode { Read = 0, Write = 1 };

// The distance method shared by the population-map and material-handling studies.
enum class Metric { Rectilinear = 1, Euclidean = 2, SquaredEuclidean = 3 };

// 1, 2, 3 as stored and shown.
inline int MetricCode(Metric m) {
    return static_cast<int>(m);
}

// The shell's flags and the settings every study shares. The application's ModuleState adds
// one state value per study to these.
struct ShellState {
    virtual ~ShellState() = default;

    Study ModuleFlag = Study::None;
    Source SourceFlag = Source::None;
    ChooserMode SaveMode = ChooserMode::Read;
    std::string ProblemFileName; // full path from the chooser; empty when none was chosen
    std::string ChooserFolder;   // the folder the chooser last showed; it opens there again
    char LineBreak = '\r';
    Metric DistanceMethod = Metric::Rectilinear;

    // What the shell's windows do to study tables, filled in by the application's state so
    // that the shell needs no study: "New Problem From Keyboard" (whatever the active study),
    // "Existing Problem From Disk", and a file taken from the chooser's list or name box.
    virtual void KeyboardProblemChosen() {}
    virtual void DiskProblemChosen() {}
    virtual void FileChosen() {}
};

} // namespace davrenta
