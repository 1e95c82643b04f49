// Turns an image model into the bytes of bank.bin, area by area, with the
// device's addresses, end records and alignment.
#pragma once

#include "image/ImageModel.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace image {

struct WriteResult
{
    QByteArray bytes; // the whole image when error is empty
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// Fails with "Range check error" when the image would not fit in the
// device's capacity.
WriteResult writeImage(const ImageModel &model);

// Appends the hex text of text (four uppercase digits per UTF-16 code unit),
// as many digits as fit in width bytes, pads with 0x00 up to width and, when
// terminated, adds one more 0x00.
void appendHexText(QByteArray &out, QStringView text, int width, bool terminated);

} // namespace image
