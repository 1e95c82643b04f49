// Reads bank.bin back into the image model, checking every address, end
// record and list end; a malformed image is reported with its offset.
#pragma once

#include "image/ImageLayout.h"
#include "image/ImageModel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

namespace image {

struct AreaHeader
{
    quint32 count = 0;
    quint32 address = 0;
    qint64 offset = 0; // address - image base
};

struct DecodedImage
{
    ImageModel model;
    std::array<AreaHeader, layout::kAreaCount> areas{};
    QList<QByteArray> eventTexts;
    qint64 size = 0;
};

struct ReadResult
{
    DecodedImage image; // complete when error is empty
    QString error;      // what is wrong, without the offset
    qint64 errorOffset = -1;
    bool ok() const { return error.isEmpty(); }
};

ReadResult readImage(const QByteArray &bytes);

} // namespace image
