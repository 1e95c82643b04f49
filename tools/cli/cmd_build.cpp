// trenov5x-cli build: compiles a configuration folder into its device image.
#include "Commands.h"
#include "configuration_check.h"
#include "image/DeviceImageBuild.h"
#include "workspace_option.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

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

} // namespace

int cli::runBuild(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = arguments;
    QString workspace;
    if (!takeWorkspaceOption(args, &workspace, err))
        return 2;
    QString folder;
    QString output;
    bool check = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--help" || arg == u"-h") {
            out << kBuildHelp;
            return 0;
        }
        if (arg == u"--output" || arg == u"-o") {
            if (++i == args.size()) {
                err << "trenov5x-cli build: --output needs a FILE\n";
                return 2;
            }
            output = args[i];
        } else if (arg.startsWith(u"--output=")) {
            output = arg.mid(9);
        } else if (arg == u"--no-check") {
            check = false;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            err << "trenov5x-cli build: unknown option '" << arg << "'\n" << kBuildHelp;
            return 2;
        } else if (folder.isNull()) {
            folder = arg;
        } else {
            err << "trenov5x-cli build: more than one FOLDER given\n" << kBuildHelp;
            return 2;
        }
    }
    if (folder.isEmpty() || (!output.isNull() && output.isEmpty())) {
        err << kBuildHelp;
        return 2;
    }

    folder = configurationFolderArgument(folder, workspace);
    const QString configuration = QDir(folder).filePath(QLatin1String(image::kConfigurationFileName));
    if (check) {
        const ConfigurationCheck checked = checkConfigurationFile(configuration);
        if (checked.status == ConfigurationCheck::Status::Refused) {
            err << checked.text << "\nNothing built; correct the value or build with --no-check.\n";
            return 1;
        }
    }
    const QString imagePath = output.isNull() ? image::imagePathFor(folder) : output;
    const image::BuildResult result = image::buildImageFile(configuration, imagePath);
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
