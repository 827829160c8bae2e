#include "sfloc/forms/studyrow.h"

#include "sfloc/forms/sfdescfrm.h"

namespace davrenta {

// Entering the study clears nothing: the description window's load zeroes the count.
StudyRow SingleFacilityStudyRow(ModuleState& state) {
    return {Study::SingleFacility, {}, [&state](QWidget* parent) {
                sfdescfrm window(state, parent);
                window.exec();
            }};
}

} // namespace davrenta
