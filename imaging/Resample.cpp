#include "imaging/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace imaging {
namespace {

QImage asRgb32(QImage image)
{
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

// One channel of the weighted sum: trunc(weight x byte) added up in 8 bits, as the resampler's accumulator does.
inline QRgb weightedPixel(const Contribution& contribution, const QRgb* source, std::ptrdiff_t stride)
{
    std::uint8_t red = 0, green = 0, blue = 0;
    const double* weight = contribution.weights.data();
    const QRgb* pixel = source + contribution.left * stride;
    for (int i = contribution.left; i <= contribution.right; ++i, ++weight, pixel += stride) {
        red = std::uint8_t(red + int(*weight * qRed(*pixel)));
        green = std::uint8_t(green + int(*weight * qGreen(*pixel)));
        blue = std::uint8_t(blue + int(*weight * qBlue(*pixel)));
    }
    return 0u | QRgb(red) << 16 | QRgb(green) << 8 | QRgb(blue); // alpha 0, as the resampler leaves it
}

// The products trunc(weight x byte) of one destination pixel's weights with every byte value, 256 per weight: a
// row pass reads them instead of multiplying, which gives the same sums (the accumulator keeps 8 bits either way).
void tabulateProducts(const Contribution& contribution, std::vector<std::uint8_t>& products)
{
    products.resize(contribution.weights.size() * 256);
    std::uint8_t* out = products.data();
    for (double weight : contribution.weights)
        for (int byte = 0; byte < 256; ++byte)
            *out++ = std::uint8_t(int(weight * byte));
}

// Column by column, so one destination column's products stay in the cache while every row is read.
QImage scaleRows(const QImage& source, int width, const WeightTable& table)
{
    QImage result(width, source.height(), QImage::Format_RGB32);
    std::vector<std::uint8_t> products;
    for (int x = 0; x < width; ++x) {
        const Contribution& contribution = table.contributions[size_t(x)];
        tabulateProducts(contribution, products);
        const int count = contribution.right - contribution.left + 1;
        for (int y = 0; y < source.height(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y)) + contribution.left;
            std::uint8_t red = 0, green = 0, blue = 0;
            const std::uint8_t* product = products.data();
            for (int i = 0; i < count; ++i, product += 256) {
                red = std::uint8_t(red + product[qRed(in[i])]);
                green = std::uint8_t(green + product[qGreen(in[i])]);
                blue = std::uint8_t(blue + product[qBlue(in[i])]);
            }
            reinterpret_cast<QRgb*>(result.scanLine(y))[x] = 0u | QRgb(red) << 16 | QRgb(green) << 8 | QRgb(blue);
        }
    }
    return result;
}

QImage scaleColumns(const QImage& source, int height, const WeightTable& table)
{
    QImage result(source.width(), height, QImage::Format_RGB32);
    const auto* in = reinterpret_cast<const QRgb*>(source.constBits());
    const std::ptrdiff_t stride = source.bytesPerLine() / std::ptrdiff_t(sizeof(QRgb));
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        const Contribution& contribution = table.contributions[size_t(y)];
        for (int x = 0; x < source.width(); ++x)
            out[x] = weightedPixel(contribution, in + x, stride);
    }
    return result;
}

} // namespace

WeightTable buildWeightTable(const CGenericFilter& filter, int sourceLength, int destinationLength)
{
    WeightTable table;
    if (sourceLength <= 0 || destinationLength <= 0)
        return table;
    const double scale = double(destinationLength) / double(sourceLength);
    // Shrinking widens the filter so that every source pixel contributes.
    const double halfWidth = scale >= 1.0 ? filter.GetWidth() : filter.GetWidth() / scale;
    const double filterScale = scale >= 1.0 ? 1.0 : scale;
    table.windowSize = 2 * int(std::ceil(halfWidth)) + 1;
    table.contributions.resize(size_t(destinationLength));
    for (int u = 0; u < destinationLength; ++u) {
        const double centre = double(u) / scale;
        int left = std::max(0, int(std::floor(centre - halfWidth)));
        int right = std::min(sourceLength - 1, int(std::ceil(centre + halfWidth)));
        // Rounding can reach one pixel more than the window holds.
        if (right - left + 1 > table.windowSize) {
            if (left < sourceLength)
                ++left;
            else
                --right;
        }
        Contribution& contribution = table.contributions[size_t(u)];
        contribution.left = left;
        contribution.right = right;
        double total = 0;
        for (int i = left; i <= right; ++i) {
            const double weight = filterScale * filter.Filter(filterScale * (centre - double(i)));
            contribution.weights.push_back(weight);
            total += weight;
        }
        if (total > 0)
            for (double& weight : contribution.weights)
                weight /= total;
    }
    return table;
}

QImage twoPassScale(const CGenericFilter& filter, QImage source, int width, int height)
{
    if (source.isNull() || width <= 0 || height <= 0)
        return {};
    QImage image = asRgb32(std::move(source));
    // An unchanged length has the weights 0, 1, 0 for every pixel: the pass would copy its input.
    if (width != image.width())
        image = scaleRows(image, width, buildWeightTable(filter, image.width(), width));
    if (height != image.height())
        image = scaleColumns(image, height, buildWeightTable(filter, image.height(), height));
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

} // namespace imaging
