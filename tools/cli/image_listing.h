// The readable listing and the JSON form of a decoded bank.bin, for
// trenov5x-cli inspect.
#pragma once

#include "image/ImageReader.h"

#include <QJsonObject>
#include <QString>

namespace cli {

QString imageListing(const image::DecodedImage &image, const QString &fileName);
QJsonObject imageJson(const image::DecodedImage &image, const QString &fileName);

} // namespace cli
