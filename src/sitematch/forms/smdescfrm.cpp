#include "sitematch/forms/smdescfrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"
#include "sitematch/forms/smfrm.h"
#include "sitematch/texts.h"

namespace davrenta {

smdescfrm::smdescfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("smdescfrm"), QStringLiteral("Site Matching"));

    Label1 = MakeLabel(this, QStringLiteral("Label1"), DisplayText(kSiteMatchDescription));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(420);
    Ok = MakeButton(this, QStringLiteral("Ok"), QStringLiteral("&Continue"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    Ok->setDefault(true);

    auto* buttons = ButtonRow({Ok, backbut});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);

    connect(Ok, &QPushButton::clicked, this, &smdescfrm::Ok_Click);
    connect(backbut, &QPushButton::clicked, this, &smdescfrm::backbut_Click);
}

void smdescfrm::Ok_Click() {
    HideForSuccessor(this);
    OpenModal<smfrm>(state_, this);
    accept();
}

void smdescfrm::backbut_Click() {
    reject();
}

} // namespace davrenta
