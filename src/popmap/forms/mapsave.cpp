#include "popmap/forms/mapsave.h"

#include "popmap/mapfile.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

bool SaveMapProblem(ModuleState& state, QWidget* from) {
    if (!ChooseFileToSave(state, from))
        return false;
    if (auto error = WriteMapFile(state)) {
        ShowMessage(from, *error);
        return false;
    }
    return true;
}

} // namespace davrenta
