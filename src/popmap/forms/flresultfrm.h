#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QPushButton;

namespace davrenta {

class Grid;

// The data once more after a search, leading to the numbered map.
class flresultfrm : public QDialog {
    Q_OBJECT

  public:
    explicit flresultfrm(ModuleState& state, QWidget* parent = nullptr);

    Grid* flareagrd;
    Grid* flfacgrd;
    QPushButton* okbut;

    void okbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
