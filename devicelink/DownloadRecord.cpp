#include "devicelink/DownloadRecord.h"

#include "store/IniFile.h"
#include "store/Workspace.h"

#include <QCryptographicHash>

namespace devicelink {
namespace {

// Enough for the sticks of a production line; the oldest records go first.
constexpr qsizetype kMaxRecords = 32;
// What a download writes first, and so what any unfinished one has left in the stick.
constexpr qsizetype kFirstBlock = 16;
const QString kLengthKey = QStringLiteral("LENGTH");
const QString kFirstBlockKey = QStringLiteral("FIRST_BLOCK");

QString digestOf(const QByteArray& image)
{
    return QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex());
}

// One section per image and stick, named by the image's SHA-256 digest and a digest of the stick's path: sticks
// of a production line take the same image at once, and one stick confirming it says nothing of the others. A
// section named by the image alone is an older record of any stick.
QString sectionOf(const QByteArray& image, const QString& stick)
{
    if (stick.isEmpty())
        return digestOf(image);
    const QByteArray stickDigest = QCryptographicHash::hash(stick.toUtf8(), QCryptographicHash::Sha256).toHex();
    return digestOf(image) + u'-' + QString::fromLatin1(stickDigest.left(16));
}

QString firstBlockOf(const QByteArray& image)
{
    return QString::fromLatin1(image.left(kFirstBlock).toHex());
}

} // namespace

DownloadRecord::DownloadRecord(QString file) : file_(std::move(file)) {}

void DownloadRecord::recordUnfinished(const QByteArray& image, const QString& stick)
{
    if (file_.isEmpty())
        return;
    store::IniFile ini(file_);
    const store::IniFile::WriteBatch batch(ini);
    const QString section = sectionOf(image, stick);
    ini.eraseSection(section); // so that it counts as the newest
    const QStringList held = ini.sections();
    for (qsizetype i = 0; i + kMaxRecords <= held.size(); ++i)
        ini.eraseSection(held[i]);
    ini.writeInteger(section, kLengthKey, static_cast<int>(image.size()));
    ini.writeString(section, kFirstBlockKey, firstBlockOf(image));
}

void DownloadRecord::clearUnfinished(const QByteArray& image, const QString& stick)
{
    if (file_.isEmpty())
        return;
    store::IniFile ini(file_);
    const store::IniFile::WriteBatch batch(ini);
    for (const QString& section : {sectionOf(image, stick), sectionOf(image, QString())}) {
        if (ini.sectionExists(section))
            ini.eraseSection(section);
    }
}

bool DownloadRecord::isUnfinished(const QByteArray& held) const
{
    if (file_.isEmpty())
        return false;
    const store::IniFile ini(file_);
    const store::IniFile::ReadHold hold(ini);
    const QString whole = digestOf(held);
    const QString firstBlock = firstBlockOf(held);
    for (const QString& section : ini.sections()) {
        if (!section.startsWith(whole, Qt::CaseInsensitive)
            && ini.readInteger(section, kLengthKey, -1) == held.size()
            && ini.readString(section, kFirstBlockKey).compare(firstBlock, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString downloadRecordFile(const store::Workspace& workspace)
{
    return workspace.rootFolder + QStringLiteral("UnfinishedDownloads.ini");
}

} // namespace devicelink
