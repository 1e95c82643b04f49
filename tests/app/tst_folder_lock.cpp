// One window per program folder: the lock file in Setting/, what makes a lock
// stale, and the real program started twice on one folder.
#include "app/FolderLock.h"
#include "app/Workspace.h"

#include <QDirIterator>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The content QLockFile writes for this process, with another process ID.
QByteArray lockContentNaming(qint64 pid)
{
    QTemporaryDir dir;
    QLockFile own(dir.filePath(QStringLiteral("own.lock")));
    if (!own.tryLock(0))
        qFatal("cannot take a scratch lock");
    QByteArray content = readFile(own.fileName());
    return QByteArray::number(pid) + content.mid(content.indexOf('\n'));
}

// The process ID a lock file names; 0 when it names none.
qint64 lockHolder(const QString &lockFile)
{
    const QByteArray content = readFile(lockFile);
    return content.left(content.indexOf('\n')).toLongLong();
}

// Every file under folder with its bytes and modification time.
QMap<QString, QPair<QByteArray, QDateTime>> snapshot(const QString &folder)
{
    QMap<QString, QPair<QByteArray, QDateTime>> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, {readFile(path), QFileInfo(path).lastModified()});
    }
    return files;
}

// A program folder holding a copy of the window program and the language
// files, so the program (which works on the folder of its own file) runs on a
// folder of the test's own.
class ProgramCopy
{
public:
    ProgramCopy()
    {
        const QString from = QStringLiteral(TRENOV5X_PROGRAM_DIR);
        if (!QFile::copy(from + QStringLiteral("/trenov5x"), program()))
            qFatal("cannot copy the program");
        for (const QString &lang : QDir(from + QStringLiteral("/Language")).entryList(QDir::Files))
            writeFile(path() + QStringLiteral("/Language/") + lang,
                      readFile(from + QStringLiteral("/Language/") + lang));
    }
    QString path() const { return m_dir.path(); }
    QString program() const { return m_dir.filePath(QStringLiteral("trenov5x")); }
    QString lockFile() const { return m_dir.filePath(QStringLiteral("Setting/trenov5x.lock")); }

    // Starts a copy of the program under the offscreen platform, where its
    // message boxes go to standard error.
    std::unique_ptr<QProcess> start() const
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process->setProcessEnvironment(env);
        process->start(program(), {});
        if (!process->waitForStarted())
            qFatal("the program did not start");
        return process;
    }

    // Waits until the lock file names the process; false when the process
    // ended first or the time ran out.
    bool waitForLock(const QProcess &process) const
    {
        for (int i = 0; i < 200; ++i) {
            if (process.state() != QProcess::Running)
                return false;
            if (lockHolder(lockFile()) == process.processId())
                return true;
            QTest::qWait(50);
        }
        return false;
    }

private:
    QTemporaryDir m_dir;
};

} // namespace

class TestFolderLock : public QObject
{
    Q_OBJECT

private slots:
    void liveLockBlocksUntilItsHolderEnds()
    {
        QTemporaryDir dir;
        const app::Workspace workspace(dir.path());
        QVERIFY(QDir().mkpath(workspace.settingsFolder()));
        {
            app::FolderLock first(workspace);
            QCOMPARE(first.lock(), app::FolderLock::Result::Locked);
            QCOMPARE(first.fileName(), workspace.settingsFolder() + QStringLiteral("trenov5x.lock"));
            QCOMPARE(lockHolder(first.fileName()), QCoreApplication::applicationPid());
            app::FolderLock second(workspace);
            QCOMPARE(second.lock(), app::FolderLock::Result::HeldElsewhere);
            QVERIFY(!second.isLocked());
            // Nor while the holder has created the file and not yet written
            // its process ID.
            QFile file(first.fileName());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.close();
            QCOMPARE(second.lock(), app::FolderLock::Result::HeldElsewhere);
            QVERIFY(QFileInfo::exists(first.fileName()));
        }
        QVERIFY(!QFileInfo::exists(workspace.settingsFolder() + QStringLiteral("trenov5x.lock")));
        app::FolderLock next(workspace);
        QCOMPARE(next.lock(), app::FolderLock::Result::Locked);
    }

    void leftoverLockDoesNotBlock_data()
    {
        QTest::addColumn<QString>("leftover");
        QTest::newRow("its process has ended") << "ended";
        QTest::newRow("its process ID now belongs to another program") << "reused";
        QTest::newRow("written empty by a power cut") << "empty";
        QTest::newRow("a dangling symbolic link") << "link";
        QTest::newRow("a folder with a file in it") << "folder";
    }

    void leftoverLockDoesNotBlock()
    {
        QFETCH(QString, leftover);
        QTemporaryDir dir;
        const app::Workspace workspace(dir.path());
        const QString file = workspace.settingsFolder() + QLatin1String(app::FolderLock::kFileName);
        QProcess other;
        if (leftover == QLatin1String("ended")) {
            other.start(QStringLiteral("true"), {});
            QVERIFY(other.waitForStarted());
            const qint64 pid = other.processId();
            QVERIFY(other.waitForFinished());
            writeFile(file, lockContentNaming(pid));
        } else if (leftover == QLatin1String("reused")) {
            other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
            QVERIFY(other.waitForStarted());
            writeFile(file, lockContentNaming(other.processId()));
        } else if (leftover == QLatin1String("link")) {
            QVERIFY(QDir().mkpath(workspace.settingsFolder()));
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), file));
        } else if (leftover == QLatin1String("folder")) {
            writeFile(file + QStringLiteral("/notes.txt"), "kept");
        } else {
            writeFile(file, QByteArray());
        }
        app::FolderLock lock(workspace);
        QCOMPARE(lock.lock(), app::FolderLock::Result::Locked);
        QCOMPARE(lockHolder(file), QCoreApplication::applicationPid());
        if (leftover == QLatin1String("folder")) {
            // Moved aside with what it held, not removed.
            const QStringList aside = QDir(workspace.settingsFolder())
                                          .entryList({QStringLiteral("trenov5x.lock.moved-*")}, QDir::Dirs);
            QCOMPARE(aside.size(), 1);
            QCOMPARE(readFile(workspace.settingsFolder() + aside[0] + QStringLiteral("/notes.txt")),
                     QByteArray("kept"));
        }
        other.kill();
        other.waitForFinished();
    }

    // Whether a copy on another computer still runs cannot be seen from
    // here: the lock holds, and says whose it is.
    void lockOfAnotherComputerHolds()
    {
        QTemporaryDir dir;
        const app::Workspace workspace(dir.path());
        const QString file = workspace.settingsFolder() + QLatin1String(app::FolderLock::kFileName);
        QList<QByteArray> lines = lockContentNaming(4242).split('\n');
        // The file names a process, the program, the computer's name, its
        // machine ID and its boot ID.
        lines[2] = "plant-laptop-7";
        lines[3] = "0123456789abcdef0123456789abcdef";
        lines[4] = "00000000-0000-0000-0000-000000000001";
        writeFile(file, lines.join('\n'));
        app::FolderLock lock(workspace);
        QCOMPARE(lock.lock(), app::FolderLock::Result::HeldOnOtherHost);
        QCOMPARE(lock.holder().host, QStringLiteral("plant-laptop-7"));
        QCOMPARE(lock.holder().pid, 4242);
        QCOMPARE(readFile(file), lines.join('\n'));
    }

    void readOnlySettingFolderStartsWithoutTheLock()
    {
        QTemporaryDir dir;
        const app::Workspace workspace(dir.path());
        QVERIFY(QDir().mkpath(workspace.settingsFolder()));
        QFile::setPermissions(workspace.settingsFolder(), QFile::ReadOwner | QFile::ExeOwner);
        const bool writable =
            QFile(workspace.settingsFolder() + QStringLiteral("probe")).open(QIODevice::WriteOnly);
        if (writable) {
            QFile::setPermissions(workspace.settingsFolder(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user writes into read-only folders");
        }
        app::FolderLock lock(workspace);
        QCOMPARE(lock.lock(), app::FolderLock::Result::Unavailable);
        QFile::setPermissions(workspace.settingsFolder(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void secondProgramOnTheFolderEndsWithTheMessage()
    {
        ProgramCopy folder;
        writeFile(folder.path() + QStringLiteral("/Setting/setting.xml"),
                  "<General_Setting><Language>2</Language><Configuration>Plant_A</Configuration>"
                  "</General_Setting>");
        writeFile(folder.path() + QStringLiteral("/Projects/Plant_A/Configuration.xml"), "<Configuration/>");
        const std::unique_ptr<QProcess> first = folder.start();
        QVERIFY(folder.waitForLock(*first));
        const auto before = snapshot(folder.path());

        const std::unique_ptr<QProcess> second = folder.start();
        QVERIFY(second->waitForFinished(20000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QVERIFY(second->exitCode() != 0);
        const QString said = QString::fromUtf8(second->readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("Warning: Il programma è già in esecuzione")),
                 qPrintable(said));

        QCOMPARE(snapshot(folder.path()), before);
        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(lockHolder(folder.lockFile()), first->processId());
        first->kill();
        first->waitForFinished();
    }

    void programStartsOverTheLockOfAKilledCopy()
    {
        ProgramCopy folder;
        const std::unique_ptr<QProcess> crashed = folder.start();
        QVERIFY(folder.waitForLock(*crashed));
        crashed->kill();
        QVERIFY(crashed->waitForFinished());
        QVERIFY(QFileInfo::exists(folder.lockFile()));

        const std::unique_ptr<QProcess> next = folder.start();
        QVERIFY2(folder.waitForLock(*next), next->readAllStandardError().constData());
        next->kill();
        next->waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestFolderLock)
#include "tst_folder_lock.moc"
