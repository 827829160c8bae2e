#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

class Grid;

// Every exchange of two departments' locations and the best of them.
class mhres2frm : public QDialog {
    Q_OBJECT

  public:
    explicit mhres2frm(ModuleState& state, QWidget* parent = nullptr);

    Grid* res2grd;
    QLabel* Label1;
    QPushButton* exportbut; // the table as CSV
    QPushButton* switchbut;
    QPushButton* noswitchbut;
    QPushButton* donebut;

    void switchbut_Click();
    void noswitchbut_Click();
    void donebut_Click();

    // Whether "Make Switch" closed the window.
    bool switched() const { return switched_; }

  private:
    ModuleState& state_;
    bool switched_ = false;
};

} // namespace davrenta
