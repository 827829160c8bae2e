#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// Which facility leaves the table; either button returns to the table window.
class sfremvfrm : public QDialog {
    Q_OBJECT

  public:
    explicit sfremvfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* remtxt;
    QPushButton* rembut;
    QPushButton* canbut;

    void rembut_Click();
    void canbut_Click();

    // Escape and the window's close button cancel, back to the table.
    void reject() override;

  private:
    void reopenTable();
    ModuleState& state_;
    bool leaving_ = false;
};

} // namespace davrenta
