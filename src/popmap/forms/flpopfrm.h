#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

class Grid;

// Map points and population per point of every area.
class flpopfrm : public QDialog {
    Q_OBJECT

  public:
    explicit flpopfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    Grid* popgrd;
    QPushButton* prtbut;
    QPushButton* okbut;

    void prtbut_Click();
    void okbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
