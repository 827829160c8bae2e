#include "sitematch/forms/studyrow.h"

namespace davrenta {

// Not built yet: the main window shows its entries disabled.
StudyRow SiteMatchStudyRow(ModuleState&) { return {Study::SiteMatch, {}, {}}; }

} // namespace davrenta
