#pragma once

#include "messages/WholeFile.h"
#include "store/WorkspaceLock.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

namespace store {

// Why a workspace write did not happen.
enum class WriteRefusal {
    None,
    Refused,      // the file system refused the file: "Unable to write to <path>"
    LockUnusable, // the workspace lock file cannot be opened, so nothing was written
};
unsigned messageId(WriteRefusal refusal);

// A write the file system refused, thrown from the write itself, deep inside a read-modify-write of workspace
// files, so that no caller can take a refused write for a done one. It abandons the whole command: it is caught
// where the command ends (windowkit::runCommand, lumiwandctl's dispatcher), or where a function turns it into its
// own status; its message is the refusal's, naming the file.
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const QString& path, WriteRefusal refusal = WriteRefusal::Refused);
    const QString& path() const { return path_; }
    WriteRefusal refusal() const { return refusal_; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    QString path_;
    WriteRefusal refusal_;
};

// The workspace lock file cannot be opened: the command is abandoned before it writes anything, as for a refused
// write, and the message names the lock file.
class WorkspaceLockError : public IniWriteError {
public:
    explicit WorkspaceLockError(const QString& lockFile);
};

// INI text files with the semantics of the Windows profile functions, which the settings, project and
// catalogue files were always written with:
// - section and key names match without regard to case; the first of duplicate sections or keys wins;
// - every value is read with the caller's default when the file, the section or the key is missing;
// - the order of sections and keys is kept, and so are comments and lines the parser does not understand;
// - every write reaches the disk at once, whole or not at all (files::writeWholeFile), so a crash or a full disk
//   never leaves a cut file; a WriteBatch holds the writes of one operation and stores them together;
// - every write is a read-modify-write under the WorkspaceLock, so writers in other processes lose nothing;
// - a reader never serves stale content: the file is parsed again when it changed on disk;
// - a file that exists but cannot be read (refused, not a regular file, absurdly large) reads as empty and is
//   never written over: writes to it throw IniWriteError.
// Tolerated on reading: CRLF line ends, a UTF-8 byte order mark, blank and comment (";" or "#") lines, spaces
// around names and values, lines without "=", and text that is not UTF-8: such a line decodes as Windows-1252,
// as the files of older Windows programs hold. Lines a write does not change are written back byte for byte;
// changed and new lines are written as UTF-8 with CRLF line ends.
class IniFile {
public:
    explicit IniFile(QString path);

    // The file as far as the end of the first occurrence of each of `sections`: what is read from those (and from
    // the sections before them) reads as from the whole file (the first of duplicate sections and keys wins, so
    // nothing after them changes those values), later sections read as missing, and every write throws
    // IniWriteError. For reading many files, or a large one, by a few sections without parsing the rest.
    static IniFile leadingPart(const QString& path, const QStringList& sections);

    const QString& path() const { return path_; }

    QString readString(const QString& section, const QString& key, const QString& defaultValue = {}) const;
    // A value that is not a decimal (or "0x" hexadecimal) integer in int range reads as the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;
    // readString of keys prefix + "0" .. prefix + (count - 1), an absent key read as empty, in one pass over the
    // section's keys rather than a lookup per key: for numbered lists of thousands of entries.
    std::vector<QString> readNumbered(const QString& section, const QString& prefix, int count) const;

    // These throw IniWriteError when the file cannot be written; the file on disk is then unchanged.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void deleteKey(const QString& section, const QString& key);
    // deleteKey for each of the keys in turn, in one pass over the section: for lists of thousands.
    void deleteKeys(const QString& section, const QStringList& keys);
    void eraseSection(const QString& section);

    bool sectionExists(const QString& section) const;
    bool valueExists(const QString& section, const QString& key) const;
    QStringList sections() const;
    QStringList keys(const QString& section) const;

    // True when the file exists but could not be read: it then reads as empty and refuses every write.
    bool unreadable() const;

    // True when a WriteBatch holds writes that are not stored yet.
    bool pendingWrites() const { return dirty_; }
    // True while a WriteBatch lives: the content in memory is this process's, read under the workspace lock.
    bool batching() const { return batchDepth_ > 0; }
    // Counts the times the content was read from the disk (or forgotten): what was derived from it before a
    // change of this count may be stale.
    quint64 generation() const { return generation_; }

    // Makes sure everything written so far is on disk (a no-op outside a WriteBatch: writes go through at once).
    void flush();

    // Holds the writes made while it lives and stores them in one replacement of the file when it ends (or at
    // flush()), for operations that write hundreds of keys. Readers in this process see the writes at once.
    class WriteBatch {
    public:
        explicit WriteBatch(IniFile& file);
        ~WriteBatch() noexcept(false);
        // Forgets the writes of the batch: nothing is stored, and the file is read afresh from the disk.
        void discard();
        WriteBatch(const WriteBatch&) = delete;
        WriteBatch& operator=(const WriteBatch&) = delete;

    private:
        WorkspaceLock lock_; // taken before the file is read, released after it is stored
        IniFile& file_;
    };

    // For an operation that reads many values: while a ReadHold lives, the content as read when it started is
    // served without looking at the disk for each value (this object's own writes are seen as always). Hold only
    // what the operation reads; a read-modify-write must see the disk.
    class ReadHold {
    public:
        explicit ReadHold(const IniFile& file);
        ~ReadHold();
        ReadHold(const ReadHold&) = delete;
        ReadHold& operator=(const ReadHold&) = delete;

    private:
        const IniFile& file_;
    };

private:
    struct Line {
        QString key;  // empty for a raw line
        QString value;
        QString raw;  // the text of a comment, blank or unparsed line
        QByteArrayView original; // the line as read (in content_), with its line end; empty once changed or when new
    };
    struct Section {
        QString name;   // empty for the lines before the first section
        bool headed = true;
        QByteArrayView original; // the section line as read (in content_), with its line end
        std::vector<Line> lines;
        QHash<QString, int> index; // lower-cased key -> first line with that key
        void reindex();
    };
    void refresh() const;
    void parse(const QByteArray& content) const;
    const Section* findSection(const QString& section) const;
    Section& sectionForWrite(const QString& section);
    const Line* findLine(const QString& section, const QString& key) const;
    void store();
    QByteArray serialise() const;

    QString path_;
    QStringList leadingSections_; // lower case; a leading part ends with the last of them, none: the whole file
    // The bytes as read, which the lines' original texts are views of: copies of this object share them.
    mutable QByteArray content_;
    mutable std::vector<Section> sections_;
    mutable QHash<QString, int> sectionIndex_; // lower-cased name -> first section with that name
    mutable files::DiskStamp stamp_;
    mutable bool loaded_ = false;
    mutable bool unreadable_ = false;
    int batchDepth_ = 0;
    mutable int holdDepth_ = 0;
    bool dirty_ = false;
    mutable quint64 generation_ = 0;
};

} // namespace store
