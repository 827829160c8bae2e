#include "mhsim/forms/studyrow.h"

namespace davrenta {

// Not built yet: the main window shows its entries disabled.
StudyRow MhSimStudyRow(ModuleState&) { return {Study::MhSimulation, {}, {}}; }

} // namespace davrenta
