#include "state/shellstate.h"

namespace davrenta {

std::string_view StudyFlag(Study study) {
    switch (study) {
    case Study::None:
        return "";
    case Study::PopMap:
        return "fl";
    case Study::SingleFacility:
        return "sf";
    case Study::SiteMatch:
        return "sm";
    case Study::MhActivity:
        return "mh";
    case Study::MhSimulation:
        return "mhs";
    }
    return "";
}

std::string_view SourceCode(Source source) {
    switch (source) {
    case Source::Keyboard:
        return "k";
    case Source::Disk:
        return "d";
    case Source::None:
        break;
    }
    return " ";
}

} // namespace davrenta
