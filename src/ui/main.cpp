// The program: the main window over its workspace (the program folder when it
// can be written, else the user's data folder, or --workspace DIR).
#include "app/Workspace.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trenov5x"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRENOV5X_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Configuration composer of the TRENOV5x GSM alarm modem."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption workspace(
        QStringLiteral("workspace"),
        QStringLiteral(
            "The folder that holds Projects/ and Setting/ (default: the program folder when it can be "
            "written, else ~/.local/share/trenov5x)."),
        QStringLiteral("DIR"));
    // For installers' scripts and the package checks: a start that proves the
    // window comes up on its workspace, without anyone to close it.
    const QCommandLineOption checkStart(QStringLiteral("check-start"),
                                        QStringLiteral("Start, show the window once and exit (status 0) when "
                                                       "the start succeeded."));
    parser.addOption(workspace);
    parser.addOption(checkStart);
    parser.process(app);

    const app::Workspace chosen =
        app::Workspace::choose(QCoreApplication::applicationDirPath(), parser.value(workspace));
    ui::MainWindow window({chosen.programFolder(), nullptr, chosen.folder()});
    if (window.startFailed())
        return 1;
    window.show();
    if (parser.isSet(checkStart))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
