#include "store/LibraryCatalogue.h"

#include "messages/FolderEntries.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "messages/WholeFile.h"
#include <algorithm>
#include <optional>
#include <time.h>

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

// The items of a membership list: the texts before each ",,," (anything after the last one is no item).
QStringList membershipItems(const QString& list)
{
    QStringList items = list.split(kItemEnd);
    items.removeLast();
    return items;
}

QString membershipList(const QStringList& items)
{
    return items.isEmpty() ? QString() : items.join(kItemEnd) + kItemEnd;
}

std::optional<int> itemNumber(const QString& item)
{
    bool ok = false;
    const int number = item.trimmed().toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
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

int compareNames(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded : QString::compare(a, b, Qt::CaseSensitive);
}

void sortNodes(std::vector<LibraryNode>& nodes)
{
    const auto before = [](const LibraryNode& a, const LibraryNode& b) { return compareNames(a.text, b.text) < 0; };
    if (!std::is_sorted(nodes.begin(), nodes.end(), before)) // files come from the folder mostly in this order
        std::stable_sort(nodes.begin(), nodes.end(), before);
}

// Any entry of the folder whose name equals `name` ignoring case, other than `except` (the catalogue's keys
// match without regard to case, so two such files would share one membership list).
bool nameTakenIgnoringCase(const QString& folder, const QString& name, const QString& except)
{
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                       QDir::NoDotAndDotDot);
    return std::any_of(entries.cbegin(), entries.cend(), [&](const QString& entry) {
        return entry != except && entry.compare(name, Qt::CaseInsensitive) == 0;
    });
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

BannerText splitBannerText(const QString& record)
{
    const qsizetype comma = record.lastIndexOf(u',');
    if (comma < 0)
        return {record, QString()};
    return {record.left(comma), record.mid(comma + 1)};
}

// A library name as it is compared: without surrounding blanks and quotation marks.
QString comparableLibraryName(QString name)
{
    name = name.trimmed();
    while (name.size() >= 2 && (name.front() == u'"' || name.front() == u'\'') && name.back() == name.front())
        name = name.mid(1, name.size() - 2).trimmed();
    return name;
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
        if (const std::optional<int> number = itemNumber(item))
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
    for (int i = 0; i < n; ++i) {
        const QString record = ini_.readString(records.section, records.key(i));
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

std::vector<LibraryNode> buildLibraryTree(const LibraryCatalogue& catalogue, LibraryTreeOrder order)
{
    const IniFile::ReadHold hold(catalogue.ini()); // one look at the disk, not one per picture
    std::vector<LibraryNode> top;
    top.push_back({kRootNodeText, kBookIcon, LibraryNodeKind::Root, -1, {}});
    const int total = catalogue.totalLibraries();
    std::vector<int> nodeOfLibrary(static_cast<size_t>(total), -1);
    for (const LibraryInfo& library : catalogue.libraries()) {
        nodeOfLibrary[static_cast<size_t>(library.number)] = static_cast<int>(top.size());
        top.push_back({library.name, kFolderIcon, LibraryNodeKind::Library, library.number, {}});
    }

    for (const QString& file : catalogue.pictureFiles()) {
        std::vector<int> parents;
        for (const QString& item : membershipItems(catalogue.membershipText(file))) {
            const std::optional<int> number = itemNumber(item);
            const bool known = number && *number >= 0 && *number < total && nodeOfLibrary[size_t(*number)] >= 0;
            parents.push_back(known ? nodeOfLibrary[size_t(*number)] : 0);
        }
        if (parents.empty())
            parents.push_back(0); // an empty list, "0", or text without items: no library
        std::vector<int> placed;
        for (int parent : parents) {
            if (std::find(placed.begin(), placed.end(), parent) != placed.end())
                continue; // a number listed twice shows the file once
            placed.push_back(parent);
            top[size_t(parent)].children.push_back({file, kPictureIcon, LibraryNodeKind::File, -1, {}});
        }
    }

    if (order == LibraryTreeOrder::Sorted) {
        for (LibraryNode& node : top)
            sortNodes(node.children);
        // The root stays first: it is the place of the files of no library, not one library among others.
        std::vector<LibraryNode> libraries(std::make_move_iterator(top.begin() + 1), std::make_move_iterator(top.end()));
        sortNodes(libraries);
        top.erase(top.begin() + 1, top.end());
        std::move(libraries.begin(), libraries.end(), std::back_inserter(top));
    }
    return top;
}

std::optional<LibraryTreeStamp> libraryTreeStamp(const QString& clipsFolder, int settledMs)
{
    const LibraryTreeStamp stamp{files::diskStamp(clipsFolder + kCatalogueFileName), files::diskStamp(clipsFolder)};
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const qint64 nowNs = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    const qint64 newest = std::max({stamp.catalogue.modifiedNs, stamp.catalogue.changedNs, stamp.folder.modifiedNs,
                                    stamp.folder.changedNs});
    if (nowNs - newest < qint64(settledMs) * 1000000)
        return std::nullopt;
    return stamp;
}

void TreeFreshness::building(const QString& clipsFolder)
{
    builtFrom_ = libraryTreeStamp(clipsFolder);
    language_ = messages::effectiveLanguage();
}

bool TreeFreshness::current(const QString& clipsFolder) const
{
    const std::optional<LibraryTreeStamp> stamp = libraryTreeStamp(clipsFolder);
    return stamp && stamp == builtFrom_ && language_ == messages::effectiveLanguage();
}

LibraryNodeKind nodeKindOfText(const QString& text)
{
    if (text == kRootNodeText)
        return LibraryNodeKind::Root;
    if (text.toLower().contains(QLatin1String(".bmp")))
        return LibraryNodeKind::File;
    return LibraryNodeKind::Library;
}

namespace {

// True when the name is already taken by a library (other than `except`) or by the root.
bool libraryNameInUse(const LibraryCatalogue& catalogue, const QString& name, int except)
{
    if (name.compare(kRootNodeText, Qt::CaseInsensitive) == 0)
        return true;
    const QList<LibraryInfo> libraries = catalogue.libraries();
    return std::any_of(libraries.cbegin(), libraries.cend(), [&](const LibraryInfo& library) {
        return library.number != except && sameLibraryName(library.name, name);
    });
}

} // namespace

bool createLibrary(LibraryCatalogue& catalogue, messages::Prompter& prompter)
{
    using messages::lookupMessage;
    QString name;
    for (;;) {
        const std::optional<QString> answer =
            prompter.inputText(lookupMessage(msg::NewLibraryTitle), lookupMessage(msg::AskLibraryName), QString());
        if (!answer || isNoName(*answer) || isNoName(answer->trimmed()))
            return false;
        // The first library is taken as typed; later ones are trimmed before they are compared and stored.
        name = catalogue.totalLibraries() > 0 ? answer->trimmed() : *answer;
        if (!libraryNameInUse(catalogue, name.trimmed(), -1))
            break;
        if (prompter.ask(lookupMessage(msg::NewLibraryTitle), lookupMessage(msg::LibraryExistsCreateAnother),
                         messages::Icon::Warning, messages::Buttons::YesNo)
            != messages::Answer::Yes)
            return false;
    }
    catalogue.addLibrary(name);
    prompter.tell(msg::NewLibraryTitle, msg::LibraryCreated, messages::Icon::Information);
    return true;
}

bool renameLibrary(LibraryCatalogue& catalogue, const QString& libraryName, messages::Prompter& prompter)
{
    using messages::lookupMessage;
    const int number = catalogue.libraryNumber(libraryName);
    QString name;
    for (;;) {
        const std::optional<QString> answer = prompter.inputText(lookupMessage(msg::RenameLibraryTitle),
                                                                 lookupMessage(msg::AskNewLibraryName), libraryName);
        if (!answer || isNoName(*answer) || *answer == libraryName || catalogue.totalLibraries() == 0)
            return false;
        name = answer->trimmed();
        if (isNoName(name))
            return false;
        // Every library counts, the one renamed included: a mere change of case is a name in use.
        if (!libraryNameInUse(catalogue, name, -1))
            break;
        if (prompter.ask(lookupMessage(msg::RenameLibraryTitle), lookupMessage(msg::LibraryNameInUse),
                         messages::Icon::Warning, messages::Buttons::YesNo)
            != messages::Answer::Yes)
            return false;
    }
    if (number < 0)
        return false; // the library went away meanwhile: nothing to rename
    catalogue.ini().writeString(kLibrary, kLibraryPrefix + QString::number(number), oneLine(name));
    prompter.tell(msg::RenameLibraryTitle, msg::LibraryRenamed, messages::Icon::Information);
    return true;
}

QString renamePictureFile(LibraryCatalogue& catalogue, const QString& fileName, messages::Prompter& prompter)
{
    using messages::lookupMessage;
    const QString& folder = catalogue.clipsFolder();
    QString newName;
    for (;;) {
        const std::optional<QString> answer =
            prompter.inputText(lookupMessage(msg::RenamePictureTitle), lookupMessage(msg::AskNewPictureName), fileName);
        if (!answer || isNoName(*answer) || *answer == fileName)
            return {};
        newName = withBmpExtension(*answer);
        if (!isStorablePictureName(*answer) || !isStorablePictureName(newName)) {
            // A name that would leave the clips folder or that the catalogue cannot hold: ask again.
            prompter.tell(msg::RenamePictureTitle, msg::InvalidFileName, messages::Icon::Warning);
            continue;
        }
        // Another file of that name, even one differing only in case, is never replaced; a change of case of
        // the file itself is a rename like any other.
        const bool taken = QFileInfo::exists(folder + newName) || nameTakenIgnoringCase(folder, newName, fileName);
        if (!taken)
            break;
        if (prompter.ask(lookupMessage(msg::RenamePictureTitle), lookupMessage(msg::PictureNameInUse),
                         messages::Icon::Warning, messages::Buttons::YesNo)
            == messages::Answer::Yes)
            continue;
        prompter.tell(msg::RenamePictureTitle, msg::PictureRenameFailed, messages::Icon::Warning);
        return {};
    }
    if (!QFile::rename(folder + fileName, folder + newName)) {
        prompter.tell(msg::RenamePictureTitle, msg::PictureRenameFailed, messages::Icon::Warning);
        return {};
    }
    try {
        catalogue.moveFileRecords(fileName, newName);
    } catch (const IniWriteError&) {
        QFile::rename(folder + newName, folder + fileName); // the records stay with the file they name
        throw;
    }
    prompter.tell(msg::RenamePictureTitle, msg::PictureRenamed, messages::Icon::Information);
    return newName;
}

bool deletePictureFile(LibraryCatalogue& catalogue, const QString& fileName, const QString& selectedLibrary,
                       messages::Prompter& prompter)
{
    if (!prompter.confirmText(msg::DeleteBannerTitle,
                              messages::formatMessage(msg::DeleteBannerQuestion, qUtf8Printable(fileName))))
        return false;
    const QStringList items = membershipItems(catalogue.membershipText(fileName));
    if (items.size() >= 2) {
        // Still in other libraries: the file only leaves the one it was selected under and keeps its records.
        const int number = catalogue.libraryNumber(selectedLibrary);
        const qsizetype at = number < 0 ? -1 : items.indexOf(QString::number(number));
        if (at >= 0) {
            QStringList rest = items;
            rest.removeAt(at);
            catalogue.ini().writeString(kClassify, fileName, membershipList(rest));
        }
        return true;
    }
    const QString path = catalogue.clipsFolder() + fileName;
    const bool present = QFileInfo::exists(path);
    if (!QFile::remove(path)) {
        prompter.tellText(msg::DeleteBannerTitle, messages::lookupMessage(msg::DeleteBannerFailed) + path + u'!',
                          messages::Icon::Stop);
        if (present)
            return true; // the file is still there, and so are its records
    }
    catalogue.forgetDeletedFiles({fileName});
    return true;
}

bool deleteLibrary(LibraryCatalogue& catalogue, const QString& libraryName, messages::Prompter& prompter)
{
    if (libraryName == kRootNodeText)
        return false;
    if (!prompter.confirmText(msg::DeleteLibraryTitle,
                              messages::formatMessage(msg::DeleteLibraryQuestion, qUtf8Printable(libraryName))))
        return false;
    const int j = catalogue.libraryNumber(libraryName);
    if (j < 0)
        return false;

    IniFile& ini = catalogue.ini();
    const QString alone = QString::number(j) + kItemEnd;
    QStringList deleted;
    for (const QString& file : catalogue.pictureFiles()) {
        if (catalogue.membershipText(file) != alone)
            continue;
        const QString path = catalogue.clipsFolder() + file;
        if (QFile::remove(path))
            deleted << file;
        else // it stays, with its records, among the files of no library
            prompter.tellText(msg::DeleteBannerTitle, messages::lookupMessage(msg::DeleteBannerFailed) + path + u'!',
                              messages::Icon::Stop);
    }

    {
        // Stored, and the workspace lock released, before the user is told: nobody waits on a message box.
        IniFile::WriteBatch batch(ini);
        catalogue.forgetDeletedFiles(deleted);

        const int total = catalogue.totalLibraries();
        for (int k = j; k < total; ++k)
            writeOrDelete(ini, kLibrary, kLibraryPrefix + QString::number(k),
                          k + 1 < total ? catalogue.libraryName(k + 1) : QString());
        ini.writeInteger(kSummary, kTotalLibraries,
                         std::max(0, ini.readInteger(kSummary, kTotalLibraries, 0) - 1));

        // Every list, also of files no longer on disk, leaves library j and follows the renumbering.
        for (const QString& file : ini.keys(kClassify)) {
            const QString list = catalogue.membershipText(file);
            QStringList items;
            for (const QString& item : membershipItems(list)) {
                const std::optional<int> number = itemNumber(item);
                if (number && *number == j)
                    continue;
                items << (number && *number > j ? QString::number(*number - 1) : item);
            }
            const QString renumbered = membershipList(items);
            if (renumbered != list)
                ini.writeString(kClassify, file, renumbered);
        }
    }
    prompter.tell(msg::DeleteLibraryTitle, msg::LibraryDeleted, messages::Icon::Information);
    return true;
}

bool exportFileCopy(const LibraryCatalogue& catalogue, const QString& fileName, const QString& rootFolder,
                    messages::Prompter& prompter)
{
    using messages::lookupMessage;
    if (isNoName(fileName)) {
        prompter.tell(msg::SavePictureAsNewTitle, msg::OnlyInLibraryMode, messages::Icon::Stop);
        return false;
    }
    const auto fail = [&] {
        prompter.tell(msg::SavePictureAsNewTitle, msg::SavePictureAsNewFailed, messages::Icon::Stop);
        return false;
    };
    if (!prompter.confirm(msg::SavePictureAsNewTitle, msg::SavePictureAsNewQuestion, messages::Buttons::OkCancel))
        return fail();
    const QString chosen = prompter.chooseSaveFile(lookupMessage(msg::SavePictureAsNewTitle), rootFolder, fileName,
                                                   {QStringLiteral("BMP (*.BMP)")});
    if (isNoName(chosen))
        return fail();
    const QString target = withBmpExtension(chosen);
    if (QFileInfo::exists(target)
        && !prompter.confirmText(msg::SavePictureAsNewTitle,
                                 messages::formatMessage(msg::OverwritePictureFile, qUtf8Printable(target)),
                                 messages::Buttons::OkCancel))
        return fail();

    // Read whole, then replace the target in one step: a failed copy leaves an existing target as it was, and a
    // copy onto the source itself rewrites the same bytes.
    const files::ReadOutcome source =
        files::readRegularFile(catalogue.clipsFolder() + fileName, files::kMaxPictureFileBytes);
    if (!source.ok() || files::writeWholeFile(target, source.bytes) != files::WriteResult::Written)
        return fail();
    prompter.tell(msg::SavePictureAsNewTitle, msg::SavePictureAsNewDone, messages::Icon::Information);
    return true;
}

} // namespace store
