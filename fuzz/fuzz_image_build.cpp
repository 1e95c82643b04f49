// Configuration.xml to bank.bin: the element tree, the compiler and the
// writer. A built image must read back to the model it came from.
#include "config/XmlTree.h"
#include "image/ImageBuilder.h"
#include "image/ImageReader.h"
#include "image/ImageWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const config::XmlParseResult parsed = config::xmltree::parse(bytes);
    if (!parsed.root)
        return 0;
    const image::CompileResult compiled = image::compileConfiguration(*parsed.root);
    if (!compiled.ok())
        return 0;
    const image::WriteResult written = image::writeImage(compiled.model);
    if (!written.ok())
        return 0;
    const image::ReadResult read = image::readImage(written.bytes);
    if (!read.ok())
        __builtin_trap(); // the reader refuses what the writer wrote
    return 0;
}
