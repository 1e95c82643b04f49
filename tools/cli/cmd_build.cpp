// trenov5x-cli build: compiles a configuration folder into its device image.
#include "Commands.h"
#include "configuration_check.h"
#include "image/DeviceImageBuild.h"
#include "workspace_option.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace cli {

namespace {

const char kBuildHelp[] = R"(Usage: trenov5x-cli build [--workspace DIR] FOLDER [--output FILE] [--no-check]

Compiles FOLDER/Configuration.xml into the device image FOLDER/bin/bank.bin,
or into FILE with --output. FOLDER may also be the name of a configuration
in the workspace, as for 'trenov5x-cli check'. The image is written only
when it is complete; an existing image is left untouched when the build
fails. FILE must be a regular file (or not exist yet) other than the
configuration itself.

A text longer than the device keeps (16 bytes of a phone number, 8 of the
PIN, 8 characters of a password, 64 of a message) is built cut, as the
device reads it, with one warning line on standard error for each.

First it runs the checks the window runs before every save (see
'trenov5x-cli check'): a configuration they refuse is not compiled, as the
window never compiles one. --no-check compiles without them, for files from
elsewhere that are to be inspected.

Exit status:
  0  the image was written
  1  a check refused the configuration or the build failed; the reason is on
     standard error
  2  FOLDER holds no Configuration.xml, or the arguments are wrong
)";

const QCommandLineOption kOutputOption({QStringLiteral("o"), QStringLiteral("output")},
                                       QStringLiteral("a FILE"), QStringLiteral("FILE"));
const QCommandLineOption kNoCheckOption(QStringLiteral("no-check"), QStringLiteral("compile unchecked"));

int runBuild(const QCommandLineParser &parser)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString output = parser.value(kOutputOption);
    const bool check = !parser.isSet(kNoCheckOption);
    const QString workspace = parser.value(kWorkspaceOption);

    const QString folder = configurationFolderArgument(parser.positionalArguments().constFirst(), workspace);
    const QString configuration = QDir(folder).filePath(QLatin1String(image::kConfigurationFileName));
    const QString imagePath = output.isEmpty() ? image::imagePathFor(folder) : output;
    // The checks and the compile share one read and one parse of the file.
    config::FileCheck checked;
    const image::BuildResult result = check ? image::checkAndBuildImageFile(configuration, imagePath, checked)
                                            : image::buildImageFile(configuration, imagePath);
    if (checked.status == config::FileCheck::Status::Refused) {
        err << configurationCheckOf(checked).text
            << "\nNothing built; correct the value or build with --no-check.\n";
        return 1;
    }
    for (const QString &warning : result.warnings)
        err << "trenov5x-cli build: warning: " << warning << '\n';
    switch (result.status) {
    case image::BuildStatus::Built:
        out << "Wrote " << QDir::toNativeSeparators(result.imagePath) << " (" << result.imageSize
            << " bytes)\n";
        return 0;
    case image::BuildStatus::NoConfiguration:
        err << "trenov5x-cli build: " << QDir::toNativeSeparators(configuration)
            << " does not exist; nothing built\n";
        return 2;
    case image::BuildStatus::Failed:
        break;
    }
    err << result.error << '\n';
    return 1;
}

} // namespace

Command buildCommand()
{
    Command command;
    command.name = QStringLiteral("build");
    command.summary = QStringLiteral("check and compile FOLDER/Configuration.xml into a device image");
    command.help = kBuildHelp;
    command.options = {kWorkspaceOption, kOutputOption, kNoCheckOption};
    command.arguments = Arguments::One;
    command.argumentName = QStringLiteral("FOLDER");
    command.wording = Wording::UnknownOption;
    command.namedInMessages = true;
    command.run = runBuild;
    return command;
}

} // namespace cli
