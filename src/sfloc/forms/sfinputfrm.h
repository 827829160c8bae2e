#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// How many existing facilities the typed problem has.
class sfinputfrm : public QDialog {
    Q_OBJECT

  public:
    explicit sfinputfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* facinputtxt;
    QPushButton* okbut;
    QPushButton* Backbut;

    void okbut_Click();
    void Backbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
