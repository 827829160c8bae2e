#pragma once

#include "app/modulestate.h"
#include "shell/studytable.h"

namespace davrenta {

// The population-map study's row of the main window's study table.
StudyRow PopMapStudyRow(ModuleState& state);

} // namespace davrenta
