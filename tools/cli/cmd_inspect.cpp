// trenov5x-cli inspect: decodes a bank.bin into a listing or JSON.
#include "Commands.h"
#include "config/FileAccess.h"
#include "image/ImageReader.h"
#include "image_listing.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

namespace {

const char kInspectHelp[] = R"(Usage: trenov5x-cli inspect FILE [--json]

Decodes a device image (bank.bin): the header counts and addresses, the
password, phone and message tables, the profile masks as time ranges, the
input, SMS and CALL events with their lists and actions, the PIN and the DST
text. --json prints the same content as one JSON object.

Exit status:
  0  the image was decoded
  1  the file cannot be read or is not a well-formed image (the offset of
     the fault is on standard error)
  2  the arguments are wrong
)";

} // namespace

int cli::runInspect(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString path;
    bool json = false;
    for (const QString &arg : args) {
        if (arg == u"--help" || arg == u"-h") {
            out << kInspectHelp;
            return 0;
        }
        if (arg == u"--json") {
            json = true;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            err << "trenov5x-cli inspect: unknown option '" << arg << "'\n" << kInspectHelp;
            return 2;
        } else if (path.isNull()) {
            path = arg;
        } else {
            err << "trenov5x-cli inspect: more than one FILE given\n" << kInspectHelp;
            return 2;
        }
    }
    if (path.isEmpty()) {
        err << kInspectHelp;
        return 2;
    }

    // No image is longer than the device's capacity: a longer file is refused
    // before it is read, whatever it is.
    const config::fileaccess::ReadResult read =
        config::fileaccess::readRegularFile(path, image::kImageCapacity);
    if (!read.ok()) {
        err << "trenov5x-cli inspect: cannot read " << path << ": " << read.reason() << '\n';
        return 1;
    }
    const QByteArray &bytes = read.bytes;
    const image::ReadResult result = image::readImage(bytes);
    if (!result.ok()) {
        err << path << ": not a well-formed image: offset " << result.errorOffset << " (0x"
            << QString::number(result.errorOffset, 16).toUpper() << "): " << result.error << '\n';
        return 1;
    }
    const QString name = QFileInfo(path).fileName();
    if (json)
        out << QJsonDocument(cli::imageJson(result.image, name)).toJson(QJsonDocument::Indented);
    else
        out << cli::imageListing(result.image, name);
    return 0;
}
