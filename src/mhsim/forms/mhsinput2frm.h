#pragma once

#include <atomic>

#include "app/modulestate.h"
#include "mhsim/engine.h"
#include "mhsim/forms/runner.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace davrenta {

// The run's parameters: typed in, or as read from a problem file; "Simulate" runs them and
// opens the results window of the option. The window stays beneath the results.
class mhsinput2frm : public RunningDialog {
    Q_OBJECT

  public:
    explicit mhsinput2frm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* dayslbl;
    QLabel* lsimlbl;
    QLabel* afreqlbl;
    QLabel* nservlbl;
    QLabel* distlbl;
    QLabel* paramlbl;
    QLabel* svcalbl;
    QLabel* svcblbl;
    QLabel* Label8;
    QLabel* seedlbl;
    QLabel* statuslbl;
    QLineEdit* daystxt;
    QLineEdit* lsimtxt;
    QLineEdit* afreqtxt;
    QLineEdit* nservtxt;
    QLineEdit* svcatxt;
    QLineEdit* svcbtxt;
    QLineEdit* wspacetxt;
    QLineEdit* seedtxt;
    QListWidget* distlst;
    QProgressBar* simbar; // cycles done while a run goes on
    QPushButton* okbut;
    QPushButton* backbut;
    QPushButton* cancelbut; // shown while a run goes on

    void distlst_Click();
    void okbut_Click();
    void backbut_Click();
    void cancelbut_Click();

  private:
    void showLabels(int distCode);
    // Runs the simulation on a worker thread while this window keeps repainting its progress.
    RunOutcome simulate(std::uint64_t seed);

    ModuleState& state_;
};

} // namespace davrenta
