#include "store/WorkspaceLock.h"

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
int g_depth = 0; // guarded by g_inProcess

void lockFile(int operation)
{
    if (g_lockFile < 0)
        return;
    while (::flock(g_lockFile, operation) != 0 && errno == EINTR) {
    }
}

} // namespace

WorkspaceLock::WorkspaceLock()
{
    g_inProcess.lock();
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
    // A lock file that cannot be made leaves the lock to this process; the writes themselves report the trouble.
    g_lockFile = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (g_lockFile >= 0 && g_depth > 0)
        lockFile(LOCK_EX);
}

} // namespace store
