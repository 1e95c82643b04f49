// trenov5x-cli inspect: decodes a bank.bin into a listing or JSON.
#include "Commands.h"
#include "config/FileAccess.h"
#include "image/ImageReader.h"
#include "image_listing.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

namespace cli {

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

const QCommandLineOption kJsonOption(QStringLiteral("json"), QStringLiteral("print JSON"));

int runInspect(const QCommandLineParser &parser)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString path = parser.positionalArguments().constFirst();
    const bool json = parser.isSet(kJsonOption);

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

} // namespace

Command inspectCommand()
{
    Command command;
    command.name = QStringLiteral("inspect");
    command.summary = QStringLiteral("decode a bank.bin into a readable listing");
    command.help = kInspectHelp;
    command.options = {kJsonOption};
    command.arguments = Arguments::One;
    command.argumentName = QStringLiteral("FILE");
    command.wording = Wording::UnknownOption;
    command.namedInMessages = true;
    command.run = runInspect;
    return command;
}

} // namespace cli
