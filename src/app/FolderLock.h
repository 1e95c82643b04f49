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
        Locked,        // this copy holds the folder
        HeldElsewhere, // another running copy holds it
        Unavailable,   // the lock file cannot be written (a read-only folder): not held
    };

    explicit FolderLock(const Workspace &workspace);
    // Releases the lock and removes the file.
    ~FolderLock() = default;

    // Takes the lock at once or answers why not; it never waits.
    Result lock();
    bool isLocked() const { return m_file.isLocked(); }
    QString fileName() const { return m_file.fileName(); }

    static constexpr char kFileName[] = "trenov5x.lock";

private:
    QLockFile m_file;
};

} // namespace app
