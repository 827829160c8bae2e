#include "popmap/forms/flservfrm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/flareafrm.h"
#include "popmap/forms/flcountfrm.h"
#include "popmap/forms/floptfrm.h"
#include "popmap/forms/tableparts.h"
#include "popmap/mapfile.h"
#include "popmap/reports.h"
#include "popmap/results.h"
#include "popmap/sequence.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/grid.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

flservfrm::flservfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flservfrm"), QStringLiteral("Output"));

    facgrd = new Grid(this);
    NameControl(facgrd, QStringLiteral("facgrd"),
                QStringLiteral("PODs and the population each serves"));
    floclbl = MakeLabel(this, QStringLiteral("floclbl"));
    result1lbl = MakeLabel(this, QStringLiteral("result1lbl"));
    result2lbl = MakeLabel(this, QStringLiteral("result2lbl"));
    result4lbl = MakeLabel(this, QStringLiteral("result4lbl"));
    result5lbl = MakeLabel(this, QStringLiteral("result5lbl"));
    result6lbl = MakeLabel(this, QStringLiteral("result6lbl"));
    result7lbl = MakeLabel(this, QStringLiteral("result7lbl"));
    prooflbl = MakeLabel(this, QStringLiteral("prooflbl"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    ok2but = MakeButton(this, QStringLiteral("ok2but"), QStringLiteral("&Ok"));
    prtbut = MakeButton(this, QStringLiteral("prtbut"), QStringLiteral("&Print"));
    Prt2but = MakeButton(this, QStringLiteral("Prt2but"), QStringLiteral("&Print"));
    Savebut = MakeButton(this, QStringLiteral("Savebut"), QStringLiteral("&Save"));
    opbut = MakeButton(this, QStringLiteral("opbut"), QStringLiteral("&Near Optimal"));
    countbut = MakeButton(this, QStringLiteral("countbut"), QStringLiteral("&How Many PODs"));

    QFont heading = floclbl->font();
    heading.setBold(true);
    floclbl->setFont(heading);
    for (QLabel* l :
         {result1lbl, result2lbl, result4lbl, result5lbl, result6lbl, prooflbl, result7lbl}) {
        l->setWordWrap(true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    auto* labels = new QVBoxLayout;
    for (QLabel* l : {floclbl, result1lbl, result4lbl, result2lbl, result5lbl, result6lbl, prooflbl,
                      result7lbl})
        labels->addWidget(l);
    labels->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(facgrd, 1);
    body->addLayout(labels, 1);
    QPushButton* exportbut =
        AddExportButton(prtbut, state_, {TableExport(QStringLiteral("PODs served"), facgrd)});
    PageAndButtons(
        this, body,
        ButtonRows(this, {countbut, opbut, Savebut, prtbut, exportbut, Prt2but, okbut, ok2but}));
    resize(860, 440);

    connect(okbut, &QPushButton::clicked, this, &flservfrm::okbut_Click);
    connect(ok2but, &QPushButton::clicked, this, &flservfrm::ok2but_Click);
    connect(prtbut, &QPushButton::clicked, this, &flservfrm::prtbut_Click);
    connect(Prt2but, &QPushButton::clicked, this, &flservfrm::Prt2but_Click);
    connect(Savebut, &QPushButton::clicked, this, &flservfrm::Savebut_Click);
    connect(opbut, &QPushButton::clicked, this, &flservfrm::opbut_Click);
    connect(countbut, &QPushButton::clicked, this, &flservfrm::countbut_Click);

    const ResultsTexts t = OpenResults(state_.fl, state_.DistanceMethod, state_.LineBreak);
    floclbl->setText(CellText(t.floclbl));
    result1lbl->setText(DisplayText(t.result1lbl));
    result2lbl->setText(DisplayText(t.result2lbl));
    result4lbl->setText(DisplayText(t.result4lbl));
    result5lbl->setText(DisplayText(t.result5lbl));
    result6lbl->setText(DisplayText(t.result6lbl));
    result7lbl->setText(DisplayText(t.result7lbl));
    prooflbl->setText(DisplayText(t.prooflbl));
    prooflbl->setVisible(!t.prooflbl.empty());
    facgrd->setFixedRows(1);
    facgrd->setFixedCols(0);
    FillGrid(facgrd, t.facgrd);
    facgrd->setColWidth(3, 1200);
    FitColumns(facgrd);
    SymbolColumn(facgrd, 0);
    UseTheRoom(facgrd);
    okbut->setVisible(t.okbut);
    prtbut->setVisible(t.prtbut);
    ok2but->setVisible(t.ok2but);
    Prt2but->setVisible(t.Prt2but);
    Savebut->setVisible(t.Savebut);
    opbut->setVisible(t.opbut);
    // Beside the new PODs' results: what each further POD buys, and the coverage questions.
    countbut->setVisible(t.Savebut);
    (t.okbut ? okbut : ok2but)->setDefault(true);
}

void flservfrm::okbut_Click() {
    if (ResultsOk(state_.fl) == NextWindow::Map) {
        HideForSuccessor(this);
        OpenModal<flareafrm>(state_, this);
    }
    accept();
}

void flservfrm::ok2but_Click() {
    accept();
}

void flservfrm::prtbut_Click() {
    PrintReport(this, ResultsReport1(state_.fl), ReportPdfPath(state_, QStringLiteral("results")));
}

void flservfrm::Prt2but_Click() {
    PrintReport(this, ResultsReport2(state_.fl),
                ReportPdfPath(state_, QStringLiteral("pods-served")));
}

void flservfrm::Savebut_Click() {
    // The file is chosen first, so that a cancelled save adds nothing; a second save from the
    // same window does not add the same POD again.
    SaveProblemAs(state_, this, [this] { return SaveResults(state_, podsAdded_); });
}

void flservfrm::countbut_Click() {
    OpenModal<flcountfrm>(state_, this);
}

void flservfrm::opbut_Click() {
    HideForSuccessor(this);
    OpenModal<floptfrm>(state_, this);
    accept();
}

} // namespace davrenta
