#pragma once

#include <QRgb>
#include <QtGlobal>
#include <cmath>

// Colours as every threshold of the program compares them, and the rules that decide which pixel of a picture is
// a lit LED. A picture file is black (lit) and white (unlit); the rules differ only on the other colours that
// imported or hand-made files may hold.
namespace imaging {

// A colour as one 24-bit number with red in the low byte, green in the middle and blue in the high byte
// (0xBBGGRR). Comparisons are plain integer comparisons, so for colours that are not grey the blue component
// dominates. Qt's QRgb is 0xAARRGGBB: convert with colourValue() and rgbOf().
using ColourValue = quint32;

inline constexpr ColourValue kBlack = 0x000000;
inline constexpr ColourValue kWhite = 0xFFFFFF;
inline constexpr ColourValue kPureRed = 0x0000FF;
inline constexpr ColourValue kPureGreen = 0x00FF00;
inline constexpr ColourValue kPureBlue = 0xFF0000;

// Grey level 155 in all three bytes: the border between lit and unlit.
inline constexpr ColourValue LitThreshold = 0x9B9B9B;

// The grey level at or below which LitByLuminance counts a pixel as lit.
inline constexpr int kLitLuminance = 155;

constexpr ColourValue colourValue(QRgb rgb)
{
    return ColourValue(qRed(rgb)) | ColourValue(qGreen(rgb)) << 8 | ColourValue(qBlue(rgb)) << 16;
}

constexpr QRgb rgbOf(ColourValue colour)
{
    return qRgb(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF));
}

// Grey level 0..255 of a colour: 0.3 red + 0.59 green + 0.11 blue in double precision, clamped to 0..255 and
// rounded half up. Pure red gives 77 (76.5), pure green 150, pure blue 28, white 255.
inline int luminance(ColourValue colour)
{
    const double red = colour & 0xFF, green = colour >> 8 & 0xFF, blue = colour >> 16 & 0xFF;
    double level = 0.3 * red + 0.59 * green + 0.11 * blue;
    level = level < 0 ? 0 : (level > 255 ? 255 : level);
    const double whole = std::floor(level);
    return int(whole) + (level - whole >= 0.5 ? 1 : 0);
}

// The grey colour of a colour's luminance (level x 0x010101).
inline ColourValue luminanceColour(ColourValue colour)
{
    return ColourValue(luminance(colour)) * 0x010101u;
}

// Which pixels count as lit. The rules agree on pure black and pure white.
enum class LitRule {
    LitBelow,       // colour value < LitThreshold: loading into the editing canvas, the text editor's inked box
    LitAtMost,      // colour value <= LitThreshold: previews, content bounds, loading a banner for modification
    LitByLuminance, // luminance <= 155: the device image compiler
};

constexpr bool litBelow(ColourValue colour) { return colour < LitThreshold; }
constexpr bool litAtMost(ColourValue colour) { return colour <= LitThreshold; }
inline bool litByLuminance(ColourValue colour) { return luminance(colour) <= kLitLuminance; }

// The import dialog's rule: lit when the colour value is at most the grey colour of level `threshold` (0..254).
constexpr bool litAtThreshold(ColourValue colour, int threshold)
{
    return threshold >= 0 && colour <= ColourValue(threshold) * 0x010101u;
}

inline bool isLit(ColourValue colour, LitRule rule)
{
    switch (rule) {
    case LitRule::LitBelow:
        return litBelow(colour);
    case LitRule::LitAtMost:
        return litAtMost(colour);
    case LitRule::LitByLuminance:
        return litByLuminance(colour);
    }
    return false;
}

} // namespace imaging
