#pragma once

#include "messages/MessageCatalogue.h"
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
namespace messages {
class Prompter;
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

// The library tree as the two pages show it: the root "[CLIP]" with the files of no library, one top-level node per
// library with its files; a file in several libraries appears under each.
enum class LibraryNodeKind { Root, Library, File };

// Icons of the main window's tree image list.
enum LibraryTreeIcon { kFolderIcon = 0, kBookIcon = 1, kPictureIcon = 4 };

struct LibraryNode {
    QString text;
    int icon = kFolderIcon;
    LibraryNodeKind kind = LibraryNodeKind::Library;
    int library = -1; // the library's number for a library node, -1 for the root and for files
    std::vector<LibraryNode> children;
    bool builtIn = false; // the read-only clipart (its group nodes and pictures), never a file of the clips folder
};

// Sorted: the Library page (the root first, then libraries and each node's files by name ignoring case).
// Insertion: the Projects page (root, libraries by number, files in folder order).
enum class LibraryTreeOrder { Sorted, Insertion };

// The top-level nodes: the root first, then the libraries. The Library page shows the tree fully expanded, the
// Projects page collapsed.
std::vector<LibraryNode> buildLibraryTree(const LibraryCatalogue& catalogue, LibraryTreeOrder order);

// What the library tree is built from as the disk shows it: the catalogue file and the clips folder's own entry
// (which changes whenever a file is added, removed or renamed in it). Equal stamps mean the same tree.
struct LibraryTreeStamp {
    files::DiskStamp catalogue;
    files::DiskStamp folder;
    bool operator==(const LibraryTreeStamp&) const = default;
};

// File times move in steps of the kernel's clock tick or coarser, so a change right after another can leave the
// same times: a stamp whose newest time is less than `settledMs` old cannot vouch for the tree, and none is given.
inline constexpr int kStampSettledMs = 2000;
std::optional<LibraryTreeStamp> libraryTreeStamp(const QString& clipsFolder, int settledMs = kStampSettledMs);

// Whether a library tree still shows what it was built from: the catalogue, the clips folder and the language of
// its texts. A page entered again rebuilds its tree only when not (thousands of pictures take a while to build).
class TreeFreshness {
public:
    // Before the build reads anything, so that a change made meanwhile is seen at the next check.
    void building(const QString& clipsFolder);
    bool current(const QString& clipsFolder) const;

private:
    std::optional<LibraryTreeStamp> builtFrom_;
    messages::LangId language_ = 0;
};

// The kind of a node known only by its text: "[CLIP]" is the root, a text containing ".bmp" (any case) a file,
// anything else a library. The nodes of buildLibraryTree carry their kind; this is for views that keep texts only.
LibraryNodeKind nodeKindOfText(const QString& text);

// The interactive operations of the Library page. Each asks, informs and refuses through the prompter with the
// catalogue's messages. A refused catalogue write throws IniWriteError ("Unable to write to ..."), which abandons
// the command; the catalogue is then as it was before the command.

// "New Library": asks for a name and adds the library. Returns true when a library was created (the page showing
// a tree rebuilds it).
bool createLibrary(LibraryCatalogue& catalogue, messages::Prompter& prompter);

// Renames the named library. Returns true when it was renamed.
bool renameLibrary(LibraryCatalogue& catalogue, const QString& libraryName, messages::Prompter& prompter);

// Renames a picture file in the clips folder and moves its catalogue records with it. Returns the new file name,
// or an empty text when the file was not renamed. The Library page rebuilds its tree afterwards.
QString renamePictureFile(LibraryCatalogue& catalogue, const QString& fileName, messages::Prompter& prompter);

// Deletes the picture file selected under `selectedLibrary` (a library name or "[CLIP]"). A file in two or more
// libraries only leaves the selected one and stays on disk with all its records. Returns true when the user
// confirmed (the page then rebuilds its tree, clears its information values and hides the preview).
bool deletePictureFile(LibraryCatalogue& catalogue, const QString& fileName, const QString& selectedLibrary,
                       messages::Prompter& prompter);

// Deletes a library: files that belonged to it alone are deleted with their records, the others leave it, and
// the later libraries move one number down. The root "[CLIP]" is never deleted. Returns true when done.
bool deleteLibrary(LibraryCatalogue& catalogue, const QString& libraryName, messages::Prompter& prompter);

// "Save Picture / Banner as new file": copies the selected file (empty when no file is selected) to a path the
// user chooses, starting in rootFolder. Returns true when the copy was written. The copy joins no library.
bool exportFileCopy(const LibraryCatalogue& catalogue, const QString& fileName, const QString& rootFolder,
                    messages::Prompter& prompter);

} // namespace store
