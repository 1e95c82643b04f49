#include "FolderLock.h"

#include "app/Workspace.h"

namespace app {

FolderLock::FolderLock(const Workspace &workspace)
    : m_file(workspace.settingsFolder() + QLatin1String(kFileName))
{
    // The lock lasts as long as the window, so its age says nothing. A lock
    // file stays valid only while the process it names runs this program:
    // QLockFile finds one whose process has ended, or whose process ID now
    // belongs to another program, stale and replaces it.
    m_file.setStaleLockTime(0);
}

FolderLock::Result FolderLock::lock()
{
    if (m_file.isLocked())
        return Result::Locked;
    if (m_file.tryLock(0))
        return Result::Locked;
    if (m_file.error() != QLockFile::LockFailedError)
        return Result::Unavailable;
    // A lock file without a process ID in it (cut short by a power cut before
    // its content reached the disk) never looks stale to QLockFile. The copy
    // that is writing one holds it with a system lock, which the removal
    // respects, so only a dead one goes.
    qint64 pid = 0;
    QString host;
    QString program;
    if (!m_file.getLockInfo(&pid, &host, &program) && m_file.removeStaleLockFile() && m_file.tryLock(0))
        return Result::Locked;
    return Result::HeldElsewhere;
}

} // namespace app
