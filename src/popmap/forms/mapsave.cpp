#include "popmap/forms/mapsave.h"

#include "popmap/mapfile.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

bool SaveMapProblem(ModuleState& state, QWidget* from) {
    return SaveProblemAs(state, from, [&state] { return WriteMapFile(state); });
}

} // namespace davrenta
