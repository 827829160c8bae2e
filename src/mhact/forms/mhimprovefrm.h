#pragma once

#include <QDialog>

#include "app/modulestate.h"
#include "mhact/activity.h"

class QLabel;
class QPushButton;

namespace davrenta {

class Grid;

// The best exchange made again and again until none lowers the activity; the user takes the
// final layout or keeps the current one.
class mhimprovefrm : public QDialog {
    Q_OBJECT

  public:
    explicit mhimprovefrm(ModuleState& state, QWidget* parent = nullptr);

    Grid* impgrd;
    QLabel* Label1;
    QPushButton* exportbut; // the table as CSV
    QPushButton* acceptbut;
    QPushButton* keepbut;

    void acceptbut_Click();
    void keepbut_Click();

    bool layoutAccepted() const { return accepted_; }

  private:
    ModuleState& state_;
    ImproveOutcome outcome_;
    bool accepted_ = false;
};

} // namespace davrenta
