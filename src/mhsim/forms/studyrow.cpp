#include "mhsim/forms/studyrow.h"

#include "mhsim/forms/mhsdescfrm.h"

namespace davrenta {

// Entering the study clears nothing: the inputs stay for the next run.
StudyRow MhSimStudyRow(ModuleState& state) {
    return {Study::MhSimulation, [] {},
            [&state](QWidget* parent) {
                mhsdescfrm window(state, parent);
                window.exec();
            }};
}

} // namespace davrenta
