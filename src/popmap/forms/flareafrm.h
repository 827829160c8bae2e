#pragma once

#include <atomic>

#include <QDialog>

#include "app/modulestate.h"
#include "popmap/search.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QShowEvent;

namespace davrenta {

class Grid;

inline constexpr const char* kSearchCancelledText = "Search cancelled. Ok runs it again.";

// The map screen: one of the study's maps cell by cell; its OK drives the result sequence.
class flareafrm : public QDialog {
    Q_OBJECT

  public:
    explicit flareafrm(ModuleState& state, QWidget* parent = nullptr);

    Grid* flareagrd;
    QLabel* Label1;
    QLabel* legendlbl; // what the colours and marks of the service-area and near-optimal maps mean
    QScrollArea* legendarea; // the legend's column beside the map
    QPushButton* backbut;
    QPushButton* editbut;
    QPushButton* prtbut;
    QPushButton* Savebut;
    QPushButton* okbut;
    QPushButton* cancelbut; // shown while a search runs
    QPushButton* movebut;   // a service-area map: move its PODs

    void backbut_Click();
    void editbut_Click();
    void prtbut_Click();
    void Savebut_Click();
    void okbut_Click();
    void cancelbut_Click();
    void movebut_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;

  private:
    void showMap();
    void scrollToNewPods();
    // Runs the search on a worker thread while this window keeps repainting its progress.
    SearchOutcome search();

    ModuleState& state_;
    std::atomic<bool> cancel_{false};
    bool searching_ = false;
    bool closeAfterSearch_ = false; // the window was closed during the search: end the study
};

} // namespace davrenta
