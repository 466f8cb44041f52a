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

// One section per image, named by its SHA-256 digest.
QString sectionOf(const QByteArray& image)
{
    return QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex());
}

QString firstBlockOf(const QByteArray& image)
{
    return QString::fromLatin1(image.left(kFirstBlock).toHex());
}

} // namespace

DownloadRecord::DownloadRecord(QString file) : file_(std::move(file)) {}

void DownloadRecord::recordUnfinished(const QByteArray& image)
{
    if (file_.isEmpty())
        return;
    store::IniFile ini(file_);
    const store::IniFile::WriteBatch batch(ini);
    const QString section = sectionOf(image);
    ini.eraseSection(section); // so that it counts as the newest
    const QStringList held = ini.sections();
    for (qsizetype i = 0; i + kMaxRecords <= held.size(); ++i)
        ini.eraseSection(held[i]);
    ini.writeInteger(section, kLengthKey, static_cast<int>(image.size()));
    ini.writeString(section, kFirstBlockKey, firstBlockOf(image));
}

void DownloadRecord::clearUnfinished(const QByteArray& image)
{
    if (file_.isEmpty())
        return;
    store::IniFile ini(file_);
    const QString section = sectionOf(image);
    if (ini.sectionExists(section))
        ini.eraseSection(section);
}

bool DownloadRecord::isUnfinished(const QByteArray& held) const
{
    if (file_.isEmpty())
        return false;
    const store::IniFile ini(file_);
    const store::IniFile::ReadHold hold(ini);
    const QString whole = sectionOf(held);
    const QString firstBlock = firstBlockOf(held);
    for (const QString& section : ini.sections()) {
        if (section.compare(whole, Qt::CaseInsensitive) != 0
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
