// The folders beside the program, setting.xml, the title rule and the start
// of a session.
#include "app/ConfigurationName.h"
#include "app/Session.h"
#include "app/Settings.h"
#include "app/Workspace.h"
#include "common/hostile_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestWorkspaceSettings : public QObject
{
    Q_OBJECT

private slots:
    void firstStartCreatesOnlyProjectsAndSetting()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("a/b"));
        app::Session session(program);
        QCOMPARE(session.prepare(), QString());
        QVERIFY(QFileInfo(program + QStringLiteral("/Projects")).isDir());
        QVERIFY(QFileInfo(program + QStringLiteral("/Setting")).isDir());
        QVERIFY(!QFileInfo::exists(program + QStringLiteral("/Language")));
        QVERIFY(!QFileInfo::exists(program + QStringLiteral("/Master")));
        QVERIFY(!QFileInfo::exists(program + QStringLiteral("/Setting/setting.xml")));
        QCOMPARE(session.languageCode(), 1);
        QCOMPARE(session.title(), QStringLiteral("Corvantis - TRENOV5x - #NO_CONF#"));
    }

    void workspaceChoice_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("explicitFolder");
        QTest::addColumn<QString>("expected"); // "program", "data" or "explicit"
        QTest::newRow("portable: Language/ beside a folder that can be written") << "portable"
                                                                                 << ""
                                                                                 << "program";
        QTest::newRow("installed: no Language/ beside the program") << "installed"
                                                                    << ""
                                                                    << "data";
        QTest::newRow("portable folder that cannot be written") << "blocked"
                                                                << ""
                                                                << "data";
        QTest::newRow("--workspace wins over a portable folder") << "portable"
                                                                 << "chosen"
                                                                 << "explicit";
        QTest::newRow("--workspace wins over an installed one") << "installed"
                                                                << "chosen"
                                                                << "explicit";
    }

    void workspaceChoice()
    {
        QFETCH(QString, layout);
        QFETCH(QString, explicitFolder);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
        const QString program = dir.filePath(QStringLiteral("prefix/bin/"));
        QDir().mkpath(program);
        if (layout == u"installed")
            QDir().mkpath(dir.filePath(QStringLiteral("prefix/share/trenov5x/Language")));
        else
            QDir().mkpath(program + QStringLiteral("Language"));
        if (layout == u"blocked") // the program folder refuses Setting/ (root writes anywhere else)
            writeFile(program + QStringLiteral("Setting"), "a file in the way");
        const QString chosen = explicitFolder.isEmpty() ? QString() : dir.filePath(explicitFolder);

        const app::Workspace workspace = app::Workspace::choose(program, chosen);
        qputenv("XDG_DATA_HOME", savedDataHome);
        const QString folder = expected == u"program" ? program
                               : expected == u"data"  ? dir.filePath(QStringLiteral("data/trenov5x/"))
                                                      : chosen + QLatin1Char('/');
        QCOMPARE(workspace.folder(), folder);
        QCOMPARE(workspace.programFolder(), program);
        QCOMPARE(workspace.settingsFile(), folder + QStringLiteral("Setting/setting.xml"));
        QCOMPARE(workspace.languageFolder(),
                 layout == u"installed" ? dir.filePath(QStringLiteral("prefix/share/trenov5x/Language/"))
                                        : program + QStringLiteral("Language/"));
        const QStringList kitFolders =
            expected == u"program" ? QStringList{program} : QStringList{folder, program};
        QCOMPARE(workspace.kitFolders(), kitFolders);
        // Only the chosen workspace gets Projects/ and Setting/.
        app::Session session(workspace);
        QCOMPARE(session.prepare(), QString());
        QVERIFY(QFileInfo(folder + QStringLiteral("Projects")).isDir());
        if (expected != u"program")
            QVERIFY(!QFileInfo::exists(program + QStringLiteral("Projects")) || layout == u"blocked");
    }

    void folderThatCannotBeCreatedIsNamed()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("Setting")), "a file in the way");
        app::Workspace workspace(dir.path());
        QCOMPARE(workspace.createFolders(), dir.filePath(QStringLiteral("Setting/")));
    }

    void settingsFileIsRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("name");
        QTest::newRow("as written")
            << QByteArray("<General_Setting><Language>3</Language><Configuration>Plant_A</Configuration>"
                          "</General_Setting>")
            << 3 << "Plant_A";
        QTest::newRow("other root, children reversed, declaration, indentation")
            << QByteArray("<?xml version=\"1.0\"?>\n<Settings>\n  <Configuration>B</Configuration>\n"
                          "  <Language>2</Language>\n</Settings>\n")
            << 2 << "B";
        QTest::newRow("language not a number") << QByteArray("<G><Language>abc</Language></G>") << 1 << "";
        QTest::newRow("language outside 1..4 kept") << QByteArray("<G><Language>7</Language></G>") << 7 << "";
        QTest::newRow("negative language kept") << QByteArray("<G><Language>-2</Language></G>") << -2 << "";
        QTest::newRow("language too large")
            << QByteArray("<G><Language>99999999999</Language></G>") << 1 << "";
        QTest::newRow("empty configuration")
            << QByteArray("<G><Language>4</Language><Configuration/></G>") << 4 << "";
        QTest::newRow("both missing") << QByteArray("<G/>") << 1 << "";
        QTest::newRow("language holding elements")
            << QByteArray("<G><Language><x>2</x></Language><Configuration>C</Configuration></G>") << 1 << "C";
        QTest::newRow("windows-1252 name")
            << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?><G><Configuration>Caf\xe9 "
                          "\x80</Configuration></G>")
            << 1 << QString::fromUtf8("Caf\u00e9 \u20ac");
        QTest::newRow("not well-formed counts as absent")
            << QByteArray("<G><Language>3</Language><Configuration>X</G>") << 1 << "";
    }
    void settingsFileIsRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, language);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("setting.xml"));
        writeFile(path, bytes);
        const app::AppSettings s = app::readSettings(path);
        QCOMPARE(s.languageCode, language);
        QCOMPARE(s.configurationName, name);
        QCOMPARE(readFile(path), bytes); // reading never rewrites the file
    }

    void settingsFileIsWrittenWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("setting.xml"));
        writeFile(path, "<broken");
        QVERIFY(app::writeSettings(path, {2, QStringLiteral("Plant & <B>")}).ok);
        QCOMPARE(readFile(path),
                 QByteArray("<General_Setting><Language>2</Language><Configuration>Plant &amp; "
                            "&lt;B&gt;</Configuration></General_Setting>"));
        QCOMPARE(app::readSettings(path), (app::AppSettings{2, QStringLiteral("Plant & <B>")}));
        QVERIFY(app::writeSettings(path, {1, QString()}).ok);
        QCOMPARE(readFile(path),
                 QByteArray("<General_Setting><Language>1</Language><Configuration></Configuration>"
                            "</General_Setting>"));
        const app::SettingsWriteResult failed =
            app::writeSettings(dir.filePath(QStringLiteral("no/setting.xml")), {});
        QVERIFY(!failed.ok);
        QVERIFY(!failed.error.isEmpty());
    }

    // The sheet's folder joins the file once a sheet was written, and only then.
    void settingsKeepTheSheetFolder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("setting.xml"));
        const app::AppSettings settings{3, QStringLiteral("Plant_A"), QStringLiteral("/srv/sheets & <co>")};
        QVERIFY(app::writeSettings(path, settings).ok);
        QCOMPARE(readFile(path), QByteArray("<General_Setting><Language>3</Language><Configuration>Plant_A"
                                            "</Configuration><Report_Folder>/srv/sheets &amp; &lt;co&gt;"
                                            "</Report_Folder></General_Setting>"));
        QCOMPARE(app::readSettings(path), settings);
    }

    void titleRule()
    {
        QCOMPARE(app::windowTitle(QStringLiteral("Plant_A")),
                 QStringLiteral("Corvantis - TRENOV5x - Plant_A"));
        QCOMPARE(app::windowTitle(QString()), QStringLiteral("Corvantis - TRENOV5x - #NO_CONF#"));
    }

    void startOpensTheLastConfiguration()
    {
        QTemporaryDir dir;
        app::Workspace ws(dir.path());
        config::Configuration saved;
        saved.pin = QStringLiteral("1234");
        saved.dst = true;
        QDir().mkpath(ws.configurationFolder(QStringLiteral("Plant_A")));
        QVERIFY(config::writeConfigurationFile(saved, ws.configurationFile(QStringLiteral("Plant_A"))).ok);
        QDir().mkpath(ws.settingsFolder());
        QVERIFY(app::writeSettings(ws.settingsFile(), {3, QStringLiteral("Plant_A")}).ok);

        app::Session session(dir.path());
        QCOMPARE(session.prepare(), QString());
        QCOMPARE(session.languageCode(), 3);
        QCOMPARE(session.openLastConfiguration().status, config::LoadStatus::Loaded);
        QCOMPARE(session.title(), QStringLiteral("Corvantis - TRENOV5x - Plant_A"));
        QCOMPARE(session.configuration().pin, QStringLiteral("1234"));
        QVERIFY(session.configuration().dst);
    }

    void startWithAFolderWithoutFileKeepsTheName()
    {
        QTemporaryDir dir;
        app::Workspace ws(dir.path());
        QDir().mkpath(ws.settingsFolder());
        QVERIFY(app::writeSettings(ws.settingsFile(), {1, QStringLiteral("Empty")}).ok);
        app::Session session(dir.path());
        session.prepare();
        QCOMPARE(session.openLastConfiguration().status, config::LoadStatus::Missing);
        QCOMPARE(session.configurationName(), QStringLiteral("Empty"));
        QVERIFY(session.configuration() == config::Configuration());
    }

    void startWithARefusedFileOpensNothingAndKeepsTheSettings()
    {
        QTemporaryDir dir;
        app::Workspace ws(dir.path());
        writeFile(ws.configurationFile(QStringLiteral("Bad")), "<Configuration><Phone_Setting>");
        QDir().mkpath(ws.settingsFolder());
        QVERIFY(app::writeSettings(ws.settingsFile(), {2, QStringLiteral("Bad")}).ok);
        const QByteArray settingsBefore = readFile(ws.settingsFile());

        app::Session session(dir.path());
        session.prepare();
        const config::LoadResult r = session.openLastConfiguration();
        QCOMPARE(r.status, config::LoadStatus::Failed);
        QVERIFY2(r.error.contains(QStringLiteral("Configuration.xml")), qPrintable(r.error));
        QCOMPARE(session.configurationName(), QString());
        QVERIFY(session.title().endsWith(QStringLiteral(" - #NO_CONF#")));
        QVERIFY(session.configuration() == config::Configuration());
        QCOMPARE(readFile(ws.settingsFile()), settingsBefore);
        // A language change rewrites setting.xml: it still names the refused
        // configuration, which opens again once its file is mended.
        session.setLanguageCode(3);
        QVERIFY(session.writeSettings().ok);
        QCOMPARE(app::readSettings(ws.settingsFile()), (app::AppSettings{3, QStringLiteral("Bad")}));
    }

    void configurationNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << "Plant_A" << true;
        QTest::newRow("blank inside, accents, dot inside") << QString::fromUtf8("Halle 3 Süd v1.2") << true;
        QTest::newRow("100 characters") << QString(100, u'n') << true;
        QTest::newRow("COM10 is no device") << "COM10" << true;
        QTest::newRow("CONSOLE is no device") << "CONSOLE" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("101 characters") << QString(101, u'n') << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("leading dot") << ".hidden" << false;
        QTest::newRow("trailing dot") << "name." << false;
        QTest::newRow("parent path") << "../outside" << false;
        QTest::newRow("slash") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("tab") << "a\tb" << false;
        QTest::newRow("delete character") << "a\x7f" << false;
        QTest::newRow("colon") << "C:x" << false;
        QTest::newRow("asterisk") << "a*" << false;
        QTest::newRow("question mark") << "a?" << false;
        QTest::newRow("quote") << "a\"b" << false;
        QTest::newRow("angle brackets") << "<b>" << false;
        QTest::newRow("bar") << "a|b" << false;
        QTest::newRow("leading blank") << " a" << false;
        QTest::newRow("trailing blank") << "a " << false;
        QTest::newRow("device") << "CON" << false;
        QTest::newRow("device, lower case") << "nul" << false;
        QTest::newRow("device with extension") << "com1.txt" << false;
        QTest::newRow("printer port") << "LPT9" << false;
    }

    void configurationNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(app::isSafeConfigurationName(name), safe);
    }

    void startWithAnUnsafeNameOpensNothing()
    {
        QTemporaryDir dir;
        app::Workspace ws(dir.path());
        // A configuration outside Projects/ that setting.xml points at.
        writeFile(dir.filePath(QStringLiteral("Configuration.xml")), "<Configuration/>");
        QDir().mkpath(ws.settingsFolder());
        QVERIFY(app::writeSettings(ws.settingsFile(), {1, QStringLiteral("..")}).ok);
        app::Session session(dir.path());
        session.prepare();
        const config::LoadResult r = session.openLastConfiguration();
        QCOMPARE(r.status, config::LoadStatus::Failed);
        QCOMPARE(session.configurationName(), QString());
        // The name stays in setting.xml when the settings are written again.
        session.setLanguageCode(2);
        QVERIFY(session.writeSettings().ok);
        QCOMPARE(app::readSettings(ws.settingsFile()), (app::AppSettings{2, QStringLiteral("..")}));
    }

    // Each of these once crashed, hung or flooded the window at every start.
    void badSettingsFileGivesTheDefaults_data()
    {
        QTest::addColumn<QString>("kind");
        for (const QString &kind : hostile::kinds())
            QTest::newRow(qPrintable(kind)) << kind;
    }
    void badSettingsFileGivesTheDefaults()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        app::Workspace ws(dir.path());
        QDir().mkpath(ws.settingsFolder());
        QVERIFY(hostile::plant(kind, ws.settingsFile(), "General_Setting"));
        QCOMPARE(app::readSettings(ws.settingsFile()), app::AppSettings());
        app::Session session(dir.path());
        QCOMPARE(session.prepare(), QString());
        QCOMPARE(session.languageCode(), 1);
        QCOMPARE(session.openLastConfiguration().status, config::LoadStatus::Missing);
    }

    void badLastConfigurationOpensNothing_data() { badSettingsFileGivesTheDefaults_data(); }
    void badLastConfigurationOpensNothing()
    {
        QFETCH(QString, kind);
        const QString reason = hostile::reason(kind);
        QTemporaryDir dir;
        app::Workspace ws(dir.path());
        QDir().mkpath(ws.configurationFolder(QStringLiteral("Bad")));
        QVERIFY(hostile::plant(kind, ws.configurationFile(QStringLiteral("Bad")), "Configuration"));
        QDir().mkpath(ws.settingsFolder());
        QVERIFY(app::writeSettings(ws.settingsFile(), {1, QStringLiteral("Bad")}).ok);
        app::Session session(dir.path());
        session.prepare();
        const config::LoadResult r = session.openLastConfiguration();
        QCOMPARE(r.status, config::LoadStatus::Failed);
        QVERIFY2(r.error.contains(reason), qPrintable(r.error));
        QCOMPARE(session.configurationName(), QString());
        QVERIFY(session.configuration() == config::Configuration());
    }

    void settingsWriteOnAFullDiskKeepsTheEarlierFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("setting.xml"));
        QVERIFY(app::writeSettings(path, {2, QStringLiteral("Plant_A")}).ok);
        const QByteArray earlier = readFile(path);
        app::SettingsWriteResult r;
        {
            const hostile::FileSizeLimit limit(1024);
            r = app::writeSettings(path, {3, QString(3000, u'B')});
        }
        QVERIFY(!r.ok);
        QCOMPARE(r.error, QDir::toNativeSeparators(path) + QStringLiteral(": File too large"));
        QCOMPARE(readFile(path), earlier);
        QCOMPARE(app::readSettings(path), (app::AppSettings{2, QStringLiteral("Plant_A")}));
    }
};

QTEST_GUILESS_MAIN(TestWorkspaceSettings)
#include "tst_workspace_settings.moc"
