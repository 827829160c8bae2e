#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// What the single-facility study does; "Continue" asks for the input source.
class sfdescfrm : public QDialog {
    Q_OBJECT

  public:
    explicit sfdescfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* contbut;
    QPushButton* backbut;

    void contbut_Click();
    void backbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
