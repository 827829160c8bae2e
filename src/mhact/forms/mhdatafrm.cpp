#include "mhact/forms/mhdatafrm.h"

#include <vector>

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mhact/activity.h"
#include "mhact/forms/mhdeptfrm.h"
#include "mhact/forms/windowparts.h"
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

    // Made in reading order, which is the order Tab follows.
    auto* table = new QGridLayout;
    const char* headings[] = {"Number", "Name", "X", "Y"};
    const char* headingNames[] = {"numhdrlbl", "namehdrlbl", "xhdrlbl", "yhdrlbl"};
    for (int c = 0; c < 4; ++c)
        table->addWidget(
            MakeLabel(this, QString::fromLatin1(headingNames[c]), QString::fromLatin1(headings[c])),
            0, c);
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
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    okbut->setDefault(true);

    auto* page = new QVBoxLayout;
    page->addWidget(instlbl);
    page->addLayout(table);
    page->addStretch();
    // Fifteen rows scroll on a small or highly scaled screen rather than being squeezed.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ScrollingPage(this, page), 1);
    layout->addLayout(ButtonRow({okbut, backbut}));

    connect(okbut, &QPushButton::clicked, this, &mhdatafrm::okbut_Click);
    connect(backbut, &QPushButton::clicked, this, &mhdatafrm::backbut_Click);

    const int shown = std::clamp(state_.mh.DeptCount, 0, kMaxDepartments);
    for (int i = 1; i <= shown; ++i) {
        const auto texts = DepartmentRowTexts(state_.mh, i);
        nametxt[i]->setText(CellText(texts[0]));
        xtxt[i]->setText(CellText(texts[1]));
        ytxt[i]->setText(CellText(texts[2]));
    }
    // Room for a name of a file's 14-character column and a location of a few digits.
    for (int i = 1; i <= kMaxDepartments; ++i) {
        WidenBoxFor(nametxt[i], QStringLiteral("Final Assembly"));
        WidenBoxFor(xtxt[i], QStringLiteral("0000.0"));
        WidenBoxFor(ytxt[i], QStringLiteral("0000.0"));
    }
    // All fifteen rows while the screen has room for them.
    resize(sizeHint());
    // Enter still presses Ok; typing starts in the table.
    nametxt[1]->setFocus();
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
