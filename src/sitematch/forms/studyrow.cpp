#include "sitematch/forms/studyrow.h"

#include "sitematch/forms/smdescfrm.h"

namespace davrenta {

StudyRow SiteMatchStudyRow(ModuleState& state) {
    return {Study::SiteMatch, {}, [&state](QWidget* parent) {
                smdescfrm window(state, parent);
                window.exec();
            }};
}

} // namespace davrenta
