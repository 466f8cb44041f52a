#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing whole files safely, for every file the program keeps: a write either replaces the file with
// all of the new bytes, synced to the disk, or leaves the old file as it was; a read opens only a regular file,
// never blocks (a FIFO or a device in a file's place) and never takes more than a cap.
namespace files {

enum class WriteResult {
    Written,
    Exists, // WriteMode::CreateNew and the name is taken: nothing was written
    Failed, // nothing was replaced: the folder refused the file, the disk is full, or the target is read-only
};
// The message of a write that failed; it names the file.
unsigned messageId(WriteResult result);

enum class WriteMode {
    Replace,   // the file is created or replaced as a whole
    CreateNew, // the file is created only when no file of that name exists, atomically: two writers never share a name
};

// Writes every byte to a temporary file beside the target, checks each write, syncs it and renames (or, for
// CreateNew, links) it into place, holding a lock (flock) on it meanwhile. On any failure the temporary file is
// removed and the target is untouched. A replaced file keeps its permission bits; a new one gets 0666 less the
// umask. A file this user may not write is not replaced.
WriteResult writeWholeFile(const QString& path, const QByteArray& bytes, WriteMode mode = WriteMode::Replace);

// Writes every byte to an open descriptor, retrying after signals; false on any failed or short write.
bool writeAll(int fd, const QByteArray& bytes);

// Creates a file that must not exist yet with all of the bytes, without syncing it: for files of a private folder
// that are synced together (syncFileSystemOf) before anything names them. A failed write removes the file.
WriteResult writeNewFileUnsynced(const QString& path, const QByteArray& bytes);

// Brings everything written on the file system of the folder to the disk (one syncfs for many files), and the
// folder's own entries; false when that failed.
bool syncFileSystemOf(const QString& folder);
// Brings a folder's own entries to the disk (files renamed into or out of it); false when that failed.
bool syncFolder(const QString& folder);

// Removes a temporary file of writeWholeFile that no writer holds any more (its process was killed); a file being
// written, or anything but a regular file, is left alone. Returns whether it was removed.
bool removeIfStaleTemporary(const QString& path);

// The bytes the temporary file's name adds to the target's name ("." before, "." and 6 characters after).
constexpr int kTemporaryNameExtra = 8;

// The longest name (in encoded bytes) a file written here may have on the usual file systems (NAME_MAX 255).
constexpr int kLongestFileName = 255 - kTemporaryNameExtra;

// True when a file of this name, and its temporary file, can be made in the folder: its encoded name is no longer
// than the folder's file system allows (NAME_MAX, 255 bytes on the usual file systems) less kTemporaryNameExtra.
bool nameFitsFileSystem(const QString& folder, const QString& fileName);

enum class ReadStatus {
    Read,
    Absent,     // no file of that name (or a path through something that is not a folder)
    Unreadable, // it exists but cannot be read: not a regular file, larger than the cap, refused, or an I/O error
};
// The message of a read that failed; it names the file.
unsigned messageId(ReadStatus status);
struct ReadOutcome {
    ReadStatus status = ReadStatus::Absent;
    QByteArray bytes;
    bool ok() const { return status == ReadStatus::Read; }
};

// Caps no real file of the program reaches: INI files and pictures, device images.
constexpr qint64 kMaxTextFileBytes = 16 * 1024 * 1024;
constexpr qint64 kMaxPictureFileBytes = 64 * 1024 * 1024;

// Reads a whole regular file of at most maxBytes. The file is opened without blocking and checked after opening,
// so a name swapped for a FIFO or a device between a check and the open cannot hang or flood the reader.
ReadOutcome readRegularFile(const QString& path, qint64 maxBytes);

// What stat tells of a file or folder, for noticing that it changed: size, times (to the nanosecond the file
// system keeps; the change time also catches a change of permissions) and inode (a file replaced by rename).
struct DiskStamp {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    quint64 inode = 0;
    bool operator==(const DiskStamp&) const = default;
};
DiskStamp diskStamp(const QString& path);

} // namespace files
