#pragma once

#include <array>

#include <QDialog>

#include "app/modulestate.h"
#include "popmap/model.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// The existing PODs: 30 rows of column (x) and line (y).
class flinput2frm : public QDialog {
    Q_OBJECT

  public:
    explicit flinput2frm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label3;
    std::array<QLineEdit*, kMaxExistingPods> inputxtxt{};
    std::array<QLineEdit*, kMaxExistingPods> inputytxt{};
    QPushButton* okbut;

    void okbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
