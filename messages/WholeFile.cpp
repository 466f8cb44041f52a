#include "messages/WholeFile.h"

#include "messages/MessageIds.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

unsigned messageId(WriteResult result)
{
    switch (result) {
    case WriteResult::Written:
        return 0;
    case WriteResult::Exists:
        return msg::FileAlreadyExists;
    case WriteResult::Failed:
        return msg::UnableToWriteTo;
    }
    return msg::UnableToWriteTo;
}

unsigned messageId(ReadStatus status)
{
    switch (status) {
    case ReadStatus::Read:
        return 0;
    case ReadStatus::Absent:
        return msg::FileDoesNotExist;
    case ReadStatus::Unreadable:
        return msg::FileCannotBeOpened;
    }
    return msg::FileCannotBeOpened;
}

namespace {

// Creates ".<name>.XXXXXX" beside the target, mode 0666 less the umask (or the target's mode when it exists).
int createTemporaryBeside(const QString& path, QByteArray& temporaryName)
{
    const QFileInfo target(path);
    const QString prefix = target.path() + QStringLiteral("/.") + target.fileName() + u'.';
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))]);
        temporaryName = QFile::encodeName(prefix + suffix);
        const int fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            ::flock(fd, LOCK_EX); // held until the file is in place: a start-up clean-up then leaves it alone
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}


void keepModeOf(const QByteArray& target, int fd)
{
    struct stat info {};
    if (::stat(target.constData(), &info) == 0 && S_ISREG(info.st_mode))
        ::fchmod(fd, info.st_mode & 07777);
}

void syncFolderOf(const QString& path)
{
    syncFolder(QFileInfo(path).path());
}

} // namespace

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

WriteResult writeWholeFile(const QString& path, const QByteArray& bytes, WriteMode mode)
{
    const QByteArray target = QFile::encodeName(path);
    // A file its owner made read-only is not replaced behind their back (root may, as everywhere).
    if (mode == WriteMode::Replace && ::access(target.constData(), F_OK) == 0 && ::access(target.constData(), W_OK) != 0)
        return WriteResult::Failed;
    QByteArray temporary;
    const int fd = createTemporaryBeside(path, temporary);
    if (fd < 0)
        return WriteResult::Failed;
    if (mode == WriteMode::Replace)
        keepModeOf(target, fd);
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    WriteResult result = WriteResult::Failed;
    if (written) {
        if (mode == WriteMode::Replace)
            result = ::rename(temporary.constData(), target.constData()) == 0 ? WriteResult::Written
                                                                              : WriteResult::Failed;
        else if (::link(temporary.constData(), target.constData()) == 0)
            result = WriteResult::Written;
        else if (errno == EEXIST)
            result = WriteResult::Exists;
    }
    if (result != WriteResult::Written || mode == WriteMode::CreateNew)
        ::unlink(temporary.constData());
    ::close(fd); // after the rename: the file's lock marks it as being written until it is in place
    if (result == WriteResult::Written)
        syncFolderOf(path);
    return result;
}

WriteResult writeNewFileUnsynced(const QString& path, const QByteArray& bytes)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST ? WriteResult::Exists : WriteResult::Failed;
    const bool written = writeAll(fd, bytes);
    if (::close(fd) != 0 || !written) {
        ::unlink(name.constData());
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}

bool syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool syncFileSystemOf(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::syncfs(fd) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool removeIfStaleTemporary(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    // A writer holds its temporary file locked until the file is in place; a lock taken here means it is gone.
    const bool stale = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                       ::unlink(QFile::encodeName(path).constData()) == 0;
    ::close(fd);
    return stale;
}

bool nameFitsFileSystem(const QString& folder, const QString& fileName)
{
    long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    if (limit <= 0)
        limit = 255;
    return QFile::encodeName(fileName).size() + kTemporaryNameExtra <= limit;
}

ReadOutcome readRegularFile(const QString& path, qint64 maxBytes)
{
    ReadOutcome outcome;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        outcome.status = (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Absent : ReadStatus::Unreadable;
        return outcome;
    }
    outcome.status = ReadStatus::Unreadable;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= maxBytes) {
        QByteArray bytes(qsizetype(info.st_size), Qt::Uninitialized);
        qsizetype got = 0;
        bool failed = false;
        // Read to the end, whatever the size said: a file that grew meanwhile past the cap is refused. Past the
        // stated size the reads go through a small buffer, so the usual last read (the end) allocates nothing.
        char beyond[4096];
        while (got <= maxBytes) {
            const bool within = got < bytes.size();
            char* target = within ? bytes.data() + got : beyond;
            const size_t room = within ? size_t(bytes.size() - got) : sizeof beyond;
            const ssize_t n = ::read(fd, target, room);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                failed = true;
                break;
            }
            if (n == 0)
                break;
            if (!within)
                bytes.append(beyond, n);
            got += n;
        }
        if (!failed && got <= maxBytes) {
            bytes.resize(got);
            outcome.bytes = bytes;
            outcome.status = ReadStatus::Read;
        }
    }
    ::close(fd);
    return outcome;
}

DiskStamp diskStamp(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, static_cast<qint64>(info.st_size),
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            static_cast<qint64>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec,
            static_cast<quint64>(info.st_ino)};
}

} // namespace files
