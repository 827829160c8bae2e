#include "popmap/forms/fldescfrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/flgridfrm.h"
#include "popmap/texts.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

fldescfrm::fldescfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("fldescfrm"),
                QStringLiteral("POD Location By Population Map"));

    Label1 = MakeLabel(this, QStringLiteral("Label1"), DisplayText(kPopMapDescription));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(WidthOnScreen(this, 420));
    contbut = MakeButton(this, QStringLiteral("contbut"), QStringLiteral("&Continue"));
    Command1 = MakeButton(this, QStringLiteral("Command1"), QStringLiteral("&Back"));
    contbut->setDefault(true);

    // The description scrolls on a small screen; the buttons stay in view.
    auto* text = new QVBoxLayout;
    text->addWidget(Label1);
    PageAndButtons(this, text, ButtonRow({contbut, Command1}));

    connect(contbut, &QPushButton::clicked, this, &fldescfrm::contbut_Click);
    connect(Command1, &QPushButton::clicked, this, &fldescfrm::Command1_Click);
}

void fldescfrm::contbut_Click() {
    HideForSuccessor(this);
    OpenModal<flgridfrm>(state_, this);
    accept();
}

void fldescfrm::Command1_Click() {
    reject();
}

} // namespace davrenta
