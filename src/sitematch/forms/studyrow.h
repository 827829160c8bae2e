#pragma once

#include "app/modulestate.h"
#include "shell/studytable.h"

namespace davrenta {

// The matching study's row of the main window's study table.
StudyRow SiteMatchStudyRow(ModuleState& state);

} // namespace davrenta
