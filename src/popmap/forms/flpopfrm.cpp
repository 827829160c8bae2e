#include "popmap/forms/flpopfrm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/reports.h"
#include "popmap/results.h"
#include "shell/controls.h"
#include "shell/grid.h"
#include "shell/printing.h"
#include "shell/windowkit.h"

namespace davrenta {

flpopfrm::flpopfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("flpopfrm"));
    setWindowTitle(QStringLiteral("Distribution of Population"));
    setAccessibleName(windowTitle());

    Label1 = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("Distribution of Population"));
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

    auto* headings = new QHBoxLayout;
    for (const std::string& text : kDistributionHeadings)
        headings->addWidget(new QLabel(QString::fromStdString(text)));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(prtbut);
    buttons->addWidget(okbut);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(headings);
    layout->addWidget(popgrd, 1);
    layout->addLayout(buttons);
    resize(440, 480);

    connect(prtbut, &QPushButton::clicked, this, &flpopfrm::prtbut_Click);
    connect(okbut, &QPushButton::clicked, this, &flpopfrm::okbut_Click);
}

void flpopfrm::prtbut_Click() { PrintReport(this, DistributionReport(state_.fl)); }

void flpopfrm::okbut_Click() { accept(); }

} // namespace davrenta
