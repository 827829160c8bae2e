#include "popmap/forms/flocgridfrm.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/flareafrm.h"
#include "popmap/forms/flinputfrm.h"
#include "popmap/forms/mapsave.h"
#include "popmap/forms/tableparts.h"
#include "popmap/results.h"
#include "shell/controls.h"
#include "shell/grid.h"
#include "shell/windowkit.h"

namespace davrenta {

flocgridfrm::flocgridfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flocgridfrm"),
                QStringLiteral("Current Input Data For Population Areas and Existing PODs"));

    areagrd = new Grid(this);
    NameControl(areagrd, QStringLiteral("areagrd"), QStringLiteral("Areas"));
    facgrd = new Grid(this);
    NameControl(facgrd, QStringLiteral("facgrd"), QStringLiteral("Existing PODs"));
    Okbut = MakeButton(this, QStringLiteral("Okbut"), QStringLiteral("&Ok"));
    editbut = MakeButton(this, QStringLiteral("editbut"), QStringLiteral("&Edit"));
    savebut = MakeButton(this, QStringLiteral("savebut"), QStringLiteral("&Save"));
    Okbut->setDefault(true);

    for (Grid* g : {areagrd, facgrd}) {
        g->setFixedRows(1);
        g->setFixedCols(0);
    }
    FillTable(areagrd, ReviewAreaRows(state_.fl));
    areagrd->setColWidth(2, 1500);
    FillTable(facgrd, ReviewPodRows(state_.fl));
    FitColumns(areagrd);
    FitColumns(facgrd);
    SymbolColumn(areagrd, 1);

    auto* grids = new QHBoxLayout;
    grids->addWidget(areagrd, 1);
    grids->addWidget(facgrd, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grids, 1);
    layout->addLayout(ButtonRows(this, {Okbut, editbut, savebut}));
    resize(720, 480);

    connect(Okbut, &QPushButton::clicked, this, &flocgridfrm::Okbut_Click);
    connect(editbut, &QPushButton::clicked, this, &flocgridfrm::editbut_Click);
    connect(savebut, &QPushButton::clicked, this, &flocgridfrm::savebut_Click);
}

void flocgridfrm::Okbut_Click() {
    HideForSuccessor(this);
    OpenModal<flareafrm>(state_, this);
    accept();
}

void flocgridfrm::editbut_Click() {
    HideForSuccessor(this);
    OpenModal<flinputfrm>(state_, this);
    accept();
}

void flocgridfrm::savebut_Click() {
    SaveMapProblem(state_, this);
}

} // namespace davrenta
