#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// What the matching study does; "Continue" starts its chain.
class smdescfrm : public QDialog {
    Q_OBJECT

  public:
    explicit smdescfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* Ok;
    QPushButton* backbut;

    void Ok_Click();
    void backbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
