#include "imaging/AnimatedImage.h"

#include "imaging/PictureFile.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/WholeFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <cstring>

namespace imaging {
namespace {

constexpr quint8 kExtensionIntroducer = 0x21;
constexpr quint8 kImageSeparator = 0x2C;
constexpr quint8 kTrailer = 0x3B;
constexpr quint8 kColourTableFlag = 0x80;

bool exceedsPictureArea(QSize size)
{
    return qint64(size.width()) * size.height() > kMaxPicturePixels;
}

// Walks the blocks of a GIF: every read is checked against the end, so a file cut anywhere is told apart from a
// sound one. Frames are the image blocks; the trailer ends the walk.
class GifWalker {
public:
    explicit GifWalker(const QByteArray& bytes) : data_(reinterpret_cast<const quint8*>(bytes.constData())), size_(bytes.size()) {}

    enum class Result { Complete, CutShort, Damaged, NotGif, TooLarge };

    Result walk(AnimationLayout& layout)
    {
        if (size_ < 6 || (std::memcmp(data_, "GIF87a", 6) != 0 && std::memcmp(data_, "GIF89a", 6) != 0))
            return Result::NotGif;
        at_ = 6;
        if (!has(7))
            return Result::CutShort;
        layout.screen = QSize(word(at_), word(at_ + 2));
        layout.canvas = layout.screen;
        const quint8 packed = data_[at_ + 4];
        at_ += 7;
        if (exceedsPictureArea(layout.screen))
            return Result::TooLarge;
        if ((packed & kColourTableFlag) && !skip(colourTableBytes(packed)))
            return Result::CutShort;
        while (has(1)) {
            switch (data_[at_++]) {
            case kTrailer:
                return Result::Complete;
            case kExtensionIntroducer:
                if (!skip(1) || !skipSubBlocks())
                    return Result::CutShort;
                break;
            case kImageSeparator: {
                if (!has(9))
                    return Result::CutShort;
                const QSize frame(word(at_ + 4), word(at_ + 6));
                const quint8 framePacked = data_[at_ + 8];
                at_ += 9;
                if (exceedsPictureArea(frame))
                    return Result::TooLarge;
                layout.canvas = layout.canvas.expandedTo(frame);
                if (((framePacked & kColourTableFlag) && !skip(colourTableBytes(framePacked))) || !skip(1)
                    || !skipSubBlocks())
                    return Result::CutShort;
                ++layout.frames;
                break;
            }
            default:
                return Result::Damaged;
            }
        }
        return Result::CutShort;
    }

private:
    static qsizetype colourTableBytes(quint8 packed) { return 3 * (qsizetype(2) << (packed & 7)); }
    bool has(qsizetype n) const { return size_ - at_ >= n; }
    int word(qsizetype at) const { return data_[at] | (data_[at + 1] << 8); }
    bool skip(qsizetype n)
    {
        if (!has(n))
            return false;
        at_ += n;
        return true;
    }
    bool skipSubBlocks()
    {
        while (has(1)) {
            const quint8 length = data_[at_++];
            if (length == 0)
                return true;
            if (!skip(length))
                return false;
        }
        return false;
    }

    const quint8* data_;
    qsizetype size_;
    qsizetype at_ = 0;
};

QImage onWhite(const QImage& frame)
{
    QImage flat(frame.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, frame);
    return flat;
}

AnimationRead refusedRead(const QString& text)
{
    AnimationRead read;
    read.errorText = text;
    return read;
}

} // namespace

bool isAnimationName(const QString& name)
{
    return QFileInfo(name).suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0;
}

AnimationLayout animationLayout(const QByteArray& contents, const QString& name)
{
    AnimationLayout layout;
    switch (GifWalker(contents).walk(layout)) {
    case GifWalker::Result::Complete:
        if (layout.frames == 0)
            layout.errorText = messages::formatMessage(msg::GifHoldsNoFrame, qUtf8Printable(name));
        break;
    case GifWalker::Result::NotGif:
        layout.errorText = messages::formatMessage(msg::NotAGifPicture, qUtf8Printable(name));
        break;
    case GifWalker::Result::CutShort:
        layout.errorText = messages::formatMessage(msg::GifCutShort, qUtf8Printable(name));
        break;
    case GifWalker::Result::Damaged:
        layout.errorText = messages::formatMessage(msg::DamagedGifPicture, qUtf8Printable(name));
        break;
    case GifWalker::Result::TooLarge:
        layout.errorText = messages::formatMessage(msg::GifFramesTooLarge, qUtf8Printable(name));
        break;
    }
    return layout;
}

AnimationRead readAnimation(const QByteArray& contents, const QString& name,
                            const FrameSink& each, int maxFrames)
{
    const AnimationLayout layout = animationLayout(contents, name);
    if (!layout.ok())
        return refusedRead(layout.errorText);
    if (layout.frames > maxFrames)
        return refusedRead(messages::formatMessage(msg::GifTooManyFrames, qUtf8Printable(name), layout.frames, maxFrames));
    const qint64 canvasPixels = qint64(layout.canvas.width()) * layout.canvas.height();
    if (canvasPixels * layout.frames > kMaxAnimationPixels)
        return refusedRead(messages::formatMessage(msg::AnimationTooLarge, name.toUtf8().constData(), layout.frames,
                                                   layout.canvas.width(), layout.canvas.height(),
                                                   int(kMaxAnimationPixels / 1'000'000)));

    QByteArray bytes = contents;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    AnimationRead read;
    for (int k = 0; k < layout.frames; ++k) {
        QImage frame;
        if (!reader.read(&frame)) {
            read.errorText = messages::formatMessage(msg::GifFrameUnreadable, qUtf8Printable(name), k + 1);
            return read;
        }
        if (k == 0)
            read.delayMs = reader.nextImageDelay() > 0 ? reader.nextImageDelay() : kUnsetFrameDelayMs;
        ++read.frames;
        if (each && !each(onWhite(frame)))
            break;
    }
    return read;
}

AnimationRead readAnimationFile(const QString& path, const FrameSink& each,
                                int maxFrames)
{
    const QString name = QFileInfo(path).fileName();
    const files::ReadOutcome file = files::readRegularFile(path, files::kMaxPictureFileBytes);
    if (file.status == files::ReadStatus::Absent)
        return refusedRead(messages::formatMessage(msg::FileDoesNotExist, qUtf8Printable(name)));
    if (!file.ok())
        return refusedRead(messages::formatMessage(msg::FileCannotBeRead, qUtf8Printable(name)));
    return readAnimation(file.bytes, name, each, maxFrames);
}

int animationFrameCount(const QString& path)
{
    const files::ReadOutcome file = files::readRegularFile(path, files::kMaxPictureFileBytes);
    if (!file.ok())
        return 0;
    const AnimationLayout layout = animationLayout(file.bytes, QFileInfo(path).fileName());
    return layout.ok() ? layout.frames : 0;
}

} // namespace imaging
