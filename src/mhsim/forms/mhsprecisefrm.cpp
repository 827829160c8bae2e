#include "mhsim/forms/mhsprecisefrm.h"

#include <cmath>
#include <limits>

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "mhsim/capacity.h"
#include "mhsim/engine.h"
#include "mhsim/forms/runner.h"
#include "mhsim/parameters.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "shell/windowkit.h"
#include "state/numbers.h"
#include "state/records.h"

namespace davrenta {

mhsprecisefrm::mhsprecisefrm(ModuleState& state, QWidget* parent)
    : RunningDialog(parent), state_(state) {
    const MhSimState& mhs = state_.mhs;
    SetUpWindow(this, QStringLiteral("mhsprecisefrm"), QStringLiteral("Run until precise"));
    auto* intro = MakeLabel(this, QStringLiteral("introlbl"),
                            QStringLiteral("Simulate cycle after cycle until the 95% half-width "
                                           "of the chosen measure is below the target."));
    intro->setWordWrap(true);
    auto* measurelbl = MakeLabel(this, QStringLiteral("measurelbl"), QStringLiteral("&Measure"));
    measurelst = new QComboBox(this);
    NameControl(measurelst, QStringLiteral("measurelst"), QStringLiteral("Measure"));
    const auto offer = [this](SimMeasure m, const char* text) {
        measurelst->addItem(QString::fromLatin1(text), static_cast<int>(m));
    };
    offer(SimMeasure::Wait, "Wait time per service (minutes)");
    offer(SimMeasure::LineLen, "Line length per cycle");
    offer(SimMeasure::PropBusy, "Proportion busy time");
    if (mhs.SimOption == 2 || mhs.SimOption == 4)
        offer(SimMeasure::Overtime, "Overtime hours required per cycle");
    if (mhs.SimOption >= 3)
        offer(SimMeasure::Turnaways, "Turn aways per cycle");
    measurelbl->setBuddy(measurelst);
    auto* halflbl = MakeLabel(this, QStringLiteral("halflbl"), QStringLiteral("&Half-width below"));
    halftxt = MakeTextBox(this, QStringLiteral("halftxt"), QStringLiteral("Half-width below"));
    halftxt->setText(QStringLiteral("5"));
    halflbl->setBuddy(halftxt);
    unitlst = new QComboBox(this);
    NameControl(unitlst, QStringLiteral("unitlst"), QStringLiteral("Unit of the half-width"));
    unitlst->addItem(QStringLiteral("% of the mean"));
    unitlst->addItem(QStringLiteral("in the measure's unit"));
    auto* maxlbl =
        MakeLabel(this, QStringLiteral("maxlbl"), QStringLiteral("&Largest number of cycles"));
    maxtxt = MakeTextBox(this, QStringLiteral("maxtxt"), maxlbl->text().remove(QLatin1Char('&')));
    maxtxt->setText(Q(PlainForm(LargestPreciseCycles(mhs))));
    maxlbl->setBuddy(maxtxt);
    auto* seedlbl = MakeLabel(this, QStringLiteral("seedlbl"),
                              QStringLiteral("S&eed (empty: the time of day)"));
    seedtxt = MakeTextBox(this, QStringLiteral("seedtxt"), QStringLiteral("Seed"));
    seedtxt->setText(Q(std::to_string(mhs.Seed)));
    seedlbl->setBuddy(seedtxt);
    statuslbl = MakeLabel(this, QStringLiteral("statuslbl"));
    statuslbl->setWordWrap(true);
    precisebar = new QProgressBar(this);
    NameControl(precisebar, QStringLiteral("precisebar"), QStringLiteral("Cycles simulated"));
    precisebar->hide();
    runbut = MakeButton(this, QStringLiteral("runbut"), QStringLiteral("&Run"));
    cancelbut = MakeButton(this, QStringLiteral("cancelbut"), QStringLiteral("&Cancel"));
    cancelbut->hide();
    closebut = MakeButton(this, QStringLiteral("closebut"), QStringLiteral("Cl&ose"));
    runbut->setDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(intro, 0, 0, 1, 3);
    grid->addWidget(measurelbl, 1, 0);
    grid->addWidget(measurelst, 1, 1, 1, 2);
    // The unit on a row of its own: beside the box it left too little room for a small
    // half-width such as 0.000001 on a narrow screen.
    grid->addWidget(halflbl, 2, 0);
    grid->addWidget(halftxt, 2, 1, 1, 2);
    grid->addWidget(unitlst, 3, 1, 1, 2);
    grid->addWidget(maxlbl, 4, 0);
    grid->addWidget(maxtxt, 4, 1, 1, 2);
    grid->addWidget(seedlbl, 5, 0);
    grid->addWidget(seedtxt, 5, 1, 1, 2);
    grid->addWidget(statuslbl, 6, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelbut);
    buttons->addWidget(runbut);
    buttons->addWidget(closebut);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ScrollingPage(this, grid), 1);
    layout->addWidget(precisebar);
    layout->addLayout(buttons);

    connect(runbut, &QPushButton::clicked, this, &mhsprecisefrm::runbut_Click);
    connect(cancelbut, &QPushButton::clicked, this, &mhsprecisefrm::cancelbut_Click);
    connect(closebut, &QPushButton::clicked, this, &QDialog::reject);
    halftxt->setFocus();
}

void mhsprecisefrm::runbut_Click() {
    PrecisionTarget target;
    target.measure = static_cast<SimMeasure>(measurelst->currentData().toInt());
    target.halfWidth = BoxNumber(halftxt);
    target.relative = unitlst->currentIndex() == 0;
    target.maxCycles = BoxNumber(maxtxt);
    MhSimState work = state_.mhs;
    if (Status valid = ValidatePrecision(work, target); !valid) {
        ShowMessage(this, valid.message());
        return;
    }
    const Result<std::uint64_t> seed = ParseSeed(seedtxt->text().toStdString());
    if (!seed) {
        ShowMessage(this, seed.message());
        return;
    }
    statuslbl->clear();
    const auto total = static_cast<long long>(target.maxCycles);
    const std::string measure = MeasureName(target.measure);
    const RunOutcome outcome = runInBackground(
        {precisebar,
         cancelbut,
         {runbut, closebut, measurelst, halftxt, unitlst, maxtxt, seedtxt},
         [this, measure](long long done, double half) {
             if (half >= 0)
                 statuslbl->setText(QStringLiteral("%1 cycles: the 95% half-width of the %2 is %3")
                                        .arg(done)
                                        .arg(Q(measure))
                                        .arg(Q(FormatPicture(half, "0.0000"))));
         }},
        total, [&work, &target, s = *seed](const RunControl& control) {
            return RunUntilPrecise(work, s, target, control);
        });
    if (outcome.status == RunStatus::Cancelled) {
        statuslbl->setText(QStringLiteral("The run was cancelled; the results are as they were."));
        return;
    }
    if (outcome.status == RunStatus::Refused) {
        statuslbl->clear();
        ShowMessage(this, outcome.message);
        return;
    }
    state_.mhs = std::move(work);
    accept();
}

void mhsprecisefrm::cancelbut_Click() {
    cancelRun();
}

} // namespace davrenta
