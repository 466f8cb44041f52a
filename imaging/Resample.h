#pragma once

#include <QImage>
#include <cstdint>
#include <utility>
#include <vector>

// A two-pass separable resampler: every row is resampled to the new width, then every column of that result to
// the new height. Each destination channel is the sum of trunc(weight x source channel) over the source pixels
// the filter reaches, kept in an 8-bit accumulator; the pixel grid has no half-pixel offset (destination index u
// sits over source position u / scale). A pass whose length does not change copies its input.
namespace imaging {

// A filter: a weight for each distance from the sample point, zero beyond its width.
class CGenericFilter {
public:
    explicit CGenericFilter(double width) : width_(width) {}
    virtual ~CGenericFilter() = default;
    virtual double Filter(double distance) const = 0;
    double GetWidth() const { return width_; }

private:
    double width_;
};

// The triangle of width 1: weight 1 - |x| inside it, 0 outside.
class CBilinearFilter : public CGenericFilter {
public:
    CBilinearFilter() : CGenericFilter(1.0) {}
    double Filter(double distance) const override
    {
        const double x = distance < 0 ? -distance : distance;
        return x < GetWidth() ? GetWidth() - x : 0.0;
    }
};

// The source pixels (first and last inclusive) and their weights that make one destination pixel.
struct Contribution {
    int left = 0;
    int right = -1;
    std::vector<double> weights; // weights[i - left] for source index i
};

// The weights of one pass, from a line of sourceLength pixels to one of destinationLength.
struct WeightTable {
    int windowSize = 0;
    std::vector<Contribution> contributions; // one per destination index
};

WeightTable buildWeightTable(const CGenericFilter& filter, int sourceLength, int destinationLength);

// Both passes with the given filter. The image is taken as 32-bit colour (alpha ignored); the result is
// QImage::Format_RGB32 of the destination size, or a null image when either size is empty.
QImage twoPassScale(const CGenericFilter& filter, QImage source, int width, int height);

// twoPassScale of an image turned upright by its EXIF orientation (1..8, as orientedImage turns it), fed with the
// stored rows a batch at a time, top to bottom, so the full-size image is never held: the first pass narrows the
// rows as they arrive and only its result is kept. The result is twoPassScale(filter, orientedImage(stored,
// orientation), target) byte for byte. For orientations 5 to 8 the upright rows are the stored columns: their
// sums are gathered from each stored row as it comes.
class StreamingScale {
public:
    StreamingScale(const CGenericFilter& filter, QSize stored, int orientation, QSize target);
    // Stored rows first .. first + count - 1, each `stride` pixels after the one before; they may be changed.
    void addRows(int first, QRgb* rows, int count, qsizetype stride);
    // Once every stored row is in: the scaled image, Format_RGB32 (null when the target is empty).
    QImage result();

private:
    void narrowRows(int first, QRgb* rows, int count, qsizetype stride);
    void gatherColumns(int first, const QRgb* rows, int count, qsizetype stride);

    const CGenericFilter& filter_;
    QSize stored_;
    QSize target_;
    bool transposed_ = false; // upright rows are stored columns
    bool mirrorRows_ = false; // upright rows run against the stored axis they lie on
    bool mirrorColumns_ = false;
    WeightTable firstPass_;             // along the upright rows; empty when their length does not change
    // Orientations 1-4. A destination's products of small weights take few values: it is then summed by counting,
    // four source pixels at a time, how many of the bytes at which the products step up each byte reaches.
    struct StepGroup {
        int first = 0;         // the group's first source pixel
        int steps = 0;         // the most steps a product of the group takes
        size_t thresholds = 0; // its `steps` vectors in stepThresholds_: byte k-1 of a step k a byte must pass
    };
    struct Terms {
        int left = 0;          // the source pixels that can add anything to the destination
        int right = -1;
        size_t products = 0;   // where their products (256 each) begin in products_, when not counted
        size_t groups = 0;     // where its step groups begin in stepGroups_, when counted
        int groupCount = 0;    // 0: summed from the products
    };
    void countSteps(int u, const std::vector<std::uint8_t>& products, const Contribution& contribution);
    void narrowByProducts(const Terms& terms, int u, const QRgb* rows, int count, qsizetype stride, QRgb* const* out);
    void narrowBySteps(const Terms& terms, int u, const QRgb* rows, int count, qsizetype stride, QRgb* const* out);

    std::vector<Terms> terms_;
    std::vector<std::uint8_t> products_;
    std::vector<StepGroup> stepGroups_;
    std::vector<std::uint8_t> stepThresholds_;
    QImage narrowed_;                    // the first pass's result, upright
    std::vector<QRgb> gathered_;         // orientations 5-8: one line per upright column, along stored x
    // Orientations 5-8: for each upright column (a stored row), the destinations it adds to and its weights there.
    std::vector<std::vector<std::pair<int, double>>> weightsOf_;
};

template <class FilterClass>
class C2PassScale {
public:
    virtual ~C2PassScale() = default;

    // The source is consumed: pass it with std::move when the caller no longer needs it, so its memory goes as
    // soon as the first pass is done.
    QImage Scale(QImage source, int width, int height) const
    {
        const FilterClass filter;
        return twoPassScale(filter, std::move(source), width, height);
    }
};

} // namespace imaging
