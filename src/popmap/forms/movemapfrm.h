#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QColor>
#include <QDialog>

#include "app/modulestate.h"
#include "popmap/moving.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace davrenta {

class Grid;

// The result map with its PODs to move: choose a POD (or pick it up on the map) and move it
// with the arrow keys or by dragging; the service areas, the legend and the figures follow,
// with the change against the search's optimum. The objective surface of one new POD can be
// shown under the map as a colour scale. An area's population can be edited on the window's
// own copy of the problem (the study's stays as it is). Opened from the map of the existing
// PODs' service areas, only the existing PODs are on the map and move.
class movemapfrm : public QDialog {
    Q_OBJECT

  public:
    explicit movemapfrm(ModuleState& state, QWidget* parent = nullptr);

    Grid* mapgrd;
    QComboBox* podbox; // which POD the arrow keys move
    QLabel* hintlbl;
    QLabel* legendlbl;
    QLabel* surfacelbl; // the surface's colour scale
    QLabel* floclbl;
    QLabel* coordlbl;
    QLabel* figureslbl;
    QLabel* changelbl;  // "+3.2 % travel" against the optimum; empty at it
    QLabel* priorlbl;   // the existing PODs alone: their average and largest distance
    Grid* facgrd;       // every POD with the population it serves
    QComboBox* areabox; // the area whose population is edited, by its symbol
    QLineEdit* poptxt;  // its population; Enter or popbut takes it
    QPushButton* popbut;
    QCheckBox* surfacechk;
    QCheckBox* followchk; // the best new POD follows a moved existing POD
    QPushButton* optimumbut;
    QPushButton* Savebut;
    QPushButton* okbut;

    // One step of a POD (slot 1..) as an arrow key moves it; false when it would leave the map.
    bool StepPod(int pod, int dLine, int dColumn);
    // A POD put down on a map cell, as a drag does.
    bool MovePodTo(int pod, int line, int column);

    // The chosen area's population as poptxt has it; false (with a message) when refused.
    bool popbut_Click();
    void optimumbut_Click();
    void Savebut_Click();
    void okbut_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void start();
    void refuse(const QString& message);
    void afterMove(int pod);
    void followTheLayout(); // the best new POD and the surface after an existing POD moved
    void showArea();
    void showMap();
    void showFigures();
    void showLegend();
    int podAt(int line, int column) const; // the topmost POD standing on a cell, 0 for none
    int chosenPod() const;

    Measure shownMeasure() const; // the measure of the change and of the surface

    ModuleState& state_;
    ModuleState problem_; // the window's copy: populations are edited here, Save writes it
    bool existingOnly_;   // the map of the existing PODs' service areas: no new POD on it
    std::optional<MovingLayout> layout_;
    std::optional<MovingLayout> optimum_; // the search's layout, under the edited populations
    LayoutFigures optimumFigures_;
    std::optional<Surface> surface_;
    std::vector<std::string> shown_; // the characters and colours on the grid, to repaint
    std::vector<std::vector<QColor>> backs_;
    int dragging_ = 0;
};

} // namespace davrenta
