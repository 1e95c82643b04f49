// Runs the real trenov5x-cli of the program folder and collects what it said.
#pragma once

#include <QProcess>
#include <QStringList>

struct CliRun
{
    int exitCode = -1; // -1 when it crashed or did not end in time
    QString out;
    QString err;
};

inline CliRun runCli(const QStringList &arguments, int timeoutMs = 30000)
{
    QProcess process;
    process.start(QStringLiteral(TRENOV5X_PROGRAM_DIR "/trenov5x-cli"), arguments);
    CliRun run;
    if (!process.waitForFinished(timeoutMs))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}
