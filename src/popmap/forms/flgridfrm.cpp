#include "popmap/forms/flgridfrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/flfrm.h"
#include "popmap/reports.h"
#include "popmap/texts.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

flgridfrm::flgridfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flgridfrm"), QStringLiteral("Grid Printing"));

    Label1 =
        MakeLabel(this, QStringLiteral("Label1"), DisplayText(GridPrintingText(state_.LineBreak)));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(WidthOnScreen(this, 420));
    prt1but = MakeButton(this, QStringLiteral("prt1but"),
                         QStringLiteral("&Print Grid Overlay In Character Mode"));
    Contbut = MakeButton(this, QStringLiteral("Contbut"), QStringLiteral("&Continue"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    Contbut->setDefault(true);

    // The text scrolls on a small screen; the buttons stay in view, in rows where need be.
    auto* text = new QVBoxLayout;
    text->addWidget(Label1);
    PageAndButtons(this, text, ButtonRows(this, {prt1but, Contbut, backbut}));

    connect(prt1but, &QPushButton::clicked, this, &flgridfrm::prt1but_Click);
    connect(Contbut, &QPushButton::clicked, this, &flgridfrm::Contbut_Click);
    connect(backbut, &QPushButton::clicked, this, &flgridfrm::backbut_Click);
}

void flgridfrm::prt1but_Click() {
    PrintReport(this, GridOverlayReport(), ReportPdfPath(state_, QStringLiteral("grid")));
}

void flgridfrm::Contbut_Click() {
    HideForSuccessor(this);
    OpenModal<flfrm>(state_, this);
    accept();
}

void flgridfrm::backbut_Click() {
    reject();
}

} // namespace davrenta
