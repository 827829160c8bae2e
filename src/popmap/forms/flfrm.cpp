#include "popmap/forms/flfrm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/zedu1frm.h"
#include "shell/controls.h"
#include "shell/windowkit.h"

namespace davrenta {

flfrm::flfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flfrm"), QStringLiteral("POD Location"));

    Label1 = MakeLabel(this, QStringLiteral("Label1"),
                       QStringLiteral("Choose the number of new PODs to locate."));
    onefacbut = MakeButton(this, QStringLiteral("onefacbut"),
                           QStringLiteral("Locate &One New POD at a Time (Recommended)"));
    twofacbut = MakeButton(this, QStringLiteral("twofacbut"),
                           QStringLiteral("Locate &Two New PODs at a Time (Not Recommended)"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    onefacbut->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(onefacbut);
    layout->addWidget(twofacbut);
    layout->addWidget(backbut);

    connect(onefacbut, &QPushButton::clicked, this, &flfrm::onefacbut_Click);
    connect(twofacbut, &QPushButton::clicked, this, &flfrm::twofacbut_Click);
    connect(backbut, &QPushButton::clicked, this, &flfrm::backbut_Click);

    // A new choice of PODs forgets the location of the previous run.
    ForgetLastLocation(state_.fl);
}

void flfrm::locate(int newPods) {
    state_.fl.NewPodCount = newPods;
    OpenModal<zedu1frm>(state_, this);
    accept();
}

void flfrm::onefacbut_Click() {
    locate(1);
}
void flfrm::twofacbut_Click() {
    locate(2);
}
void flfrm::backbut_Click() {
    reject();
}

} // namespace davrenta
