#pragma once

#include "imaging/Colour.h"

#include <QImage>
#include <QStringList>
#include <vector>

namespace imaging {

// A one-bit picture: width x height LEDs, each lit or unlit, (0, 0) at the top left. This is what a picture
// file means once a lit-pixel rule has been applied, and what the picture writer stores.
class LitGrid {
public:
    LitGrid() = default;
    // All unlit. A negative size counts as 0.
    LitGrid(int width, int height);

    // Rows of text, top row first: '#' (or any character but '.' and ' ') is lit, '.' and ' ' unlit. Shorter
    // rows are unlit to the right. Handy for literal pictures in code and tests.
    static LitGrid fromRows(const QStringList& rows);
    // Applies a lit-pixel rule to every pixel of an image of any format.
    static LitGrid fromImage(const QImage& image, LitRule rule);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ <= 0 || height_ <= 0; }

    // False outside the grid.
    bool isLit(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width_ && y < height_ && cells_[size_t(y) * size_t(width_) + size_t(x)];
    }
    // Does nothing outside the grid.
    void setLit(int x, int y, bool lit = true)
    {
        if (x >= 0 && y >= 0 && x < width_ && y < height_)
            cells_[size_t(y) * size_t(width_) + size_t(x)] = lit ? 1 : 0;
    }

    // The first `width` columns (all of them when the grid is narrower).
    LitGrid leftColumns(int width) const;

    // Black (lit) and white (unlit), one bit per pixel (QImage::Format_Mono, colour 0 black, 1 white).
    QImage toImage() const;
    // The rows in the notation of fromRows ('#' and '.').
    QStringList toRows() const;

    bool operator==(const LitGrid&) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<quint8> cells_; // row by row, 1 = lit
};

} // namespace imaging
