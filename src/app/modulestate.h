#pragma once

#include "mhact/model.h"
#include "mhsim/model.h"
#include "popmap/model.h"
#include "sfloc/model.h"
#include "sitematch/model.h"
#include "state/shellstate.h"

namespace davrenta {

// The one process-wide state: the shell's flags and one state value per study, each named by
// its module flag. main() owns the program's only instance; tests make their own.
struct ModuleState : ShellState {
    PopMap fl;
    SingleFacilityState sf;
    SiteMatchState sm;
    MhActivityState mh;
    MhSimState mhs;

    void KeyboardProblemChosen() override { ClearForKeyboardProblem(fl); }
    void DiskProblemChosen() override { fl.maptype = MapType::Input; }
    void FileChosen() override { fl.maptype = MapType::Input; }
};

} // namespace davrenta
