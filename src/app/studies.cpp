#include "app/studies.h"

#include "mhact/forms/studyrow.h"
#include "mhsim/forms/studyrow.h"
#include "popmap/forms/studyrow.h"
#include "sfloc/forms/studyrow.h"
#include "sitematch/forms/studyrow.h"

namespace davrenta {

StudyTable MakeStudyTable(ModuleState& state) {
    return {PopMapStudyRow(state), SingleFacilityStudyRow(state), SiteMatchStudyRow(state),
            MhActivityStudyRow(state), MhSimStudyRow(state)};
}

} // namespace davrenta
