#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// One facility at a time: its x and y coordinates and its weight.
class sfinputdatafrm : public QDialog {
    Q_OBJECT

  public:
    explicit sfinputdatafrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* faclbl;
    QLineEdit* xcoordtxt;
    QLineEdit* ycoordtxt;
    QLineEdit* weighttxt;
    QPushButton* okbut;
    QPushButton* backbut;

    void okbut_Click();
    void backbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
