#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// What the material-handling-activity study does; "Continue" starts its chain.
class mhactdescfrm : public QDialog {
    Q_OBJECT

  public:
    explicit mhactdescfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* Command1;
    QPushButton* Command2;

    void Command1_Click();
    void Command2_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
