#pragma once

#include "store/Edition.h"
#include "store/Workspace.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>

// The device image: the byte image of one project as the stick keeps it in its memory, and what the compiler and
// the importer share about it. All multi-byte fields are little-endian 16-bit words:
//
//   offset  size  field
//   0       1     picture count n (1..255)
//   1       1     picture height H, + 128 for device types that flag it
//   2       2     TotalBytes: the whole image, header and pattern data included
//   4       2     PatternStart = 10 + 8n: offset of the first pattern byte
//   6       8n    link list, one LinkEntry per picture:
//                   word 0: bits 0-11 width in columns, 12-13 ticker type, 14 indelible, 15 torch
//                   word 1: display speed word
//                   word 2: bits 0-14 FP value (from the shift value), bit 15 "the group continues"
//                   word 3: interval after this picture (x 3 on fan sticks)
//   6+8n    2     ticker speed
//   8+8n    2     movie interval (x 3 on fan sticks)
//   10+8n         pattern data: the columns of every picture, each column ceil(H / 8) bytes, the top row of a band
//                 in bit 7 of its byte, a set bit for a lit LED
//
// An image without pictures has no bytes at all.
namespace deviceimage {

// Device type codes, as the stick reports them on the wire.
enum DeviceType : int {
    kVisuallyInviting = 1, // message 723
    kFanStick16 = 3,       // message 724: fan/spring stick with 16 LEDs (also the 11 and 24 LED editions)
    kRoll = 4,             // "LED Light Show ROLL"
    kFanStick32 = 6,
    kFanStick48 = 7,
};

// How a device type lays out its image. Codes the program does not know have none of the properties and take
// their FP value from the shift value.
struct DeviceTraits {
    bool fanLayout = false;       // columns right to left; intervals stored x 3
    bool bottomBandFirst = false; // the bytes of a column from the bottom band up
    bool heightFlag = false;      // 128 added to the height byte
    bool fixedFpValue = false;    // FP value always 20
};
DeviceTraits deviceTraits(int deviceType);

// True for the codes of the sticks that exist (1, 3, 4, 6 and 7).
bool isDeviceType(int code);

// The type an image is made for when no stick tells its own: 6 for 32 LEDs, 7 for 48 LEDs, else 3.
int editionDeviceType(int ledCount);

// Memory size the free-space figures assume (the stick reports its real size when connected): 4096 bytes for 24,
// 32 and 48 LEDs, 2048 for 11 and 16.
int editionCapacity(int ledCount);

// Bytes per column of a picture of the given height.
constexpr int bytesPerColumn(int height)
{
    return (height + 7) / 8;
}

// What the format can hold. n is one byte, a width 12 bits, TotalBytes 16 bits; the height byte keeps its top bit
// for the height flag.
inline constexpr int kHeaderBytes = 10;
inline constexpr int kLinkEntryBytes = 8;
inline constexpr int kMaxPictures = 255;
inline constexpr int kMaxColumns = 4095;
inline constexpr int kMaxImageBytes = 65535;
inline constexpr int kMaxHeight = 127;
// The largest file a reader takes in.
inline constexpr int kMaxBinaryFileBytes = 65536;

// Link entry word 0.
inline constexpr quint16 kWidthMask = 0x0FFF;
inline constexpr int kTickerShift = 12;
inline constexpr quint16 kIndelibleBit = 0x4000;
inline constexpr quint16 kTorchBit = 0x8000;
// Link entry word 2.
inline constexpr quint16 kGroupContinuesBit = 0x8000;
inline constexpr quint16 kFpValueMask = 0x7FFF;
inline constexpr int kFixedFpValue = 20;
inline constexpr int kNoShiftFpValue = 40;
// Height byte.
inline constexpr quint8 kHeightFlag = 0x80;

// The torch picture: a picture of this name lights the stick as a torch instead of being drawn.
inline const QString kTorchFile = QStringLiteral("LumiwandTorch.bmp");
// True when the file name part of a stored picture name (after the last "/" or "\") is the torch picture,
// ignoring case.
bool isTorchFile(const QString& storedName);
// Makes clipsFolder + kTorchFile when it is missing: a square of size x size pixels, all lit. False when it is
// missing and cannot be written.
bool ensureTorchPicture(const QString& clipsFolder, int size);

// The state the compiler and the importer work in, passed explicitly: the edition, the workspace folders and
// the simplified run mode (express, easy and mass production starts).
struct ImageContext {
    store::EditionParameters edition;
    store::Workspace workspace;
    bool simplifiedMode = false;
};

// Where the header's fields and the link entries lie.
inline constexpr qsizetype kCountOffset = 0;
inline constexpr qsizetype kHeightOffset = 1;
inline constexpr qsizetype kTotalBytesOffset = 2;
inline constexpr qsizetype kPatternStartOffset = 4;
constexpr qsizetype linkEntryOffset(int picture)
{
    return 6 + qsizetype(kLinkEntryBytes) * picture;
}

// The fields of an image's header. Bytes past the end read as 0, so the first block of a stick's memory can be
// read before the rest.
struct ImageHeader {
    int pictures = 0;
    int height = 0; // rows, without the height flag
    bool heightFlag = false;
    int totalBytes = 0;
    int patternStart = 0;
};
ImageHeader readImageHeader(const QByteArray& image);

// Picture k's width in columns; 0 when its link entry lies past the bytes given.
int pictureWidth(const QByteArray& image, int picture);
// How many of the header's pictures are marked indelible, among those whose link entries lie within the bytes given.
int countIndelible(const QByteArray& image);

// Whether a stick can be made for this many rows: 16, 24, 32, 48 or 64.
bool isStickHeight(int height);

// Whether an image's lengths agree: TotalBytes is the image's length, PatternStart 10 + 8n, and the widths, each at
// least 1, account for the pattern data exactly. A half-written or damaged memory seldom passes.
enum class ImageShape {
    Consistent,
    Damaged,    // lengths, PatternStart or widths that do not add up, or a picture of no columns
    NoPictures, // the count byte is 0
    NoHeight,   // the height is 0
};
ImageShape checkImageShape(const QByteArray& image);

// Little-endian 16-bit fields of an image. The reader gives 0 past the end, so a short image never reads beyond
// its bytes.
inline int readWord(const QByteArray& image, qsizetype offset)
{
    if (offset < 0 || offset + 2 > image.size())
        return 0;
    return qFromLittleEndian<quint16>(image.constData() + offset);
}
inline void writeWord(QByteArray& image, qsizetype offset, int value)
{
    qToLittleEndian<quint16>(quint16(value & 0xFFFF), image.data() + offset);
}

// The sum of all bytes modulo 65536, as the stick and the factory tools check an image.
quint16 imageChecksum(const QByteArray& image);

} // namespace deviceimage
