#pragma once

#include <atomic>
#include <optional>

#include <QDialog>

#include "app/modulestate.h"
#include "mhact/bestlayout.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

class Grid;
class LayoutPicture;

// The best assignment of the departments to the current places, searched within a time limit
// and proven when the search ends; the user takes that layout or keeps the current one.
class mhbestfrm : public QDialog {
    Q_OBJECT

  public:
    explicit mhbestfrm(ModuleState& state, QWidget* parent = nullptr);

    QLabel* limitlbl;
    QLineEdit* limittxt;
    QPushButton* searchbut;
    QPushButton* cancelbut; // shown while the search runs
    QLabel* progresslbl;
    Grid* bestgrd;
    QLabel* Label1;
    QLabel* Label2;
    LayoutPicture* layoutpic;
    QPushButton* acceptbut;
    QPushButton* keepbut;
    QPushButton* prntbut;
    QPushButton* exportbut; // the table as CSV, the diagram as a picture

    void searchbut_Click();
    void cancelbut_Click();
    void acceptbut_Click();
    void keepbut_Click();
    void prntbut_Click();

    bool layoutAccepted() const { return accepted_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    // Runs the search on a worker thread while this window keeps showing its progress.
    Result<BestLayoutOutcome> search(double timeLimit);
    void showOutcome();

    ModuleState& state_;
    std::optional<BestLayoutOutcome> outcome_;
    std::atomic<bool> cancel_{false};
    bool running_ = false;
    bool accepted_ = false;
};

} // namespace davrenta
