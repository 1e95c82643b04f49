// The program: the main window over its workspace (the program folder when it
// can be written, else the user's data folder, or --workspace DIR).
#include "app/Workspace.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstring>

namespace {

struct Options
{
    QCommandLineOption workspace{
        QStringLiteral("workspace"),
        QStringLiteral(
            "The folder that holds Projects/ and Setting/ (default: the program folder when it can "
            "be written, else ~/.local/share/trenov5x)."),
        QStringLiteral("DIR")};
    // For installers' scripts and the package checks: a start that proves the
    // window comes up on its workspace, without anyone to close it.
    QCommandLineOption checkStart{QStringLiteral("check-start"),
                                  QStringLiteral("Start, show the window once, build every page and exit "
                                                 "(status 0) when the start succeeded.")};
};

void process(QCommandLineParser &parser, const Options &options, QCoreApplication &app)
{
    QCoreApplication::setApplicationName(QStringLiteral("trenov5x"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRENOV5X_VERSION));
    parser.setApplicationDescription(
        QStringLiteral("Configuration composer of the TRENOV5x GSM alarm modem."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(options.workspace);
    parser.addOption(options.checkStart);
    parser.process(app);
}

// --help and --version answer without a display.
bool onlyAsksForText(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"--help", "-h", "--help-all", "--version", "-v"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    const Options options;
    if (onlyAsksForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCommandLineParser parser;
        process(parser, options, app); // prints and ends the program
        return 0;
    }
    QApplication app(argc, argv);
    QCommandLineParser parser;
    process(parser, options, app);

    const app::Workspace chosen =
        app::Workspace::choose(QCoreApplication::applicationDirPath(), parser.value(options.workspace));
    ui::MainWindow window(
        {chosen.programFolder(), nullptr, chosen.folder(), ui::MainWindow::Options::Pages::WhenFirstShown});
    if (window.startFailed())
        return 1;
    window.show();
    if (parser.isSet(options.checkStart)) {
        // The pages too, as they are built later when the program runs.
        QTimer::singleShot(0, &app, [&window] {
            window.buildAllPages();
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
