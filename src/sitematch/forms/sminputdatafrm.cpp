#include "sitematch/forms/sminputdatafrm.h"

#include <vector>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/windowkit.h"
#include "sitematch/forms/smgridfrm.h"
#include "sitematch/input.h"
#include "sitematch/texts.h"

namespace davrenta {

sminputdatafrm::sminputdatafrm(ModuleState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("sminputdatafrm"), QStringLiteral("Input Data Form"));

    Label1 = MakeLabel(this, QStringLiteral("Label1"), QString::fromLatin1(kRowInputPrompt));
    Label1->setWordWrap(true); // on a narrow screen the prompt takes two lines
    faclbl = MakeLabel(this, QStringLiteral("faclbl"));
    auto* boxes = new QGridLayout;
    for (int j = 0; j < kMaxSites; ++j) {
        const QString site = QString::number(j + 1);
        timelbl[j] = MakeLabel(this, ArrayName(QStringLiteral("timelbl"), j), site);
        timelbl[j]->setAlignment(Qt::AlignCenter);
        timetxt[j] = MakeTextBox(this, ArrayName(QStringLiteral("timetxt"), j),
                                 QStringLiteral("Time to site ") + site);
        timetxt[j]->setMaximumWidth(80);
        boxes->addWidget(timelbl[j], 0, j);
        boxes->addWidget(timetxt[j], 1, j);
    }
    Label2 = MakeLabel(this, QStringLiteral("Label2"), QStringLiteral("Demand"));
    demandtxt = MakeTextBox(this, QStringLiteral("demandtxt"), QStringLiteral("Demand"));
    demandtxt->setMaximumWidth(100);
    Label2->setBuddy(demandtxt);
    boxes->addWidget(Label2, 0, kMaxSites);
    boxes->addWidget(demandtxt, 1, kMaxSites);
    Ok = MakeButton(this, QStringLiteral("Ok"), QStringLiteral("&Ok"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    Ok->setDefault(true);

    auto* buttons = ButtonRow({Ok, backbut});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(faclbl);
    // Ten sites and the demand do not fit beside each other on a small or scaled screen.
    layout->addWidget(ScrollingPage(this, boxes), 1);
    layout->addLayout(buttons);

    connect(Ok, &QPushButton::clicked, this, &sminputdatafrm::Ok_Click);
    connect(backbut, &QPushButton::clicked, this, &sminputdatafrm::backbut_Click);

    faclbl->setText(QString::fromStdString(EntryFacilityText(state_.sm)));
    for (QLineEdit* box : timetxt)
        box->hide();
    for (int j = 0; j < std::min(state_.sm.SiteCount, kMaxSites); ++j)
        timetxt[j]->show();
    timetxt[0]->setFocus();
}

void sminputdatafrm::Ok_Click() {
    std::vector<std::string> times;
    for (QLineEdit* box : timetxt)
        times.push_back(box->text().toStdString());
    if (StoreRow(state_.sm, times, demandtxt->text().toStdString())) {
        faclbl->setText(QString::fromStdString(EntryFacilityText(state_.sm)));
        faclbl->repaint();
        for (QLineEdit* box : timetxt)
            box->clear();
        demandtxt->clear();
        timetxt[0]->setFocus();
        return;
    }
    HideForSuccessor(this);
    OpenModal<smgridfrm>(state_, this);
    accept();
}

void sminputdatafrm::backbut_Click() {
    reject();
}

void sminputdatafrm::reject() {
    // A row begun with "Add Facility" is dropped and the table it came from shows again.
    if (state_.sm.AddingFacility && !leaving_) {
        leaving_ = true;
        CancelAddedFacility(state_.sm);
        HideForSuccessor(this);
        OpenModal<smgridfrm>(state_, this);
        accept();
        return;
    }
    QDialog::reject();
}

} // namespace davrenta
