#include "sfloc/forms/sfdescfrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "sfloc/forms/sfgridfrm.h"
#include "sfloc/forms/sfinputfrm.h"
#include "sfloc/sffile.h"
#include "sfloc/texts.h"
#include "shell/controls.h"
#include "shell/filefrm.h"
#include "shell/messages.h"
#include "shell/sourcefrm.h"
#include "shell/windowkit.h"

namespace davrenta {

sfdescfrm::sfdescfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("sfdescfrm"),
                QStringLiteral("Single Facility Location By Demand"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"), DisplayText(kSfDescription));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(420);
    contbut = MakeButton(this, QStringLiteral("contbut"), QStringLiteral("&Continue"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    contbut->setDefault(true);

    auto* buttons = ButtonRow({contbut, backbut});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);

    connect(contbut, &QPushButton::clicked, this, &sfdescfrm::contbut_Click);
    connect(backbut, &QPushButton::clicked, this, &sfdescfrm::backbut_Click);

    OpenDescription(state_.sf);
}

void sfdescfrm::contbut_Click() {
    OpenModal<sourcefrm>(state_, this);
    if (state_.SourceFlag == Source::Keyboard) {
        HandOver<sfinputfrm>(this, state_);
        return;
    }
    if (state_.SourceFlag == Source::Disk) {
        OpenModal<filefrm>(state_, this);
        if (!state_.ProblemFileName.empty()) {
            if (Status read = ReadSfFile(state_); read) {
                HandOver<sfgridfrm>(this, state_);
                return;
            } else {
                // The study ends as if no file had been chosen; the table is as it was.
                ShowMessage(this, read.message());
            }
        }
    }
    accept();
}

void sfdescfrm::backbut_Click() {
    reject();
}

} // namespace davrenta
