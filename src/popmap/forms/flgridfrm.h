#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// Offers the blank grid overlay print before the study goes on.
class flgridfrm : public QDialog {
    Q_OBJECT

  public:
    explicit flgridfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* prt1but;
    QPushButton* Contbut;
    QPushButton* backbut;

    void prt1but_Click();
    void Contbut_Click();
    void backbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
