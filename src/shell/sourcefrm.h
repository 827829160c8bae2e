#pragma once

#include <QDialog>

#include "state/shellstate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// Asks whether the problem is typed in or loaded from a file; the answer is SourceFlag,
// which the caller reads once this window has closed.
class sourcefrm : public QDialog {
    Q_OBJECT

  public:
    explicit sourcefrm(ShellState& state, QWidget* parent = nullptr);

    // With a file handed to the program, "Existing Problem From Disk" without showing.
    int exec() override;

    QLabel* Label1;
    QPushButton* Keybut;
    QPushButton* diskbut;
    QPushButton* backbut;

    void Keybut_Click();
    void diskbut_Click();
    void backbut_Click();

  private:
    ShellState& state_;
};

} // namespace davrenta
