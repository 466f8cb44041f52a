#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

// JPEG files for the tests and benchmarks of the importer: photograph-like ones, and EXIF orientations.

// A photograph-like picture: smooth light and colour over the whole frame, a few dark shapes, and sensor noise
// from a fixed seed, so that its JPEG is of a camera's size and the resampler sums every byte value.
inline QImage photoLikeImage(QSize size, unsigned seed)
{
    std::vector<double> across(size_t(size.width())), down(size_t(size.height()));
    for (int x = 0; x < size.width(); ++x)
        across[size_t(x)] = std::sin(9.0 * x / size.width()) * 0.5 + 0.5;
    for (int y = 0; y < size.height(); ++y)
        down[size_t(y)] = std::cos(5.0 * y / size.height()) * 0.5 + 0.5;
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-12, 12);
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const double light = across[size_t(x)] * down[size_t(y)];
            // Dark bands across the frame, as trees or buildings would be.
            const bool shape = (x / 97 + y / 61) % 7 == 0;
            const auto channel = [&](double base) { return std::clamp(int(base * (shape ? 0.2 : 1.0)) + noise(random), 0, 255); };
            line[x] = qRgb(channel(60 + 190 * light), channel(40 + 160 * down[size_t(y)]), channel(200 - 150 * light));
        }
    }
    return image;
}

// The image as a JPEG of the given quality (4:2:0, as Qt's writer and most cameras store colour).
inline QByteArray jpegOf(const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

// An APP1 segment with an EXIF orientation, inserted after the JPEG's start marker.
inline QByteArray withOrientation(const QByteArray& jpeg, int orientation, bool bigEndian)
{
    QByteArray tiff(26, '\0');
    auto* t = reinterpret_cast<uchar*>(tiff.data());
    const auto put16 = [&](int at, quint16 v) {
        bigEndian ? qToBigEndian(v, t + at) : qToLittleEndian(v, t + at);
    };
    const auto put32 = [&](int at, quint32 v) {
        bigEndian ? qToBigEndian(v, t + at) : qToLittleEndian(v, t + at);
    };
    tiff[0] = tiff[1] = bigEndian ? 'M' : 'I';
    put16(2, 42);
    put32(4, 8);      // IFD 0 right after the header
    put16(8, 1);      // one entry
    put16(10, 0x0112); // Orientation
    put16(12, 3);     // SHORT
    put32(14, 1);
    put16(18, quint16(orientation));
    put32(22, 0);     // no next IFD
    QByteArray segment("\xFF\xE1", 2);
    QByteArray length(2, '\0');
    qToBigEndian(quint16(2 + 6 + tiff.size()), length.data());
    segment += length + QByteArray("Exif\0\0", 6) + tiff;
    return jpeg.left(2) + segment + jpeg.mid(2);
}
