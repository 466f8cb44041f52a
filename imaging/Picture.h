#pragma once

#include "imaging/Colour.h"
#include "imaging/LitGrid.h"

#include <QImage>

namespace imaging {

// A picture as read from a file: width x height colour values, tested with one of the lit-pixel rules. The image
// is converted once to 32-bit RGB so that reading a pixel is a plain memory read; for walks over every pixel take
// a LitGrid (litGrid()) or the rows (rgbRow()).
class Picture {
public:
    Picture() = default;
    // Any format; it is converted to QImage::Format_RGB32 (alpha is ignored, as the file's colours count).
    explicit Picture(const QImage& image);

    bool isNull() const { return image_.isNull(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    QSize size() const { return image_.size(); }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width() && y < height(); }

    // Only for 0 <= y < height().
    const QRgb* rgbRow(int y) const { return reinterpret_cast<const QRgb*>(image_.constScanLine(y)); }
    // Only inside the picture.
    ColourValue colourAt(int x, int y) const { return colourValue(rgbRow(y)[x]); }
    // False outside the picture.
    bool isLit(int x, int y, LitRule rule) const { return contains(x, y) && imaging::isLit(colourAt(x, y), rule); }

    LitGrid litGrid(LitRule rule) const;

    // Format_RGB32.
    const QImage& image() const { return image_; }

private:
    QImage image_;
};

} // namespace imaging
