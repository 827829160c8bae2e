#pragma once

#include <array>

#include <QDialog>

#include "app/modulestate.h"
#include "mhact/model.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

class HeadedTable;

// The moves between every two departments: row i, column j holds the moves from i to j.
class mhdeptfrm : public QDialog {
    Q_OBJECT

  public:
    explicit mhdeptfrm(ModuleState& state, QWidget* parent = nullptr);

    static constexpr int kBoxes = kMaxDepartments * kMaxDepartments;
    // Box (i, j) is loadtxt(15 * (i - 1) + j); slot 0 unused.
    std::array<QLineEdit*, kBoxes + 1> loadtxt{};
    std::array<QLabel*, kMaxDepartments + 1> fromdeptlbl{};
    std::array<QLabel*, kMaxDepartments + 1> todeptlbl{};
    QPushButton* okbut;
    QPushButton* prtbut;
    HeadedTable* movetbl; // the boxes under their row and column names

    QLineEdit* box(int i, int j) const { return loadtxt[kMaxDepartments * (i - 1) + j]; }

    void okbut_Click();
    void prtbut_Click();

  private:
    std::vector<std::vector<std::string>> typedMoves() const;
    ModuleState& state_;
};

} // namespace davrenta
