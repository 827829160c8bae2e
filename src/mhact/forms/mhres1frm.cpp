#include "mhact/forms/mhres1frm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "mhact/forms/layoutpicture.h"
#include "mhact/forms/mhbestfrm.h"
#include "mhact/forms/mhdatafrm.h"
#include "mhact/forms/mhimprovefrm.h"
#include "mhact/forms/mhres2frm.h"
#include "mhact/forms/resultgrid.h"
#include "mhact/forms/windowparts.h"
#include "mhact/mhfile.h"
#include "mhact/texts.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/grid.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

namespace {

// The loads, distances, their products and the shares the table rounds, pair by pair.
std::vector<FullColumn> ActivityFullColumns(const MhActivityState& mh, const ActivityFigures& f) {
    std::vector<FullColumn> columns{{2, {}}, {3, {}}, {4, {}}, {5, {}}};
    for (const ListedPair& p : f.pairs) {
        columns[0].values.push_back(mh.MoveCount(p.from, p.to));
        columns[1].values.push_back(mh.DeptDistance(p.from, p.to));
        columns[2].values.push_back(mh.LoadDistance(p.from, p.to));
        columns[3].values.push_back(PercentOfTotal(mh, p.from, p.to));
    }
    return columns;
}

} // namespace

mhres1frm::mhres1frm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhres1frm"), QStringLiteral("MH Results"));
    ActivityFigures f;
    const MhResultsTexts t = OpenMhResults(state_.mh, state_.DistanceMethod, state_.LineBreak, &f);
    res1grd = new Grid(this);
    NameControl(res1grd, QStringLiteral("res1grd"),
                QStringLiteral("Pairs of departments and their activity"));
    Label1 = MakeLabel(this, QStringLiteral("Label1"));
    Label2 = MakeLabel(this, QStringLiteral("Label2"));
    Label4 = MakeLabel(this, QStringLiteral("Label4"), QStringLiteral("Load x Dist Sum"));
    Label3 = MakeLabel(this, QStringLiteral("Label3"));
    layoutpic = new LayoutPicture(this);
    NameControl(layoutpic, QStringLiteral("layoutpic"), QStringLiteral("Layout and flows"));
    // Made in reading order, which is the order Tab follows.
    Command1 = MakeButton(this, QStringLiteral("Command1"), QStringLiteral("S&witches"));
    improvebut = MakeButton(this, QStringLiteral("improvebut"), QStringLiteral("&Improve"));
    bestbut = MakeButton(this, QStringLiteral("bestbut"), QStringLiteral("&Best Layout"));
    prntbut = MakeButton(this, QStringLiteral("prntbut"), QStringLiteral("&Print"));
    exportbut =
        MakeExportButton(this, state_,
                         {TableExport(QStringLiteral("activity"), res1grd,
                                      [full = ActivityFullColumns(state_.mh, f)] { return full; }),
                          PictureExport(QStringLiteral("flow diagram"), layoutpic)});
    savebut = MakeButton(this, QStringLiteral("savebut"), QStringLiteral("&Save"));
    newbut = MakeButton(this, QStringLiteral("newbut"), QStringLiteral("&New"));
    Command1->setDefault(true);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label3->setAlignment(Qt::AlignRight);

    auto* figures = new QGridLayout;
    figures->addWidget(Label1, 0, 0);
    figures->addWidget(Label2, 0, 1);
    figures->addWidget(Label4, 1, 0);
    figures->addWidget(Label3, 1, 1);
    auto* side = new QVBoxLayout;
    side->addLayout(figures);
    side->addWidget(layoutpic, 1);
    auto* body = new QHBoxLayout;
    // The table as wide as its columns, the diagram in the rest.
    body->addWidget(res1grd);
    body->addLayout(side, 1);
    // The table, the figures and the diagram scroll on a small or highly scaled screen rather
    // than being cut short.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ScrollingPage(this, body), 1);
    layout->addLayout(
        ButtonRows(this, {Command1, improvebut, bestbut, prntbut, exportbut, savebut, newbut}));

    connect(newbut, &QPushButton::clicked, this, &mhres1frm::newbut_Click);
    connect(savebut, &QPushButton::clicked, this, &mhres1frm::savebut_Click);
    connect(prntbut, &QPushButton::clicked, this, &mhres1frm::prntbut_Click);
    connect(Command1, &QPushButton::clicked, this, &mhres1frm::Command1_Click);
    connect(improvebut, &QPushButton::clicked, this, &mhres1frm::improvebut_Click);
    connect(bestbut, &QPushButton::clicked, this, &mhres1frm::bestbut_Click);

    ShowResultRows(res1grd, t.res1grd);
    Label1->setText(DisplayText(t.Label1));
    Label2->setText(DisplayText(t.Label2));
    Label3->setText(DisplayText(t.Label3));
    layoutpic->showLayout(state_.mh, FlowLines(state_.mh, f));
    // The whole table while the screen has room for it.
    resize(sizeHint().expandedTo(QSize(1040, 520)));
}

void mhres1frm::newbut_Click() {
    accept();
}

void mhres1frm::savebut_Click() {
    if (!ChooseFileToSave(state_, this))
        return;
    if (Status saved = WriteMhFile(state_); !saved)
        ShowMessage(this, saved.message());
}

void mhres1frm::prntbut_Click() {
    PrintReport(this, MhResultsReport(state_.mh, state_.DistanceMethod),
                ReportPdfPath(state_, QStringLiteral("activity")));
}

void mhres1frm::Command1_Click() {
    if (Status shown = CheckSwitchResult(state_.mh, state_.DistanceMethod); !shown) {
        ShowMessage(this, shown.message());
        return;
    }
    mhres2frm window(state_, VisibleOwner(this));
    window.exec();
    if (window.switched())
        continueWithNewLayout();
}

void mhres1frm::improvebut_Click() {
    if (Status shown = CheckImproveResult(state_.mh, state_.DistanceMethod); !shown) {
        ShowMessage(this, shown.message());
        return;
    }
    mhimprovefrm window(state_, VisibleOwner(this));
    window.exec();
    if (window.layoutAccepted())
        continueWithNewLayout();
}

void mhres1frm::bestbut_Click() {
    if (Status shown = CheckBestLayoutProblem(state_.mh, state_.DistanceMethod); !shown) {
        ShowMessage(this, shown.message());
        return;
    }
    mhbestfrm window(state_, VisibleOwner(this));
    window.exec();
    if (window.layoutAccepted())
        continueWithNewLayout();
}

void mhres1frm::continueWithNewLayout() {
    HideForSuccessor(this);
    OpenModal<mhdatafrm>(state_, this);
    accept();
}

} // namespace davrenta
