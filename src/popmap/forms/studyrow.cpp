#include "popmap/forms/studyrow.h"

#include "popmap/forms/fldescfrm.h"

namespace davrenta {

StudyRow PopMapStudyRow(ModuleState& state) {
    return {Study::PopMap, [&state] { ClearOnModuleEntry(state.fl); },
            [&state](QWidget* parent) {
                fldescfrm window(state, parent);
                window.exec();
            }};
}

} // namespace davrenta
