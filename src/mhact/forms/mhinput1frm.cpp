#include "mhact/forms/mhinput1frm.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "mhact/activity.h"
#include "mhact/forms/mhdatafrm.h"
#include "mhact/mhfile.h"
#include "shell/controls.h"
#include "shell/filefrm.h"
#include "shell/messages.h"
#include "shell/sourcefrm.h"
#include "shell/windowkit.h"

namespace davrenta {

mhinput1frm::mhinput1frm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("mhinput1frm"),
                QStringLiteral("Method of Distance Calculation"));
    rectbut = MakeButton(this, QStringLiteral("rectbut"), QStringLiteral("&Rectilinear"));
    eucbut = MakeButton(this, QStringLiteral("eucbut"), QStringLiteral("&Euclidean"));
    sqeucbut = MakeButton(this, QStringLiteral("sqeucbut"), QStringLiteral("&Squared Euclidean"));
    backbut = MakeButton(this, QStringLiteral("backbut"), QStringLiteral("&Back"));
    rectbut->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    for (QPushButton* b : {rectbut, eucbut, sqeucbut, backbut})
        layout->addWidget(b);

    connect(rectbut, &QPushButton::clicked, this, &mhinput1frm::rectbut_Click);
    connect(eucbut, &QPushButton::clicked, this, &mhinput1frm::eucbut_Click);
    connect(sqeucbut, &QPushButton::clicked, this, &mhinput1frm::sqeucbut_Click);
    connect(backbut, &QPushButton::clicked, this, &mhinput1frm::backbut_Click);
}

void mhinput1frm::chooseDistance(Metric method) {
    state_.DistanceMethod = method;
    OpenModal<sourcefrm>(state_, this);
    if (state_.SourceFlag == Source::Disk) {
        OpenModal<filefrm>(state_, this);
        if (state_.ProblemFileName.empty()) {
            accept();
            return;
        }
        if (Status read = ReadMhFile(state_); !read) {
            // The current problem stays; another method or file may be chosen.
            ShowMessage(this, read.message());
            return;
        }
    } else {
        EmptyDepartmentRows(state_.mh);
    }
    HideForSuccessor(this);
    OpenModal<mhdatafrm>(state_, this);
    accept();
}

void mhinput1frm::rectbut_Click() {
    chooseDistance(Metric::Rectilinear);
}
void mhinput1frm::eucbut_Click() {
    chooseDistance(Metric::Euclidean);
}
void mhinput1frm::sqeucbut_Click() {
    chooseDistance(Metric::SquaredEuclidean);
}
void mhinput1frm::backbut_Click() {
    reject();
}

} // namespace davrenta
