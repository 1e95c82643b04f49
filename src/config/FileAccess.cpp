#include "FileAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace fileaccess {

QString notRegularReason(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return info.isDir() ? QStringLiteral("is a folder") : QStringLiteral("is not a regular file");
}

ReadResult readRegularFile(const QString &path, qint64 maxBytes)
{
    ReadResult result;
    if (!QFileInfo::exists(path))
        return result;
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
    const QString tooLarge = QStringLiteral("is larger than %1 bytes").arg(maxBytes);
    if (file.size() > maxBytes) {
        result.error = tooLarge;
        return result;
    }
    // One byte more than allowed tells a file that grew since its size was read.
    QByteArray bytes = file.read(maxBytes + 1);
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
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return {false, reason};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

} // namespace fileaccess
