#include "sitematch/forms/smgridfrm.h"

#include <algorithm>
#include <string>
#include <vector>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"
#include "sitematch/forms/sminputdatafrm.h"
#include "sitematch/forms/smremvfrm.h"
#include "sitematch/forms/smresultsfrm.h"
#include "sitematch/input.h"
#include "sitematch/reports.h"
#include "sitematch/search.h"
#include "sitematch/texts.h"
#include "state/numbers.h"

namespace davrenta {

smgridfrm::smgridfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("smgridfrm"), QStringLiteral("Grid"));

    Label2 = MakeLabel(this, QStringLiteral("Label2"), QStringLiteral("Facility"));
    Label4 = MakeLabel(this, QStringLiteral("Label4"), QStringLiteral("Sites"));
    Label3 = MakeLabel(this, QStringLiteral("Label3"), QStringLiteral("Demand"));
    Label4->setAlignment(Qt::AlignCenter);

    auto* table = new QWidget;
    auto* cells = new QGridLayout(table);
    cells->setHorizontalSpacing(2);
    cells->setVerticalSpacing(2);
    cells->addWidget(Label2, 0, 0);
    cells->addWidget(Label4, 0, 1, 1, kMaxSites);
    cells->addWidget(Label3, 0, kMaxSites + 1);
    for (int i = 0; i < kMaxMatchFacilities; ++i) {
        const QString facility = QString::number(i + 1);
        Label1[i] = MakeLabel(table, ArrayName(QStringLiteral("Label1"), i), facility);
        cells->addWidget(Label1[i], i + 1, 0);
        for (int j = 0; j < kMaxSites; ++j) {
            const int box = kMaxSites * i + j;
            gridinputtxt[box] = MakeTextBox(
                table, ArrayName(QStringLiteral("gridinputtxt"), box),
                QStringLiteral("Facility %1, time to site %2").arg(facility).arg(j + 1));
            gridinputtxt[box]->setMinimumWidth(56);
            cells->addWidget(gridinputtxt[box], i + 1, j + 1);
        }
        griddemandtxt[i] = MakeTextBox(table, ArrayName(QStringLiteral("griddemandtxt"), i),
                                       QStringLiteral("Facility %1, demand").arg(facility));
        griddemandtxt[i]->setMinimumWidth(64);
        cells->addWidget(griddemandtxt[i], i + 1, kMaxSites + 1);
    }
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(table);
    scroll->setWidgetResizable(true);

    Label5 = MakeLabel(this, QStringLiteral("Label5"));
    Label5->setWordWrap(true);
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Ok"));
    addbut = MakeButton(this, QStringLiteral("addbut"), QStringLiteral("&Add Facility"));
    rembut = MakeButton(this, QStringLiteral("rembut"), QStringLiteral("&Remove Facility"));
    Prtbut = MakeButton(this, QStringLiteral("Prtbut"), QStringLiteral("&Print"));
    okbut->setDefault(true);

    auto* side = new QVBoxLayout;
    side->addWidget(Label5);
    side->addStretch();
    for (QPushButton* b : {okbut, addbut, rembut, Prtbut})
        side->addWidget(b);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addLayout(side);
    Label5->setMaximumWidth(240);
    resize(1000, 640);

    connect(okbut, &QPushButton::clicked, this, &smgridfrm::okbut_Click);
    connect(addbut, &QPushButton::clicked, this, &smgridfrm::addbut_Click);
    connect(rembut, &QPushButton::clicked, this, &smgridfrm::rembut_Click);
    connect(Prtbut, &QPushButton::clicked, this, &smgridfrm::Prtbut_Click);

    const SiteMatchState& sm = state_.sm;
    Label5->setText(DisplayText(GridInstructions(state_.LineBreak)));
    const int m = std::clamp(sm.MatchFacilityCount, 0, kMaxMatchFacilities);
    const int s = std::clamp(sm.SiteCount, 0, kMaxSites);
    // The round-trip form: "Ok" reads the boxes back, and a 15-digit form would round what a
    // file loaded.
    for (int i = 1; i <= m; ++i) {
        for (int j = 1; j <= s; ++j)
            gridinputtxt[kMaxSites * (i - 1) + (j - 1)]->setText(
                QString::fromStdString(RoundTripForm(sm.SiteTime(i, j))));
        griddemandtxt[i - 1]->setText(QString::fromStdString(RoundTripForm(sm.FacilityDemand[i])));
    }
    gridinputtxt[0]->setFocus();
}

void smgridfrm::storeBoxes() {
    std::vector<std::string> times, demands;
    for (QLineEdit* box : gridinputtxt)
        times.push_back(box->text().toStdString());
    for (QLineEdit* box : griddemandtxt)
        demands.push_back(box->text().toStdString());
    StoreTable(state_.sm, times, demands);
}

void smgridfrm::okbut_Click() {
    storeBoxes();
    if (Status fits = CheckSiteLimit(state_.sm); !fits) {
        ShowMessage(this, fits.message());
        reject();
        return;
    }
    // Figures too large to add up are told here, where they can be corrected.
    if (Status searched = SearchForResults(state_.sm); !searched) {
        ShowMessage(this, searched.message());
        return;
    }
    HideForSuccessor(this);
    OpenModal<smresultsfrm>(state_, this);
    accept();
}

void smgridfrm::addbut_Click() {
    // Corrections typed so far are kept: the table is rebuilt from the stored data.
    storeBoxes();
    if (Status added = AddFacility(state_.sm); !added) {
        ShowMessage(this, added.message());
        return;
    }
    HideForSuccessor(this);
    OpenModal<sminputdatafrm>(state_, this);
    accept();
}

void smgridfrm::rembut_Click() {
    storeBoxes();
    HideForSuccessor(this);
    OpenModal<smremvfrm>(state_, this);
    accept();
}

void smgridfrm::Prtbut_Click() {
    PrintReport(this, MatchDataReport(state_.sm), ReportPdfPath(state_, QStringLiteral("data")));
}

} // namespace davrenta
