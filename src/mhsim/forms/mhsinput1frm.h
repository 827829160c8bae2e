#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// The simulation option and, through the input-source window, where the problem comes from.
class mhsinput1frm : public QDialog {
    Q_OBJECT

  public:
    explicit mhsinput1frm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* input1but;
    QPushButton* input2but;
    QPushButton* input3but;
    QPushButton* input4but;
    QPushButton* input5but;

    void input1but_Click() { chooseOption(1); }
    void input2but_Click() { chooseOption(2); }
    void input3but_Click() { chooseOption(3); }
    void input4but_Click() { chooseOption(4); }
    void input5but_Click();

  private:
    void chooseOption(int option);

    ModuleState& state_;
};

} // namespace davrenta
