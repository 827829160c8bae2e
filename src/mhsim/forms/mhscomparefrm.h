#pragma once

#include <atomic>
#include <vector>

#include "app/modulestate.h"
#include "mhsim/capacity.h"
#include "mhsim/forms/runner.h"
#include "shell/exporter.h"

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace davrenta {

// Compares numbers of servers on the problem of the last run: every count with the same seed,
// each measure with its 95 % half-width as a table and a chart, the long-day values of theory
// beside where they apply, and the smallest count meeting a target.
class mhscomparefrm : public RunningDialog {
    Q_OBJECT

  public:
    explicit mhscomparefrm(ModuleState& state, QWidget* parent = nullptr);

    QLineEdit* fromtxt;
    QLineEdit* totxt;
    QComboBox* targetlst; // no target, an average wait, or turn-aways per cycle
    QLineEdit* targettxt;
    QLineEdit* seedtxt;
    QLabel* summarylbl; // the target's outcome
    QLabel* theorylbl;  // what the long-day values are
    QTableWidget* comparegrid;
    QComboBox* measurelst; // the measure the chart shows
    QChartView* comparechart;
    QProgressBar* comparebar;
    QPushButton* comparebut;
    QPushButton* cancelbut;
    QPushButton* prntbut;
    QPushButton* exportbut; // the table as CSV, the chart as a picture
    QPushButton* closebut;

    void comparebut_Click();
    void cancelbut_Click();
    void prntbut_Click();
    void measurelst_Click();

  private:
    void showRows();
    std::vector<FullColumn> fullColumns() const;

    ModuleState& state_;
    std::vector<MhSimState> rows_;
    CapacityTarget target_;
};

} // namespace davrenta
