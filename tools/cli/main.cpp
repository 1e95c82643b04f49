// trenov5x-cli: build and inspect device images and talk to the device from
// scripts, without a display.
#include "Commands.h"
#include "pdf_module.h"

#include <QCoreApplication>
#include <QTextStream>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <memory>

namespace {

QList<cli::Command> commands()
{
    return {cli::checkCommand(),   cli::buildCommand(),    cli::inspectCommand(), cli::portsCommand(),
            cli::statusCommand(),  cli::setClockCommand(), cli::updateCommand(),  cli::historyCommand(),
            cli::restoreCommand(), cli::reportCommand(),   cli::diffCommand(),    cli::tableCommand()};
}

void printUsage(QTextStream &out)
{
    out << "Usage: trenov5x-cli COMMAND [ARGS...]\n\nCommands:\n";
    for (const cli::Command &c : commands())
        out << "  " << c.name.leftJustified(10) << c.summary << '\n';
    out << "\nRun 'trenov5x-cli COMMAND --help' for the arguments of a command,\n"
           "'trenov5x-cli --version' for the version.\n";
}

} // namespace

int main(int argc, char **argv)
{
#ifdef __GLIBC__
    // A run lasts milliseconds: memory it frees (the file's bytes, a large
    // list while it grows) is better used again than handed back to the
    // system and faulted in anew. Measured: a build of a near-capacity
    // configuration about 7 % faster.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
    // A PDF sheet lays out text, which needs the fonts of a GUI application:
    // its module makes one (on the offscreen platform). Every other command,
    // an HTML sheet included, starts without the GUI libraries.
    std::unique_ptr<QCoreApplication> app;
    if (cli::asksForPdfSheet(argc, argv)) {
        if (const cli::LoadedPdfModule &pdf = cli::loadPdfModule(argv[0]); pdf.module)
            app.reset(pdf.module->makeApplication(argc, argv));
    }
    if (!app)
        app = std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = app->arguments().mid(1);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.isEmpty()) {
        printUsage(err);
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        printUsage(out);
        return 0;
    }
    if (name == QLatin1String("--version")) {
        out << "trenov5x-cli " TRENOV5X_VERSION "\n";
        return 0;
    }
    for (const cli::Command &c : commands()) {
        if (name == c.name)
            return cli::runCommand(c, args);
    }
    err << "trenov5x-cli: unknown command '" << name << "'\n";
    printUsage(err);
    return 2;
}
