#include "mhact/forms/studyrow.h"

namespace davrenta {

// Not built yet: the main window shows its entries disabled.
StudyRow MhActivityStudyRow(ModuleState&) { return {Study::MhActivity, {}, {}}; }

} // namespace davrenta
