#pragma once

#include <array>
#include <functional>

#include <QMainWindow>

#include "shell/studytable.h"
#include "state/shellstate.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace davrenta {

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

    // Start-up: LineBreak, Label1, SaveMode; shows this window, then the credits in front.
    void Form_Load();

    void flcmd_Click();
    void sflcmd_Click();
    void exitcmd_Click();
    void helpmenu_Click();
    void helpmnu_Click(int index);

    // Test seam for "Exit" (the default ends the program).
    void setExitHandler(std::function<void()> handler) { exitHandler_ = std::move(handler); }

    // Enables the entries of the studies that are built.
    void enableStudies();

private:
    ShellState& state_;
    StudyTable studies_;
    std::function<void()> exitHandler_;
};

} // namespace davrenta
