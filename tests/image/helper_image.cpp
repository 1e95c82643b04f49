#include "helper_image.h"

#include "image/ImageLayout.h"

#include <QFile>
#include <QtEndian>

namespace testimage {

QString goldenPath(const QString &name)
{
    return QStringLiteral(TRENOV5X_TEST_DATA "/image/") + name;
}

QByteArray golden(const QString &name)
{
    QFile file(goldenPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

image::ImageModel newConfigurationModel()
{
    image::ImageModel model;
    model.profileWords.fill(0);
    model.profileWords[0] = model.profileWords[1] = 0xFFFFFFFF;
    for (int w = 50; w < 60; ++w)
        model.profileWords[w] = 0xFFFFFFFF;
    model.dstText = "ORA-LEGALE_OFF";
    return model;
}

quint32 u32At(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}
quint16 u16At(const QByteArray &bytes, qsizetype offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

qsizetype areaOffset(const QByteArray &bytes, int area)
{
    return u32At(bytes, 8 * area + 4) - image::kImageBaseAddress;
}

} // namespace testimage
