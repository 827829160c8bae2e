#pragma once

#include <array>

#include <QDialog>

#include "app/modulestate.h"
#include "mhact/model.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// The departments: a name and a location on each of 15 rows.
class mhdatafrm : public QDialog {
    Q_OBJECT

  public:
    explicit mhdatafrm(ModuleState& state, QWidget* parent = nullptr);

    // Control arrays indexed 1..15 (slot 0 unused).
    std::array<QLabel*, kMaxDepartments + 1> numlbl{};
    std::array<QLineEdit*, kMaxDepartments + 1> nametxt{};
    std::array<QLineEdit*, kMaxDepartments + 1> xtxt{};
    std::array<QLineEdit*, kMaxDepartments + 1> ytxt{};
    QLabel* instlbl;
    QPushButton* okbut;
    QPushButton* backbut;

    void okbut_Click();
    void backbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
