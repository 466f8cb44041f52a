#include "messages/OutputFile.h"

#include "messages/MessageIds.h"
#include "messages/WholeFile.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

unsigned messageId(OutputResult result)
{
    switch (result) {
    case OutputResult::Written:
        return 0;
    case OutputResult::NotAFile:
        return msg::OutputNotAFile;
    case OutputResult::Failed:
        return msg::UnableToWriteTo;
    }
    return msg::UnableToWriteTo;
}

namespace {

// The kernel gives up on a chain of links after 40 (ELOOP); so does the writer.
constexpr int kMaxLinkHops = 40;

// Opens a FIFO or a device as it is (no truncation, no replacement) and writes every byte.
OutputResult writeStream(const QByteArray& target, const QByteArray& bytes)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return OutputResult::Failed;
    const bool written = writeAll(fd, bytes);
    return ::close(fd) == 0 && written ? OutputResult::Written : OutputResult::Failed;
}

// The file a chain of symbolic links ends at (it may not exist yet); empty for a loop or an unreadable link.
// A relative link is read from the folder that holds it, as the kernel reads it.
QByteArray followLinks(QByteArray path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (length <= 0 || length >= target.size())
            return {};
        target.truncate(length);
        if (!target.startsWith('/')) {
            const qsizetype slash = path.lastIndexOf('/');
            target.prepend(slash < 0 ? QByteArray() : path.left(slash + 1));
        }
        path = target;
    }
    return {};
}

} // namespace

OutputResult writeOutputFile(const QString& path, const QByteArray& bytes)
{
    if (path == QLatin1String(kStandardOutputName))
        return writeAll(STDOUT_FILENO, bytes) ? OutputResult::Written : OutputResult::Failed;
    const QByteArray target = followLinks(QFile::encodeName(path));
    if (target.isEmpty())
        return OutputResult::Failed;
    struct stat info {};
    const bool exists = ::stat(target.constData(), &info) == 0;
    if (!exists && errno != ENOENT)
        return OutputResult::Failed;
    if (exists && (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode)))
        return writeStream(target, bytes);
    if (exists && !S_ISREG(info.st_mode))
        return OutputResult::NotAFile;
    return writeWholeFile(QFile::decodeName(target), bytes) == WriteResult::Written ? OutputResult::Written
                                                                                     : OutputResult::Failed;
}

} // namespace files
