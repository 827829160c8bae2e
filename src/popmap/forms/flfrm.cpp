#include "popmap/forms/flfrm.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/zedu1frm.h"
#include "popmap/search.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

flfrm::flfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("flfrm"), QStringLiteral("POD Location"));

    Label1 = MakeLabel(this, QStringLiteral("Label1"),
                       QStringLiteral("Choose the number of new PODs to locate."));
    onefacbut = MakeButton(this, QStringLiteral("onefacbut"),
                           QStringLiteral("Locate &One New POD at a Time (Recommended)"));
    twofacbut = MakeButton(this, QStringLiteral("twofacbut"),
                           QStringLiteral("Locate &Two New PODs at a Time (Not Recommended)"));
    severalbut =
        MakeButton(this, QStringLiteral("severalbut"), QStringLiteral("&Several New PODs"));
    podcountlbl = MakeLabel(this, QStringLiteral("podcountlbl"),
                            QStringLiteral("&Number of new PODs (3 to 31):"));
    podcounttxt =
        MakeTextBox(this, QStringLiteral("podcounttxt"), QStringLiteral("Number of new PODs"));
    timelimitlbl = MakeLabel(this, QStringLiteral("timelimitlbl"),
                             QStringLiteral("T&ime limit in seconds (empty: none):"));
    timelimittxt = MakeTextBox(this, QStringLiteral("timelimittxt"),
                               QStringLiteral("Time limit of the search in seconds"));
    podcountlbl->setBuddy(podcounttxt);
    timelimitlbl->setBuddy(timelimittxt);
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    onefacbut->setDefault(true);

    // The boxes keep the last choice for the next run of the study.
    const PopMap& fl = state_.fl;
    podcounttxt->setText(QString::number(fl.NewPodCount >= 3 ? fl.NewPodCount : 3));
    if (fl.SearchTimeLimit > 0)
        timelimittxt->setText(QString::number(fl.SearchTimeLimit));

    auto* several = new QGridLayout;
    several->addWidget(podcountlbl, 0, 0);
    several->addWidget(podcounttxt, 0, 1);
    several->addWidget(timelimitlbl, 1, 0);
    several->addWidget(timelimittxt, 1, 1);
    several->addWidget(severalbut, 2, 0, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(onefacbut);
    layout->addWidget(twofacbut);
    layout->addLayout(several);
    layout->addWidget(backbut);

    connect(onefacbut, &QPushButton::clicked, this, &flfrm::onefacbut_Click);
    connect(twofacbut, &QPushButton::clicked, this, &flfrm::twofacbut_Click);
    connect(severalbut, &QPushButton::clicked, this, &flfrm::severalbut_Click);
    connect(backbut, &QPushButton::clicked, this, &flfrm::backbut_Click);

    // A new choice of PODs forgets the location of the previous run.
    ForgetLastLocation(state_.fl);
}

void flfrm::locate(int newPods) {
    state_.fl.NewPodCount = newPods;
    OpenModal<zedu1frm>(state_, this);
    accept();
}

void flfrm::onefacbut_Click() {
    locate(1);
}
void flfrm::twofacbut_Click() {
    locate(2);
}

void flfrm::severalbut_Click() {
    const Result<int> count = ReadSeveralPodCount(podcounttxt->text().toStdString());
    if (!count) {
        ShowMessage(this, count.message());
        podcounttxt->setFocus();
        podcounttxt->selectAll();
        return;
    }
    const Result<double> limit = ReadSearchTimeLimit(timelimittxt->text().toStdString());
    if (!limit) {
        ShowMessage(this, limit.message());
        timelimittxt->setFocus();
        timelimittxt->selectAll();
        return;
    }
    state_.fl.SearchTimeLimit = *limit;
    locate(*count);
}

void flfrm::backbut_Click() {
    reject();
}

} // namespace davrenta
