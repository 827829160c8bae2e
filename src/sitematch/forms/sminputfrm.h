#pragma once

#include <array>

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// The problem's sizes: the number of facilities and of available sites.
class sminputfrm : public QDialog {
    Q_OBJECT

  public:
    explicit sminputfrm(ModuleState& state, QWidget* parent = nullptr);

    std::array<QLabel*, 2> Label1{};
    QLineEdit* facinputtxt;
    QLineEdit* sitesinputtxt;
    QPushButton* okbut;
    QPushButton* Backbut;

    void okbut_Click();
    void Backbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
