#include "popmap/forms/flresultfrm.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/flareafrm.h"
#include "popmap/forms/tableparts.h"
#include "popmap/results.h"
#include "popmap/sequence.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/grid.h"
#include "shell/windowkit.h"

namespace davrenta {

flresultfrm::flresultfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flresultfrm"), QStringLiteral("Zedu results"));

    flareagrd = new Grid(this);
    NameControl(flareagrd, QStringLiteral("flareagrd"), QStringLiteral("Areas"));
    flfacgrd = new Grid(this);
    NameControl(flfacgrd, QStringLiteral("flfacgrd"), QStringLiteral("Existing PODs"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    okbut->setDefault(true);

    // Plain heading rows over every column: the numbers are data like the rest.
    for (Grid* g : {flareagrd, flfacgrd}) {
        g->setFixedRows(1);
        g->setFixedCols(0);
    }
    FillTable(flareagrd, SummaryAreaRows(state_.fl));
    flareagrd->setColWidth(1, 600);
    flareagrd->setColWidth(2, 2000);
    FillTable(flfacgrd, SummaryPodRows(state_.fl));
    flfacgrd->setColWidth(1, 800);
    flfacgrd->setColWidth(2, 800);
    FitColumns(flareagrd);
    FitColumns(flfacgrd);
    SymbolColumn(flareagrd, 1);

    auto* grids = new QHBoxLayout;
    grids->addWidget(flareagrd, 1);
    grids->addWidget(flfacgrd, 1);
    QPushButton* exportbut = AddExportButton(okbut, state_,
                                             {TableExport(QStringLiteral("areas"), flareagrd),
                                              TableExport(QStringLiteral("facilities"), flfacgrd)});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grids, 1);
    layout->addLayout(ButtonRows(this, {okbut, exportbut}));
    resize(640, 480);

    connect(okbut, &QPushButton::clicked, this, &flresultfrm::okbut_Click);
}

void flresultfrm::okbut_Click() {
    if (SummaryOk(state_.fl) == NextWindow::Map)
        OpenModal<flareafrm>(state_, this);
    accept();
}

} // namespace davrenta
