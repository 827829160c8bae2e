#include "mhsim/forms/mhsinput2frm.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "mhsim/forms/mhsresultfrm.h"
#include "mhsim/forms/runner.h"
#include "mhsim/parameters.h"
#include "mhsim/texts.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"

namespace davrenta {

mhsinput2frm::mhsinput2frm(ModuleState& state, QWidget* parent)
    : RunningDialog(parent), state_(state) {
    MhSimState& mhs = state_.mhs;
    SetUpWindow(this, QStringLiteral("mhsinput2frm"), Q(OptionCaption(mhs.SimOption)));

    dayslbl =
        MakeLabel(this, QStringLiteral("dayslbl"), QStringLiteral("Number of simulation cycles"));
    lsimlbl = MakeLabel(this, QStringLiteral("lsimlbl"),
                        QStringLiteral("Length of simulation cycle (hours per day)"));
    afreqlbl =
        MakeLabel(this, QStringLiteral("afreqlbl"), QStringLiteral("Demand Rate (demands/hours)"));
    nservlbl = MakeLabel(this, QStringLiteral("nservlbl"), QStringLiteral("Number of servers"));
    distlbl =
        MakeLabel(this, QStringLiteral("distlbl"), QStringLiteral("Service Time Distribution"));
    paramlbl = MakeLabel(this, QStringLiteral("paramlbl"),
                         QStringLiteral("Service Time Distribution Parameters"));
    svcalbl = MakeLabel(this, QStringLiteral("svcalbl"));
    svcblbl = MakeLabel(this, QStringLiteral("svcblbl"));
    Label8 = MakeLabel(this, QStringLiteral("Label8"),
                       QStringLiteral("Specified maximum length of queue"));
    seedlbl =
        MakeLabel(this, QStringLiteral("seedlbl"), QStringLiteral("Seed (empty: the time of day)"));
    statuslbl = MakeLabel(this, QStringLiteral("statuslbl"));
    daystxt = MakeTextBox(this, QStringLiteral("daystxt"), dayslbl->text());
    lsimtxt = MakeTextBox(this, QStringLiteral("lsimtxt"), lsimlbl->text());
    afreqtxt = MakeTextBox(this, QStringLiteral("afreqtxt"), afreqlbl->text());
    nservtxt = MakeTextBox(this, QStringLiteral("nservtxt"), nservlbl->text());
    svcatxt = MakeTextBox(this, QStringLiteral("svcatxt"), QStringLiteral("Parameter a"));
    svcbtxt = MakeTextBox(this, QStringLiteral("svcbtxt"), QStringLiteral("Parameter b"));
    wspacetxt = MakeTextBox(this, QStringLiteral("wspacetxt"), Label8->text());
    seedtxt = MakeTextBox(this, QStringLiteral("seedtxt"), QStringLiteral("Seed"));
    distlst = new QListWidget(this);
    NameControl(distlst, QStringLiteral("distlst"), distlbl->text());
    distlbl->setBuddy(distlst);
    simbar = new QProgressBar(this);
    NameControl(simbar, QStringLiteral("simbar"), QStringLiteral("Cycles simulated"));
    simbar->hide();
    okbut = MakeButton(this, QStringLiteral("okbut"), QStringLiteral("&Simulate"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    cancelbut = MakeButton(this, QStringLiteral("cancelbut"), QStringLiteral("&Cancel"));
    cancelbut->hide();
    okbut->setDefault(true);

    auto* grid = new QGridLayout;
    int row = 0;
    const auto add = [&](QLabel* label, QWidget* field) {
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        label->setBuddy(field);
        ++row;
    };
    add(dayslbl, daystxt);
    add(lsimlbl, lsimtxt);
    add(afreqlbl, afreqtxt);
    add(nservlbl, nservtxt);
    add(Label8, wspacetxt);
    add(distlbl, distlst);
    grid->addWidget(paramlbl, row++, 0, 1, 2);
    add(svcalbl, svcatxt);
    add(svcblbl, svcbtxt);
    add(seedlbl, seedtxt);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(statuslbl, 1);
    buttons->addWidget(cancelbut);
    buttons->addWidget(okbut);
    buttons->addWidget(backbut);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(simbar);
    layout->addLayout(buttons);
    setTabOrder(daystxt, lsimtxt);
    setTabOrder(lsimtxt, afreqtxt);
    setTabOrder(afreqtxt, nservtxt);
    setTabOrder(nservtxt, wspacetxt);
    setTabOrder(wspacetxt, distlst);
    setTabOrder(distlst, svcatxt);
    setTabOrder(svcatxt, svcbtxt);
    setTabOrder(svcbtxt, seedtxt);
    setTabOrder(seedtxt, okbut);

    // Filled once, as the window opens; a second run uses the boxes as the user left them.
    for (const char* entry : kDistributionEntries)
        distlst->addItem(QString::fromLatin1(entry));
    distlst->setMaximumHeight(distlst->sizeHintForRow(0) * 8 + 2 * distlst->frameWidth() + 4);
    svcatxt->show();
    svcbtxt->show();
    if (mhs.DistCode >= 1 && mhs.DistCode <= 8)
        distlst->setCurrentRow(mhs.DistCode - 1);
    else
        distlst->setCurrentRow(-1);
    showLabels(mhs.DistCode);
    lsimtxt->setText(Q(InputText(mhs, mhs.CycleLength)));
    daystxt->setText(Q(InputText(mhs, mhs.SimCycles)));
    wspacetxt->setText(Q(InputText(mhs, mhs.QueueLimit)));
    svcatxt->setText(Q(InputText(mhs, mhs.ServiceParamA)));
    svcbtxt->setText(Q(InputText(mhs, mhs.ServiceParamB)));
    nservtxt->setText(Q(InputText(mhs, mhs.NumServers)));
    afreqtxt->setText(Q(InputText(mhs, mhs.DemandRate)));
    const bool limited = mhs.SimOption == 3 || mhs.SimOption == 4;
    wspacetxt->setVisible(limited);
    Label8->setVisible(limited);

    // The current row, however it changes (mouse, arrow keys, typing), sets the labels; a click
    // on the entry already chosen empties the boxes as well.
    connect(distlst, &QListWidget::currentRowChanged, this, &mhsinput2frm::distlst_Click);
    connect(distlst, &QListWidget::itemClicked, this, &mhsinput2frm::distlst_Click);
    connect(okbut, &QPushButton::clicked, this, &mhsinput2frm::okbut_Click);
    connect(backbut, &QPushButton::clicked, this, &mhsinput2frm::backbut_Click);
    connect(cancelbut, &QPushButton::clicked, this, &mhsinput2frm::cancelbut_Click);
    daystxt->setFocus();
}

void mhsinput2frm::showLabels(int distCode) {
    const ParameterLabels labels = LabelsFor(distCode);
    svcalbl->setText(Q(labels.a));
    svcblbl->setText(Q(labels.b));
    svcatxt->setAccessibleName(Q(labels.a));
    svcbtxt->setAccessibleName(labels.bShown ? Q(labels.b) : QStringLiteral("Parameter b"));
    svcblbl->setVisible(labels.bShown);
    svcbtxt->setVisible(labels.bShown);
}

void mhsinput2frm::distlst_Click() {
    svcalbl->show();
    svcblbl->show();
    svcatxt->show();
    svcbtxt->show();
    svcatxt->clear();
    svcbtxt->clear();
    showLabels(distlst->currentRow() + 1);
}

RunOutcome mhsinput2frm::simulate(std::uint64_t seed) {
    statuslbl->clear();
    // The run works on its own copy; the window's state takes the results once it is done.
    MhSimState work = state_.mhs;
    const RunOutcome outcome = runInBackground(
        {simbar, cancelbut, {okbut, backbut, distlst}, {}},
        static_cast<long long>(state_.mhs.SimCycles),
        [&work, seed](const RunControl& control) { return RunSimulation(work, seed, control); });
    if (outcome.status == RunStatus::Done)
        state_.mhs = std::move(work);
    okbut->setFocus();
    return outcome;
}

void mhsinput2frm::okbut_Click() {
    ParameterEntries entries;
    entries.daystxt = daystxt->text().toStdString();
    entries.lsimtxt = lsimtxt->text().toStdString();
    entries.afreqtxt = afreqtxt->text().toStdString();
    entries.nservtxt = nservtxt->text().toStdString();
    entries.svcatxt = svcatxt->text().toStdString();
    entries.svcbtxt = svcbtxt->text().toStdString();
    entries.wspacetxt = wspacetxt->text().toStdString();
    entries.seedtxt = seedtxt->text().toStdString();
    entries.selected =
        distlst->currentItem() && distlst->currentItem()->isSelected() ? distlst->currentRow() : -1;
    const Result<std::uint64_t> seed = StoreParameters(state_.mhs, entries);
    if (!seed) {
        ShowMessage(this, seed.message());
        return;
    }
    const RunOutcome outcome = simulate(*seed);
    if (outcome.status == RunStatus::Cancelled) {
        statuslbl->setText(QStringLiteral("The run was cancelled; no results are shown."));
        return;
    }
    if (outcome.status == RunStatus::Refused) {
        ShowMessage(this, outcome.message);
        return;
    }
    if (OpenResultsWindow(state_, this) == kResultsNew)
        accept();
}

void mhsinput2frm::backbut_Click() {
    accept();
}

void mhsinput2frm::cancelbut_Click() {
    cancelRun();
}

} // namespace davrenta
