#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// The bound for the near-optimal locations of a single new POD.
class floptfrm : public QDialog {
    Q_OBJECT

  public:
    explicit floptfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* inputtxt;
    QPushButton* okbut;

    void okbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
