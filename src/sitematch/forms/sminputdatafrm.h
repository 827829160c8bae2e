#pragma once

#include <array>

#include <QDialog>

#include "app/modulestate.h"
#include "sitematch/model.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// One facility's row at a time: its time to each site and its number of demands.
class sminputdatafrm : public QDialog {
    Q_OBJECT

  public:
    explicit sminputdatafrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* faclbl;
    std::array<QLabel*, kMaxSites> timelbl{};
    std::array<QLineEdit*, kMaxSites> timetxt{};
    QLabel* Label2;
    QLineEdit* demandtxt;
    QPushButton* Ok;
    QPushButton* backbut;

    void Ok_Click();
    void backbut_Click();
    // Escape and the title bar's close do as "Back" does.
    void reject() override;

  private:
    ModuleState& state_;
    bool leaving_ = false;
};

} // namespace davrenta
