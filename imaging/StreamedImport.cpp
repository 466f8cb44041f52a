#include "imaging/StreamedImport.h"

#include "imaging/ImageDecode.h"
#include "imaging/Resample.h"

#include <optional>
#include <utility>
#include <vector>

namespace imaging {
namespace {

// Rows decoded before the resampler takes them: enough for its first pass to keep a destination's products in
// the cache over many rows, few enough to stay small (1.5 MB at 6000 pixels wide).
constexpr int kStripRows = 64;

QSize uprightSize(QSize stored, int orientation)
{
    return orientationAxes(orientation).transposed ? stored.transposed() : stored;
}

// Stretch and Maintain Aspect Ratio: the rows go to the resampler a strip at a time.
class ScalingReceiver : public JpegRowReceiver {
public:
    ScalingReceiver(FitMode fit, QSize canvas, int orientation) : fit_(fit), canvas_(canvas), orientation_(orientation) {}

    bool begin(QSize stored) override
    {
        const QSize upright = uprightSize(stored, orientation_);
        const QSize target = fit_ == FitMode::FullScreenResize ? canvas_ : keepAspectSize(upright, canvas_);
        scale_.emplace(filter_, stored, orientation_, target);
        width_ = stored.width();
        height_ = stored.height();
        strip_.resize(size_t(width_) * kStripRows);
        return true;
    }
    QRgb* rowBuffer(int y) override { return strip_.data() + size_t(y % kStripRows) * size_t(width_); }
    void rowDecoded(int y) override
    {
        if ((y + 1) % kStripRows != 0 && y + 1 != height_)
            return;
        const int first = y - y % kStripRows;
        scale_->addRows(first, strip_.data(), y - first + 1, width_);
    }
    FittedImage fitted()
    {
        const QImage scaled = scale_ ? scale_->result() : QImage();
        return {scaled, QPoint(), scaled.size()};
    }

private:
    const CBilinearFilter filter_;
    FitMode fit_;
    QSize canvas_;
    int orientation_;
    std::optional<StreamingScale> scale_;
    int width_ = 0;
    int height_ = 0;
    std::vector<QRgb> strip_;
};

// One axis of the stored image that an upright span lies on: the same span, or its mirror image.
std::pair<int, int> storedSpan(int first, int last, bool mirrored, int length)
{
    return mirrored ? std::pair(length - 1 - last, length - 1 - first) : std::pair(first, last);
}

// Trim: of every row only the part the canvas-sized crop reads is kept, and turned upright at the end.
class CropReceiver : public JpegRowReceiver {
public:
    CropReceiver(QPoint origin, QSize canvas, int orientation)
        : origin_(origin), canvas_(canvas), orientation_(orientation)
    {
    }

    bool begin(QSize stored) override
    {
        upright_ = uprightSize(stored, orientation_);
        inside_ = QRect(origin_, canvas_).intersected(QRect(QPoint(), upright_));
        row_.resize(size_t(stored.width()));
        if (inside_.isEmpty())
            return true;
        const OrientationAxes axes = orientationAxes(orientation_);
        const auto across = storedSpan(inside_.left(), inside_.right(), axes.mirrorRows,
                                       axes.transposed ? stored.height() : stored.width());
        const auto down = storedSpan(inside_.top(), inside_.bottom(), axes.mirrorColumns,
                                     axes.transposed ? stored.width() : stored.height());
        const auto [xs, ys] = axes.transposed ? std::pair(down, across) : std::pair(across, down);
        kept_ = QRect(QPoint(xs.first, ys.first), QPoint(xs.second, ys.second));
        crop_ = QImage(kept_.size(), QImage::Format_RGB32);
        return !crop_.isNull();
    }
    QRgb* rowBuffer(int) override { return row_.data(); }
    void rowDecoded(int y) override
    {
        if (y >= kept_.top() && y <= kept_.bottom())
            std::copy_n(row_.data() + kept_.left(), kept_.width(), reinterpret_cast<QRgb*>(crop_.scanLine(y - kept_.top())));
    }
    // The crop with the origin moved onto it: canvasCrop and importGrid read the same pixels at the same cells.
    FittedImage fitted() const
    {
        if (inside_.isEmpty())
            return {QImage(), origin_, upright_};
        return {orientedImage(crop_, orientation_), origin_ - inside_.topLeft(), upright_};
    }

private:
    QPoint origin_;
    QSize canvas_;
    int orientation_;
    QSize upright_;
    QRect inside_; // the crop within the upright image
    QRect kept_;   // the same pixels within the stored image
    QImage crop_;
    std::vector<QRgb> row_;
};

} // namespace

FittedDecode fitImageData(const QByteArray& contents, const QString& name, FitMode fit, QPoint origin, QSize canvas,
                          int targetHeight)
{
    if (!isJpegName(name)) {
        const DecodedImage decoded = decodeImageData(contents, name, targetHeight);
        if (!decoded.ok())
            return {{}, decoded.errorText};
        const QImage working = fitToCanvas(decoded.image, fit, canvas);
        return {{working, fit == FitMode::Trim ? origin : QPoint(), working.size()}, {}};
    }
    const int orientation = jpegOrientation(contents);
    if (fit == FitMode::Trim) {
        CropReceiver receiver(origin, canvas, orientation);
        const QString error = decodeJpegRows(contents, name, receiver);
        return error.isEmpty() ? FittedDecode{receiver.fitted(), {}} : FittedDecode{{}, error};
    }
    ScalingReceiver receiver(fit, canvas, orientation);
    const QString error = decodeJpegRows(contents, name, receiver);
    return error.isEmpty() ? FittedDecode{receiver.fitted(), {}} : FittedDecode{{}, error};
}

StreamedImport importImageData(const QByteArray& contents, const QString& name, const ImportChoice& choice,
                               QSize canvas, int targetHeight)
{
    const FittedDecode decoded = fitImageData(contents, name, choice.fit, choice.origin, canvas, targetHeight);
    if (!decoded.ok())
        return {{}, decoded.errorText};
    return {importFitted(decoded.fitted, choice, canvas), {}};
}

} // namespace imaging
