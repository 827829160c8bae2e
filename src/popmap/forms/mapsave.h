#pragma once

#include "app/modulestate.h"

class QWidget;

namespace davrenta {

// Saving the problem from a study window: the chooser, then the file, with any failure told.
// True when the file was written.
bool SaveMapProblem(ModuleState& state, QWidget* from);

} // namespace davrenta
