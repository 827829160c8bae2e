#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QPushButton;

namespace davrenta {

class Grid;

// The problem as it stands: areas and existing PODs, to edit, save or solve.
class flocgridfrm : public QDialog {
    Q_OBJECT

  public:
    explicit flocgridfrm(ModuleState& state, QWidget* parent = nullptr);

    Grid* areagrd;
    Grid* facgrd;
    QPushButton* Okbut;
    QPushButton* editbut;
    QPushButton* savebut;

    void Okbut_Click();
    void editbut_Click();
    void savebut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
