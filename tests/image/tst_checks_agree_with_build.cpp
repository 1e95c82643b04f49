// A configuration that the save-time checks accept always compiles: numbers
// are read the same way by both, whatever text the user typed.
#include "common/cli_run.h"
#include "common/random_configuration.h"
#include "config/ConfigurationChecks.h"
#include "config/ConfigurationFile.h"
#include "image/DeviceImageBuild.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestChecksAgreeWithBuild : public QObject
{
    Q_OBJECT

private slots:
    void everyAcceptedConfigurationBuilds()
    {
        QRandomGenerator random(20261210);
        QTemporaryDir dir;
        int accepted = 0;
        int refused = 0;
        for (int i = 0; i < 400; ++i) {
            const config::Configuration c = testconfig::randomConfiguration(random);
            const QString folder = dir.filePath(QString::number(i));
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(config::writeConfigurationFile(c, folder + QStringLiteral("/Configuration.xml")).ok);
            if (config::firstFailure(c)) {
                ++refused;
                continue;
            }
            ++accepted;
            const image::BuildResult built = image::buildDeviceImage(folder);
            QVERIFY2(built.built(), qPrintable(QStringLiteral("%1: %2").arg(folder, built.error)));
        }
        // The sample holds both kinds in fair numbers.
        QVERIFY2(accepted >= 40 && refused >= 40,
                 qPrintable(QStringLiteral("%1 / %2").arg(accepted).arg(refused)));
    }

    void cliCheckAndBuildAgree()
    {
        QRandomGenerator random(7);
        QTemporaryDir dir;
        int accepted = 0;
        for (int i = 0; i < 12 || (accepted == 0 && i < 60); ++i) {
            const config::Configuration c = testconfig::randomConfiguration(random);
            const QString folder = dir.filePath(QString::number(i));
            QDir().mkpath(folder);
            config::writeConfigurationFile(c, folder + QStringLiteral("/Configuration.xml"));
            const CliRun check = runCli({"check", folder});
            const CliRun build = runCli({"build", folder});
            if (config::firstFailure(c)) {
                QCOMPARE(check.exitCode, 1);
                QCOMPARE(build.exitCode, 1);
                QVERIFY(build.err.startsWith(check.out.trimmed()));
                QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/bin")));
            } else {
                ++accepted;
                QCOMPARE(check.out, QStringLiteral("OK\n"));
                QCOMPARE(check.exitCode, 0);
                QVERIFY2(build.exitCode == 0, qPrintable(build.err));
            }
        }
        QVERIFY(accepted > 0);
    }
};

QTEST_GUILESS_MAIN(TestChecksAgreeWithBuild)
#include "tst_checks_agree_with_build.moc"
