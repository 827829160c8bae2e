#pragma once

#include "app/modulestate.h"
#include "shell/studytable.h"

namespace davrenta {

// The single-facility study's row of the main window's study table.
StudyRow SingleFacilityStudyRow(ModuleState& state);

} // namespace davrenta
