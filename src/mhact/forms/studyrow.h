#pragma once

#include "app/modulestate.h"
#include "shell/studytable.h"

namespace davrenta {

// The material-handling-activity study's row of the main window's study table.
StudyRow MhActivityStudyRow(ModuleState& state);

} // namespace davrenta
