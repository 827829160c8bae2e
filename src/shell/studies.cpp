#include "shell/studies.h"

#include "popmap/forms/fldescfrm.h"
#include "popmap/model.h"

namespace davrenta {

namespace {

using DescriptionOpener = void (*)(ModuleState&, QWidget*);

template <typename Window>
void OpenDescription(ModuleState& state, QWidget* parent) {
    Window window(state, parent);
    window.exec();
}

// The one place that knows which description window starts which study. A study whose
// windows are built adds its line here, e.g.
//     if (flag == "fl") return &OpenDescription<fldescfrm>;
// and the main window's entries for it enable themselves.
DescriptionOpener DescriptionWindow(const std::string& flag) {
    if (flag == "fl")
        return &OpenDescription<fldescfrm>;
    return nullptr;
}

} // namespace

bool StudyAvailable(const std::string& flag) { return DescriptionWindow(flag) != nullptr; }

void EnterStudy(ModuleState& state, const std::string& flag, QWidget* parent) {
    state.ModuleFlag = flag;
    if (flag == "fl")
        ClearOnModuleEntry(state.fl);
    if (const DescriptionOpener open = DescriptionWindow(flag))
        open(state, parent);
}

} // namespace davrenta
