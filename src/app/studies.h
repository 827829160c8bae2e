#pragma once

#include "app/modulestate.h"
#include "shell/studytable.h"

namespace davrenta {

// Every study's row, in the main window's order; adding a study is adding its row here.
StudyTable MakeStudyTable(ModuleState& state);

} // namespace davrenta
