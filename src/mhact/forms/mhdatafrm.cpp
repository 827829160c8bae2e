#include "mhact/forms/mhdatafrm.h"

#include <vector>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mhact/activity.h"
#include "mhact/forms/mhdeptfrm.h"
#include "mhact/texts.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

mhdatafrm::mhdatafrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhdatafrm"), QStringLiteral("Input Data"));
    instlbl =
        MakeLabel(this, QStringLiteral("instlbl"), QString::fromLatin1(kDepartmentInstructions));
    instlbl->setWordWrap(true);
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    okbut->setDefault(true);

    auto* table = new QGridLayout;
    const char* headings[] = {"Number", "Name", "X", "Y"};
    for (int c = 0; c < 4; ++c)
        table->addWidget(new QLabel(QString::fromLatin1(headings[c]), this), 0, c);
    for (int i = 1; i <= kMaxDepartments; ++i) {
        const QString row = QString::number(i);
        numlbl[i] =
            MakeLabel(this, ArrayName(QStringLiteral("numlbl"), i), QStringLiteral(" ") + row);
        nametxt[i] = MakeTextBox(this, ArrayName(QStringLiteral("nametxt"), i),
                                 QStringLiteral("Name ") + row);
        xtxt[i] =
            MakeTextBox(this, ArrayName(QStringLiteral("xtxt"), i), QStringLiteral("X ") + row);
        ytxt[i] =
            MakeTextBox(this, ArrayName(QStringLiteral("ytxt"), i), QStringLiteral("Y ") + row);
        table->addWidget(numlbl[i], i, 0);
        table->addWidget(nametxt[i], i, 1);
        table->addWidget(xtxt[i], i, 2);
        table->addWidget(ytxt[i], i, 3);
    }
    table->setColumnStretch(1, 2);
    table->setColumnStretch(2, 1);
    table->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okbut);
    buttons->addWidget(backbut);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instlbl);
    layout->addLayout(table);
    layout->addLayout(buttons);

    connect(okbut, &QPushButton::clicked, this, &mhdatafrm::okbut_Click);
    connect(backbut, &QPushButton::clicked, this, &mhdatafrm::backbut_Click);

    const int shown = std::clamp(state_.mh.DeptCount, 0, kMaxDepartments);
    for (int i = 1; i <= shown; ++i) {
        const auto texts = DepartmentRowTexts(state_.mh, i);
        nametxt[i]->setText(CellText(texts[0]));
        xtxt[i]->setText(CellText(texts[1]));
        ytxt[i]->setText(CellText(texts[2]));
    }
}

void mhdatafrm::okbut_Click() {
    std::vector<DepartmentEntry> rows;
    for (int i = 1; i <= kMaxDepartments; ++i)
        rows.push_back({CellBytes(nametxt[i]->text()), CellBytes(xtxt[i]->text()),
                        CellBytes(ytxt[i]->text())});
    if (AcceptDepartments(state_.mh, rows) == 0) {
        ShowMessage(this, kNoDataEntered);
        return;
    }
    HideForSuccessor(this);
    OpenModal<mhdeptfrm>(state_, this);
    accept();
}

void mhdatafrm::backbut_Click() {
    reject();
}

} // namespace davrenta
