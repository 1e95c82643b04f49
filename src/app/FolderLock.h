// One window per program folder: two windows saving the same configurations
// and setting.xml would overwrite each other's work. The running window holds
// the lock file Setting/trenov5x.lock; a lock left by a copy that ended
// without releasing it (a crash, a power cut) does not block the next start.
#pragma once

#include <QLockFile>
#include <QString>

namespace app {

class Workspace;

class FolderLock
{
public:
    enum class Result {
        Locked,          // this copy holds the folder
        HeldElsewhere,   // another running copy holds it
        HeldOnOtherHost, // a copy on another computer holds it (a shared folder), or held it
        Unavailable,     // the lock file cannot be written (a read-only folder): not held
    };

    explicit FolderLock(const Workspace &workspace);
    // Releases the lock and removes the file.
    ~FolderLock() = default;

    // Takes the lock at once or answers why not; it never waits.
    Result lock();
    bool isLocked() const { return m_file.isLocked(); }
    QString fileName() const { return m_file.fileName(); }

    // Who holds the lock, as its file says, after lock() answered that it
    // is held.
    struct Holder
    {
        qint64 pid = 0;
        QString host;
        QString program;
    };
    const Holder &holder() const { return m_holder; }

    static constexpr char kFileName[] = "trenov5x.lock";

private:
    // A lock file is always a regular file: a link or a folder in its place
    // is held by no program and would block every start.
    void clearWhatIsNoLock();

    QLockFile m_file;
    Holder m_holder;
};

} // namespace app
