#include "sfloc/forms/studyrow.h"

namespace davrenta {

// Not built yet: the main window shows its entries disabled.
StudyRow SingleFacilityStudyRow(ModuleState&) { return {Study::SingleFacility, {}, {}}; }

} // namespace davrenta
