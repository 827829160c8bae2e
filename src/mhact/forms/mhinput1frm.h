#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QPushButton;

namespace davrenta {

// The distance method; each method button then asks for the input source.
class mhinput1frm : public QDialog {
    Q_OBJECT

  public:
    explicit mhinput1frm(ModuleState& state, QWidget* parent = nullptr);

    QPushButton* rectbut;
    QPushButton* eucbut;
    QPushButton* sqeucbut;
    QPushButton* backbut;

    void rectbut_Click();
    void eucbut_Click();
    void sqeucbut_Click();
    void backbut_Click();

  private:
    void chooseDistance(Metric method);
    ModuleState& state_;
};

} // namespace davrenta
