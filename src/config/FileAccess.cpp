#include "FileAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <atomic>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace config {

namespace fileaccess {

namespace {

std::atomic<qint64> g_readCount{0};

QString brokenLinkReason(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat target;
    if (::stat(QFile::encodeName(path).constData(), &target) != 0)
        return qt_error_string(errno);
#endif
    return QStringLiteral("is a link that leads nowhere");
}

} // namespace

QString notRegularReason(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return info.isDir() ? QStringLiteral("is a folder") : QStringLiteral("is not a regular file");
}

qint64 readCount()
{
    return g_readCount.load(std::memory_order_relaxed);
}

ReadResult readRegularFile(const QString &path, qint64 maxBytes)
{
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        // A link that leads nowhere (or into a loop) is there all the same.
        if (info.isSymLink()) {
            result.status = ReadStatus::Failed;
            result.error = brokenLinkReason(path);
        }
        return result;
    }
    result.status = ReadStatus::Failed;
    if (const QString reason = notRegularReason(path); !reason.isEmpty()) {
        result.error = reason;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    g_readCount.fetch_add(1, std::memory_order_relaxed);
    const QString tooLarge = QStringLiteral("is larger than %1 bytes").arg(maxBytes);
    if (file.size() > maxBytes) {
        result.error = tooLarge;
        return result;
    }
    // Read straight into a buffer of the file's size (and one byte to see it
    // grow): each byte is written once, no buffer grows and is copied. A file
    // that grows meanwhile is read on up to one byte past the bound.
    QByteArray bytes(qMin(file.size(), maxBytes) + 1, Qt::Uninitialized);
    const qint64 wanted = bytes.size();
    qint64 filled = 0;
    while (filled < wanted) {
        const qint64 got = file.read(bytes.data() + filled, wanted - filled);
        if (got <= 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    // A full buffer: the file is larger than it said (it grew, or it is one
    // of the system's files that give no size).
    const bool readOn = filled == wanted;
    while (readOn && bytes.size() <= maxBytes && file.error() == QFileDevice::NoError) {
        const QByteArray more = file.read(qMin(maxBytes + 1 - bytes.size(), qint64(1) << 16));
        if (more.isEmpty())
            break;
        bytes += more;
    }
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    if (bytes.size() > maxBytes) {
        result.error = tooLarge;
        return result;
    }
    result.status = ReadStatus::Read;
    result.bytes = std::move(bytes);
    return result;
}

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    if (const QString reason = notRegularReason(path); !reason.isEmpty())
        return {false, reason};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    // A small file stays in the device's buffer until the flush inside
    // commit(), which does not report a failed write: flush here and check.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        // Qt 6.4 loses the system's code on a failed flush ("Unknown error");
        // errno still holds it.
        const int code = errno;
        const QString reason = code != 0 ? qt_error_string(code) : file.errorString();
        file.cancelWriting();
        return {false, reason};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

} // namespace fileaccess

} // namespace config
