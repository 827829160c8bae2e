#include "mhact/forms/mhimprovefrm.h"

#include <algorithm>

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "mhact/forms/resultgrid.h"
#include "mhact/forms/windowparts.h"
#include "mhact/texts.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/grid.h"
#include "shell/windowkit.h"

namespace davrenta {

mhimprovefrm::mhimprovefrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhimprovefrm"), QStringLiteral("Improve Layout"));
    impgrd = new Grid(this);
    NameControl(impgrd, QStringLiteral("impgrd"),
                QStringLiteral("Switches made and the activity after each"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"));
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1->setWordWrap(true);
    exportbut =
        MakeExportButton(this, state_, {TableExport(QStringLiteral("improvement"), impgrd, [this] {
                             // The activity before the first switch, then after each.
                             FullColumn activity{3, {outcome_.StartActivity}};
                             for (const ImproveStep& s : outcome_.steps)
                                 activity.values.push_back(s.activity);
                             return std::vector<FullColumn>{activity};
                         })});
    acceptbut = MakeButton(this, QStringLiteral("acceptbut"), QStringLiteral("&Accept Layout"));
    keepbut = MakeButton(this, QStringLiteral("keepbut"), QStringLiteral("&Keep Current Layout"));

    // The table takes the room the result leaves; on a small or highly scaled screen the
    // result wraps and the table scrolls.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(impgrd, 1);
    layout->addWidget(Label1);
    layout->addLayout(ButtonRows(this, {exportbut, acceptbut, keepbut}));

    connect(acceptbut, &QPushButton::clicked, this, &mhimprovefrm::acceptbut_Click);
    connect(keepbut, &QPushButton::clicked, this, &mhimprovefrm::keepbut_Click);

    outcome_ = Improve(state_.mh, state_.DistanceMethod);
    const ImproveTexts t = ImproveResultTexts(state_.mh, outcome_);
    ShowResultRows(impgrd, t.impgrd);
    Label1->setText(CellText(t.Label1));
    acceptbut->setVisible(t.improved);
    (t.improved ? acceptbut : keepbut)->setDefault(true);
    // The whole table, and the result on one line, while the screen has room for them.
    const int line = Label1->fontMetrics().horizontalAdvance(Label1->text()) + 40;
    resize(sizeHint().expandedTo(QSize(std::max(640, line), 480)));
}

void mhimprovefrm::acceptbut_Click() {
    AcceptImprovedLayout(state_.mh, outcome_);
    accepted_ = true;
    accept();
}

void mhimprovefrm::keepbut_Click() {
    reject();
}

} // namespace davrenta
