// trenov5x-cli report through the real program: the files it writes, the
// language it writes them in, and every way it refuses.
#include "common/cli_run.h"
#include "config/ConfigurationFile.h"
#include "helper_sheet.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs a program to its end: its exit code and standard error, with the
// dynamic loader's list of the libraries it loads when traced.
std::pair<int, QString> runProgram(const QString &program, const QStringList &arguments, bool traceLibraries)
{
    QProcess process;
    if (traceLibraries) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("libs"));
        process.setProcessEnvironment(environment);
    }
    process.start(program, arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestCliReport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_folder;

private slots:
    void initTestCase()
    {
        m_folder = m_dir.filePath(QStringLiteral("Plant_A"));
        QVERIFY(QDir().mkpath(m_folder));
        QVERIFY(config::writeConfigurationFile(testsheet::richConfiguration(),
                                               m_folder + QStringLiteral("/Configuration.xml"))
                    .ok);
    }

    // The sample the README's pictures are made from is this configuration.
    void sampleIsTheRichConfiguration()
    {
        const QString sample = QStringLiteral(TRENOV5X_TEST_DATA "/report/Plant_North/Configuration.xml");
        const QByteArray expected = config::serializeConfiguration(testsheet::richConfiguration());
        if (fileBytes(sample) != expected) {
            const QString actual = QDir::temp().filePath(QStringLiteral("Plant_North_Configuration.xml"));
            QFile out(actual);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(expected) == expected.size());
            QFAIL(qPrintable(QStringLiteral("%1 differs; the expected file is %2").arg(sample, actual)));
        }
    }

    void writesTheSheet_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QString>("holds");
        QTest::newRow("pdf") << QStringList{"--pdf"} << QByteArray("%PDF") << QString();
        QTest::newRow("pdf letter") << QStringList{"--paper", "letter", "--pdf"} << QByteArray("%PDF")
                                    << QString();
        QTest::newRow("html English") << QStringList{"--html"} << QByteArray("<!DOCTYPE html>")
                                      << QStringLiteral("Configuration Sheet");
        QTest::newRow("html German") << QStringList{"--language", "ger", "--html"}
                                     << QByteArray("<!DOCTYPE html>")
                                     << QStringLiteral("Konfigurationsblatt");
        QTest::newRow("html Spanish, masked")
            << QStringList{"--language=spa", "--html"} << QByteArray("<!DOCTYPE html>")
            << QStringLiteral("\u2022\u2022\u2022\u2022");
        QTest::newRow("html with secrets")
            << QStringList{"--secrets", "--html"} << QByteArray("<!DOCTYPE html>") << QStringLiteral("73914");
    }

    void writesTheSheet()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, start);
        QFETCH(QString, holds);
        const QString output = m_dir.filePath(QStringLiteral("sheet.out"));
        QFile::remove(output);
        const CliRun run = runCli(QStringList{"report", m_folder} + options + QStringList{output});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out, QStringLiteral("Wrote %1\n").arg(output));
        const QByteArray bytes = fileBytes(output);
        QVERIFY(bytes.startsWith(start));
        if (!holds.isEmpty())
            QVERIFY(QString::fromUtf8(bytes).contains(holds));
        if (!options.contains(QStringLiteral("--secrets")))
            QVERIFY(!bytes.contains("73914"));
    }

    // The digest on the sheet is that of the image the build command writes.
    void digestIsThatOfTheBuiltImage()
    {
        const QString image = m_dir.filePath(QStringLiteral("bank.bin"));
        const CliRun build = runCli({"build", m_folder, "--no-check", "--output", image});
        QVERIFY2(build.exitCode == 0, qPrintable(build.err));
        const QByteArray sha = QCryptographicHash::hash(fileBytes(image), QCryptographicHash::Sha256).toHex();
        const QString output = m_dir.filePath(QStringLiteral("digest.html"));
        const CliRun run = runCli({"report", m_folder, "--secrets", "--html", output});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(fileBytes(output).contains(sha));
    }

    void refuses_data()
    {
        QTest::addColumn<QStringList>("arguments"); // %F the folder, %D the temporary folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no output") << QStringList{"%F"} << 2 << "give one of --pdf FILE and --html FILE";
        QTest::newRow("two outputs") << QStringList{"%F", "--pdf", "%D/a.pdf", "--html", "%D/a.html"} << 2
                                     << "give one of --pdf FILE and --html FILE";
        QTest::newRow("unknown language") << QStringList{"%F", "--language", "fra", "--pdf", "%D/a.pdf"} << 2
                                          << "--language is eng, ita, ger or spa, not 'fra'";
        QTest::newRow("unknown paper") << QStringList{"%F", "--paper", "a3", "--pdf", "%D/a.pdf"} << 2
                                       << "--paper is a4 or letter, not 'a3'";
        QTest::newRow("empty file name") << QStringList{"%F", "--pdf="} << 2 << "--pdf needs a FILE";
        QTest::newRow("no configuration") << QStringList{"%D/empty", "--pdf", "%D/a.pdf"} << 2
                                          << "Configuration.xml: does not exist; nothing written";
        QTest::newRow("folder missing for the file")
            << QStringList{"%F", "--pdf", "%D/none/a.pdf"} << 1 << "none/a.pdf: ";
        QTest::newRow("file is a folder") << QStringList{"%F", "--html", "%D"} << 1 << ": is a folder";
        QTest::newRow("file is the configuration")
            << QStringList{"%F", "--html", "%F/Configuration.xml"} << 1 << "is the configuration itself";
    }

    void refuses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QDir().mkpath(m_dir.filePath(QStringLiteral("empty")));
        const QByteArray configuration = fileBytes(m_folder + QStringLiteral("/Configuration.xml"));
        for (QString &a : arguments)
            a.replace(QStringLiteral("%F"), m_folder).replace(QStringLiteral("%D"), m_dir.path());
        const CliRun run = runCli(QStringList{"report"} + arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("a.pdf"))));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("a.html"))));
        QCOMPARE(fileBytes(m_folder + QStringLiteral("/Configuration.xml")), configuration);
    }

    // Only a PDF sheet loads the module and with it the GUI libraries.
    void onlyAPdfSheetLoadsTheGuiLibraries()
    {
        const QString cli = QStringLiteral(TRENOV5X_PROGRAM_DIR "/trenov5x-cli");
        const auto [htmlCode, htmlTrace] =
            runProgram(cli, {"report", m_folder, "--html", m_dir.filePath(QStringLiteral("g.html"))}, true);
        QCOMPARE(htmlCode, 0);
        QVERIFY(htmlTrace.contains(QStringLiteral("libQt6Core")));
        QVERIFY(!htmlTrace.contains(QStringLiteral("libQt6Gui")));
        const auto [pdfCode, pdfTrace] =
            runProgram(cli, {"report", m_folder, "--pdf=" + m_dir.filePath(QStringLiteral("g.pdf"))}, true);
        QCOMPARE(pdfCode, 0);
        QVERIFY(pdfTrace.contains(QStringLiteral("trenov5x-pdf.so")));
        QVERIFY(pdfTrace.contains(QStringLiteral("libQt6Gui")));
    }

    // A trenov5x-cli without its PDF module beside it: a PDF sheet is refused
    // with the places looked in, an HTML sheet and every other command work,
    // and none of them loads the GUI libraries.
    void withoutThePdfModule()
    {
        const QString program = m_dir.filePath(QStringLiteral("alone"));
        QVERIFY(QDir().mkpath(program + QStringLiteral("/Language")));
        QVERIFY(QFile::copy(QStringLiteral(TRENOV5X_PROGRAM_DIR "/trenov5x-cli"),
                            program + QStringLiteral("/trenov5x-cli")));
        const QDir languages(QStringLiteral(TRENOV5X_PROGRAM_DIR "/Language"));
        for (const QString &name : languages.entryList(QDir::Files))
            QVERIFY(QFile::copy(languages.filePath(name), program + QStringLiteral("/Language/") + name));
        auto run = [&](const QStringList &arguments, bool traceLibraries = false) {
            return runProgram(program + QStringLiteral("/trenov5x-cli"), arguments, traceLibraries);
        };
        const QString pdf = m_dir.filePath(QStringLiteral("alone.pdf"));
        const auto [pdfCode, pdfError] = run({"report", m_folder, "--pdf", pdf});
        QCOMPARE(pdfCode, 1);
        QVERIFY2(pdfError.contains(QStringLiteral("trenov5x-pdf.so")) && pdfError.contains(program) &&
                     pdfError.contains(QStringLiteral("--html")),
                 qPrintable(pdfError));
        QVERIFY(!QFile::exists(pdf));
        const QString html = m_dir.filePath(QStringLiteral("alone.html"));
        QCOMPARE(run({"report", m_folder, "--html", html}).first, 0);
        QVERIFY(fileBytes(html).startsWith("<!DOCTYPE html>"));

        const auto [checkCode, trace] = run({"check", m_folder}, true);
        QCOMPARE(checkCode, 1); // the sample holds a refused analog level
        QVERIFY(trace.contains(QStringLiteral("libQt6Core")));
        QVERIFY(!trace.contains(QStringLiteral("libQt6Gui")));
    }
};

QTEST_GUILESS_MAIN(TestCliReport)
#include "tst_cli_report.moc"
