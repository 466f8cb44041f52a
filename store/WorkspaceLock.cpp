#include "store/WorkspaceLock.h"

#include "store/IniFile.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <unistd.h>

namespace store {
namespace {

std::recursive_mutex g_inProcess;
int g_lockFile = -1;
QString g_unusableLockFile; // set when the chosen lock file could not be opened at all
int g_depth = 0;            // guarded by g_inProcess

void lockFile(int operation)
{
    if (g_lockFile < 0)
        return;
    while (::flock(g_lockFile, operation) != 0 && errno == EINTR) {
    }
}

// Read-write when it may be made or written, else read-only: flock needs no write access.
int openLockFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0 || (errno != EACCES && errno != EROFS && errno != EPERM))
        return fd;
    return ::open(name.constData(), O_RDONLY | O_CLOEXEC);
}

} // namespace

WorkspaceLock::WorkspaceLock()
{
    g_inProcess.lock();
    if (g_depth == 0 && !g_unusableLockFile.isEmpty()) {
        const QString path = g_unusableLockFile;
        g_inProcess.unlock();
        throw WorkspaceLockError(path);
    }
    if (g_depth++ == 0)
        lockFile(LOCK_EX);
}

WorkspaceLock::~WorkspaceLock()
{
    if (--g_depth == 0)
        lockFile(LOCK_UN);
    g_inProcess.unlock();
}

void WorkspaceLock::useLockFile(const QString& path)
{
    const std::lock_guard guard(g_inProcess);
    if (g_lockFile >= 0)
        ::close(g_lockFile);
    g_lockFile = openLockFile(path);
    // A workspace whose folder cannot be made leaves the lock to this process: the writes themselves report the
    // trouble. A lock file that is there but cannot be opened would leave other processes unserialised.
    const bool unusable = g_lockFile < 0 && errno != ENOENT && errno != ENOTDIR;
    g_unusableLockFile = unusable ? path : QString();
    if (g_lockFile >= 0 && g_depth > 0)
        lockFile(LOCK_EX);
}

} // namespace store
