#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

class Grid;

// The map, typed line by line under the column rulers.
class flinput4frm : public QDialog {
    Q_OBJECT

  public:
    explicit flinput4frm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label3;
    QLabel* linelbl;
    QLabel* Label5;
    QLabel* Label4;
    QLineEdit* inputtxt;
    Grid* flareagrd;
    QPushButton* rowprevbut;
    QPushButton* rownextbut;
    QPushButton* okbut;
    QPushButton* Command1;

    void rowprevbut_Click();
    void rownextbut_Click();
    void okbut_Click();
    void Command1_Click();

  private:
    void leaveLine();
    void showCurrentLine();
    ModuleState& state_;
};

} // namespace davrenta
