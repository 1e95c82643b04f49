// Whole-file reads and writes as every file of the program does them: only
// regular files are read, never more than a bound, and a file is replaced
// atomically, so a failed write leaves the earlier file whole.
#pragma once

#include <QByteArray>
#include <QString>

namespace config {

namespace fileaccess {

// A configuration, settings or language file is far smaller; the bound only
// keeps a wrong file (a disk image, a link to /dev/zero) from flooding memory.
inline constexpr qint64 kMaxTextFileBytes = 64 * 1024 * 1024;

enum class ReadStatus { Read, Missing, Failed };

struct ReadResult
{
    ReadStatus status = ReadStatus::Missing;
    QByteArray bytes;
    QString error; // the reason alone ("is a folder", the system's text), when Failed
    bool ok() const { return status == ReadStatus::Read; }
    // Why nothing was read: "does not exist" or the error.
    QString reason() const
    {
        return status == ReadStatus::Missing ? QStringLiteral("does not exist") : error;
    }
};

// "is a folder" or "is not a regular file" for a path that exists and is not
// a regular file (a link counts as what it points at); empty otherwise.
QString notRegularReason(const QString &path);

// Reads a regular file of at most maxBytes. Only a path where nothing is
// is Missing (a link that leads nowhere fails with the system's reason); a
// folder, FIFO or device is refused before it is opened, so the read never
// blocks.
ReadResult readRegularFile(const QString &path, qint64 maxBytes);

// How many files readRegularFile has opened in this process: lets a test
// tell how often a job reads its input.
qint64 readCount();

struct WriteResult
{
    bool ok = false;
    QString error; // the system's reason alone, when not ok
};

// Replaces path with bytes through a temporary file that is flushed and
// checked before it is renamed over the old one. Refuses a path that exists
// and is not a regular file.
WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes);

} // namespace fileaccess

} // namespace config
