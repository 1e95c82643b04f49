// trenov5x-cli diff and table, run as the real executable on real folders:
// exit codes, a table out and back in unchanged, a refused file that changes
// nothing.
#include "app/TableCatalog.h"
#include "common/cli_run.h"
#include "config/ConfigurationFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString makeFolder(const QTemporaryDir &dir, const QString &name, const config::Configuration &c)
{
    const QString folder = dir.filePath(name);
    QDir().mkpath(folder);
    config::writeConfigurationFile(c, QDir(folder).filePath(QStringLiteral("Configuration.xml")));
    return folder;
}

config::Configuration sample()
{
    config::Configuration c;
    c.setNewDefaults();
    app::tableOf(c, 7).setRows(
        {{QStringLiteral("+39111"), QStringLiteral("1"), QStringLiteral("gate, \"main\"")},
         {QStringLiteral("+39222"), QStringLiteral("0"), QStringLiteral("two\nlines")}});
    return c;
}

} // namespace

class TstCliCompareTables : public QObject
{
    Q_OBJECT
private slots:
    void diffExitCodes()
    {
        QTemporaryDir dir;
        const config::Configuration a = sample();
        config::Configuration b = a;
        b.pin = QStringLiteral("1234");
        const QString fa = makeFolder(dir, QStringLiteral("a"), a);
        const QString fb = makeFolder(dir, QStringLiteral("b"), b);

        CliRun same =
            runCli({QStringLiteral("diff"), fa, QDir(fa).filePath(QStringLiteral("Configuration.xml"))});
        QCOMPARE(same.exitCode, 0);
        QCOMPARE(same.out, QString());

        CliRun differ = runCli({QStringLiteral("diff"), fa, fb});
        QCOMPARE(differ.exitCode, 1);
        QCOMPARE(differ.out, QStringLiteral("Phone settings: PIN (empty) → '1234'\n"));

        CliRun missing = runCli({QStringLiteral("diff"), fa, dir.filePath(QStringLiteral("none"))});
        QCOMPARE(missing.exitCode, 2);
        QVERIFY(missing.err.contains(QStringLiteral("does not exist")));
        QCOMPARE(runCli({QStringLiteral("diff"), fa}).exitCode, 2);
        QCOMPARE(runCli({QStringLiteral("diff"), QStringLiteral("--language"), QStringLiteral("xx"), fa, fb})
                     .exitCode,
                 2);
    }

    void tableOutAndBackIn()
    {
        QTemporaryDir dir;
        const QString source = makeFolder(dir, QStringLiteral("source"), sample());
        config::Configuration empty;
        empty.setNewDefaults();
        app::tableOf(empty, 7).setRows({{QStringLiteral("+39000"), QStringLiteral("2"), QString()}});
        const QString target = makeFolder(dir, QStringLiteral("target"), empty);
        const QString csv = dir.filePath(QStringLiteral("call.csv"));

        QCOMPARE(runCli({QStringLiteral("table"), QStringLiteral("export"), source,
                         QStringLiteral("DO1_CALL"), csv})
                     .exitCode,
                 0);
        QVERIFY(contents(csv).startsWith(
            "\xEF\xBB\xBFPhone Number,Profile,Description\r\n+39111,1,\"gate, \"\"main\"\"\"\r\n"));

        // Appended after the row the table has, then the same as the source's.
        QCOMPARE(runCli({QStringLiteral("table"), QStringLiteral("import"), target,
                         QStringLiteral("do1_call"), csv, QStringLiteral("--append")})
                     .exitCode,
                 0);
        CliRun diff = runCli({QStringLiteral("diff"), source, target});
        QCOMPARE(diff.out, QStringLiteral("Output 1, call: row 1 added: +39000 · 2\n"));
        QCOMPARE(runCli({QStringLiteral("table"), QStringLiteral("import"), target,
                         QStringLiteral("DO1_CALL"), csv})
                     .exitCode,
                 0);
        QCOMPARE(runCli({QStringLiteral("diff"), source, target}).exitCode, 0);
    }

    void importedNumbersAreStoredAsTheDeviceTakesThem()
    {
        QTemporaryDir dir;
        config::Configuration c;
        c.setNewDefaults();
        const QString target = makeFolder(dir, QStringLiteral("target"), c);
        const QString csv = dir.filePath(QStringLiteral("in.csv"));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("SMS Message,Phone Number,Description\nDoor,+39 333-987.6543,x\nGate,(0)12/34 5,y\n");
        f.close();
        const CliRun run = runCli(
            {QStringLiteral("table"), QStringLiteral("import"), target, QStringLiteral("DI2_F1T0"), csv});
        QCOMPARE(run.exitCode, 0);
        config::Configuration read;
        config::openConfigurationFile(QDir(target).filePath(QStringLiteral("Configuration.xml")), read);
        const config::SmsTable &table = app::tableOf(read, 3);
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.row(0)[1], QStringLiteral("+393339876543"));
        QCOMPARE(table.row(1)[1], QStringLiteral("012345"));
    }

    void refusedFileChangesNothing_data()
    {
        QTest::addColumn<QStringList>("arguments"); // TARGET and CSV stand for the paths
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");
        const QStringList import{"table", "import", "TARGET", "DO1_CALL", "CSV"};
        QTest::newRow("missing column") << import << QByteArray("Phone Number,Description\n+1,x\n") << 1
                                        << QStringLiteral("Line 1: the column \"Profile\" is missing.");
        QTest::newRow("short row") << import << QByteArray("Phone Number,Profile,Description\n+1,2,x\n+2,3\n")
                                   << 1
                                   << QStringLiteral("Line 3 does not have as many fields as the header.");
        QTest::newRow("file is a folder") << import << QByteArray() << 1 << QStringLiteral("folder");
        QTest::newRow("unknown table") << QStringList{"table", "import", "TARGET", "DO3_CALL", "CSV"}
                                       << QByteArray("x") << 2 << QStringLiteral("unknown table 'DO3_CALL'");
        QTest::newRow("append on export")
            << QStringList{"table", "export", "TARGET", "DO1_CALL", "CSV", "--append"} << QByteArray("x") << 2
            << QStringLiteral("--append is for import");
    }
    void refusedFileChangesNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, csv);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QTemporaryDir dir;
        const QString target = makeFolder(dir, QStringLiteral("target"), sample());
        const QString file = dir.filePath(QStringLiteral("in.csv"));
        if (csv.isEmpty()) {
            QDir().mkpath(file);
        } else {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(csv);
        }
        const QString configuration = QDir(target).filePath(QStringLiteral("Configuration.xml"));
        const QByteArray before = contents(configuration);
        arguments.replaceInStrings(QStringLiteral("TARGET"), target);
        arguments.replaceInStrings(QStringLiteral("CSV"), file);
        const CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(contents(configuration), before);
    }
};

QTEST_GUILESS_MAIN(TstCliCompareTables)
#include "tst_cli_compare_tables.moc"
