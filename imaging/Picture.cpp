#include "imaging/Picture.h"

namespace imaging {

Picture::Picture(const QImage& image)
    : image_(image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32))
{
}

LitGrid Picture::litGrid(LitRule rule) const
{
    LitGrid grid(width(), height());
    // Pictures hold few colours, mostly black and white: remember the last answer rather than test every pixel.
    QRgb lastRgb = 0;
    bool lastLit = imaging::isLit(colourValue(lastRgb), rule);
    for (int y = 0; y < height(); ++y) {
        const QRgb* row = rgbRow(y);
        for (int x = 0; x < width(); ++x) {
            if (row[x] != lastRgb) {
                lastRgb = row[x];
                lastLit = imaging::isLit(colourValue(lastRgb), rule);
            }
            if (lastLit)
                grid.setLit(x, y);
        }
    }
    return grid;
}

} // namespace imaging
