#include "mhact/forms/studyrow.h"

#include "mhact/forms/mhactdescfrm.h"

namespace davrenta {

StudyRow MhActivityStudyRow(ModuleState& state) {
    return {Study::MhActivity, {}, [&state](QWidget* parent) {
                mhactdescfrm window(state, parent);
                window.exec();
            }};
}

} // namespace davrenta
