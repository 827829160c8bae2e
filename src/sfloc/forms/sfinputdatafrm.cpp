#include "sfloc/forms/sfinputdatafrm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "sfloc/forms/sfgridfrm.h"
#include "shell/controls.h"
#include "shell/windowkit.h"

namespace davrenta {

sfinputdatafrm::sfinputdatafrm(ModuleState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("sfinputdatafrm"), QStringLiteral("Input Data Form"));
    Label1 =
        MakeLabel(this, QStringLiteral("Label1"),
                  QStringLiteral("Input (X, Y) coordinates and weights for existing facilities"));
    faclbl = MakeLabel(this, QStringLiteral("faclbl"));
    xcoordtxt = MakeTextBox(this, QStringLiteral("xcoordtxt"), QStringLiteral("X Coordinate"));
    ycoordtxt = MakeTextBox(this, QStringLiteral("ycoordtxt"), QStringLiteral("Y Coordinate"));
    weighttxt = MakeTextBox(this, QStringLiteral("weighttxt"), QStringLiteral("Weights"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    okbut->setDefault(true);

    auto* boxes = new QGridLayout;
    QLineEdit* const edits[] = {xcoordtxt, ycoordtxt, weighttxt};
    const char* const heads[] = {"&X Coordinate", "&Y Coordinate", "&Weights"};
    for (int c = 0; c < 3; ++c) {
        auto* head = new QLabel(QString::fromLatin1(heads[c]), this);
        head->setBuddy(edits[c]);
        boxes->addWidget(head, 0, c);
        boxes->addWidget(edits[c], 1, c);
    }
    auto* buttons = ButtonRow({okbut, backbut});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(faclbl);
    layout->addLayout(boxes);
    layout->addLayout(buttons);

    connect(okbut, &QPushButton::clicked, this, &sfinputdatafrm::okbut_Click);
    connect(backbut, &QPushButton::clicked, this, &sfinputdatafrm::backbut_Click);

    faclbl->setText(QString::fromStdString(FacilityEntryLabel(state_.sf)));
    xcoordtxt->setFocus();
}

void sfinputdatafrm::okbut_Click() {
    xcoordtxt->setFocus();
    const bool last =
        StoreEnteredFacility(state_.sf, xcoordtxt->text().toStdString(),
                             ycoordtxt->text().toStdString(), weighttxt->text().toStdString());
    faclbl->setText(QString::fromStdString(FacilityEntryLabel(state_.sf)));
    faclbl->repaint();
    xcoordtxt->clear();
    ycoordtxt->clear();
    weighttxt->clear();
    if (last) {
        HandOver<sfgridfrm>(this, state_);
    }
}

void sfinputdatafrm::backbut_Click() {
    reject();
}

} // namespace davrenta
