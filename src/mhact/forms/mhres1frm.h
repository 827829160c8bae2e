#pragma once

#include <QDialog>

#include "app/modulestate.h"

class QLabel;
class QPushButton;

namespace davrenta {

class Grid;
class LayoutPicture;

// The activity of the layout: the pairs that carry it, the totals and the flow diagram.
class mhres1frm : public QDialog {
    Q_OBJECT

  public:
    explicit mhres1frm(ModuleState& state, QWidget* parent = nullptr);

    Grid* res1grd;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    LayoutPicture* layoutpic;
    QPushButton* newbut;
    QPushButton* savebut;
    QPushButton* prntbut;
    QPushButton* exportbut; // the table as CSV, the diagram as a picture
    QPushButton* Command1;
    QPushButton* improvebut;
    QPushButton* bestbut;

    void newbut_Click();
    void savebut_Click();
    void prntbut_Click();
    void Command1_Click();
    void improvebut_Click();
    void bestbut_Click();

  private:
    // The layout was changed by a switch: the chain goes on at the department window.
    void continueWithNewLayout();
    ModuleState& state_;
};

} // namespace davrenta
