// Compiles the element tree of Configuration.xml into the image model: a
// collection pass that fills the string tables and profile words, then an
// event pass that fills the settings and the event records.
#pragma once

#include "config/XmlTree.h"
#include "image/ImageModel.h"

#include <QString>
#include <QStringList>

namespace image {

struct CompileResult
{
    ImageModel model; // complete when error is empty
    QString error;
    QStringList warnings; // one line per text the device will cut
    bool ok() const { return error.isEmpty(); }
};

// root is the document element, which must be Configuration.
CompileResult compileConfiguration(const config::XmlElement &root);

} // namespace image
