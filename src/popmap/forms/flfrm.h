#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// How many new PODs: one, two, or several placed together (with their count and an optional
// time limit for the search).
class flfrm : public QDialog {
    Q_OBJECT

  public:
    explicit flfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QPushButton* onefacbut;
    QPushButton* twofacbut;
    QPushButton* severalbut;
    QLabel* podcountlbl;
    QLineEdit* podcounttxt; // the number of new PODs for "Several new PODs", 3..31
    QLabel* timelimitlbl;
    QLineEdit* timelimittxt; // seconds; empty for no limit
    QPushButton* backbut;

    void onefacbut_Click();
    void twofacbut_Click();
    void severalbut_Click();
    void backbut_Click();

  private:
    void locate(int newPods);
    ModuleState& state_;
};

} // namespace davrenta
