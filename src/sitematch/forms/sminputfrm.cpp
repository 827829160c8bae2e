#include "sitematch/forms/sminputfrm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"
#include "sitematch/forms/sminputdatafrm.h"
#include "sitematch/input.h"
#include "sitematch/search.h"

namespace davrenta {

sminputfrm::sminputfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("sminputfrm"), QStringLiteral("Input"));

    Label1[0] = MakeLabel(this, ArrayName(QStringLiteral("Label1"), 0),
                          QStringLiteral("Number of Facilities (20 or less)"));
    facinputtxt = MakeTextBox(this, QStringLiteral("facinputtxt"),
                              QStringLiteral("Number of Facilities (20 or less)"));
    Label1[1] = MakeLabel(this, ArrayName(QStringLiteral("Label1"), 1),
                          QStringLiteral("Number of Available Sites (10 or less)"));
    sitesinputtxt = MakeTextBox(this, QStringLiteral("sitesinputtxt"),
                                QStringLiteral("Number of Available Sites (10 or less)"));
    Label1[0]->setBuddy(facinputtxt);
    Label1[1]->setBuddy(sitesinputtxt);
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    Backbut = MakeButton(this, QStringLiteral("Backbut"), QStringLiteral("&Back"));
    okbut->setDefault(true);

    auto* form = new QFormLayout;
    form->addRow(Label1[0], facinputtxt);
    form->addRow(Label1[1], sitesinputtxt);
    auto* buttons = ButtonRow({okbut, Backbut});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(okbut, &QPushButton::clicked, this, &sminputfrm::okbut_Click);
    connect(Backbut, &QPushButton::clicked, this, &sminputfrm::Backbut_Click);
    facinputtxt->setFocus();
}

void sminputfrm::okbut_Click() {
    Result<MatchSizes> sizes =
        ReadSizes(facinputtxt->text().toStdString(), sitesinputtxt->text().toStdString());
    if (!sizes) {
        ShowMessage(this, sizes.message());
        return;
    }
    // Too few sites for the limit: back to the limits before any row is typed in vain.
    if (Status fits = CheckSiteLimit(sizes->sites, state_.sm.MaxSites); !fits) {
        ShowMessage(this, fits.message());
        reject();
        return;
    }
    StartRows(state_.sm, *sizes);
    HideForSuccessor(this);
    OpenModal<sminputdatafrm>(state_, this);
    accept();
}

void sminputfrm::Backbut_Click() {
    reject();
}

} // namespace davrenta
