#include "mhact/forms/mhactdescfrm.h"

#include <algorithm>

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "mhact/forms/mhinput1frm.h"
#include "mhact/texts.h"
#include "shell/controls.h"
#include "shell/windowkit.h"

namespace davrenta {

mhactdescfrm::mhactdescfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhactdescfrm"), QStringLiteral("Material Handling Activity"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"), QString::fromLatin1(kMhDescription));
    Label1->setWordWrap(true);
    Command1 = MakeButton(this, QStringLiteral("Command1"), QStringLiteral("&Continue"));
    Command2 = MakeButton(this, QStringLiteral("Command2"), QStringLiteral("&Back"));
    Command1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(ButtonRow({Command1, Command2}));
    // The paragraph on a few lines while the screen has room; on more lines on a small or
    // highly scaled one, the window as tall as they need.
    int width = 460;
    if (const QScreen* s = screen())
        width = std::min(width, s->availableGeometry().width() - 40);
    resize(width, heightForWidth(width));

    connect(Command1, &QPushButton::clicked, this, &mhactdescfrm::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &mhactdescfrm::Command2_Click);
}

void mhactdescfrm::Command1_Click() {
    HideForSuccessor(this);
    OpenModal<mhinput1frm>(state_, this);
    accept();
}

void mhactdescfrm::Command2_Click() {
    reject();
}

} // namespace davrenta
