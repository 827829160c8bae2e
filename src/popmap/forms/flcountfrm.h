#pragma once

#include <atomic>
#include <functional>

#include <QDialog>
#include <QWidget>

#include "app/modulestate.h"
#include "popmap/results.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

class Grid;

// The POD-count curve: the value of each count placed together and one at a time.
class PodCountChart : public QWidget {
    Q_OBJECT

  public:
    explicit PodCountChart(QWidget* parent = nullptr);
    void setPoints(std::vector<PodCountTexts::Point> points);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<PodCountTexts::Point> points_;
};

// How many PODs: the optimum for 1..P new PODs beside placing them one at a time, and the
// coverage questions for a radius. Each study runs on a worker thread with its progress and
// Cancel.
class flcountfrm : public QDialog {
    Q_OBJECT

  public:
    explicit flcountfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* maxlbl;
    QLineEdit* maxtxt; // P: counts 1..P
    QPushButton* curvebut;
    QLabel* titlelbl;
    Grid* countgrd;
    PodCountChart* chart;
    QLabel* radiuslbl;
    QLineEdit* radiustxt;
    QPushButton* coverbut;  // the fewest new PODs within the radius
    QPushButton* withinbut; // the largest population P new PODs bring within the radius
    QLabel* coverlbl;
    QLabel* progresslbl;
    QPushButton* cancelbut;
    QPushButton* okbut;

    void curvebut_Click();
    void coverbut_Click();
    void withinbut_Click();
    void cancelbut_Click();
    void okbut_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    // Runs `work` on a worker thread with its progress shown here; false when cancelled.
    bool run(const std::function<void(const SearchControl&)>& work);
    std::optional<int> readCount();
    std::optional<double> readRadius();

    ModuleState& state_;
    std::atomic<bool> cancel_{false};
    bool running_ = false;
};

} // namespace davrenta
