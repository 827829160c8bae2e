#include "sitematch/forms/smfrm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/filefrm.h"
#include "shell/messages.h"
#include "shell/sourcefrm.h"
#include "shell/windowkit.h"
#include "sitematch/forms/smgridfrm.h"
#include "sitematch/forms/sminputfrm.h"
#include "sitematch/search.h"
#include "sitematch/smfile.h"
#include "sitematch/texts.h"

namespace davrenta {

smfrm::smfrm(ModuleState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpWindow(this, QStringLiteral("smfrm"), QStringLiteral("Facilities / Sites Matching"));

    Label1 = MakeLabel(this, QStringLiteral("Label1"), QString::fromLatin1(kSiteMatchTitle));
    onecmd = MakeButton(this, QStringLiteral("onecmd"), QStringLiteral("Use maximum of &one site"));
    twocmd =
        MakeButton(this, QStringLiteral("twocmd"), QStringLiteral("Use maximum of &two sites"));
    threecmd =
        MakeButton(this, QStringLiteral("threecmd"), QStringLiteral("Use maximum of t&hree sites"));
    retcmd = MakeButton(this, QStringLiteral("retcmd"), QStringLiteral("&Back"));
    onecmd->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    for (QPushButton* b : {onecmd, twocmd, threecmd, retcmd})
        layout->addWidget(b);

    connect(onecmd, &QPushButton::clicked, this, &smfrm::onecmd_Click);
    connect(twocmd, &QPushButton::clicked, this, &smfrm::twocmd_Click);
    connect(threecmd, &QPushButton::clicked, this, &smfrm::threecmd_Click);
    connect(retcmd, &QPushButton::clicked, this, &smfrm::retcmd_Click);

    state_.sm.MatchEntryFacility = 1;
}

smfrm::DiskOutcome smfrm::loadFromDisk() {
    // A file that cannot be read sends the user back to the chooser; leaving it then keeps
    // this window, with its limits, for another try.
    bool refused = false;
    const bool read = OpenProblemFile(state_, this, [this, &refused] {
        Status status = ReadSiteMatchFile(state_.ProblemFileName, state_.sm);
        refused = refused || !status;
        return status;
    });
    if (!read)
        return refused ? DiskOutcome::Refused : DiskOutcome::NoFile;
    if (Status fits = CheckSiteLimit(state_.sm); !fits) {
        ShowMessage(this, fits.message());
        return DiskOutcome::Refused;
    }
    OpenModal<smgridfrm>(state_, this);
    return DiskOutcome::Done;
}

void smfrm::startInput(int maxSites) {
    state_.sm.MaxSites = maxSites;
    OpenModal<sourcefrm>(state_, this);
    if (state_.SourceFlag == Source::Keyboard) {
        OpenModal<sminputfrm>(state_, this);
    } else if (state_.SourceFlag == Source::Disk) {
        switch (loadFromDisk()) {
        case DiskOutcome::NoFile:
            accept();
            return;
        case DiskOutcome::Refused:
            // This window stays to choose another file or limit.
            return;
        case DiskOutcome::Done:
            break;
        }
    } else {
        accept();
        return;
    }
    // One site ends the study; with two or three the user may run again with another limit.
    if (maxSites == 1)
        accept();
}

void smfrm::onecmd_Click() {
    startInput(1);
}
void smfrm::twocmd_Click() {
    startInput(2);
}
void smfrm::threecmd_Click() {
    startInput(3);
}
void smfrm::retcmd_Click() {
    reject();
}

} // namespace davrenta
