#include "shell/studytable.h"

namespace davrenta {

const StudyRow* FindStudy(const StudyTable& table, Study study) {
    for (const StudyRow& row : table)
        if (row.study == study)
            return &row;
    return nullptr;
}

bool StudyAvailable(const StudyTable& table, Study study) {
    const StudyRow* row = FindStudy(table, study);
    return row && row->openDescription;
}

void EnterStudy(ShellState& state, const StudyTable& table, Study study, QWidget* parent) {
    state.ModuleFlag = study;
    const StudyRow* row = FindStudy(table, study);
    if (!row)
        return;
    if (row->clearOnEntry)
        row->clearOnEntry();
    if (row->openDescription)
        row->openDescription(parent);
}

} // namespace davrenta
