#pragma once

#include <map>

#include <QDialog>
#include <QString>

#include "app/modulestate.h"
#include "shell/exporter.h"

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

// What closed a results window: "Change" (back to the parameter window) or "New".
inline constexpr int kResultsChange = 2;
inline constexpr int kResultsNew = 3;

// The results of the last run under its option: inputs, means, standard deviations and 95 %
// half-widths, the seed, and a histogram of a measure's per-cycle values.
class MhsResultsWindow : public QDialog {
    Q_OBJECT

  public:
    MhsResultsWindow(ModuleState& state, QWidget* parent);

    // The boxes by name ("daystxt", "numservmeantxt", "maxlinetxt" ...).
    std::map<QString, QLineEdit*> fields;
    QLabel* svcalbl;
    QLabel* svcblbl;
    QLabel* wspacelbl;
    QLabel* maxlinelbl;
    QComboBox* chartlst; // the measure the chart shows
    QChartView* histchart;
    QPushButton* prntbut;
    QPushButton* savebut;
    QPushButton* chgbut;
    QPushButton* okbut;
    QPushButton* comparebut; // "Compare servers"
    QPushButton* precisebut; // "Run until precise"
    QLabel* preciselbl;      // how a run until precise ended

    void prntbut_Click();
    void savebut_Click();
    void chgbut_Click();
    void okbut_Click();
    void chartlst_Click();
    void comparebut_Click();
    void precisebut_Click();

  protected:
    void reject() override;

  private:
    QLineEdit* field(const QString& name);
    // Shows the state's last run in every box, the note and the chart.
    void fill();
    // What the export offers: the results as the boxes show them, the same figures at full
    // precision, and the chart's bins with their counts.
    CsvRows resultRows();
    std::vector<FullColumn> resultFullColumns();
    CsvRows histogramRows();

    ModuleState& state_;
};

class mhsresult1frm : public MhsResultsWindow {
    Q_OBJECT
  public:
    explicit mhsresult1frm(ModuleState& state, QWidget* parent = nullptr);
};

class mhsresult2frm : public MhsResultsWindow {
    Q_OBJECT
  public:
    explicit mhsresult2frm(ModuleState& state, QWidget* parent = nullptr);
};

class mhsresult3frm : public MhsResultsWindow {
    Q_OBJECT
  public:
    explicit mhsresult3frm(ModuleState& state, QWidget* parent = nullptr);
};

class mhsresult4frm : public MhsResultsWindow {
    Q_OBJECT
  public:
    explicit mhsresult4frm(ModuleState& state, QWidget* parent = nullptr);
};

// Opens the results window of SimOption modally; kResultsChange or kResultsNew.
int OpenResultsWindow(ModuleState& state, QWidget* from);

} // namespace davrenta
