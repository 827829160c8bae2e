#include "sitematch/forms/smremvfrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"
#include "sitematch/forms/buttonrow.h"
#include "sitematch/forms/smgridfrm.h"
#include "sitematch/input.h"
#include "sitematch/texts.h"

namespace davrenta {

smremvfrm::smremvfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("smremvfrm"), QStringLiteral("Remove Faciltiy"));

    Label1 = MakeLabel(this, QStringLiteral("Label1"), QString::fromLatin1(kRemovePrompt));
    remtxt = MakeTextBox(this, QStringLiteral("remtxt"), QString::fromLatin1(kRemovePrompt));
    Label1->setBuddy(remtxt);
    rembut = MakeButton(this, QStringLiteral("rembut"), QStringLiteral("&Remove"));
    canbut = MakeButton(this, QStringLiteral("canbut"), QStringLiteral("&Cancel"));
    rembut->setDefault(true);

    auto* buttons = ButtonRow({rembut, canbut});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(remtxt);
    layout->addLayout(buttons);

    connect(rembut, &QPushButton::clicked, this, &smremvfrm::rembut_Click);
    connect(canbut, &QPushButton::clicked, this, &smremvfrm::canbut_Click);
    remtxt->setFocus();
}

void smremvfrm::backToTable() {
    HideForSuccessor(this);
    OpenModal<smgridfrm>(state_, this);
    accept();
}

void smremvfrm::rembut_Click() {
    if (Status removed = RemoveFacility(state_.sm, remtxt->text().toStdString()); !removed) {
        ShowMessage(this, removed.message());
        return;
    }
    backToTable();
}

void smremvfrm::canbut_Click() {
    backToTable();
}

} // namespace davrenta
