#pragma once

#include <QImage>
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
