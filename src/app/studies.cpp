#include "app/studies.h"

#include <memory>

#include "mhact/forms/studyrow.h"
#include "mhact/mhfile.h"
#include "mhsim/forms/studyrow.h"
#include "mhsim/problemfile.h"
#include "popmap/forms/studyrow.h"
#include "popmap/mapfile.h"
#include "sfloc/forms/studyrow.h"
#include "sfloc/sffile.h"
#include "sitematch/forms/studyrow.h"
#include "sitematch/smfile.h"

namespace davrenta {

namespace {

// A study's reader on a state of its own, leaving the program's state as it was.
template <typename Read> std::function<Status(const std::string&)> OwnStateReader(Read read) {
    return [read](const std::string& path) {
        auto scratch = std::make_unique<ModuleState>();
        scratch->ProblemFileName = path;
        return read(*scratch);
    };
}

} // namespace

StudyTable MakeStudyTable(ModuleState& state) {
    StudyTable table = {PopMapStudyRow(state), SingleFacilityStudyRow(state),
                        SiteMatchStudyRow(state), MhActivityStudyRow(state), MhSimStudyRow(state)};
    for (StudyRow& row : table) {
        switch (row.study) {
        case Study::PopMap:
            row.readFile = OwnStateReader([](ModuleState& s) { return ReadMapFile(s); });
            break;
        case Study::SingleFacility:
            row.readFile = OwnStateReader([](ModuleState& s) { return ReadSfFile(s); });
            break;
        case Study::SiteMatch:
            row.readFile = OwnStateReader(
                [](ModuleState& s) { return ReadSiteMatchFile(s.ProblemFileName, s.sm); });
            break;
        case Study::MhActivity:
            row.readFile = OwnStateReader([](ModuleState& s) { return ReadMhFile(s); });
            break;
        case Study::MhSimulation:
            row.readFile = OwnStateReader([](ModuleState& s) { return ReadMhsFile(s); });
            break;
        case Study::None:
            break;
        }
    }
    return table;
}

} // namespace davrenta
