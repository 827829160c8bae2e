#include "shell/sourcefrm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/model.h"
#include "shell/controls.h"

namespace davrenta {

sourcefrm::sourcefrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("sourcefrm"));
    setWindowTitle(QStringLiteral("Input Source"));
    setAccessibleName(windowTitle());

    Label1 = MakeLabel(this, QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Keybut =
        MakeButton(this, QStringLiteral("Keybut"), QStringLiteral("New Problem From &Keyboard"));
    diskbut =
        MakeButton(this, QStringLiteral("diskbut"), QStringLiteral("Existing Problem From &Disk"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    Keybut->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addSpacing(8);
    layout->addWidget(Keybut);
    layout->addWidget(diskbut);
    layout->addWidget(backbut);
    setTabOrder(Keybut, diskbut);
    setTabOrder(diskbut, backbut);

    connect(Keybut, &QPushButton::clicked, this, &sourcefrm::Keybut_Click);
    connect(diskbut, &QPushButton::clicked, this, &sourcefrm::diskbut_Click);
    connect(backbut, &QPushButton::clicked, this, &sourcefrm::backbut_Click);

    // Opening the window: no answer yet.
    Label1->setText(QStringLiteral("How would you like to enter data?"));
    state_.SourceFlag = " ";
    Keybut->setFocus();
}

void sourcefrm::Keybut_Click() {
    state_.SourceFlag = "k";
    // A typed problem starts from empty map tables, whichever study asked.
    ClearForKeyboardProblem(state_.fl);
    accept();
}

void sourcefrm::diskbut_Click() {
    state_.SaveMode = 0;
    state_.SourceFlag = "d";
    state_.fl.maptype = 1;
    accept();
}

void sourcefrm::backbut_Click() {
    reject();
}

} // namespace davrenta
