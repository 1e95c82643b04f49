// Whole-file reads and atomic writes: only bounded regular files are read,
// and a write that fails (here under a file-size limit, as on a full disk)
// is reported with the system's reason and leaves the earlier file whole.
#include "common/hostile_files.h"
#include "config/FileAccess.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace config::fileaccess;

class TestFileAccess : public QObject
{
    Q_OBJECT

private slots:
    void readTakesOnlyBoundedRegularFiles_data()
    {
        QTest::addColumn<QString>("kind"); // a hostile kind, or "N bytes"
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const int read = int(ReadStatus::Read);
        const int failed = int(ReadStatus::Failed);
        QTest::newRow("at the bound") << QStringLiteral("10 bytes") << read << QString();
        QTest::newRow("one byte past the bound")
            << QStringLiteral("11 bytes") << failed << QStringLiteral("is larger than 10 bytes");
        QTest::newRow("nothing there") << QString() << int(ReadStatus::Missing) << QString();
        QTest::newRow("folder") << QStringLiteral("folder") << failed << QStringLiteral("is a folder");
        QTest::newRow("FIFO") << QStringLiteral("FIFO") << failed << QStringLiteral("is not a regular file");
        QTest::newRow("link to /dev/zero")
            << QStringLiteral("link to /dev/zero") << failed << QStringLiteral("is not a regular file");
        QTest::newRow("link loop") << QStringLiteral("link loop") << failed
                                   << QStringLiteral("Too many levels of symbolic links");
    }
    void readTakesOnlyBoundedRegularFiles()
    {
        QFETCH(QString, kind);
        QFETCH(int, status);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file"));
        if (kind.endsWith(QLatin1String(" bytes")))
            QVERIFY(hostile::writeBytes(path, QByteArray(kind.section(u' ', 0, 0).toInt(), 'x')));
        else if (!kind.isEmpty())
            QVERIFY(hostile::plant(kind, path, "R"));
        const ReadResult result = readRegularFile(path, 10);
        QCOMPARE(int(result.status), status);
        QCOMPARE(result.error, error);
        QCOMPARE(result.bytes.size(), status == read() ? 10 : 0);
    }

    void failedWriteKeepsTheEarlierFileAndSaysWhy_data()
    {
        QTest::addColumn<int>("size");
        // Qt keeps a write under 16 KB in its buffer until the commit.
        QTest::newRow("small file, failing at the flush") << 4000;
        QTest::newRow("large file, failing at the write") << 40000;
    }
    void failedWriteKeepsTheEarlierFileAndSaysWhy()
    {
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bank.bin"));
        const QByteArray earlier("the earlier file");
        QVERIFY(writeFileAtomically(path, earlier).ok);
        WriteResult result;
        {
            const hostile::FileSizeLimit limit(2048);
            result = writeFileAtomically(path, QByteArray(size, 'n'));
        }
        QVERIFY(!result.ok);
        QCOMPARE(result.error, QStringLiteral("File too large"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), earlier);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"bank.bin"});
    }

    void writeReplacesOnlyARegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        QTest::newRow("FIFO") << QStringLiteral("FIFO") << QStringLiteral("is not a regular file");
        QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("is a folder");
        QTest::newRow("link to a device")
            << QStringLiteral("link to /dev/zero") << QStringLiteral("is not a regular file");
    }
    void writeReplacesOnlyARegularFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out"));
        QVERIFY(hostile::plant(kind, path, "R"));
        const WriteResult result = writeFileAtomically(path, "image");
        QVERIFY(!result.ok);
        QCOMPARE(result.error, error);
        QCOMPARE(QFileInfo(path).isFile(), false);
        QVERIFY(QFileInfo(path).exists());
    }

private:
    static int read() { return int(ReadStatus::Read); }
};

QTEST_GUILESS_MAIN(TestFileAccess)
#include "tst_file_access.moc"
