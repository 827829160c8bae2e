#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// The performance measure, then the distance method, which starts the input.
class zedu1frm : public QDialog {
    Q_OBJECT

  public:
    explicit zedu1frm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* mintravbut;
    QPushButton* maxnumbut;
    QPushButton* Minmaxbut;
    QPushButton* rectbut;
    QPushButton* eucbut;
    QPushButton* sqeucbut;
    QPushButton* backbut;

    void mintravbut_Click();
    void maxnumbut_Click();
    void Minmaxbut_Click();
    void rectbut_Click();
    void eucbut_Click();
    void sqeucbut_Click();
    void backbut_Click();

  private:
    void chooseMeasure(Measure measure);
    void chooseDistance(int method);
    ModuleState& state_;
};

} // namespace davrenta
