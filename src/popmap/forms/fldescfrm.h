#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// What the population-map study does; "Continue" starts its chain.
class fldescfrm : public QDialog {
    Q_OBJECT

  public:
    explicit fldescfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* contbut;
    QPushButton* Command1;

    void contbut_Click();
    void Command1_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
