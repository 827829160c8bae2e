#include "shell/sourcefrm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/windowkit.h"

namespace davrenta {

sourcefrm::sourcefrm(ShellState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("sourcefrm"), QStringLiteral("Input Source"));

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
    state_.SourceFlag = Source::None;
    Keybut->setFocus();
}

void sourcefrm::Keybut_Click() {
    state_.SourceFlag = Source::Keyboard;
    // A typed problem starts from empty map tables, whichever study asked.
    state_.KeyboardProblemChosen();
    accept();
}

void sourcefrm::diskbut_Click() {
    state_.SaveMode = ChooserMode::Read;
    state_.SourceFlag = Source::Disk;
    state_.DiskProblemChosen();
    accept();
}

void sourcefrm::backbut_Click() {
    reject();
}

} // namespace davrenta
