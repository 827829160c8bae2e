#pragma once

#include <array>

#include <QDialog>

#include "app/modulestate.h"
#include "popmap/model.h"

class QLineEdit;
class QPushButton;

namespace davrenta {

// The areas: 140 symbol and population boxes in 7 columns of 20.
class flinputfrm : public QDialog {
    Q_OBJECT

  public:
    explicit flinputfrm(ModuleState& state, QWidget* parent = nullptr);

    std::array<QLineEdit*, kMaxTypedAreas> inputsymtxt{};
    std::array<QLineEdit*, kMaxTypedAreas> inputpoptxt{};
    QPushButton* okbut;

    void okbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
