#include "store/Edition.h"

#include "Version.h"
#include "messages/MessageCatalogue.h"
#include "store/Names.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace store {
namespace {

struct EditionRow {
    const char* digits;
    int ledCount;
    int pictureWidth;
    unsigned bannerWidthEntry; // catalogue entry holding the widest banner
    int defaultSpeed;
};

constexpr EditionRow kEditions[] = {
    {"11", 11, 16, 2, 0x0802}, {"16", 16, 16, 2, 0x0802}, {"24", 24, 24, 1, 0x0802},
    {"32", 32, 32, 1, 0x0002}, {"48", 48, 48, 0, 0x0002},
};
constexpr EditionRow kDefaultEdition = {"", 32, 32, 1, 0x0002};

QString editionDigits(const QString& lowerFileName)
{
    const qsizetype dot = lowerFileName.indexOf(u'.');
    const qsizetype end = dot < 0 ? lowerFileName.size() : dot;
    return end < 2 ? QString() : lowerFileName.mid(end - 2, 2);
}

} // namespace

QString invokedPath(const QString& argv0)
{
    if (argv0.contains(u'/'))
        return QDir::cleanPath(QDir::current().absoluteFilePath(argv0));
    const QString found = QStandardPaths::findExecutable(argv0);
    return found.isEmpty() ? argv0 : QDir::cleanPath(found);
}

EditionParameters deriveEdition(const QString& executablePath)
{
    const QString fileName = QFileInfo(executablePath).fileName().toLower();
    const QString digits = editionDigits(fileName);
    EditionRow row = kDefaultEdition;
    for (const EditionRow& candidate : kEditions)
        if (digits == QLatin1String(candidate.digits)) {
            row = candidate;
            break;
        }
    EditionParameters edition;
    edition.ledCount = row.ledCount;
    edition.pictureWidth = row.pictureWidth;
    edition.maxBannerWidth = messages::lookupMessage(row.bannerWidthEntry).trimmed().toInt();
    edition.defaultSpeed = row.defaultSpeed;
    edition.factoryMode = fileName.contains(QLatin1String("factory"));
    return edition;
}

QString versionLabel(const QString& version)
{
    const qsizetype dot = version.indexOf(u'.');
    QString text = dot < 0 ? version : version.left(dot + 1) + version.mid(dot + 1).remove(u'.');
    if (isNoName(text))
        return {};
    return QStringLiteral("  Ver ") + text;
}

QString programVersionLabel()
{
    return versionLabel(QStringLiteral(LUMIWAND_VERSION));
}

QString mainWindowCaption(const EditionParameters& edition)
{
    QString caption = QStringLiteral("Lumiwand") + QString::number(edition.ledCount) + edition.versionLabel;
    if (edition.factoryMode)
        caption += QStringLiteral(" (Factory Mode)");
    return caption;
}

} // namespace store
