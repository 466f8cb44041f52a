#include "store/Clipart.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/WholeFile.h"

#include <QFile>

#include <algorithm>
#include <iterator>

// The generated resources live in a static library: they are registered the first time the clipart is read.
static void registerClipartResources()
{
    Q_INIT_RESOURCE(clipart);
}

namespace store {
namespace {

constexpr int kClipartHeights[] = {11, 16, 24, 32, 48};
// NAME1.bmp ... NAME999.bmp are tried after NAME.bmp.
constexpr int kMaxNameSuffix = 999;

struct ClipartIndex {
    QList<ClipartPicture> pictures;
    QList<ClipartAnimation> animations;
};

// index.tsv: "pic<TAB>group<TAB>name" and "anim<TAB>steps<TAB>name<TAB>frame frame ...", one a line.
ClipartIndex readIndex()
{
    registerClipartResources();
    ClipartIndex index;
    QFile file(QStringLiteral(":/clipart/index.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return index;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (fields.size() == 3 && fields[0] == QLatin1String("pic"))
            index.pictures.append({fields[2], fields[1]});
        else if (fields.size() == 4 && fields[0] == QLatin1String("anim"))
            index.animations.append({fields[2], fields[1].toInt(), fields[3].split(QLatin1Char(' '))});
    }
    return index;
}

const ClipartIndex& clipartIndex()
{
    static const ClipartIndex index = readIndex();
    return index;
}

bool hasClipartHeight(int ledCount)
{
    return std::find(std::begin(kClipartHeights), std::end(kClipartHeights), ledCount) != std::end(kClipartHeights);
}

struct GroupText {
    const char* group;
    unsigned id;
};
constexpr GroupText kGroupTexts[] = {
    {"hearts", msg::ClipartHearts},   {"stars", msg::ClipartStars},       {"arrows", msg::ClipartArrows},
    {"faces", msg::ClipartFaces},     {"weather", msg::ClipartWeather},   {"animals", msg::ClipartAnimals},
    {"celebrations", msg::ClipartCelebrations},                           {"sports", msg::ClipartSports},
    {"music", msg::ClipartMusic},     {"symbols", msg::ClipartSymbols},   {"digits", msg::ClipartDigits},
    {"animations", msg::ClipartAnimationFrames},
};

} // namespace

const QList<ClipartPicture>& clipartPictures()
{
    return clipartIndex().pictures;
}

const QList<ClipartAnimation>& clipartAnimations()
{
    return clipartIndex().animations;
}

QStringList clipartGroups()
{
    QStringList groups;
    for (const ClipartPicture& picture : clipartPictures())
        if (!groups.contains(picture.group))
            groups << picture.group;
    return groups;
}

QString clipartGroupText(const QString& group)
{
    for (const GroupText& text : kGroupTexts)
        if (group == QLatin1String(text.group))
            return messages::lookupMessage(text.id);
    return group;
}

const ClipartPicture* findClipart(const QString& name)
{
    const QString bare = name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive) ? name.chopped(4) : name;
    for (const ClipartPicture& picture : clipartPictures())
        if (picture.name.compare(bare, Qt::CaseInsensitive) == 0)
            return &picture;
    return nullptr;
}

const ClipartAnimation* findClipartAnimation(const QString& name)
{
    for (const ClipartAnimation& animation : clipartAnimations())
        if (animation.name.compare(name, Qt::CaseInsensitive) == 0)
            return &animation;
    return nullptr;
}

QString clipartPath(int ledCount, const QString& name)
{
    const ClipartPicture* picture = findClipart(name);
    if (!picture || !hasClipartHeight(ledCount))
        return {};
    return QStringLiteral(":/clipart/%1/%2").arg(ledCount).arg(picture->fileName());
}

QImage clipartImage(int ledCount, const QString& name)
{
    const QString path = clipartPath(ledCount, name);
    return path.isEmpty() ? QImage() : QImage(path, "BMP");
}

bool isClipartPath(const QString& path)
{
    return path.startsWith(QLatin1String(":/clipart/"));
}

unsigned messageId(ClipartCopyStatus status)
{
    switch (status) {
    case ClipartCopyStatus::Ok:
        return msg::ClipartCopied;
    case ClipartCopyStatus::Unknown:
        return msg::ClipartUnknown;
    case ClipartCopyStatus::WriteFailed:
        break;
    }
    return msg::ClipartCopyFailed;
}

ClipartCopy copyClipartToClips(const QString& clipsFolder, int ledCount, const QString& name)
{
    ClipartCopy copy;
    // A clipart path names its picture by its file name.
    const QString bareName = isClipartPath(name) ? name.section(QLatin1Char('/'), -1) : name;
    QFile source(clipartPath(ledCount, bareName));
    if (source.fileName().isEmpty() || !source.open(QIODevice::ReadOnly))
        return copy;
    const QByteArray bytes = source.readAll();
    const QString base = findClipart(bareName)->name;
    copy.status = ClipartCopyStatus::WriteFailed;
    for (int suffix = 0; suffix <= kMaxNameSuffix; ++suffix) {
        const QString fileName = base + (suffix ? QString::number(suffix) : QString()) + QStringLiteral(".bmp");
        switch (files::writeWholeFile(clipsFolder + fileName, bytes, files::WriteMode::CreateNew)) {
        case files::WriteResult::Written:
            copy.status = ClipartCopyStatus::Ok;
            copy.fileName = fileName;
            return copy;
        case files::WriteResult::Exists:
            continue;
        case files::WriteResult::Failed:
            return copy;
        }
    }
    return copy;
}

LibraryNode clipartTree(int ledCount)
{
    LibraryNode root{messages::lookupMessage(msg::ClipartRootText), kBookIcon, LibraryNodeKind::Library, -1, {}, true};
    if (!hasClipartHeight(ledCount))
        return root;
    for (const QString& group : clipartGroups()) {
        LibraryNode groupNode{clipartGroupText(group), kFolderIcon, LibraryNodeKind::Library, -1, {}, true};
        for (const ClipartPicture& picture : clipartPictures())
            if (picture.group == group)
                groupNode.children.push_back(
                    {picture.fileName(), kPictureIcon, LibraryNodeKind::File, -1, {}, true});
        root.children.push_back(std::move(groupNode));
    }
    return root;
}

} // namespace store
