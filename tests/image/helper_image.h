// Shared pieces of the image tests: golden files, a model of a new
// configuration and little-endian reads from an image.
#pragma once

#include "image/ImageModel.h"

#include <QByteArray>
#include <QString>

namespace testimage {

QString goldenPath(const QString &name); // tests/data/image/<name>
QByteArray golden(const QString &name);

// The model a new configuration compiles to: empty tables, every event off,
// the fixed profile masks all ones, no PIN, daylight saving off.
image::ImageModel newConfigurationModel();

quint32 u32At(const QByteArray &bytes, qsizetype offset);
quint16 u16At(const QByteArray &bytes, qsizetype offset);
// Offset of an area from its header address field.
qsizetype areaOffset(const QByteArray &bytes, int area);

} // namespace testimage
