#include "mhsim/forms/mhsdescfrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "mhsim/forms/mhsinput1frm.h"
#include "mhsim/texts.h"
#include "shell/controls.h"
#include "shell/windowkit.h"

namespace davrenta {

mhsdescfrm::mhsdescfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhsdescfrm"), QStringLiteral("Material Handling Simulation"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"), QString::fromLatin1(kMhsDescription));
    Label1->setWordWrap(true);
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Continue"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    okbut->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okbut);
    buttons->addWidget(backbut);
    // A fixed width for the text would push it past the edge of a small or highly scaled
    // screen; the page scrolls instead.
    auto* text = new QVBoxLayout;
    text->addWidget(Label1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ScrollingPage(this, text), 1);
    layout->addLayout(buttons);

    connect(okbut, &QPushButton::clicked, this, &mhsdescfrm::okbut_Click);
    connect(backbut, &QPushButton::clicked, this, &mhsdescfrm::backbut_Click);
}

void mhsdescfrm::okbut_Click() {
    HideForSuccessor(this);
    OpenModal<mhsinput1frm>(state_, this);
    accept();
}

void mhsdescfrm::backbut_Click() {
    reject();
}

} // namespace davrenta
