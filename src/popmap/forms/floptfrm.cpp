#include "popmap/forms/floptfrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/flareafrm.h"
#include "popmap/search.h"
#include "popmap/texts.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

floptfrm::floptfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("floptfrm"),
                QStringLiteral("Calculate Near Optimal Solution"));

    Label1 = MakeLabel(this, QStringLiteral("Label1"), QString::fromLatin1(kNearOptimalPrompt));
    inputtxt =
        MakeTextBox(this, QStringLiteral("inputtxt"), QString::fromLatin1(kNearOptimalPrompt));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    okbut->setDefault(true);
    Label1->setBuddy(inputtxt);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okbut);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(inputtxt);
    layout->addLayout(buttons);

    connect(okbut, &QPushButton::clicked, this, &floptfrm::okbut_Click);
    inputtxt->setFocus();
}

void floptfrm::okbut_Click() {
    if (Status marked = MarkNearOptimal(state_.fl, inputtxt->text().toStdString()); !marked) {
        ShowMessage(this, marked.message());
        inputtxt->selectAll();
        inputtxt->setFocus();
        return;
    }
    HideForSuccessor(this);
    OpenModal<flareafrm>(state_, this);
    accept();
}

} // namespace davrenta
