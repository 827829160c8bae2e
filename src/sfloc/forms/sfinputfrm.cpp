#include "sfloc/forms/sfinputfrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "sfloc/forms/sfinputdatafrm.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

sfinputfrm::sfinputfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("sfinputfrm"),
                QStringLiteral("Single Faciity Location Input"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"),
                       QStringLiteral("Number of Existing Facilities (20 or less)"));
    facinputtxt = MakeTextBox(this, QStringLiteral("facinputtxt"),
                              QStringLiteral("Number of Existing Facilities"));
    Label1->setBuddy(facinputtxt);
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    Backbut = MakeButton(this, QStringLiteral("Backbut"), QStringLiteral("&Back"));
    okbut->setDefault(true);

    auto* row = new QHBoxLayout;
    row->addWidget(Label1);
    row->addWidget(facinputtxt);
    auto* buttons = ButtonRow({okbut, Backbut});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    connect(okbut, &QPushButton::clicked, this, &sfinputfrm::okbut_Click);
    connect(Backbut, &QPushButton::clicked, this, &sfinputfrm::Backbut_Click);
    facinputtxt->setFocus();
}

void sfinputfrm::okbut_Click() {
    if (Status count = SetFacilityCount(state_.sf, facinputtxt->text().toStdString()); !count) {
        ShowMessage(this, count.message());
        facinputtxt->setFocus();
        facinputtxt->selectAll();
        return;
    }
    HandOver<sfinputdatafrm>(this, state_);
}

void sfinputfrm::Backbut_Click() {
    reject();
}

} // namespace davrenta
