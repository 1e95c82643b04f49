#include "FolderLock.h"

#include "app/Workspace.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

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

void FolderLock::clearWhatIsNoLock()
{
    const QString name = m_file.fileName();
    const QFileInfo info(name);
    if (info.isSymLink()) {
        // Only the link goes, whatever it points to.
        QFile::remove(name);
    } else if (info.isDir()) {
        // A folder may hold somebody's files: it is moved aside, not removed.
        QDir().rename(name, name + QStringLiteral(".moved-") +
                                QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")));
    } else if (info.exists() && !info.isFile()) {
        QFile::remove(name);
    }
}

FolderLock::Result FolderLock::lock()
{
    if (m_file.isLocked())
        return Result::Locked;
    clearWhatIsNoLock();
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
    if (!m_file.getLockInfo(&pid, &host, &program)) {
        if (m_file.removeStaleLockFile() && m_file.tryLock(0))
            return Result::Locked;
        return Result::HeldElsewhere;
    }
    m_holder = {pid, host, program};
    // Whether a process on another computer still runs cannot be known from
    // here: the user is told which computer, and how to free the folder.
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return Result::HeldOnOtherHost;
    return Result::HeldElsewhere;
}

} // namespace app
