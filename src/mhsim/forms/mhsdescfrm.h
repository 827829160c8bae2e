#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// What the simulation study does; "Continue" starts it.
class mhsdescfrm : public QDialog {
    Q_OBJECT

  public:
    explicit mhsdescfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* okbut;
    QPushButton* backbut;

    void okbut_Click();
    void backbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
