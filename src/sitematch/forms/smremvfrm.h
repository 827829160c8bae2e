#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// Asks which facility to take out of the table.
class smremvfrm : public QDialog {
    Q_OBJECT

  public:
    explicit smremvfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* remtxt;
    QPushButton* rembut;
    QPushButton* canbut;

    void rembut_Click();
    void canbut_Click();

  private:
    void backToTable();
    ModuleState& state_;
};

} // namespace davrenta
