// The SHA-256 of the device image a Configuration.xml builds: what the sheet
// prints so that a device's image can be checked against it.
#pragma once

#include <QByteArray>
#include <QString>

namespace report {

struct ImageDigest
{
    QString sha256; // lowercase hex, when the image builds
    QString error;  // why it does not
    bool ok() const { return error.isEmpty(); }
};

ImageDigest imageDigest(const QByteArray &configurationXml);

} // namespace report
