#include "imaging/ImageImport.h"

#include "imaging/Colour.h"
#include "imaging/ImageDecode.h"
#include "imaging/Resample.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace imaging {
namespace {

constexpr int kDarkLimit = 250; // levels from here on count as background

QRgb* pixelRow(QImage& image, int y)
{
    return reinterpret_cast<QRgb*>(image.scanLine(y));
}

QRgb greyRgb(int level)
{
    return qRgb(level, level, level);
}

QImage asRgb32(const QImage& image)
{
    return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

// The part of the canvas-sized crop at `origin` that lies inside the image, as an image of its own.
QImage insideCrop(const QImage& working, QPoint origin, QSize canvas)
{
    const QRect inside = QRect(origin, canvas).intersected(working.rect());
    return inside.isEmpty() ? QImage() : asRgb32(working.copy(inside));
}

} // namespace

int AutoThreshold(QImage& image, const QRect& area, bool convertToGrey)
{
    const QRect inside = area.intersected(image.rect());
    std::array<qint64, 256> histogram{};
    qint64 dark = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        QRgb* row = pixelRow(image, y);
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const int level = luminance(colourValue(row[x]));
            if (convertToGrey)
                row[x] = greyRgb(level);
            ++histogram[size_t(level)];
            if (level < kDarkLimit)
                ++dark;
        }
    }
    const qint64 pixels = qint64(inside.width()) * inside.height();
    if (pixels == 0)
        return kFallbackThreshold;
    int darkest = 0;
    while (darkest < 256 && histogram[size_t(darkest)] == 0)
        ++darkest;
    if (darkest == 256)
        darkest = 0;
    // How many dark pixels the threshold should take in: more of them when the darkest level is nearly black.
    const qint64 target = darkest < 16 ? (50 - darkest) * dark / 100 : 36 * dark / 100;
    if (target * 100 / pixels < 25)
        return kFallbackThreshold;
    qint64 sum = 0;
    for (int level = 0; level < kDarkLimit; ++level) {
        if (histogram[size_t(level)] > 4) // a few stray pixels do not count
            sum += histogram[size_t(level)];
        if (level > 0 && sum >= target)
            return double(sum) * 100.0 / double(dark) > 51.0 ? level - 1 : level;
    }
    return kFallbackThreshold;
}

void DitherStep(QImage& image, const QRect& area, int x, int y)
{
    const QRect inside = area.intersected(image.rect());
    if (!inside.contains(x, y))
        return;
    QRgb& pixel = pixelRow(image, y)[x];
    const int value = qRed(pixel);
    const int error = value > 128 ? value - 256 : value;
    pixel = greyRgb(value > 128 ? 255 : 0);
    const auto spread = [&](int nx, int ny, int sixteenths) {
        if (!inside.contains(nx, ny))
            return;
        QRgb& neighbour = pixelRow(image, ny)[nx];
        const int level = qRed(neighbour) + error * sixteenths / 16; // C division truncates toward zero
        neighbour = greyRgb(std::clamp(level, 0, 255));
    };
    spread(x + 1, y, 7);
    spread(x - 1, y + 1, 3);
    spread(x, y + 1, 5);
    spread(x + 1, y + 1, 1);
}

void ditherArea(QImage& image, const QRect& area)
{
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            DitherStep(image, inside, x, y);
}

QSize keepAspectSize(QSize source, QSize canvas)
{
    if (source.isEmpty())
        return {};
    const double ratio = double(source.width()) / double(source.height());
    QSize target(int(canvas.height() * ratio), canvas.height());
    if (target.width() > canvas.width())
        target = QSize(canvas.width(), int(canvas.width() / ratio));
    // A very wide or tall image still keeps one row or column.
    return target.expandedTo(QSize(1, 1));
}

QImage fitToCanvas(const QImage& decoded, FitMode mode, QSize canvas)
{
    switch (mode) {
    case FitMode::Trim:
        return asRgb32(decoded);
    case FitMode::FullScreenResize:
        return C2PassScale<CBilinearFilter>().Scale(decoded, canvas.width(), canvas.height());
    case FitMode::KeepAspect: {
        const QSize size = keepAspectSize(decoded.size(), canvas);
        return C2PassScale<CBilinearFilter>().Scale(decoded, size.width(), size.height());
    }
    }
    return {};
}

QImage canvasCrop(const QImage& working, QPoint origin, QSize canvas)
{
    QImage crop(canvas, QImage::Format_RGB32);
    crop.fill(Qt::white);
    const QRect inside = QRect(origin, canvas).intersected(working.rect());
    const QImage source = asRgb32(working);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        std::copy_n(reinterpret_cast<const QRgb*>(source.constScanLine(y)) + inside.left(), inside.width(),
                    pixelRow(crop, y - origin.y()) + (inside.left() - origin.x()));
    return crop;
}

int previewThreshold(const QImage& working, QPoint origin, QSize canvas, ProcessMethod method)
{
    QImage crop = canvasCrop(working, origin, canvas);
    return AutoThreshold(crop, crop.rect(), method == ProcessMethod::PictureMode);
}

int okThreshold(const QImage& working, QPoint origin, QSize canvas, ProcessMethod method, int currentThreshold)
{
    if (method == ProcessMethod::PictureMode)
        return kFallbackThreshold;
    if (currentThreshold > 0)
        return currentThreshold;
    QImage inside = insideCrop(working, origin, canvas);
    return AutoThreshold(inside, inside.rect(), false);
}

LitGrid importGrid(const QImage& working, QPoint origin, QSize canvas, ProcessMethod method, int threshold)
{
    LitGrid grid(canvas.width(), canvas.height());
    QImage inside = insideCrop(working, origin, canvas);
    if (inside.isNull())
        return grid;
    if (method == ProcessMethod::PictureMode) {
        AutoThreshold(inside, inside.rect(), true); // only for its grey conversion
        ditherArea(inside, inside.rect());
    }
    // The crop's top-left cell: 0 unless the origin lies left of or above the image.
    const QPoint offset(std::max(0, -origin.x()), std::max(0, -origin.y()));
    for (int y = 0; y < inside.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(inside.constScanLine(y));
        for (int x = 0; x < inside.width(); ++x)
            if (litAtThreshold(colourValue(row[x]), threshold))
                grid.setLit(x + offset.x(), y + offset.y());
    }
    return grid;
}

ImportResult importImage(const QImage& decoded, const ImportChoice& choice, QSize canvas)
{
    const QImage working = fitToCanvas(decoded, choice.fit, canvas);
    const QPoint origin = choice.fit == FitMode::Trim ? choice.origin : QPoint();
    return importFitted({working, origin, working.size()}, choice, canvas);
}

ImportResult importFitted(const FittedImage& fitted, const ImportChoice& choice, QSize canvas)
{
    ImportResult result;
    const QImage& working = fitted.working;
    const QPoint origin = fitted.origin;
    const int current = choice.threshold > 0 ? choice.threshold : previewThreshold(working, origin, canvas, choice.method);
    result.threshold = okThreshold(working, origin, canvas, choice.method, current);
    result.grid = importGrid(working, origin, canvas, choice.method, result.threshold);
    result.fitted = fitted.size;
    return result;
}

ImportChoice clipboardChoice(QSize image, QSize canvas)
{
    ImportChoice choice;
    const bool fits = image.width() <= canvas.width() && image.height() <= canvas.height();
    choice.fit = fits ? FitMode::Trim : FitMode::KeepAspect;
    return choice;
}

SourceLayout layoutSource(QSize image, QSize canvas)
{
    constexpr int kAreaWidth = 768, kAreaHeight = 384; // the source group's room for the shown image
    SourceLayout layout;
    if (image.isEmpty() || canvas.isEmpty())
        return layout;
    layout.cropNeeded = image.width() > canvas.width() || image.height() > canvas.height();
    int zoom = std::min(kAreaWidth / image.width(), kAreaHeight / image.height());
    if (layout.cropNeeded) {
        zoom = std::min({zoom, kAreaWidth / canvas.width(), kAreaHeight / canvas.height()});
        layout.zoom = std::max(zoom, 1);
        layout.cropFrame = (canvas * layout.zoom).boundedTo(image * layout.zoom);
    } else {
        layout.zoom = std::max(zoom, 1);
    }
    return layout;
}

QPoint placeCropFrame(QPoint wanted, QSize shownImage, QSize frame, int zoom)
{
    zoom = std::max(zoom, 1);
    const auto place = [zoom](int want, int room) {
        const int snapped = want >= 0 ? want / zoom * zoom : 0;
        const int last = std::max(0, room / zoom * zoom);
        return std::clamp(snapped, 0, last);
    };
    return {place(wanted.x(), shownImage.width() - frame.width()),
            place(wanted.y(), shownImage.height() - frame.height())};
}

QPoint cropOriginAt(QPoint framePosition, int zoom)
{
    zoom = std::max(zoom, 1);
    return {std::max(0, framePosition.x() / zoom), std::max(0, framePosition.y() / zoom)};
}

QStringList importFileFilters()
{
    // Every format the build reads, asked of Qt's image plugins: all of them first, then one filter each.
    QStringList names, patterns, each;
    for (const QString& suffix : importableSuffixes()) {
        const QString pattern = QStringLiteral("*.%1 *.%2").arg(suffix, suffix.toUpper());
        names << suffix.toUpper();
        patterns << pattern;
        each << QStringLiteral("%1 (%2)").arg(suffix.toUpper(), pattern);
    }
    return QStringList{QStringLiteral("%1 (%2)").arg(names.join(QStringLiteral(", ")), patterns.join(u' '))} + each;
}

} // namespace imaging
