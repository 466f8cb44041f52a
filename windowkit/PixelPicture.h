#pragma once

#include <QLabel>

namespace windowkit {

// A label for one-bit pictures: its pixmap is scaled pixel for pixel, never smoothed, so the LEDs keep hard
// edges at any zoom (scaled contents) and at any screen scale. Otherwise a QLabel.
class PixelPicture : public QLabel {
public:
    explicit PixelPicture(QWidget* parent = nullptr) : QLabel(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace windowkit
