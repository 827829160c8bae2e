#pragma once

#include <functional>
#include <string>
#include <vector>

#include "state/result.h"
#include "state/shellstate.h"

class QWidget;

namespace davrenta {

// One study as the shell knows it: its flag (also its files' extension), what entering it
// clears, and its description window, which starts its chain of windows and returns when the
// study's windows have closed. A row without a description window is a study not built yet:
// its entries stay visible but disabled.
struct StudyRow {
    Study study = Study::None;
    std::function<void()> clearOnEntry;
    std::function<void(QWidget* parent)> openDescription;
    // Reads a problem file of the study into a state of its own, to refuse a file handed to
    // the program before the study opens; none: the study's windows report on it.
    std::function<Status(const std::string& path)> readFile = {};
};

using StudyTable = std::vector<StudyRow>;

// The row of a study; nullptr when the table has none.
const StudyRow* FindStudy(const StudyTable& table, Study study);

// Whether the study's windows are built; the main window enables its entries by this.
bool StudyAvailable(const StudyTable& table, Study study);

// Entering a study from the main window: ModuleFlag := the study, its tables cleared as its row
// says, then its description window opens modally.
void EnterStudy(ShellState& state, const StudyTable& table, Study study, QWidget* parent);

} // namespace davrenta
