#pragma once

#include "messages/WholeFile.h"
#include "store/IniFile.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace files {
class RegularFiles;
}

// The library catalogue "Clip.ini" in the clips folder. Libraries are not folders: they are named groups,
// numbered 0 to TOTAL_LIBRARIES - 1, and each picture or banner file lists the numbers of the libraries it belongs
// to ("0,,,2,,,"). The same file keeps the per-file speed and shift records (read and stored by the timing
// records) and the text a banner was made from. Everything here reads the file afresh and writes through at once;
// an operation that writes several keys writes them in one replacement of the file, so a refused write leaves the
// catalogue as it was.
namespace store {

inline const QString kCatalogueFileName = QStringLiteral("Clip.ini");
inline const QString kRootNodeText = QStringLiteral("[CLIP]"); // the tree's root: files of no library

// A numbered list of the catalogue: its entries are keyed by a prefix and the entry number ("CLIP_0", "CLIP_1"...)
// and its count is kept in section "SUMMARY".
// More libraries than any catalogue holds: a count beyond it is damage.
constexpr int kMaxLibraries = 65535;

struct NumberedList {
    QString section;
    QString entryPrefix; // the entry number follows without a separator
    QString countKey;    // in section "SUMMARY"

    QString key(int entry) const { return entryPrefix + QString::number(entry); }
    // The stored count; 0 when it is not a positive number.
    int storedCount(const IniFile& catalogue) const;
    // How many entries a reader walks: the stored count, bounded by one past the highest entry present, so that a
    // damaged count (negative, not a number, or far beyond the keys) neither hides the list nor makes a reader
    // walk billions of empty keys. The entries from there to the count are all empty.
    int extent(const IniFile& catalogue) const;
};

// The per-file records, "file name;value": display speeds and shift values.
inline const NumberedList kSpeedRecords{QStringLiteral("SPEED"), QStringLiteral("CLIP_"),
                                        QStringLiteral("TOTAL_CLIPS")};
inline const NumberedList kShiftRecords{QStringLiteral("SHIFT"), QStringLiteral("SHIFT_VALUE"),
                                        QStringLiteral("TOTAL_SHIFT_CLIPS")};

struct LibraryInfo {
    int number = -1;
    QString name;
};

// The text a banner was made from and the font it was drawn with.
struct BannerText {
    QString text;
    QString fontName; // empty: keep the current font
};

// Splits a banner text record at its last comma: the text before, the font name after. A record without a comma
// is all text.
BannerText splitBannerText(const QString& record);

// A library name counts when it is neither empty nor "0".
bool isLibraryName(const QString& name);
// Library names are the same when they are equal ignoring case, surrounding blanks and quotation marks.
bool sameLibraryName(const QString& a, const QString& b);

// The items of a membership list: the texts before each ",,," (anything after the last one is no item); the
// library number an item names, if it is a number.
QStringList membershipItems(const QString& list);
std::optional<int> membershipNumber(const QString& item);

// A file name this program may give a picture in the clips folder: it must stay in the folder (no "/", "\" or
// ".."), be visible in the folder's listing (no leading "."), be storable as a catalogue key and in the speed and
// shift records (no "=" or ";", no control character or line break, no leading "#" or "[", which the INI reader
// would take for something else, no space at either end, which it would trim), and fit the file system (255
// bytes in UTF-8).
bool isStorablePictureName(const QString& name);

// "love" and "love.png" give "love.bmp": the file name's extension (after its last dot) is replaced, or added;
// a path's folders are left alone.
QString withBmpExtension(const QString& name);

class LibraryCatalogue {
public:
    // clipsFolder ends with "/"; the catalogue is clipsFolder + "Clip.ini". A missing file reads as empty.
    explicit LibraryCatalogue(QString clipsFolder);
    // The catalogue read only as far as the library tree needs (the library count, the libraries and the
    // memberships; the speed and shift records of a large library are most of the file): nothing can be written
    // through it.
    static LibraryCatalogue forTree(QString clipsFolder);

    const QString& clipsFolder() const { return clipsFolder_; }
    IniFile& ini() { return ini_; }
    const IniFile& ini() const { return ini_; }

    // The stored library count (a damaged value reads as 0) and the name of library k.
    int totalLibraries() const;
    QString libraryName(int k) const;
    // Libraries whose names count, in number order (the save dialog's list, the library choice check list).
    QList<LibraryInfo> libraries() const;
    // Number of the first library whose name equals `name` ignoring case, surrounding blanks and quotes; -1 when
    // there is none.
    int libraryNumber(const QString& name) const;
    // The number a new library takes: the stored library count, whatever keys are present; a count beyond
    // kMaxLibraries is damage, and the library then follows the highest one present, so that it is neither put
    // out of every reader's reach nor counted past the largest int.
    int nextLibraryNumber() const;
    // Adds a library of that name as nextLibraryNumber() and counts it; returns its number.
    int addLibrary(const QString& name);

    // The file's membership list as stored, and the library numbers in it in list order (items that are not
    // numbers are left out).
    QString membershipText(const QString& fileName) const;
    QList<int> memberships(const QString& fileName) const;

    // The picture files of the clips folder ("*.bmp", any case), sorted by name ignoring case.
    QStringList pictureFiles() const;

    // Writes the file's membership list as the given numbers in increasing order, each followed by ",,,"; an
    // empty list moves the file to the root "[CLIP]".
    void setFileLibraries(const QString& fileName, QList<int> libraries);
    // Puts the file into the named library alone (a previous list is replaced). Nothing is written for the root
    // "[CLIP]" or a name that is no library; returns whether the list was written.
    bool classifyFile(const QString& fileName, const QString& libraryName);
    // Whether the file's list is that library alone, as stored ("2,,,").
    bool onlyInLibrary(const QString& fileName, int library) const;
    // Takes the file out of the library: the first item of its list that reads as the number goes (nothing for -1
    // or a list without it); the other items stay as they are.
    void leaveLibrary(const QString& fileName, int library);

    // Renames library `number` (a line break in the name becomes a space).
    void setLibraryName(int number, const QString& name);
    // Removes library `number`: the later libraries move one number down, the count goes down by one, and every
    // membership list, also of files no longer on disk, leaves it and follows the renumbering.
    void removeLibrary(int number);

    // The "HYPERLINK" record of a banner made from text: "text,font" (empty when absent). Keys are the file name
    // in lower case. removeBannerText returns the record it removed.
    QString readBannerText(const QString& fileName) const;
    void writeBannerText(const QString& fileName, const QString& text, const QString& fontName);
    QString removeBannerText(const QString& fileName);

    // Forgets files that are gone from the folder: their membership lists, their speed and shift records (and
    // every other record naming a file that no longer exists, the lists closed up) and their banner text records.
    void forgetDeletedFiles(const QStringList& fileNames);

    // Moves the file's membership list, its first speed and shift records and its banner text record to a new
    // name.
    void moveFileRecords(const QString& oldName, const QString& newName);

private:
    void cleanRecords(const NumberedList& records, const QSet<QString>& deletedNames,
                      const files::RegularFiles& present);
    void renameFirstRecord(const NumberedList& records, const QString& oldName, const QString& newName);

    QString clipsFolder_;
    IniFile ini_;
};

// The changes one command makes to the catalogue (timing records, library filing, banner texts), made through
// catalogue.ini() while it lives and stored together in one replacement of the file under one hold of the
// workspace lock. Without commit() nothing is stored. undo() takes back what commit() stored, for a command whose
// later step failed.
class CatalogueTransaction {
public:
    explicit CatalogueTransaction(LibraryCatalogue& catalogue);
    ~CatalogueTransaction();
    CatalogueTransaction(const CatalogueTransaction&) = delete;
    CatalogueTransaction& operator=(const CatalogueTransaction&) = delete;

    // Stores the changes (nothing when there are none) and lets the lock go; throws IniWriteError, the file then
    // being as it was.
    void commit();
    // Puts back what the file held before commit(), unless another command changed it since (its change is
    // never lost). Best effort: a failed write leaves the records, which name only this command's files.
    void undo();

private:
    LibraryCatalogue& catalogue_;
    std::optional<WorkspaceLock> lock_;
    std::optional<IniFile::WriteBatch> batch_;
    files::ReadOutcome before_;
    QByteArray after_;
    bool stored_ = false;
};

} // namespace store
