#include "shell/mainfrm.h"

#include <cstdio>
#include <cstdlib>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/controls.h"
#include "shell/creditfrm.h"
#include "shell/guidefrm.h"
#include "shell/messages.h"
#include "shell/openfile.h"
#include "shell/recentfiles.h"
#include "shell/windowkit.h"

namespace davrenta {

void EndProgramNow() {
    std::fflush(nullptr);
    std::_Exit(0);
}

void EndProgram() {
    // With modal windows open their handlers are waiting further up the stack and would go on
    // once their loops return; leave at once instead.
    if (QApplication::activeModalWidget())
        EndProgramNow();
    QCoreApplication::exit(0);
}

mainfrm::mainfrm(ShellState& state, StudyTable studies, QWidget* parent)
    : QMainWindow(parent), state_(state), studies_(std::move(studies)) {
    SetUpWindow(this, QStringLiteral("mainfrm"), QString::fromLatin1(kApplicationTitle));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("mainpanel"));
    Label1 = MakeLabel(central, QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    Label1->setFont(big);
    flcmd = MakeButton(central, QStringLiteral("flcmd"),
                       QStringLiteral(" Determine POD Locations By &Population Map"));
    sflcmd = MakeButton(central, QStringLiteral("sflcmd"),
                        QStringLiteral("Determine &Single POD Location By Demand"));
    exitcmd = MakeButton(central, QStringLiteral("exitcmd"), QStringLiteral("E&xit"));

    auto* layout = new QVBoxLayout(central);
    layout->addWidget(Label1);
    layout->addSpacing(12);
    layout->addWidget(flcmd);
    layout->addWidget(sflcmd);
    layout->addSpacing(12);
    recentpanel = new RecentProblemsList(central);
    layout->addWidget(recentpanel, 1);
    layout->addSpacing(12);
    layout->addWidget(exitcmd, 0, Qt::AlignHCenter);
    layout->setContentsMargins(24, 18, 24, 18);
    setCentralWidget(central);
    setTabOrder(flcmd, sflcmd);
    setTabOrder(sflcmd, recentpanel->recentlist);
    setTabOrder(recentpanel->recentremovebut, exitcmd);
    connect(recentpanel, &RecentProblemsList::openRequested, this, &mainfrm::openProblemFile);
    AcceptProblemDrops(this, [this](const QString& file) { openProblemFile(file); });

    mainmnu = menuBar()->addMenu(QStringLiteral("&Help"));
    mainmnu->setObjectName(QStringLiteral("mainmnu"));
    mainmnu->setAccessibleName(QStringLiteral("Help"));
    helpmenu = MakeAction(this, QStringLiteral("helpmenu"),
                          QStringLiteral("&Single Facility Location By Demand"));
    mainmnu->addAction(helpmenu);
    const char* captions[] = {nullptr,
                              "Facility Location By &Population Map",
                              "Facility Site &Matching",
                              "Material &Handling Activity",
                              "Material Handling Simula&tion",
                              "&About"};
    for (int i = 1; i <= 5; ++i) {
        helpmnu[static_cast<std::size_t>(i)] = MakeAction(
            this, ArrayName(QStringLiteral("helpmnu"), i), QString::fromLatin1(captions[i]));
        mainmnu->addAction(helpmnu[static_cast<std::size_t>(i)]);
        connect(helpmnu[static_cast<std::size_t>(i)], &QAction::triggered, this,
                [this, i] { helpmnu_Click(i); });
    }
    mainmnu->addSeparator();
    guidemnu = MakeAction(this, QStringLiteral("guidemnu"), QStringLiteral("&User Guide"));
    mainmnu->addAction(guidemnu);
    connect(guidemnu, &QAction::triggered, this, &mainfrm::guidemnu_Click);
    guideFiles_ = DefaultGuideFiles();

    connect(flcmd, &QPushButton::clicked, this, &mainfrm::flcmd_Click);
    connect(sflcmd, &QPushButton::clicked, this, &mainfrm::sflcmd_Click);
    connect(exitcmd, &QPushButton::clicked, this, &mainfrm::exitcmd_Click);
    connect(helpmenu, &QAction::triggered, this, &mainfrm::helpmenu_Click);

    enableStudies();
    resize(520, 480);
}

void mainfrm::enableStudies() {
    flcmd->setEnabled(StudyAvailable(studies_, Study::PopMap));
    sflcmd->setEnabled(StudyAvailable(studies_, Study::SingleFacility));
    helpmenu->setEnabled(StudyAvailable(studies_, Study::SingleFacility));
    helpmnu[1]->setEnabled(StudyAvailable(studies_, Study::PopMap));
    helpmnu[2]->setEnabled(StudyAvailable(studies_, Study::SiteMatch));
    helpmnu[3]->setEnabled(StudyAvailable(studies_, Study::MhActivity));
    helpmnu[4]->setEnabled(StudyAvailable(studies_, Study::MhSimulation));
    helpmnu[5]->setEnabled(true);
}

void mainfrm::Form_Load() {
    state_.LineBreak = '\r';
    const std::string lb(1, state_.LineBreak);
    Label1->setText(DisplayText("Davrenta" + lb + lb + "Click on Option"));
    state_.SaveMode = ChooserMode::Read;
    show();
    creditfrm credits(this);
    credits.exec();
    if (flcmd->isEnabled())
        flcmd->setFocus();
    else
        exitcmd->setFocus();
}

bool mainfrm::openProblemFile(const QString& path) {
    return OpenProblemFile(state_, studies_, path, this);
}

void mainfrm::flcmd_Click() {
    EnterStudy(state_, studies_, Study::PopMap, this);
}

void mainfrm::sflcmd_Click() {
    EnterStudy(state_, studies_, Study::SingleFacility, this);
}

void mainfrm::helpmenu_Click() {
    EnterStudy(state_, studies_, Study::SingleFacility, this);
}

void mainfrm::helpmnu_Click(int index) {
    switch (index) {
    case 1:
        EnterStudy(state_, studies_, Study::PopMap, this);
        break;
    case 2:
        EnterStudy(state_, studies_, Study::SiteMatch, this);
        break;
    case 3:
        EnterStudy(state_, studies_, Study::MhActivity, this);
        break;
    case 4:
        EnterStudy(state_, studies_, Study::MhSimulation, this);
        break;
    case 5: {
        creditfrm credits(this);
        credits.exec();
        break;
    }
    default:
        break;
    }
}

QStringList DefaultGuideFiles() {
    const QString besideProgram =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/davrenta/guide");
    QStringList files;
    for (const QString& dir :
         {QDir::cleanPath(besideProgram), QStringLiteral(DAVRENTA_BUILD_GUIDE_DIR),
          QStringLiteral(DAVRENTA_INSTALLED_GUIDE_DIR), QStringLiteral(DAVRENTA_SOURCE_GUIDE_DIR)})
        files << QDir::cleanPath(dir + QStringLiteral("/guide.md"));
    files.removeDuplicates();
    return files;
}

void mainfrm::guidemnu_Click() {
    for (const QString& file : std::as_const(guideFiles_)) {
        if (!QFileInfo(file).isFile())
            continue;
        if (!guide_)
            guide_ = new guidefrm(this);
        if (!guide_->showGuide(file)) {
            ShowMessage(this, QStringLiteral("The User Guide %1 cannot be read.")
                                  .arg(QDir::toNativeSeparators(file)));
            return;
        }
        guide_->show();
        guide_->raise();
        guide_->activateWindow();
        return;
    }
    const QString expected = guideFiles_.isEmpty() ? QString() : guideFiles_.front();
    ShowMessage(this, QStringLiteral("The User Guide is not installed. It belongs in %1; it "
                                     "comes with the davrenta package.")
                          .arg(QDir::toNativeSeparators(expected)));
}

void mainfrm::exitcmd_Click() {
    if (exitHandler_)
        exitHandler_();
    else
        EndProgram();
}

} // namespace davrenta
