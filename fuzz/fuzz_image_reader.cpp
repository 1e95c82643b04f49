// bank.bin as inspect reads it: refused with an offset inside the file, or
// decoded into a model that writes the very same bytes.
#include "image/ImageReader.h"
#include "image/ImageText.h"
#include "image/ImageWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const image::ReadResult result = image::readImage(bytes);
    if (!result.ok()) {
        if (result.errorOffset < 0 || result.errorOffset > qMax<qint64>(bytes.size(), image::kImageCapacity))
            __builtin_trap();
        return 0;
    }
    if (image::writeImage(result.image.model).bytes != bytes)
        __builtin_trap();
    for (const QString &message : result.image.model.messages)
        (void)image::text::quoted(message);
    return 0;
}
