#pragma once

#include "app/modulestate.h"
#include "shell/studytable.h"

namespace davrenta {

// The simulation study's row of the main window's study table.
StudyRow MhSimStudyRow(ModuleState& state);

} // namespace davrenta
