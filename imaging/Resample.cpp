#include "imaging/Resample.h"

#include "imaging/ImageDecode.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace imaging {
namespace {

QImage asRgbOrArgb32(QImage image)
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
    QImage image = asRgbOrArgb32(std::move(source));
    // An unchanged length has the weights 0, 1, 0 for every pixel: the pass would copy its input.
    if (width != image.width())
        image = scaleRows(image, width, buildWeightTable(filter, image.width(), width));
    if (height != image.height())
        image = scaleColumns(image, height, buildWeightTable(filter, image.height(), height));
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

namespace {

// The three colour bytes of a QRgb in memory follow one another; alpha is the first or the last byte.
constexpr int kFirstColourByte = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 0 : 1;

// Products that take at most this many steps are summed by counting: fewer operations than looking them up.
constexpr int kMaxCountedSteps = 8;

QRgb packed(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return 0u | QRgb(red) << 16 | QRgb(green) << 8 | QRgb(blue); // alpha 0, as the resampler leaves it
}

} // namespace

StreamingScale::StreamingScale(const CGenericFilter& filter, QSize stored, int orientation, QSize target)
    : filter_(filter), stored_(stored), target_(target)
{
    const OrientationAxes axes = orientationAxes(orientation);
    transposed_ = axes.transposed;
    mirrorRows_ = axes.mirrorRows;
    mirrorColumns_ = axes.mirrorColumns;
    if (stored.isEmpty() || target.isEmpty())
        return;
    const int rowLength = transposed_ ? stored.height() : stored.width();
    const int columnLength = transposed_ ? stored.width() : stored.height();
    if (target.width() != rowLength)
        firstPass_ = buildWeightTable(filter, rowLength, target.width());
    if (transposed_) {
        gathered_.assign(size_t(target.width()) * size_t(stored.width()), 0u);
        weightsOf_.resize(size_t(rowLength));
        for (int u = 0; u < int(firstPass_.contributions.size()); ++u) {
            const Contribution& contribution = firstPass_.contributions[size_t(u)];
            for (int i = contribution.left; i <= contribution.right; ++i)
                weightsOf_[size_t(i)].emplace_back(u, contribution.weights[size_t(i - contribution.left)]);
        }
        return;
    }
    narrowed_ = QImage(target.width(), columnLength, QImage::Format_RGB32);
    std::vector<std::uint8_t> products;
    for (const Contribution& contribution : firstPass_.contributions) {
        tabulateProducts(contribution, products);
        // The products grow in size with the byte: a weight whose product with 255 is 0 adds nothing. Such
        // weights lie at the ends of the filter's reach, which is narrowed to leave them out.
        const auto largest = [&](int i) { return products[size_t(i - contribution.left) * 256 + 255]; };
        Terms terms;
        terms.left = contribution.left;
        terms.right = contribution.right;
        while (terms.left <= terms.right && largest(terms.left) == 0)
            ++terms.left;
        while (terms.right >= terms.left && largest(terms.right) == 0)
            --terms.right;
        int steps = 0;
        for (int i = terms.left; i <= terms.right; ++i)
            steps = std::max(steps, int(largest(i)));
        terms_.push_back(terms);
        if (terms.right - terms.left + 1 >= 4 && steps <= kMaxCountedSteps) {
            countSteps(int(terms_.size()) - 1, products, contribution);
            continue;
        }
        terms_.back().products = products_.size();
        const auto firstTable = products.begin() + (terms.left - contribution.left) * 256;
        products_.insert(products_.end(), firstTable, firstTable + (terms.right - terms.left + 1) * 256);
    }
}

// The step groups of destination u: four source pixels each, the last one moved back to end at the last pixel
// (its pixels that the group before counts are never counted again).
void StreamingScale::countSteps(int u, const std::vector<std::uint8_t>& products, const Contribution& contribution)
{
    Terms& terms = terms_[size_t(u)];
    terms.groups = stepGroups_.size();
    for (int start = terms.left; start <= terms.right; start += 4) {
        StepGroup group;
        group.first = std::min(start, terms.right - 3);
        group.thresholds = stepThresholds_.size();
        const auto table = [&](int i) { return products.begin() + (i - contribution.left) * 256; };
        for (int i = std::max(start, group.first); i <= group.first + 3; ++i)
            group.steps = std::max(group.steps, int(table(i)[255]));
        for (int step = 1; step <= group.steps; ++step)
            for (int i = group.first; i <= group.first + 3; ++i) {
                // The byte before the first one whose product reaches the step; 255 (none passes it) otherwise.
                int below = 255;
                if (i >= start)
                    for (int byte = 1; byte < 256; ++byte)
                        if (table(i)[byte] >= step) {
                            below = byte - 1;
                            break;
                        }
                for (int b = 0; b < 4; ++b)
                    stepThresholds_.push_back(std::uint8_t(b >= kFirstColourByte && b < kFirstColourByte + 3 ? below : 255));
            }
        stepGroups_.push_back(group);
        ++terms.groupCount;
    }
}

void StreamingScale::addRows(int first, QRgb* rows, int count, qsizetype stride)
{
    if (target_.isEmpty() || stored_.isEmpty())
        return;
    if (transposed_)
        gatherColumns(first, rows, count, stride);
    else
        narrowRows(first, rows, count, stride);
}

// Orientations 1-4: each stored row is an upright row (reversed when mirrored), narrowed destination by
// destination over the whole batch, so that one destination's products stay in the cache while every row of the
// batch is read.
void StreamingScale::narrowRows(int first, QRgb* rows, int count, qsizetype stride)
{
    const int width = stored_.width();
    const auto uprightRow = [&](int r) {
        const int y = first + r;
        return reinterpret_cast<QRgb*>(narrowed_.scanLine(mirrorColumns_ ? stored_.height() - 1 - y : y));
    };
    if (mirrorRows_)
        for (int r = 0; r < count; ++r)
            std::reverse(rows + r * stride, rows + r * stride + width);
    if (firstPass_.contributions.empty()) {
        for (int r = 0; r < count; ++r)
            std::copy_n(rows + r * stride, width, uprightRow(r));
        return;
    }
    std::vector<QRgb*> out(static_cast<size_t>(count));
    for (int r = 0; r < count; ++r)
        out[size_t(r)] = uprightRow(r);
    for (int u = 0; u < target_.width(); ++u) {
        const Terms& terms = terms_[size_t(u)];
        if (terms.groupCount > 0)
            narrowBySteps(terms, u, rows, count, stride, out.data());
        else
            narrowByProducts(terms, u, rows, count, stride, out.data());
    }
}

// Two rows at a time: the same products serve both, and the six sums run side by side.
void StreamingScale::narrowByProducts(const Terms& terms, int u, const QRgb* rows, int count, qsizetype stride,
                                      QRgb* const* out)
{
    const std::uint8_t* const products = products_.data() + terms.products;
    const int pixels = terms.right - terms.left + 1;
    int r = 0;
    for (; r + 1 < count; r += 2) {
        const QRgb* in = rows + r * stride + terms.left;
        const QRgb* below = in + stride;
        std::uint8_t red = 0, green = 0, blue = 0, red2 = 0, green2 = 0, blue2 = 0;
        const std::uint8_t* product = products;
        for (int t = 0; t < pixels; ++t, product += 256) {
            red = std::uint8_t(red + product[qRed(in[t])]);
            green = std::uint8_t(green + product[qGreen(in[t])]);
            blue = std::uint8_t(blue + product[qBlue(in[t])]);
            red2 = std::uint8_t(red2 + product[qRed(below[t])]);
            green2 = std::uint8_t(green2 + product[qGreen(below[t])]);
            blue2 = std::uint8_t(blue2 + product[qBlue(below[t])]);
        }
        out[r][u] = packed(red, green, blue);
        out[r + 1][u] = packed(red2, green2, blue2);
    }
    for (; r < count; ++r) {
        const QRgb* in = rows + r * stride + terms.left;
        std::uint8_t red = 0, green = 0, blue = 0;
        const std::uint8_t* product = products;
        for (int t = 0; t < pixels; ++t, product += 256) {
            red = std::uint8_t(red + product[qRed(in[t])]);
            green = std::uint8_t(green + product[qGreen(in[t])]);
            blue = std::uint8_t(blue + product[qBlue(in[t])]);
        }
        out[r][u] = packed(red, green, blue);
    }
}

namespace {

// Sixteen bytes side by side: four RGB32 pixels. A comparison gives 0xFF (-1) where it holds.
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));

Bytes16 load16(const void* bytes)
{
    Bytes16 vector;
    std::memcpy(&vector, bytes, sizeof vector);
    return vector;
}

// The four pixels' counts added up per channel (in 8 bits, as the products are), alpha 0.
QRgb channelSums(Bytes16 counts)
{
    std::uint8_t sums[4] = {};
    for (int b = kFirstColourByte; b < kFirstColourByte + 3; ++b)
        sums[b] = std::uint8_t(counts[b] + counts[4 + b] + counts[8 + b] + counts[12 + b]);
    QRgb pixel;
    std::memcpy(&pixel, sums, sizeof pixel);
    return pixel;
}

} // namespace

// trunc(weight x byte) is the number of steps of the product that the byte reaches, so each channel's sum is the
// count of its bytes that pass each step's threshold.
void StreamingScale::narrowBySteps(const Terms& terms, int u, const QRgb* rows, int count, qsizetype stride,
                                   QRgb* const* out)
{
    const StepGroup* const groups = stepGroups_.data() + terms.groups;
    int r = 0;
    for (; r + 1 < count; r += 2) {
        const QRgb* in = rows + r * stride;
        const QRgb* below = in + stride;
        Bytes16 counts = {}, counts2 = {};
        for (int g = 0; g < terms.groupCount; ++g) {
            const Bytes16 pixels = load16(in + groups[g].first), pixels2 = load16(below + groups[g].first);
            const std::uint8_t* threshold = stepThresholds_.data() + groups[g].thresholds;
            for (int step = 0; step < groups[g].steps; ++step, threshold += 16) {
                const Bytes16 passed = load16(threshold);
                counts -= Bytes16(pixels > passed);
                counts2 -= Bytes16(pixels2 > passed);
            }
        }
        out[r][u] = channelSums(counts);
        out[r + 1][u] = channelSums(counts2);
    }
    for (; r < count; ++r) {
        const QRgb* in = rows + r * stride;
        Bytes16 counts = {};
        for (int g = 0; g < terms.groupCount; ++g) {
            const Bytes16 pixels = load16(in + groups[g].first);
            const std::uint8_t* threshold = stepThresholds_.data() + groups[g].thresholds;
            for (int step = 0; step < groups[g].steps; ++step, threshold += 16)
                counts -= Bytes16(pixels > load16(threshold));
        }
        out[r][u] = channelSums(counts);
    }
}

// Orientations 5-8: a stored row is one upright column. Its share of every destination it reaches is added,
// byte by byte in 8 bits as the accumulator wraps, to that destination's line; the order of the additions does
// not change such sums.
void StreamingScale::gatherColumns(int first, const QRgb* rows, int count, qsizetype stride)
{
    const int width = stored_.width();
    std::uint8_t products[256];
    for (int r = 0; r < count; ++r) {
        const QRgb* row = rows + r * stride;
        const int column = mirrorRows_ ? stored_.height() - 1 - (first + r) : first + r;
        if (firstPass_.contributions.empty()) {
            std::copy_n(row, width, gathered_.begin() + qsizetype(column) * width);
            continue;
        }
        for (const auto& [u, weight] : weightsOf_[size_t(column)]) {
            for (int byte = 0; byte < 256; ++byte)
                products[byte] = std::uint8_t(int(weight * byte));
            const auto* in = reinterpret_cast<const std::uint8_t*>(row);
            auto* sum = reinterpret_cast<std::uint8_t*>(gathered_.data() + qsizetype(u) * width);
            for (int x = 0; x < width; ++x, sum += 4, in += 4)
                for (int channel = kFirstColourByte; channel < kFirstColourByte + 3; ++channel)
                    sum[channel] = std::uint8_t(sum[channel] + products[in[channel]]);
        }
    }
}

QImage StreamingScale::result()
{
    if (target_.isEmpty() || stored_.isEmpty())
        return {};
    if (transposed_) {
        // Line u holds upright column u's sums along stored x; upright row y lies at stored x (mirrored or not).
        narrowed_ = QImage(target_.width(), stored_.width(), QImage::Format_RGB32);
        for (int y = 0; y < stored_.width(); ++y) {
            const int x = mirrorColumns_ ? stored_.width() - 1 - y : y;
            auto* out = reinterpret_cast<QRgb*>(narrowed_.scanLine(y));
            for (int u = 0; u < target_.width(); ++u)
                out[u] = gathered_[size_t(u) * size_t(stored_.width()) + size_t(x)];
        }
        gathered_ = {};
    }
    if (target_.height() == narrowed_.height())
        return narrowed_;
    return scaleColumns(narrowed_, target_.height(), buildWeightTable(filter_, narrowed_.height(), target_.height()));
}

} // namespace imaging
