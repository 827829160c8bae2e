#include "mhact/forms/mhdeptfrm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "mhact/activity.h"
#include "mhact/forms/mhres1frm.h"
#include "mhact/texts.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

mhdeptfrm::mhdeptfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhdeptfrm"), QStringLiteral("Department Data"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    prtbut = MakeButton(this, QStringLiteral("prtbut"), QStringLiteral("&Print"));
    okbut->setDefault(true);

    const MhActivityState& mh = state_.mh;
    const int n = std::clamp(mh.DeptCount, 0, kMaxDepartments);
    auto* page = new QWidget;
    auto* table = new QGridLayout(page);
    table->addWidget(MakeLabel(page, QStringLiteral("cornerlbl"), QStringLiteral("From\\To")), 0,
                     0);
    for (int i = 1; i <= kMaxDepartments; ++i) {
        fromdeptlbl[i] = MakeLabel(page, ArrayName(QStringLiteral("fromdeptlbl"), i));
        todeptlbl[i] = MakeLabel(page, ArrayName(QStringLiteral("todeptlbl"), i));
        table->addWidget(fromdeptlbl[i], i, 0);
        table->addWidget(todeptlbl[i], 0, i);
    }
    for (int i = 1; i <= kMaxDepartments; ++i)
        for (int j = 1; j <= kMaxDepartments; ++j) {
            const int k = kMaxDepartments * (i - 1) + j;
            loadtxt[k] = MakeTextBox(page, ArrayName(QStringLiteral("loadtxt"), k),
                                     QStringLiteral("Moves from %1 to %2").arg(i).arg(j));
            loadtxt[k]->setMinimumWidth(48);
            // Only the departments' boxes are read on "Ok".
            loadtxt[k]->setEnabled(i <= n && j <= n);
            table->addWidget(loadtxt[k], i, j);
        }
    for (int i = 1; i <= n; ++i) {
        fromdeptlbl[i]->setText(CellText(mh.DeptName[i]));
        todeptlbl[i]->setText(CellText(mh.DeptName[i]));
        for (int j = 1; j <= n; ++j)
            box(i, j)->setText(CellText(MoveText(mh.MoveCount(i, j))));
    }
    auto* scroll = new QScrollArea;
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(prtbut);
    buttons->addWidget(okbut);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeLabel(this, QStringLiteral("titlelbl"), QStringLiteral("Number Moves")));
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
    resize(900, 560);

    connect(okbut, &QPushButton::clicked, this, &mhdeptfrm::okbut_Click);
    connect(prtbut, &QPushButton::clicked, this, &mhdeptfrm::prtbut_Click);
}

std::vector<std::vector<std::string>> mhdeptfrm::typedMoves() const {
    const int n = std::clamp(state_.mh.DeptCount, 0, kMaxDepartments);
    std::vector<std::vector<std::string>> texts(n, std::vector<std::string>(n));
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            texts[i - 1][j - 1] = CellBytes(box(i, j)->text());
    return texts;
}

void mhdeptfrm::okbut_Click() {
    StoreMoves(state_.mh, typedMoves());
    // Results with a figure beyond the largest number are told here, where they can be changed.
    if (Status shown = CheckActivityResult(state_.mh, state_.DistanceMethod); !shown) {
        ShowMessage(this, shown.message());
        return;
    }
    HideForSuccessor(this);
    OpenModal<mhres1frm>(state_, this);
    accept();
}

void mhdeptfrm::prtbut_Click() {
    // What the boxes show now, typed but not yet taken by "Ok".
    MhActivityState shown = state_.mh;
    StoreMoves(shown, typedMoves());
    PrintReport(this, MoveTableReport(shown), ReportPdfPath(state_, QStringLiteral("moves")));
}

} // namespace davrenta
