#include "store/Names.h"

#include "messages/WholeFile.h"

#include <QFile>
#include <QTextBoundaryFinder>

namespace store {
namespace {

const QString kProjectSuffix = QStringLiteral(".ini");

// Longest project name in UTF-8 bytes: leaves room for ".ini" and a whole-file write's temporary name within the
// usual 255-byte file name limit.
constexpr qsizetype kMaxProjectNameBytes = files::kLongestFileName - 4;

} // namespace

bool isNoName(const QString& text)
{
    return text.isEmpty() || text == QLatin1String("0");
}

bool isUsableProjectName(const QString& name)
{
    if (isNoName(name) || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(u'/') ||
        name.contains(u'\\') || name.toUtf8().size() > kMaxProjectNameBytes)
        return false;
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return false;
    return true;
}

QString cutToFileNameBytes(const QString& name, qsizetype maxBytes)
{
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, name);
    qsizetype bytes = 0;
    qsizetype kept = 0;
    for (qsizetype end = characters.toNextBoundary(); end > 0; end = characters.toNextBoundary()) {
        bytes += QFile::encodeName(name.mid(kept, end - kept)).size();
        if (bytes > maxBytes)
            break;
        kept = end;
    }
    return name.left(kept);
}

bool isClipFileName(const QString& name)
{
    return !isNoName(name) && !name.contains(u'/') && name != QLatin1String(".") && name != QLatin1String("..");
}

bool projectFileAnswersTo(const QString& fileName, const QString& name, Qt::CaseSensitivity sensitivity)
{
    const bool fold = sensitivity == Qt::CaseInsensitive;
    const QString file = fold ? fileName.toLower() : fileName;
    const QString wanted = fold ? name.toLower() : name;
    if (wanted == file || wanted == file.section(u'.', 0, 0))
        return true;
    return file.endsWith(kProjectSuffix) && wanted == file.chopped(kProjectSuffix.size());
}

} // namespace store
