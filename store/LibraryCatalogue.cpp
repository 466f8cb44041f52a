#include "store/LibraryCatalogue.h"

#include "messages/FolderEntries.h"
#include "messages/WholeFile.h"
#include "store/Names.h"

#include <QFile>
#include <algorithm>
#include <optional>

namespace store {
namespace {
const QString kSummary = QStringLiteral("SUMMARY");
const QString kTotalLibraries = QStringLiteral("TOTAL_LIBRARIES");
const QString kLibrary = QStringLiteral("LIBRARY");
const QString kLibraryPrefix = QStringLiteral("LIB_");
const QString kClassify = QStringLiteral("CLASSIFY");
const QString kHyperlink = QStringLiteral("HYPERLINK");
const NumberedList kLibraries{kLibrary, kLibraryPrefix, kTotalLibraries};
const QString kItemEnd = QStringLiteral(",,,");

QString membershipList(const QStringList& items)
{
    return items.isEmpty() ? QString() : items.join(kItemEnd) + kItemEnd;
}

// The file a speed or shift record names: the part before the first ";", and of a stored path the part after the
// first backslash.
QString recordFileName(const QString& record)
{
    QString name = record.section(u';', 0, 0);
    const qsizetype slash = name.indexOf(u'\\');
    return slash < 0 ? name : name.mid(slash + 1);
}

// Catalogue values are single lines: a line break would cut the file's line in two.
QString oneLine(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

// A library name as it is compared: without surrounding blanks and quotation marks.
QString comparableLibraryName(QString name)
{
    name = name.trimmed();
    while (name.size() >= 2 && (name.front() == u'"' || name.front() == u'\'') && name.back() == name.front())
        name = name.mid(1, name.size() - 2).trimmed();
    return name;
}

// Writes the text, or removes the key when the text is empty.
void writeOrDelete(IniFile& ini, const QString& section, const QString& key, const QString& value)
{
    if (value.isEmpty())
        ini.deleteKey(section, key);
    else
        ini.writeString(section, key, value);
}

} // namespace

QStringList membershipItems(const QString& list)
{
    QStringList items = list.split(kItemEnd);
    items.removeLast();
    return items;
}

std::optional<int> membershipNumber(const QString& item)
{
    bool ok = false;
    const int number = item.trimmed().toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

BannerText splitBannerText(const QString& record)
{
    const qsizetype comma = record.lastIndexOf(u',');
    if (comma < 0)
        return {record, QString()};
    return {record.left(comma), record.mid(comma + 1)};
}

bool sameLibraryName(const QString& a, const QString& b)
{
    return comparableLibraryName(a).compare(comparableLibraryName(b), Qt::CaseInsensitive) == 0;
}

bool isLibraryName(const QString& name)
{
    return !isNoName(name);
}

bool isStorablePictureName(const QString& name)
{
    // ";" separates a file name from its value in the speed and shift records, so it may not be part of one.
    if (isNoName(name) || name.contains(u'/') || name.contains(u'\\') || name.contains(QLatin1String("..")) ||
        name.contains(u'=') || name.contains(u';'))
        return false;
    const auto breaksLine = [](QChar c) {
        return c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
               c.category() == QChar::Separator_Paragraph;
    };
    if (std::any_of(name.cbegin(), name.cend(), breaksLine))
        return false;
    if (QFile::encodeName(name).size() > files::kLongestFileName) // its temporary file must fit too
        return false;
    const QChar first = name.front();
    return first != u'.' && first != u'#' && first != u'[' && !first.isSpace() &&
           !name.back().isSpace();
}

QString withBmpExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot > name.lastIndexOf(u'/') ? name.left(dot) : name) + QStringLiteral(".bmp");
}

LibraryCatalogue::LibraryCatalogue(QString clipsFolder)
    : clipsFolder_(std::move(clipsFolder)), ini_(clipsFolder_ + kCatalogueFileName)
{
}

LibraryCatalogue LibraryCatalogue::forTree(QString clipsFolder)
{
    LibraryCatalogue catalogue(std::move(clipsFolder));
    catalogue.ini_ = IniFile::leadingPart(catalogue.ini_.path(), {kSummary, kLibrary, kClassify});
    return catalogue;
}

int LibraryCatalogue::totalLibraries() const
{
    return kLibraries.extent(ini_);
}

QString LibraryCatalogue::libraryName(int k) const
{
    return ini_.readString(kLibrary, kLibraryPrefix + QString::number(k));
}

QList<LibraryInfo> LibraryCatalogue::libraries() const
{
    QList<LibraryInfo> found;
    for (int k = 0, n = totalLibraries(); k < n; ++k) {
        const QString name = libraryName(k);
        if (isLibraryName(name))
            found.append({k, name});
    }
    return found;
}

int LibraryCatalogue::libraryNumber(const QString& name) const
{
    if (!isLibraryName(name))
        return -1;
    for (const LibraryInfo& library : libraries())
        if (sameLibraryName(library.name, name))
            return library.number;
    return -1;
}

int LibraryCatalogue::nextLibraryNumber() const
{
    const int stored = kLibraries.storedCount(ini_);
    return stored <= kMaxLibraries ? stored : kLibraries.extent(ini_);
}

int LibraryCatalogue::addLibrary(const QString& name)
{
    IniFile::WriteBatch batch(ini_);
    const int number = nextLibraryNumber();
    ini_.writeString(kLibrary, kLibraryPrefix + QString::number(number), oneLine(name));
    ini_.writeInteger(kSummary, kTotalLibraries, number + 1);
    return number;
}

QString LibraryCatalogue::membershipText(const QString& fileName) const
{
    return ini_.readString(kClassify, fileName);
}

QList<int> LibraryCatalogue::memberships(const QString& fileName) const
{
    QList<int> numbers;
    for (const QString& item : membershipItems(membershipText(fileName)))
        if (const std::optional<int> number = membershipNumber(item))
            numbers.append(*number);
    return numbers;
}

QStringList LibraryCatalogue::pictureFiles() const
{
    // One pass over the folder rather than QDir, which builds file information for every entry: the files QDir
    // lists for "*.bmp" (regular files and links to them, not hidden), by the lower-case name.
    std::vector<std::pair<QString, QString>> keyed; // lower-case name, name
    for (const QByteArray& encoded : files::regularFileNames(clipsFolder_).value_or(QByteArrayList())) {
        if (encoded.startsWith('.'))
            continue;
        QString name = QFile::decodeName(encoded);
        if (name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
            keyed.emplace_back(name.toLower(), std::move(name));
    }
    std::sort(keyed.begin(), keyed.end());
    QStringList files;
    files.reserve(qsizetype(keyed.size()));
    for (auto& [key, name] : keyed)
        files.append(std::move(name));
    return files;
}

void LibraryCatalogue::setFileLibraries(const QString& fileName, QList<int> libraries)
{
    std::sort(libraries.begin(), libraries.end());
    libraries.erase(std::unique(libraries.begin(), libraries.end()), libraries.end());
    QStringList items;
    for (int number : libraries)
        if (number >= 0)
            items << QString::number(number);
    ini_.writeString(kClassify, fileName, membershipList(items));
}

bool LibraryCatalogue::classifyFile(const QString& fileName, const QString& libraryName)
{
    if (libraryName == kRootNodeText)
        return false;
    const int number = libraryNumber(libraryName);
    if (number < 0)
        return false;
    ini_.writeString(kClassify, fileName, QString::number(number) + kItemEnd);
    return true;
}

QString LibraryCatalogue::readBannerText(const QString& fileName) const
{
    return ini_.readString(kHyperlink, fileName.toLower());
}

void LibraryCatalogue::writeBannerText(const QString& fileName, const QString& text, const QString& fontName)
{
    ini_.writeString(kHyperlink, fileName.toLower(), u'"' + oneLine(text) + u',' + oneLine(fontName) + u'"');
}

QString LibraryCatalogue::removeBannerText(const QString& fileName)
{
    const QString record = readBannerText(fileName);
    ini_.deleteKey(kHyperlink, fileName.toLower());
    ini_.flush();
    return record;
}

int NumberedList::storedCount(const IniFile& catalogue) const
{
    return std::max(catalogue.readInteger(kSummary, countKey, 0), 0);
}

int NumberedList::extent(const IniFile& catalogue) const
{
    const int stored = storedCount(catalogue);
    if (stored == 0)
        return 0;
    int highest = -1;
    for (const QString& key : catalogue.keys(section)) {
        if (!key.startsWith(entryPrefix, Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int k = key.mid(entryPrefix.size()).toInt(&ok);
        if (ok && k >= 0)
            highest = std::max(highest, k);
    }
    return std::min(stored, highest + 1);
}

void LibraryCatalogue::cleanRecords(const NumberedList& records, const QSet<QString>& deletedNames,
                                    const files::RegularFiles& present)
{
    const int n = records.extent(ini_);
    const int stored = ini_.readInteger(kSummary, records.countKey, 0);
    QStringList kept;
    for (const QString& record : ini_.readNumbered(records.section, records.entryPrefix, n)) {
        if (record.isEmpty())
            continue;
        const QString name = recordFileName(record);
        if (!deletedNames.contains(name) && present.contains(name))
            kept << record;
    }
    QStringList emptied;
    for (int i = 0; i < n; ++i) {
        if (i < kept.size())
            ini_.writeString(records.section, records.key(i), kept[i]);
        else
            emptied << records.key(i);
    }
    ini_.deleteKeys(records.section, emptied);
    if (kept.size() != stored)
        ini_.writeInteger(kSummary, records.countKey, static_cast<int>(kept.size()));
}

void LibraryCatalogue::renameFirstRecord(const NumberedList& records, const QString& oldName,
                                         const QString& newName)
{
    for (int i = 0, n = records.extent(ini_); i < n; ++i) {
        const QString key = records.key(i);
        const QString record = ini_.readString(records.section, key);
        if (!record.isEmpty() && recordFileName(record) == oldName) {
            ini_.writeString(records.section, key, newName + u';' + record.section(u';', 1));
            return;
        }
    }
}

void LibraryCatalogue::forgetDeletedFiles(const QStringList& fileNames)
{
    if (fileNames.isEmpty())
        return;
    IniFile::WriteBatch batch(ini_);
    ini_.deleteKeys(kClassify, fileNames);
    const QSet<QString> deleted(fileNames.cbegin(), fileNames.cend());
    const files::RegularFiles present(clipsFolder_);
    cleanRecords(kShiftRecords, deleted, present);
    cleanRecords(kSpeedRecords, deleted, present);
    QStringList bannerKeys;
    for (const QString& file : fileNames)
        bannerKeys << file.toLower();
    ini_.deleteKeys(kHyperlink, bannerKeys);
}

void LibraryCatalogue::moveFileRecords(const QString& oldName, const QString& newName)
{
    IniFile::WriteBatch batch(ini_);
    // Removed before the new key is written: when the names differ only in case they are one key.
    const QString list = membershipText(oldName);
    ini_.deleteKey(kClassify, oldName);
    writeOrDelete(ini_, kClassify, newName, list);
    renameFirstRecord(kSpeedRecords, oldName, newName);
    renameFirstRecord(kShiftRecords, oldName, newName);
    // The banner can still be edited under its new name, and a later file of the old name shows no stale text.
    if (ini_.valueExists(kHyperlink, oldName.toLower())) {
        const BannerText banner = splitBannerText(readBannerText(oldName));
        ini_.deleteKey(kHyperlink, oldName.toLower());
        writeBannerText(newName, banner.text, banner.fontName);
    }
}

void LibraryCatalogue::setLibraryName(int number, const QString& name)
{
    ini_.writeString(kLibrary, kLibraryPrefix + QString::number(number), oneLine(name));
}

bool LibraryCatalogue::onlyInLibrary(const QString& fileName, int library) const
{
    return membershipText(fileName) == QString::number(library) + kItemEnd;
}

void LibraryCatalogue::leaveLibrary(const QString& fileName, int library)
{
    QStringList items = membershipItems(membershipText(fileName));
    const qsizetype at = library < 0 ? -1 : items.indexOf(QString::number(library));
    if (at < 0)
        return;
    items.removeAt(at);
    ini_.writeString(kClassify, fileName, membershipList(items));
}

void LibraryCatalogue::removeLibrary(int number)
{
    IniFile::WriteBatch batch(ini_);
    const int total = totalLibraries();
    for (int k = number; k < total; ++k)
        writeOrDelete(ini_, kLibrary, kLibraryPrefix + QString::number(k), k + 1 < total ? libraryName(k + 1) : QString());
    ini_.writeInteger(kSummary, kTotalLibraries, std::max(0, ini_.readInteger(kSummary, kTotalLibraries, 0) - 1));

    // Every list, also of files no longer on disk, leaves the library and follows the renumbering.
    for (const QString& file : ini_.keys(kClassify)) {
        const QString list = membershipText(file);
        QStringList items;
        for (const QString& item : membershipItems(list)) {
            const std::optional<int> itemLibrary = membershipNumber(item);
            if (itemLibrary && *itemLibrary == number)
                continue;
            items << (itemLibrary && *itemLibrary > number ? QString::number(*itemLibrary - 1) : item);
        }
        const QString renumbered = membershipList(items);
        if (renumbered != list)
            ini_.writeString(kClassify, file, renumbered);
    }
}

CatalogueTransaction::CatalogueTransaction(LibraryCatalogue& catalogue) : catalogue_(catalogue)
{
    lock_.emplace();
    batch_.emplace(catalogue_.ini());
}

CatalogueTransaction::~CatalogueTransaction()
{
    if (batch_)
        batch_->discard();
}

void CatalogueTransaction::commit()
{
    IniFile& ini = catalogue_.ini();
    if (ini.pendingWrites()) {
        // What the file held, for undo(): read under the same hold of the lock as the changes.
        before_ = files::readRegularFile(ini.path(), files::kMaxTextFileBytes);
        ini.flush();
        after_ = files::readRegularFile(ini.path(), files::kMaxTextFileBytes).bytes;
        stored_ = true;
    }
    batch_.reset();
    lock_.reset();
}

void CatalogueTransaction::undo()
{
    if (!stored_)
        return;
    stored_ = false;
    const QString& path = catalogue_.ini().path();
    const WorkspaceLock lock;
    if (files::readRegularFile(path, files::kMaxTextFileBytes).bytes != after_)
        return;
    if (before_.ok())
        files::writeWholeFile(path, before_.bytes);
    else
        QFile::remove(path);
}

} // namespace store
