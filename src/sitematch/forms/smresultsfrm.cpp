#include "sitematch/forms/smresultsfrm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/grid.h"
#include "shell/messages.h"
#include "shell/printing.h"
#include "shell/windowkit.h"
#include "sitematch/reports.h"
#include "sitematch/smfile.h"
#include "sitematch/texts.h"

namespace davrenta {

smresultsfrm::smresultsfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("smresultsfrm"), QStringLiteral("results"));

    auto* rows = new QGridLayout;
    const char* headings[] = {"Facility", "Site(s)", "Cost"};
    for (int c = 0; c < 3; ++c) {
        Label1[c] = MakeLabel(this, ArrayName(QStringLiteral("Label1"), c),
                              QString::fromLatin1(headings[c]));
        rows->addWidget(Label1[c], 0, c);
    }
    for (int i = 0; i < kMaxMatchFacilities; ++i) {
        faclbl[i] = MakeLabel(this, ArrayName(QStringLiteral("faclbl"), i));
        sitelbl[i] = MakeLabel(this, ArrayName(QStringLiteral("sitelbl"), i));
        costlbl[i] = MakeLabel(this, ArrayName(QStringLiteral("costlbl"), i));
        rows->addWidget(faclbl[i], i + 1, 0);
        rows->addWidget(sitelbl[i], i + 1, 1);
        rows->addWidget(costlbl[i], i + 1, 2);
    }
    rows->setColumnMinimumWidth(1, 120);
    rows->setRowStretch(kMaxMatchFacilities + 1, 1);

    Label2 = MakeLabel(this, QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setMinimumWidth(300);
    costslbl = MakeLabel(this, QStringLiteral("costslbl"),
                         QStringLiteral("Is another site worth it? The optimum under each "
                                        "largest number of sites:"));
    costslbl->setWordWrap(true);
    costgrd = new Grid(this);
    NameControl(costgrd, QStringLiteral("costgrd"), QStringLiteral("Costs by number of sites"));
    prtbut = MakeButton(this, QStringLiteral("prtbut"), QStringLiteral("&Print"));
    avebut = MakeButton(this, QStringLiteral("avebut"), QStringLiteral("&Save"));
    Okbut = MakeButton(this, QStringLiteral("Okbut"), QStringLiteral("&Done"));
    Okbut->setDefault(true);

    auto* right = new QVBoxLayout;
    right->addWidget(Label2);
    right->addWidget(costslbl);
    right->addWidget(costgrd, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(rows);
    body->addSpacing(16);
    body->addLayout(right, 1);
    auto* buttons = ButtonRow({prtbut, avebut, Okbut});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(880, 640);

    connect(prtbut, &QPushButton::clicked, this, &smresultsfrm::prtbut_Click);
    connect(avebut, &QPushButton::clicked, this, &smresultsfrm::avebut_Click);
    connect(Okbut, &QPushButton::clicked, this, &smresultsfrm::Okbut_Click);

    // The search ran on the table's "Ok"; this window shows what it left.
    const SiteMatchState& sm = state_.sm;
    const auto texts = MatchResultRows(sm);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        faclbl[i]->setText(QString::fromStdString(texts[i][0]));
        sitelbl[i]->setText(QString::fromStdString(texts[i][1]));
        costlbl[i]->setText(QString::fromStdString(texts[i][2]));
    }
    Label2->setText(DisplayText(MatchMessage(sm, state_.LineBreak)));

    std::vector<std::array<std::string, 4>> costs{
        {kCostsBySitesHeadings[0], kCostsBySitesHeadings[1], kCostsBySitesHeadings[2],
         kCostsBySitesHeadings[3]}};
    for (const auto& row : CostsBySitesRows(sm))
        costs.push_back(row);
    costgrd->setFixedCols(0);
    costgrd->setFixedRows(1);
    FillGrid(costgrd, costs);
    FitColumns(costgrd);
}

void smresultsfrm::prtbut_Click() {
    PrintReport(this, MatchResultsReport(state_.sm, state_.LineBreak),
                ReportPdfPath(state_, QStringLiteral("results")));
}

void smresultsfrm::avebut_Click() {
    for (QPushButton* b : {avebut, prtbut, Okbut})
        b->hide();
    bool saved = true;
    if (ChooseFileToSave(state_, this)) {
        if (Status written = WriteSiteMatchFile(state_.ProblemFileName, state_.sm); !written) {
            ShowMessage(this, written.message());
            saved = false;
        }
    }
    for (QPushButton* b : {avebut, prtbut, Okbut})
        b->show();
    // After a failed save the results stay, so that another place can be tried.
    if (saved)
        accept();
}

void smresultsfrm::Okbut_Click() {
    accept();
}

} // namespace davrenta
