#include "popmap/forms/mapsave.h"

#include "popmap/mapfile.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

bool SaveMapProblem(ModuleState& state, QWidget* from) {
    if (!ChooseFileToSave(state, from))
        return false;
    if (Status saved = WriteMapFile(state); !saved) {
        ShowMessage(from, saved.message());
        return false;
    }
    return true;
}

} // namespace davrenta
