#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

// One or two new PODs.
class flfrm : public QDialog {
    Q_OBJECT

  public:
    explicit flfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* onefacbut;
    QPushButton* twofacbut;
    QPushButton* backbut;

    void onefacbut_Click();
    void twofacbut_Click();
    void backbut_Click();

  private:
    void locate(int newPods);
    ModuleState& state_;
};

} // namespace davrenta
