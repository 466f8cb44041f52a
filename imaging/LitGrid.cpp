#include "imaging/LitGrid.h"

#include "imaging/Picture.h"

#include <algorithm>

namespace imaging {

LitGrid::LitGrid(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), cells_(size_t(width_) * size_t(height_), 0)
{
}

LitGrid LitGrid::fromRows(const QStringList& rows)
{
    qsizetype width = 0;
    for (const QString& row : rows)
        width = std::max(width, row.size());
    LitGrid grid(int(width), int(rows.size()));
    for (int y = 0; y < grid.height(); ++y)
        for (int x = 0; x < rows[y].size(); ++x)
            grid.setLit(x, y, rows[y][x] != u'.' && rows[y][x] != u' ');
    return grid;
}

LitGrid LitGrid::fromImage(const QImage& image, LitRule rule)
{
    return Picture(image).litGrid(rule);
}

LitGrid LitGrid::leftColumns(int width) const
{
    const int kept = std::clamp(width, 0, width_);
    LitGrid cut(kept, height_);
    for (int y = 0; y < height_; ++y)
        std::copy_n(cells_.begin() + ptrdiff_t(y) * width_, kept, cut.cells_.begin() + ptrdiff_t(y) * kept);
    return cut;
}

QImage LitGrid::toImage() const
{
    if (isEmpty())
        return {};
    QImage image(width_, height_, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(1);
    for (int y = 0; y < height_; ++y) {
        uchar* line = image.scanLine(y);
        const quint8* cells = cells_.data() + size_t(y) * size_t(width_);
        for (int x = 0; x < width_; ++x)
            if (cells[x])
                line[x >> 3] &= uchar(~(0x80 >> (x & 7)));
    }
    return image;
}

QStringList LitGrid::toRows() const
{
    QStringList rows;
    for (int y = 0; y < height_; ++y) {
        QString row(width_, u'.');
        for (int x = 0; x < width_; ++x)
            if (isLit(x, y))
                row[x] = u'#';
        rows << row;
    }
    return rows;
}

} // namespace imaging
