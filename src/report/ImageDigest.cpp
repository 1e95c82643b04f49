#include "ImageDigest.h"

#include "config/XmlTree.h"
#include "image/ImageBuilder.h"
#include "image/ImageWriter.h"

#include <QCryptographicHash>

namespace report {

ImageDigest imageDigest(const QByteArray &configurationXml)
{
    const config::XmlParseResult parsed = config::xmltree::parse(configurationXml);
    if (!parsed.root)
        return {{}, parsed.error};
    const image::CompileResult compiled = image::compileConfiguration(*parsed.root);
    if (!compiled.ok())
        return {{}, compiled.error};
    const image::WriteResult written = image::writeImage(compiled.model);
    if (!written.ok())
        return {{}, written.error};
    return {QString::fromLatin1(QCryptographicHash::hash(written.bytes, QCryptographicHash::Sha256).toHex()),
            {}};
}

} // namespace report
