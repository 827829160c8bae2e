#pragma once

#include <optional>

#include <QWidget>

#include "sfloc/picture.h"

namespace davrenta {

// The facilities and the three optimal locations, drawn to one scale on both axes so that
// distances look as they are. Painted afresh at every size.
class LocationPlot : public QWidget {
    Q_OBJECT

  public:
    explicit LocationPlot(QWidget* parent = nullptr);

    void setPicture(const LocationPicture& picture);
    void clearPicture();
    const std::optional<LocationPicture>& picture() const { return picture_; }

    QSize sizeHint() const override { return {380, 340}; }
    QSize minimumSizeHint() const override { return {220, 200}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void noteClippedTexts();

    std::optional<LocationPicture> picture_;
};

} // namespace davrenta
