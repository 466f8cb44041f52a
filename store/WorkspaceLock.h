#pragma once

#include <QString>

namespace store {

// Serialises the read-modify-writes of workspace files (projects, the catalogue, the settings) across processes:
// the window and lumiwandctl may run side by side. An advisory lock (flock) on one lock file in the workspace is
// held while a WorkspaceLock lives; it nests within a process (only the outermost one locks the file). Without a
// lock file chosen, it locks within the process only.
//
// A lock file this user may not write (left by a run as root) is opened for reading: flock works on that as well.
// One that cannot be opened at all makes every WorkspaceLock throw WorkspaceLockError, so that no command writes
// unlocked beside another one.
class WorkspaceLock {
public:
    WorkspaceLock();
    ~WorkspaceLock();
    WorkspaceLock(const WorkspaceLock&) = delete;
    WorkspaceLock& operator=(const WorkspaceLock&) = delete;

    // The lock file of the workspace in use (created when missing); call before any WorkspaceLock lives.
    static void useLockFile(const QString& path);
};

} // namespace store
