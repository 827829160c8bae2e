#include "popmap/forms/zedu1frm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "popmap/forms/flinputfrm.h"
#include "popmap/forms/flocgridfrm.h"
#include "popmap/mapfile.h"
#include "shell/controls.h"
#include "shell/filefrm.h"
#include "shell/messages.h"
#include "shell/sourcefrm.h"
#include "shell/windowkit.h"

namespace davrenta {

zedu1frm::zedu1frm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("zedu1frm"), QStringLiteral("Davrenta"));
    setAccessibleName(QStringLiteral("Performance measure and distance method"));

    Label1 = MakeLabel(this, QStringLiteral("Label1"));
    mintravbut = MakeButton(this, QStringLiteral("mintravbut"), QStringLiteral("Minimize &Travel"));
    maxnumbut =
        MakeButton(this, QStringLiteral("maxnumbut"), QStringLiteral("Maximum &Number Served"));
    Minmaxbut =
        MakeButton(this, QStringLiteral("Minmaxbut"), QStringLiteral("Minimize &Maximum Distance"));
    rectbut = MakeButton(this, QStringLiteral("rectbut"), QStringLiteral("&Rectilinear"));
    eucbut = MakeButton(this, QStringLiteral("eucbut"), QStringLiteral("&Euclidean"));
    sqeucbut = MakeButton(this, QStringLiteral("sqeucbut"), QStringLiteral("&Squared Euclidean"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    for (QPushButton* b : {mintravbut, maxnumbut, Minmaxbut, rectbut, eucbut, sqeucbut, backbut})
        layout->addWidget(b);

    connect(mintravbut, &QPushButton::clicked, this, &zedu1frm::mintravbut_Click);
    connect(maxnumbut, &QPushButton::clicked, this, &zedu1frm::maxnumbut_Click);
    connect(Minmaxbut, &QPushButton::clicked, this, &zedu1frm::Minmaxbut_Click);
    connect(rectbut, &QPushButton::clicked, this, &zedu1frm::rectbut_Click);
    connect(eucbut, &QPushButton::clicked, this, &zedu1frm::eucbut_Click);
    connect(sqeucbut, &QPushButton::clicked, this, &zedu1frm::sqeucbut_Click);
    connect(backbut, &QPushButton::clicked, this, &zedu1frm::backbut_Click);

    // Every run starts with the measure group.
    state_.fl.maptype = MapType::Input;
    Label1->setText(QStringLiteral("Select performance measure."));
    for (QPushButton* b : {rectbut, eucbut, sqeucbut})
        b->hide();
    mintravbut->setDefault(true);
}

void zedu1frm::chooseMeasure(Measure measure) {
    state_.fl.PerformanceMeasure = measure;
    Label1->setText(QStringLiteral("Select distance calculation method."));
    for (QPushButton* b : {mintravbut, maxnumbut, Minmaxbut})
        b->hide();
    for (QPushButton* b : {rectbut, eucbut, sqeucbut})
        b->show();
    rectbut->setDefault(true);
    rectbut->setFocus();
}

void zedu1frm::chooseDistance(int method) {
    state_.DistanceMethod = static_cast<Metric>(method);
    OpenModal<sourcefrm>(state_, this);
    if (state_.SourceFlag == Source::Disk) {
        if (OpenProblemFile(state_, this, [this] { return ReadMapFile(state_); }))
            OpenModal<flocgridfrm>(state_, this);
    } else if (state_.SourceFlag == Source::Keyboard) {
        OpenModal<flinputfrm>(state_, this);
    }
    accept();
}

void zedu1frm::mintravbut_Click() {
    chooseMeasure(Measure::MinimizeTravel);
}
void zedu1frm::maxnumbut_Click() {
    chooseMeasure(Measure::MaximumServed);
}
void zedu1frm::Minmaxbut_Click() {
    chooseMeasure(Measure::MinimizeMaxDistance);
}
void zedu1frm::rectbut_Click() {
    chooseDistance(1);
}
void zedu1frm::eucbut_Click() {
    chooseDistance(2);
}
void zedu1frm::sqeucbut_Click() {
    chooseDistance(3);
}
void zedu1frm::backbut_Click() {
    reject();
}

} // namespace davrenta
