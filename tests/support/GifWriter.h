#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>

// Animated GIFs made in the test: black-and-white frames, each a list of lit (black) pixels, with one frame
// delay. The pixels are coded with a clear code before every second one, so every code keeps its first width and
// no string table is needed.
namespace testgif {

struct Frame {
    QList<bool> black; // width x height, row by row
};

inline void appendWord(QByteArray& out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// The LZW data of one frame: minimum code size 2 (colours 0 and 1), clear code 4, end code 5, 3-bit codes.
inline QByteArray frameData(const Frame& frame)
{
    QByteArray codes;
    int bitBuffer = 0, bitCount = 0;
    auto put = [&](int code) {
        bitBuffer |= code << bitCount;
        bitCount += 3;
        while (bitCount >= 8) {
            codes.append(char(bitBuffer & 0xFF));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    for (qsizetype i = 0; i < frame.black.size(); ++i) {
        if (i % 2 == 0)
            put(4);
        put(frame.black[i] ? 1 : 0);
    }
    put(5);
    if (bitCount > 0)
        codes.append(char(bitBuffer & 0xFF));
    QByteArray data(1, char(2));
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        data.append(char(block.size()));
        data.append(block);
    }
    data.append(char(0));
    return data;
}

// A GIF of the frames on a screen of `size`, each frame shown for delayMs (in 10 ms units in the file). Each frame
// covers the whole screen, or `frameSize` from its top left corner when that is given.
inline QByteArray makeGif(QSize size, const QList<Frame>& frames, int delayMs, QSize frameSize = QSize())
{
    if (!frameSize.isValid())
        frameSize = size;
    QByteArray out("GIF89a");
    appendWord(out, size.width());
    appendWord(out, size.height());
    out.append(char(0x80)); // a global colour table of 2 entries
    out.append(char(0));
    out.append(char(0));
    out.append(QByteArray("\xFF\xFF\xFF\x00\x00\x00", 6)); // 0 white, 1 black
    // Loop for ever (the application extension most animations carry).
    out.append(QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19));
    for (const Frame& frame : frames) {
        out.append(QByteArray("\x21\xF9\x04\x00", 4));
        appendWord(out, delayMs / 10);
        out.append(QByteArray("\x00\x00", 2));
        out.append(char(0x2C));
        appendWord(out, 0);
        appendWord(out, 0);
        appendWord(out, frameSize.width());
        appendWord(out, frameSize.height());
        out.append(char(0));
        out.append(frameData(frame));
    }
    out.append(char(0x3B));
    return out;
}

// `count` frames of `size`, frame k with column k (modulo the width) black, or all black when solid.
inline QList<Frame> columnFrames(QSize size, int count, bool solid = false)
{
    QList<Frame> frames;
    for (int k = 0; k < count; ++k) {
        Frame frame;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                frame.black.append(solid || x == k % size.width());
        frames.append(frame);
    }
    return frames;
}

} // namespace testgif
