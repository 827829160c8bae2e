#pragma once

#include <array>

#include <QDialog>

#include "app/modulestate.h"
#include "sitematch/model.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// The whole problem as a table of boxes, to correct, extend, reduce, print, and solve.
class smgridfrm : public QDialog {
    Q_OBJECT

  public:
    explicit smgridfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label2;
    QLabel* Label4;
    QLabel* Label3;
    std::array<QLabel*, kMaxMatchFacilities> Label1{};
    std::array<QLabel*, kMaxSites> sitelbl{}; // the site's number above its column
    std::array<QLineEdit*, kMaxMatchFacilities * kMaxSites> gridinputtxt{};
    std::array<QLineEdit*, kMaxMatchFacilities> griddemandtxt{};
    QLabel* Label5;
    QPushButton* okbut;
    QPushButton* addbut;
    QPushButton* rembut;
    QPushButton* Prtbut;

    void okbut_Click();
    void addbut_Click();
    void rembut_Click();
    void Prtbut_Click();

  private:
    // The typed boxes into the tables.
    void storeBoxes();
    ModuleState& state_;
};

} // namespace davrenta
