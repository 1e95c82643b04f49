// The device's replies as the link reads them, and the clock fields as the
// page takes them: bytes from a faulty serial peer never crash the parsers.
#include "link/DeviceFrames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const devlink::StatusReply status = devlink::parseStatusReply(bytes);
    (void)status.recognised();
    (void)devlink::isClockSetConfirmation(bytes);
    (void)devlink::isBootLoaderAnswer(bytes);
    (void)devlink::statusReplyComplete(bytes);
    (void)devlink::clockReplyComplete(bytes);
    (void)devlink::firstLineComplete(bytes);
    (void)devlink::trimmedReplyText(bytes);

    // Six clock fields, split at newlines, as typed on the page.
    const QStringList parts = QString::fromUtf8(bytes).split(u'\n');
    if (parts.size() >= 6) {
        const devlink::ClockFields fields{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
        if (devlink::clockFieldsDateTime(fields)) {
            const QByteArray frame = devlink::setClockFrame(fields);
            if (!frame.startsWith("DATORA ") || !frame.endsWith("\r\n"))
                __builtin_trap();
        }
    }
    return 0;
}
