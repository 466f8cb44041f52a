#pragma once

#include "imaging/Picture.h"
#include "messages/FolderEntries.h"
#include "store/Edition.h"
#include "store/IniFile.h"
#include "store/LibraryCatalogue.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <map>
#include <optional>
#include <vector>

// The speed and shift of every picture file, which travel with the file rather than with a project. Both live in
// the library catalogue "Clip.ini" of the clips folder as lists of "file name;value" entries:
//   speed: [SUMMARY] TOTAL_CLIPS = count,       [SPEED] CLIP_0, CLIP_1, ...
//   shift: [SUMMARY] TOTAL_SHIFT_CLIPS = count, [SHIFT] SHIFT_VALUE0, SHIFT_VALUE1, ...
// File names compare exactly (case matters).
namespace deviceimage {

// A shift value that is no value: the device then uses its own default.
inline constexpr int kNoShift = -1;

// The columns of a picture that hold at least one pixel lit by the LitAtMost rule. A picture without any gives
// start -1, end -1 and width 1.
struct ContentBounds {
    int start = -1;
    int end = -1;
    int width = 1;
};
ContentBounds contentBounds(const imaging::Picture& picture);

// The shift value that centres a picture of contentWidth lit columns in the swing, for the edition's LED count:
// - 11, 16 and 24 LEDs: from the swing's width at the speed (the banner width at the default speed, wider when
//   slower); 11 and 24 LEDs follow the 16-LED stick, whose device type, speed word scale and formula they share
//   (the formula takes the edition's own banner width);
// - 32 LEDs: a table by content width, 0 beyond the banner width;
// - 48 LEDs: a fitted curve by content width, at least 32.
// The speed word counts only for 11, 16 and 24 LEDs; a speed word of 0 or below is taken as the default speed.
int autoShift(const store::EditionParameters& edition, int speedWord, int contentWidth);

// Lookups and stores over the catalogue of one clips folder (which ends with "/"). Make one object per operation
// (a build, an import): each list is read once, at its first lookup, into an index by file name, which the
// object's own stores keep up to date; changes other programs make meanwhile are not looked for.
// Stores write the file at once and throw store::IniWriteError when it cannot be written; made on the catalogue
// of a store::CatalogueTransaction, they are stored with the transaction's other changes in one write instead,
// each costing only its own entry (the existence of the other entries' files is checked once per transaction).
class TimingRecords {
public:
    TimingRecords(QString clipsFolder, store::EditionParameters edition);
    // On the catalogue's file object, which a store::CatalogueTransaction may be batching.
    TimingRecords(store::LibraryCatalogue& catalogue, store::EditionParameters edition);
    TimingRecords(const TimingRecords&) = delete;
    TimingRecords& operator=(const TimingRecords&) = delete;

    // The catalogue file: clipsFolder + "Clip.ini".
    static QString catalogueFile(const QString& clipsFolder);

    // The stored speed word of a file, or the edition's default speed (also for an empty name, for a record whose
    // number is missing or not an integer, and for every file after an empty entry, which ends the list).
    int lookupSpeed(const QString& fileName) const;
    // The stored shift value of a file, or kNoShift when the matching record's number is missing or not an
    // integer, when an empty entry ends the list first, or when the name is empty. A file with no record gets
    // autoShift(default speed, its content width), which is stored and returned; a file that does not exist or
    // cannot be read gets kNoShift and nothing is stored. Throws store::IniWriteError when that store fails.
    int lookupShift(const QString& fileName);

    // Create or replace the file's record. The name may be a full path inside the clips folder. On the way, entries
    // that are empty, lack ";", name a file that no longer exists or repeat an earlier name are dropped and the
    // list is renumbered from 0; the file's own first entry keeps its place even when its file is missing. An empty
    // name (or "0") does nothing.
    void storeSpeed(const QString& fileName, int speedWord);
    void storeShift(const QString& fileName, int shift);

    // A file that is not in the clips folder yet but will be (a staged picture of an import): its entries are
    // kept as those of a present file.
    void willExist(const QString& fileName);

    const QString& clipsFolder() const { return clipsFolder_; }
    const store::EditionParameters& edition() const { return edition_; }

private:
    struct Found {
        enum { Value, EndOfList, NoMatch } kind;
        QString value; // the text after "name;" for Value
    };
    // A list as a walk from entry 0 meets it: the value after "name;" of the first entry starting so, for every
    // name an entry starts with (a name may itself hold ";"), up to the first empty entry.
    struct Index {
        QHash<QString, QString> values;
        bool endsEarly = false; // an empty entry, or entries missing before the stored count
    };
    // A list as the last store through this object left it, while a batch of the catalogue lasts: every entry
    // "name;value" with one ";", no name twice, and the file of every entry present but those in `missing`.
    struct Clean {
        quint64 generation = 0; // of the catalogue's content it was derived from
        int count = 0;
        QHash<QString, int> position; // entry number by name
        QSet<QString> missing;
    };
    const Index& index(const store::NumberedList& list) const;
    Found find(const store::NumberedList& list, const QString& fileName) const;
    void store(const store::NumberedList& list, const QString& fileName, int value);
    bool storeInCleanList(const store::NumberedList& list, const QString& name, const QString& text);
    void rewriteList(const store::NumberedList& list, const QString& name, const QString& text);
    void rememberClean(const store::NumberedList& list, const std::vector<QString>& kept);
    bool fileExists(const QString& name);
    QString fileNamePart(const QString& fileName) const;

    QString clipsFolder_;
    store::EditionParameters edition_;
    std::optional<store::IniFile> ownCatalogue_;
    store::IniFile* catalogue_;
    mutable std::map<QString, Index> indexes_; // by list section
    std::map<QString, Clean> clean_;           // by list section
    QHash<QString, bool> exists_;              // file existence, checked once per batch
    std::optional<files::RegularFiles> clipsFiles_; // the clips folder as listed once per batch
    quint64 existsGeneration_ = 0;
};

} // namespace deviceimage
