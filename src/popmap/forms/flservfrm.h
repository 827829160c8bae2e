#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

class Grid;

// The results window: before the new POD(s) (maptype 3) and with them (maptype 4).
class flservfrm : public QDialog {
    Q_OBJECT

  public:
    explicit flservfrm(ModuleState& state, QWidget* parent = nullptr);

    Grid* facgrd;
    QLabel* floclbl;
    QLabel* result1lbl;
    QLabel* result2lbl;
    QLabel* result4lbl;
    QLabel* result5lbl;
    QLabel* result6lbl;
    QLabel* result7lbl;
    QLabel* prooflbl; // several new PODs: proven optimal, or the bound and gap at the time limit
    QPushButton* okbut;
    QPushButton* ok2but;
    QPushButton* prtbut;
    QPushButton* Prt2but;
    QPushButton* Savebut;
    QPushButton* opbut;
    QPushButton* countbut; // the How Many PODs window

    void okbut_Click();
    void ok2but_Click();
    void prtbut_Click();
    void Prt2but_Click();
    void Savebut_Click();
    void opbut_Click();
    void countbut_Click();

  private:
    ModuleState& state_;
    bool podsAdded_ = false; // the located PODs join the existing ones once per window
};

} // namespace davrenta
