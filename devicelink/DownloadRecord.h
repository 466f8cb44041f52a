#pragma once

#include <QByteArray>
#include <QString>

namespace store {
struct Workspace;
}

// The workspace's record of the images whose download into a stick began and was not confirmed. A download that
// stops half way (Ctrl+C, a kill, a crash, a pulled stick) leaves the new image's first blocks over the rest of
// what the stick held: the header adds up, the pictures do not. The record outlives the process, so that the next
// download, in any process, does not take that mixture for pictures to keep.
namespace devicelink {

class DownloadRecord {
public:
    // Keeps its record in `file` (an INI file, one section per image); an empty path records nothing.
    explicit DownloadRecord(QString file = {});

    const QString& file() const { return file_; }

    // Notes that `image` is about to be written into the stick at the device path `stick`: before its first
    // block. Throws store::IniWriteError when the record cannot be written; the download must then not begin.
    void recordUnfinished(const QByteArray& image, const QString& stick = {});
    // Forgets `image` in `stick` once that stick has confirmed it whole (or nothing of it was written); the
    // records of other sticks given the same image stay. Throws store::IniWriteError; a record left behind is
    // harmless, as the whole image never matches it.
    void clearUnfinished(const QByteArray& image, const QString& stick = {});
    // Whether an image read back from a stick is a recorded image's beginning over other content: it has that
    // image's length and first block, and not its content. A finished image never is, wherever it was written.
    bool isUnfinished(const QByteArray& held) const;

private:
    QString file_;
};

// The record of the workspace shared by every edition: "MyLumiwand/UnfinishedDownloads.ini".
QString downloadRecordFile(const store::Workspace& workspace);

} // namespace devicelink
