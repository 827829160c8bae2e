#pragma once

#include <string>

#include "state/modulestate.h"

class QWidget;

namespace davrenta {

// Whether the study of a module flag ("fl", "sf", "sm", "mh", "mhs") has its windows built;
// the main window enables its entries by this.
bool StudyAvailable(const std::string& flag);

// Entering a study from the main window: ModuleFlag := flag; for "fl" the population-map
// tables are cleared; then the study's description window opens modally (when the study is
// built) and this returns once the study's windows have closed.
void EnterStudy(ModuleState& state, const std::string& flag, QWidget* parent);

} // namespace davrenta
