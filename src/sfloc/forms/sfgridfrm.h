#pragma once

#include <array>
#include <optional>
#include <vector>

#include <QDialog>

#include "app/modulestate.h"
#include "sfloc/model.h"
#include "sfloc/solve.h"
#include "shell/exporter.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

class LocationPlot;

// The facility table: corrected, extended or reduced in the edit state; after "Solve" the
// three optimal locations, their weighted total distances and a picture of the problem.
class sfgridfrm : public QDialog {
    Q_OBJECT

  public:
    explicit sfgridfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label4;
    std::array<QLabel*, kMaxFacilities> Label1{};              // row numbers 1..20
    std::array<QLineEdit*, 3 * kMaxFacilities> gridinputtxt{}; // x, y, weight per row
    QLabel* Label5;
    QLabel* Label10;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* olrectxlbl;
    QLabel* olrectylbl;
    QLabel* oleuclxlbl;
    QLabel* oleuclylbl;
    QLabel* olsqeuxlbl;
    QLabel* olsqeuylbl;
    // Beside the coordinates: each answer's weighted total distance, and the picture.
    QLabel* objheadlbl;
    QLabel* olrectobjlbl;
    QLabel* oleuclobjlbl;
    QLabel* olsqeuobjlbl;
    LocationPlot* locationpic;
    QPushButton* okbut;
    QPushButton* addbut;
    QPushButton* rembut;
    QPushButton* Savebut;
    QPushButton* backbut;
    QPushButton* donebut;

    void okbut_Click();
    void addbut_Click();
    void rembut_Click();
    void Savebut_Click();
    void backbut_Click();
    void donebut_Click();

  private:
    // The results as the labels show them, and their figures at full precision.
    CsvRows resultRows() const;
    std::vector<FullColumn> resultFullColumns() const;

    std::optional<SfSolution> solved_; // the last solve, for the export
    QWidget* notepage_ = nullptr;      // the instructions' scrolling page
    QWidget* resultspage_ = nullptr;   // the results' scrolling page
    void showEditState();
    void showResultState();
    ModuleState& state_;
};

} // namespace davrenta
