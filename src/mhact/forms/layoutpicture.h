#pragma once

#include <string>
#include <vector>

#include <QWidget>

#include "mhact/activity.h"

namespace davrenta {

// The layout as a flow diagram: each department a named dot at its location, each listed pair
// a line whose width grows with its loads.
class LayoutPicture : public QWidget {
    Q_OBJECT

  public:
    explicit LayoutPicture(QWidget* parent = nullptr);

    void showLayout(const MhActivityState& mh, const std::vector<FlowLine>& lines);

    struct Place {
        QString name;
        double x = 0;
        double y = 0;
    };
    const std::vector<Place>& places() const { return places_; }
    const std::vector<FlowLine>& lines() const { return lines_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<Place> places_; // department i at index i - 1
    std::vector<FlowLine> lines_;
};

} // namespace davrenta
