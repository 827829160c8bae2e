#pragma once

#include <array>

#include <QDialog>

#include "app/modulestate.h"
#include "sitematch/model.h"

class QLabel;
class QPushButton;

namespace davrenta {

class Grid;

// The site(s) each facility uses and its cost under the last search, the message with the
// sites to open, and what each added site would save.
class smresultsfrm : public QDialog {
    Q_OBJECT

  public:
    explicit smresultsfrm(ModuleState& state, QWidget* parent = nullptr);

    std::array<QLabel*, 3> Label1{};
    std::array<QLabel*, kMaxMatchFacilities> faclbl{};
    std::array<QLabel*, kMaxMatchFacilities> sitelbl{};
    std::array<QLabel*, kMaxMatchFacilities> costlbl{};
    QLabel* Label2;
    QLabel* costslbl;
    Grid* costgrd;
    QPushButton* prtbut;
    QPushButton* avebut;
    QPushButton* Okbut;

    void prtbut_Click();
    void avebut_Click();
    void Okbut_Click();

  private:
    ModuleState& state_;
};

} // namespace davrenta
