#include "imaging/TextBanner.h"

#include "imaging/Fonts.h"
#include "store/LibraryCatalogue.h"
#include "store/Names.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace imaging {
namespace {

constexpr int kDotsPerMeter96Dpi = 3780; // point sizes mean what they mean on a 96 dpi screen
constexpr int kLargestSize = 1000;       // a search stops here even for a text that never grows too big
constexpr int kMaxStemBytes = 240;       // room for a number and ".bmp" within the file systems' 255 bytes
constexpr QRgb kWhitePixel = 0xFFFFFFFF;

bool rowHasInk(const QImage& image, int y, int width)
{
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    return std::any_of(row, row + width, [](QRgb pixel) { return (pixel | 0xFF000000) != kWhitePixel; });
}

// The rightmost non-white column in rows top..bottom (inclusive, cut to the image); 0 when none.
int rightmostInk(const QImage& image, int top, int bottom)
{
    int right = 0;
    for (int y = std::max(top, 0); y <= std::min(bottom, image.height() - 1); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = image.width() - 1; x > right; --x)
            if ((row[x] | 0xFF000000) != kWhitePixel) {
                right = x;
                break;
            }
    }
    return right;
}

void drawAt(QImage& bitmap, const QString& text, const QFont& font, int x)
{
    QPainter painter(&bitmap);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(x, QFontMetrics(font, &bitmap).ascent()), text);
}

// The characters as a reader counts them: grapheme clusters, so an accented letter or a surrogate pair is one.
QStringList characters(const QString& text)
{
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() > 0) {
        result << text.mid(start, finder.position() - start);
        start = finder.position();
    }
    return result;
}

} // namespace

int bannerTextLimit(int ledCount)
{
    return ledCount < 17 ? 18 : 40;
}

bool offersLayoutChoice(int ledCount)
{
    return ledCount >= 17;
}

QFont defaultTextFont()
{
    QFont font(kDefaultTextFace);
    font.setPointSize(kFirstTextSize);
    return font;
}

QFont drawingFont(QFont font)
{
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    return font;
}

QImage whiteTextImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeter96Dpi);
    image.setDotsPerMeterY(kDotsPerMeter96Dpi);
    image.fill(Qt::white);
    return image;
}

LitGrid Banner::grid() const
{
    return LitGrid::fromImage(preview, LitRule::LitBelow);
}

BannerComposer::BannerComposer(QSize canvas)
    : canvas_(canvas), work_(whiteTextImage(canvas * 2 + QSize(0, canvas.height()))), second_(work_.copy())
{
}

Ink BannerComposer::inkOf(const QImage& bitmap) const
{
    Ink ink;
    int bottom = bitmap.height() - 1;
    while (bottom >= 1 && !rowHasInk(bitmap, bottom, bitmap.width()))
        --bottom;
    if (bottom < 1)
        return ink;
    int top = 0;
    while (!rowHasInk(bitmap, top, bitmap.width()))
        ++top;
    ink.found = true;
    ink.top = top;
    ink.bottom = bottom;
    ink.right = rightmostInk(bitmap, top, bottom + 1);
    return ink;
}

Ink BannerComposer::MeasureInk(const QString& text, const QFont& font)
{
    work_.fill(Qt::white);
    drawAt(work_, text, drawingFont(font), 0);
    return inkOf(work_);
}

int BannerComposer::inkRight(int top, int bottom) const
{
    return rightmostInk(work_, top, bottom + 1);
}

bool BannerComposer::FitText(const QString& text, int maxHeight, FitMode mode, QFont& font, Ink& ink)
{
    const auto fits = [&](const Ink& measured) {
        return measured.found && measured.height() <= maxHeight && measured.right <= canvas_.width();
    };
    if (mode == FitMode::Check) {
        ink = MeasureInk(text, font);
        if (!ink.found || fits(ink))
            return ink.found;
        font.setPointSize(std::max(1, font.pointSize() - 1));
        ink.top = ink.bottom = 0;
        return false;
    }
    font.setPointSize(kFirstTextSize);
    ink = MeasureInk(text, font);
    if (!ink.found)
        return false;
    Ink previous; // bounds 0 when even the first size is too big
    previous.found = true;
    while (fits(ink) && ink.height() < maxHeight && font.pointSize() < kLargestSize) {
        previous = ink;
        font.setPointSize(font.pointSize() + 1);
        ink = MeasureInk(text, font); // no ink any more: drawn past the bitmap, as good as too big
    }
    if (!fits(ink)) {
        font.setPointSize(std::max(1, font.pointSize() - 1));
        ink.found = true;
        ink.top = previous.top;
        ink.bottom = previous.bottom;
    }
    return true;
}

BannerComposer::Layout BannerComposer::fitOneLine(const QString& text, int maxHeight, QFont& font,
                                                  const BannerOptions& options)
{
    Layout layout;
    layout.first.text = text;
    FitText(text, maxHeight, options.autoFit ? FitMode::Search : FitMode::Check, font, layout.first.ink);
    return layout;
}

BannerComposer::Layout BannerComposer::fitTwoLines(const QString& text, QFont& font)
{
    const int half = canvas_.height() / 2;
    const int lineMax = half - 1;
    Layout best;
    for (qsizetype space = text.indexOf(u' '); space >= 0; space = text.indexOf(u' ', space + 1)) {
        Line first{text.left(space), {}};
        Line second{text.mid(space + 1), {}};
        while (second.text.endsWith(u' '))
            second.text.chop(1);
        if (!FitText(first.text, lineMax, FitMode::Search, font, first.ink))
            continue;
        const int firstSize = font.pointSize();
        const int firstWidth = inkRight(first.ink.top, first.ink.bottom);
        FitText(second.text, lineMax, FitMode::Check, font, second.ink);
        if (!second.ink.found)
            continue;
        const int secondSize = font.pointSize();
        const int secondWidth = inkRight(second.ink.top, second.ink.bottom);
        // Try the other line at the size of the wider one, which is the size that limits the pair.
        Ink again;
        if (firstWidth < secondWidth) {
            if (FitText(first.text, lineMax, FitMode::Check, font, again))
                first.ink = again;
            else
                font.setPointSize(firstSize);
        } else {
            font.setPointSize(firstSize);
            if (FitText(second.text, lineMax, FitMode::Check, font, again))
                second.ink = again;
            else
                font.setPointSize(secondSize);
        }
        const int total = first.ink.height() + second.ink.height() + 2;
        if (total >= best.best && total <= canvas_.height())
            best = {first, second, total}; // a later split wins a tie
    }
    if (best.best == 0)
        return fitOneLine(text, half, font, BannerOptions{});
    FitText(best.first.text, lineMax, FitMode::Search, font, best.first.ink);
    FitText(best.second.text, lineMax, FitMode::Check, font, best.second.ink);
    return best;
}

void BannerComposer::drawLine(QImage& bitmap, const QString& text, const QFont& font, const Ink& ink, bool align)
{
    bitmap.fill(Qt::white);
    const QFont drawing = drawingFont(font);
    if (!align) {
        drawAt(bitmap, text, drawing, 0);
        return;
    }
    // Each character's width is its rightmost ink alone; the room left is shared out as equal gaps.
    const QStringList parts = characters(text);
    QList<int> widths;
    int sum = 0;
    for (const QString& part : parts) {
        bitmap.fill(Qt::white);
        drawAt(bitmap, part, drawing, 0);
        widths << rightmostInk(bitmap, ink.top, ink.bottom + 1);
        sum += widths.back();
    }
    const int gap = parts.isEmpty() ? 0 : (canvas_.width() - sum) / int(parts.size());
    bitmap.fill(Qt::white);
    int x = gap / 2;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        drawAt(bitmap, parts[i], drawing, x);
        x += widths[i] + gap;
    }
}

Banner BannerComposer::compose(const QString& text, QFont& font, const BannerOptions& options)
{
    Banner banner;
    if (text.trimmed().isEmpty())
        return banner;
    const int rows = canvas_.height();
    Layout layout;
    if (!options.autoFit)
        layout = fitOneLine(text, options.wrapText ? rows / 2 : rows, font, options);
    else if (options.wrapText)
        layout = fitTwoLines(text, font);
    else {
        layout = fitOneLine(text, rows, font, options);
        // A short text on a tall stick fills it better on two lines.
        if (rows >= 32 && layout.first.ink.found && layout.first.ink.bottom - layout.first.ink.top < rows / 2)
            layout = fitTwoLines(text, font);
    }
    if (!layout.first.ink.found)
        return banner;

    // Draw the lines at the size the fitting chose and take their ink afresh, so the preview and the figures
    // describe what is drawn.
    const bool twoLines = layout.best > 0;
    const Ink firstMeasure = MeasureInk(layout.first.text, font);
    const Ink secondMeasure = twoLines ? MeasureInk(layout.second.text, font) : Ink{};
    drawLine(work_, layout.first.text, font, firstMeasure, options.autoAlign);
    Ink block = inkOf(work_);
    if (!block.found)
        return banner;
    int offset = 0;
    if (twoLines && secondMeasure.found) {
        drawLine(second_, layout.second.text, font, secondMeasure, options.autoAlign);
        const Ink secondInk = inkOf(second_);
        if (secondInk.found) {
            // Line 2's inked rows go one blank row below line 1, and the pair is centred.
            const int to = block.bottom + 2;
            const int rowsToCopy = std::min(secondInk.height(), work_.height() - to);
            for (int i = 0; i < rowsToCopy; ++i)
                std::copy_n(reinterpret_cast<const QRgb*>(second_.constScanLine(secondInk.top + i)),
                            canvas_.width(), reinterpret_cast<QRgb*>(work_.scanLine(to + i)));
            offset = std::max(0, (rows - (block.height() + secondInk.height() + 2)) / 2);
            block.bottom = to + secondInk.height() - 1;
            block.right = std::max(block.right, secondInk.right);
            banner.twoLines = true;
        }
    }

    banner.preview = whiteTextImage(canvas_);
    for (int y = 0; y < rows - offset && block.top + y < work_.height(); ++y)
        std::copy_n(reinterpret_cast<const QRgb*>(work_.constScanLine(block.top + y)), canvas_.width(),
                    reinterpret_cast<QRgb*>(banner.preview.scanLine(offset + y)));
    banner.drawn = true;
    banner.width = options.autoAlign ? canvas_.width() : block.right;
    banner.height = std::min(block.bottom - block.top + 1, rows);
    banner.pointSize = font.pointSize();
    return banner;
}

TextBlock renderTextBlock(const QString& text, const QFont& font)
{
    constexpr int kLargeFontSize = 48;
    const int side = font.pointSize() >= kLargeFontSize ? 128 : 64;
    TextBlock block;
    block.image = whiteTextImage(QSize(side, side));
    drawAt(block.image, text, drawingFont(font), 0);
    block.left = block.top = side;
    for (int y = 0; y < side; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(block.image.constScanLine(y));
        for (int x = 0; x < side; ++x)
            if (litBelow(colourValue(row[x]))) {
                block.left = std::min(block.left, x);
                block.top = std::min(block.top, y);
                block.right = std::max(block.right, x);
                block.bottom = std::max(block.bottom, y);
            }
    }
    return block;
}

QImage renderTextSample(const QString& text, const QFont& font)
{
    constexpr int kSampleSide = 64, kSampleSize = 22;
    QFont sampleFont = drawingFont(font);
    sampleFont.setPointSize(kSampleSize);
    QImage sample = whiteTextImage(QSize(kSampleSide, kSampleSide));
    const QFontMetrics metrics(sampleFont, &sample);
    // Integer halves truncating toward zero, as the dialog has always centred it.
    const int x = (kSampleSide - metrics.horizontalAdvance(text)) / 2;
    const int y = (kSampleSide - metrics.height()) / 2;
    QPainter painter(&sample);
    painter.setFont(sampleFont);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(x, y + metrics.ascent()), text);
    return sample;
}

QString bannerFileStem(const QString& text)
{
    QString stem;
    for (const QChar c : text.trimmed()) {
        const bool unsafe = c == u'/' || c == u'\\' || c == u'=' || c == u';' || c.category() == QChar::Other_Control
                            || c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph
                            || (c == u'.' && stem.endsWith(u'.'));
        stem += unsafe ? QChar(u'_') : c;
    }
    stem = store::cutToFileNameBytes(stem, kMaxStemBytes).trimmed();
    if (stem.isEmpty())
        return stem;
    if (stem.front() == u'.' || stem.front() == u'#' || stem.front() == u'[')
        stem[0] = u'_';
    if (stem.back() == u'.') // "Wait." would give "Wait..bmp"
        stem.back() = u'_';
    return stem;
}

QString bannerFileName(const QString& clipsFolder, const QString& text)
{
    const QString stem = bannerFileStem(text);
    if (stem.isEmpty())
        return {};
    QString name = stem + QStringLiteral(".bmp");
    for (int number = 0; QFileInfo::exists(clipsFolder + name); ++number)
        name = stem + QString::number(number) + QStringLiteral(".bmp");
    return store::isStorablePictureName(name) ? name : QString();
}

} // namespace imaging
