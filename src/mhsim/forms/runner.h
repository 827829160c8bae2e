#pragma once

#include <atomic>
#include <functional>
#include <initializer_list>
#include <string>

#include <QDialog>
#include <QString>

#include "mhsim/engine.h"

class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace davrenta {

// An engine's text as the simulation's windows show it.
inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A box's number; NaN for a box that holds anything else, which the checks then refuse.
double BoxNumber(const QLineEdit* box);

// A run on a worker thread while its window keeps repainting: the progress bar counts the
// cycles done of `total`, `cancel` shows and sets the flag, the `busy` controls are disabled
// until the run ends. `halfWidth`, when given, is told the half-width reached so far on the
// window's thread. The window must not close while the run goes on (see RunGuard).
struct RunDisplay {
    QProgressBar* bar = nullptr;
    QPushButton* cancel = nullptr;
    std::initializer_list<QWidget*> busy;
    std::function<void(long long done, double halfWidth)> halfWidth;
};

RunOutcome RunInBackground(const RunDisplay& display, long long total, std::atomic<bool>& cancel,
                           const std::function<RunOutcome(const RunControl&)>& run);

// A window that runs the simulation in the background. The run owns its copy of the state
// until it stops: while it goes on, closing the window or Escape asks it to stop instead.
class RunningDialog : public QDialog {
  public:
    using QDialog::QDialog;

  protected:
    RunOutcome runInBackground(const RunDisplay& display, long long total,
                               const std::function<RunOutcome(const RunControl&)>& run);
    void cancelRun() { cancel_ = true; }
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    std::atomic<bool> cancel_{false};
    bool running_ = false;
};

} // namespace davrenta
