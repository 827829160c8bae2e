#include "sfloc/forms/sfremvfrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "sfloc/forms/chain.h"
#include "sfloc/forms/sfgridfrm.h"
#include "sfloc/texts.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

sfremvfrm::sfremvfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("sfremvfrm"), QStringLiteral("Remove Faciltiy"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"), QString::fromLatin1(kSfRemovePrompt));
    remtxt = MakeTextBox(this, QStringLiteral("remtxt"),
                         QStringLiteral("Facility identification number"));
    Label1->setBuddy(remtxt);
    rembut = MakeButton(this, QStringLiteral("rembut"), QStringLiteral("&Remove"));
    canbut = MakeButton(this, QStringLiteral("canbut"), QStringLiteral("&Cancel"));
    rembut->setDefault(true);

    auto* buttons = ButtonRow({rembut, canbut});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(remtxt);
    layout->addLayout(buttons);

    connect(rembut, &QPushButton::clicked, this, &sfremvfrm::rembut_Click);
    connect(canbut, &QPushButton::clicked, this, &sfremvfrm::canbut_Click);
    remtxt->setFocus();
}

void sfremvfrm::rembut_Click() {
    if (Status removed = RemoveFacility(state_.sf, remtxt->text().toStdString()); !removed) {
        ShowMessage(this, removed.message());
        remtxt->setFocus();
        remtxt->selectAll();
        return;
    }
    reopenTable();
}

void sfremvfrm::canbut_Click() {
    reopenTable();
}

void sfremvfrm::reject() {
    if (!leaving_)
        reopenTable();
}

void sfremvfrm::reopenTable() {
    leaving_ = true;
    HandOver<sfgridfrm>(this, state_);
}

} // namespace davrenta
