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
    Label1->setMinimumWidth(WidthOnScreen(this, 420));
    contbut = MakeButton(this, QStringLiteral("contbut"), QStringLiteral("&Continue"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    contbut->setDefault(true);

    auto* buttons = ButtonRow({contbut, backbut});
    // The description scrolls on a small screen; the buttons stay in view.
    auto* text = new QVBoxLayout;
    text->addWidget(Label1);
    PageAndButtons(this, text, buttons);

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
        // A file that cannot be read sends the user back to the chooser; choosing none ends the
        // study with the table as it was.
        if (OpenProblemFile(state_, this, [this] { return ReadSfFile(state_); })) {
            HandOver<sfgridfrm>(this, state_);
            return;
        }
    }
    accept();
}

void sfdescfrm::backbut_Click() {
    reject();
}

} // namespace davrenta
