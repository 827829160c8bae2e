#pragma once

#include <array>
#include <functional>

#include <QPointer>
#include <QStringList>

#include <QMainWindow>

#include "shell/guidefrm.h"

#include "shell/studytable.h"
#include "state/shellstate.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace davrenta {

class RecentProblemsList;

// Ends the program at once, whatever windows are open; nothing is saved.
[[noreturn]] void EndProgramNow();
void EndProgram();

// The first window and the root of every study.
class mainfrm : public QMainWindow {
    Q_OBJECT

  public:
    mainfrm(ShellState& state, StudyTable studies, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* flcmd;
    QPushButton* sflcmd;
    QPushButton* exitcmd;
    QMenu* mainmnu;
    QAction* helpmenu;
    std::array<QAction*, 6> helpmnu{}; // indices 1..5; 0 unused
    QAction* guidemnu;                 // "User Guide", after the entries above
    RecentProblemsList* recentpanel;

    // A problem file from the command line, a drop or the recent problems, opened in its
    // study as if chosen in its chooser; true when the study took it.
    bool openProblemFile(const QString& path);

    // Start-up: LineBreak, Label1, SaveMode; shows this window, then the credits in front.
    void Form_Load();

    void flcmd_Click();
    void sflcmd_Click();
    void exitcmd_Click();
    void helpmenu_Click();
    void helpmnu_Click(int index);
    void guidemnu_Click();

    // Test seam for "Exit" (the default ends the program).
    void setExitHandler(std::function<void()> handler) { exitHandler_ = std::move(handler); }

    // Where "User Guide" looks for the guide, first found first; the first is where the
    // package installs it beside the program and the one a message names when none is there.
    void setGuideFiles(QStringList files) { guideFiles_ = std::move(files); }
    // The guide's window once "User Guide" has opened it.
    guidefrm* guideWindow() const { return guide_; }

    // Enables the entries of the studies that are built.
    void enableStudies();

  private:
    ShellState& state_;
    StudyTable studies_;
    std::function<void()> exitHandler_;
    QStringList guideFiles_;
    QPointer<guidefrm> guide_;
};

// The guide (Markdown, its pictures beside it) as the package installs it beside the program,
// as a build tree holds it (the same layout under the build folder), under the install prefix,
// then in the source tree.
QStringList DefaultGuideFiles();

} // namespace davrenta
