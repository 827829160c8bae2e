#pragma once

#include <atomic>

#include "app/modulestate.h"
#include "mhsim/forms/runner.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace davrenta {

// Runs the problem of the last run until the 95 % half-width of a measure is below a target,
// absolute or relative to its mean, or a largest number of cycles is reached. Accepted when
// the run completed and its results replaced the last run's.
class mhsprecisefrm : public RunningDialog {
    Q_OBJECT

  public:
    explicit mhsprecisefrm(ModuleState& state, QWidget* parent = nullptr);

    QComboBox* measurelst;
    QLineEdit* halftxt;
    QComboBox* unitlst; // in the measure's unit, or a percentage of the mean
    QLineEdit* maxtxt;
    QLineEdit* seedtxt;
    QLabel* statuslbl; // cycles and half-width while running
    QProgressBar* precisebar;
    QPushButton* runbut;
    QPushButton* cancelbut;
    QPushButton* closebut;

    void runbut_Click();
    void cancelbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
