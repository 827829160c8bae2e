#include "popmap/forms/flpopfrm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/tableparts.h"
#include "popmap/reports.h"
#include "popmap/results.h"
#include "shell/controls.h"
#include "shell/exporter.h"
#include "shell/grid.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

flpopfrm::flpopfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flpopfrm"), QStringLiteral("Distribution of Population"));

    Label1 =
        MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("Distribution of Population"));
    QFont title = Label1->font();
    title.setBold(true);
    Label1->setFont(title);
    popgrd = new Grid(this);
    NameControl(popgrd, QStringLiteral("popgrd"), QStringLiteral("Distribution of Population"));
    prtbut = MakeButton(this, QStringLiteral("prtbut"), QStringLiteral("&Print"));
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    okbut->setDefault(true);

    popgrd->setFixedRows(0);
    popgrd->setFixedCols(0);
    FillGrid(popgrd, OpenDistribution(state_.fl));
    popgrd->setColWidth(1, 600);
    popgrd->setColWidth(2, 1000);
    FitColumns(popgrd);
    SymbolColumn(popgrd, 0);

    // The column labels stand over their columns: each column is at least as wide as its
    // label, and each label exactly as wide as its column.
    auto* headings = new QHBoxLayout;
    headings->setSpacing(0);
    headings->setContentsMargins(popgrd->frameWidth(), 0, 0, 0);
    for (int c = 0; c < 3; ++c) {
        QLabel* label = MakeLabel(this, ArrayName(QStringLiteral("headlbl"), c),
                                  QString::fromStdString(kDistributionHeadings[c]));
        WidenColumn(popgrd, c, label->sizeHint().width() + label->fontMetrics().averageCharWidth());
        label->setFixedWidth(popgrd->columnWidth(c));
        headings->addWidget(label);
    }
    headings->addStretch();
    QPushButton* exportbut =
        AddExportButton(prtbut, state_, {TableExport(QStringLiteral("population served"), popgrd)});
    QBoxLayout* buttons = ButtonRows(this, {prtbut, exportbut, okbut});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(headings);
    layout->addWidget(popgrd, 1);
    layout->addLayout(buttons);
    resize(440, 480);

    connect(prtbut, &QPushButton::clicked, this, &flpopfrm::prtbut_Click);
    connect(okbut, &QPushButton::clicked, this, &flpopfrm::okbut_Click);
}

void flpopfrm::prtbut_Click() {
    PrintReport(this, DistributionReport(state_.fl),
                ReportPdfPath(state_, QStringLiteral("distribution")));
}

void flpopfrm::okbut_Click() {
    accept();
}

} // namespace davrenta
