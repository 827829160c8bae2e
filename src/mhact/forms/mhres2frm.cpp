#include "mhact/forms/mhres2frm.h"

#include <algorithm>

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "mhact/activity.h"
#include "mhact/forms/resultgrid.h"
#include "mhact/forms/windowparts.h"
#include "mhact/texts.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/grid.h"
#include "shell/windowkit.h"

namespace davrenta {

mhres2frm::mhres2frm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhres2frm"), QStringLiteral("Results 2"));
    SwitchOutcome outcome;
    const SwitchTexts t = OpenSwitches(state_.mh, state_.DistanceMethod, &outcome);
    FullColumn activity{2, {}};
    for (const SwitchTrial& trial : outcome.trials)
        activity.values.push_back(trial.activity);
    res2grd = new Grid(this);
    NameControl(res2grd, QStringLiteral("res2grd"),
                QStringLiteral("Switches tried and their activity"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"));
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1->setWordWrap(true);
    exportbut = MakeExportButton(this, state_,
                                 {TableExport(QStringLiteral("switches"), res2grd, [activity] {
                                     return std::vector<FullColumn>{activity};
                                 })});
    switchbut = MakeButton(this, QStringLiteral("switchbut"), QStringLiteral("&Make Switch"));
    noswitchbut = MakeButton(this, QStringLiteral("noswitchbut"), QStringLiteral("&No Switch"));
    donebut = MakeButton(this, QStringLiteral("donebut"), QStringLiteral("&Done"));

    // The table takes the room the result leaves; on a small or highly scaled screen the
    // result wraps and the table scrolls.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(res2grd, 1);
    layout->addWidget(Label1);
    layout->addLayout(ButtonRows(this, {exportbut, switchbut, noswitchbut, donebut}));

    connect(switchbut, &QPushButton::clicked, this, &mhres2frm::switchbut_Click);
    connect(noswitchbut, &QPushButton::clicked, this, &mhres2frm::noswitchbut_Click);
    connect(donebut, &QPushButton::clicked, this, &mhres2frm::donebut_Click);

    ShowResultRows(res2grd, t.res2grd);
    Label1->setText(CellText(t.Label1));
    switchbut->setVisible(t.improved);
    noswitchbut->setVisible(t.improved);
    donebut->setVisible(!t.improved);
    (t.improved ? switchbut : donebut)->setDefault(true);
    // The whole table, and the result on one line, while the screen has room for them.
    const int line = Label1->fontMetrics().horizontalAdvance(Label1->text()) + 40;
    resize(sizeHint().expandedTo(QSize(std::max(560, line), 480)));
}

void mhres2frm::switchbut_Click() {
    MakeSwitch(state_.mh);
    switched_ = true;
    accept();
}

void mhres2frm::noswitchbut_Click() {
    reject();
}
void mhres2frm::donebut_Click() {
    reject();
}

} // namespace davrenta
