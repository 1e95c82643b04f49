// New, Load, Save, Save As and the close query through the real window, with
// the message boxes answered in advance, against real folders and files.
#include "app/Settings.h"
#include "config/ConfigurationFile.h"
#include "helper_window.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using ui::MainWindow;
using ui::MessageAnswer;

namespace {

struct Fixture
{
    // A program folder with Plant_A (PIN 1111) and, when `open`, Plant_A open.
    explicit Fixture(bool open = true)
    {
        config::Configuration a;
        a.pin = QStringLiteral("1111");
        folder.writeConfiguration(QStringLiteral("Plant_A"), a);
        folder.writeSettings(1, open ? QStringLiteral("Plant_A") : QString());
        start();
    }
    void start()
    {
        window = std::make_unique<MainWindow>(MainWindow::Options{folder.path(), &boxes});
        window->show();
    }
    MainWindow &w() { return *window; }
    app::Session &session() { return window->session(); }
    QString projects() const { return folder.path() + QStringLiteral("/Projects/"); }
    app::AppSettings settings() const
    {
        return app::readSettings(folder.path() + QStringLiteral("/Setting/setting.xml"));
    }
    QStringList projectFolders() const
    {
        return QDir(projects()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    void typePin(const QString &pin)
    {
        clickMenu(w(), "TntL_Phone_Menu");
        auto *edit = child<QLineEdit>(window.get(), "TntE_PIN");
        edit->selectAll();
        QTest::keyClicks(edit, pin);
    }
    void newConfiguration(const QString &name)
    {
        clickMenu(w(), "TntL_New_Menu");
        child<QLineEdit>(window.get(), "TntE_NewConf")->setText(name);
        child<QPushButton>(window.get(), "TntB_NewConf")->click();
    }
    void load(const QString &name)
    {
        clickMenu(w(), "TntL_Load_Menu");
        auto *list = child<QListWidget>(window.get(), "TntLB_LoadConf");
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(name));
        list->setCurrentItem(found[0]);
        child<QPushButton>(window.get(), "TntB_LoadConf")->click();
    }
    void save()
    {
        clickMenu(w(), "TntL_Save_Menu");
        child<QPushButton>(window.get(), "TntB_SaveConf")->click();
    }
    void saveAs(const QString &name)
    {
        clickMenu(w(), "TntL_Save_Menu");
        child<QLineEdit>(window.get(), "TntE_SaveAsConf")->setText(name);
        child<QPushButton>(window.get(), "TntB_SaveAsConf")->click();
    }
    QByteArray file(const QString &name) const
    {
        return folder.readFile(QStringLiteral("Projects/%1/Configuration.xml").arg(name));
    }

    ProgramFolder folder;
    RecordingPresenter boxes;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class TestProjectCommands : public QObject
{
    Q_OBJECT

private slots:
    void loadWithNoConfigurationOpenAsksNothing()
    {
        Fixture f(false);
        QVERIFY(f.w().windowTitle().endsWith(QStringLiteral(" - #NO_CONF#")));
        f.load(QStringLiteral("Plant_A"));
        QVERIFY(f.boxes.shown.isEmpty());
        QCOMPARE(f.w().windowTitle(), QStringLiteral("Corvantis - TRENOV5x - Plant_A"));
        QCOMPARE(f.session().configuration().pin, QStringLiteral("1111"));
        QCOMPARE(f.settings().configurationName, QStringLiteral("Plant_A"));
        QVERIFY(!f.w().isChanged());                                        // as it is on disk
        QVERIFY(child<QListWidget>(&f.w(), "TntLB_LoadConf")->isVisible()); // the page stays
    }

    void doubleClickOnALineLoadsIt()
    {
        Fixture f(false);
        clickMenu(f.w(), "TntL_Load_Menu");
        auto *list = child<QListWidget>(&f.w(), "TntLB_LoadConf");
        QCOMPARE(list->currentRow(), -1);
        QListWidgetItem *item = list->findItems(QStringLiteral("Plant_A"), Qt::MatchExactly).value(0);
        QVERIFY(item);
        const QRect r = list->visualItemRect(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(f.session().configurationName(), QStringLiteral("Plant_A"));
        QVERIFY(f.boxes.shown.isEmpty());
    }

    void projectListShowsFoldersOnly()
    {
        Fixture f;
        f.folder.writeFile(QStringLiteral("Projects/notes.txt"), "a file");
        QVERIFY(QDir().mkpath(f.projects() + QStringLiteral("Empty folder")));
        clickMenu(f.w(), "TntL_Load_Menu");
        auto *list = child<QListWidget>(&f.w(), "TntLB_LoadConf");
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        names.sort();
        QCOMPARE(names, (QStringList{"Empty folder", "Plant_A"}));
        QCOMPARE(list->selectedItems().size(), 0);
    }

    void newWithTheOpenNameIsAlreadyUsed()
    {
        Fixture f;
        clickMenu(f.w(), "TntL_New_Menu");
        QCOMPARE(child<QLineEdit>(&f.w(), "TntE_NewConf")->text(), QStringLiteral("Plant_A"));
        child<QPushButton>(&f.w(), "TntB_NewConf")->click();
        QCOMPARE(f.boxes.texts(), QStringList{englishMessage(u"Mes_NewConf_Already_Used")});
        QCOMPARE(f.session().configurationName(), QStringLiteral("Plant_A"));
    }

    void newOpensAnEmptyFolderWithTheDefaults()
    {
        Fixture f;
        f.typePin(QStringLiteral("5"));
        f.boxes.answers = {MessageAnswer::No};
        f.newConfiguration(QStringLiteral("Plant_B"));
        QCOMPARE(f.boxes.texts(), QStringList{englishMessage(u"Mes_NewConf_Save_OldConf")});
        QVERIFY(QFileInfo(f.projects() + QStringLiteral("Plant_B")).isDir());
        QVERIFY(f.file(QStringLiteral("Plant_B")).isEmpty()); // nothing written until the first save
        QCOMPARE(f.settings().configurationName, QStringLiteral("Plant_B"));
        QCOMPARE(f.w().windowTitle(), QStringLiteral("Corvantis - TRENOV5x - Plant_B"));
        QCOMPARE(f.session().configuration().pin, QString());
        QCOMPARE(child<QLineEdit>(&f.w(), "TntE_NewConf")->text(), QString()); // emptied by the defaults
        QVERIFY(!f.w().isChanged()); // nothing to save until it is edited
    }

    void saveWithNoneOpenDoesNothing()
    {
        Fixture f(false);
        f.typePin(QStringLiteral("42"));
        f.save();
        QVERIFY(f.boxes.shown.isEmpty());
        QCOMPARE(f.projectFolders(), QStringList{"Plant_A"});
    }

    void saveAsWritesANewFolderAndLeavesTheOldOne()
    {
        Fixture f;
        const QByteArray old = f.file(QStringLiteral("Plant_A"));
        f.typePin(QStringLiteral("2222"));
        f.boxes.answers = {MessageAnswer::No};
        f.saveAs(QStringLiteral("Plant_B"));
        QCOMPARE(f.boxes.texts(), (QStringList{englishMessage(u"Mes_NewConf_Save_OldConf"),
                                               englishMessage(u"Mes_Configuration_Saved")}));
        QCOMPARE(f.file(QStringLiteral("Plant_A")), old);
        QCOMPARE(f.file(QStringLiteral("Plant_B")),
                 config::serializeConfiguration(f.session().configuration()));
        QCOMPARE(f.session().configuration().pin, QStringLiteral("2222"));
        QCOMPARE(f.w().windowTitle(), QStringLiteral("Corvantis - TRENOV5x - Plant_B"));
        QCOMPARE(f.settings().configurationName, QStringLiteral("Plant_B"));
    }

    void changedFlagAndTheCloseQuestion()
    {
        {
            Fixture f; // start, close: nothing asked
            QVERIFY(f.w().close());
            QVERIFY(f.boxes.shown.isEmpty());
        }
        {
            Fixture f; // the PIN edited: asked
            f.typePin(QStringLiteral("1"));
            f.boxes.answers = {MessageAnswer::Cancel};
            QVERIFY(!f.w().close());
            QCOMPARE(f.boxes.texts(), QStringList{englishMessage(u"On_CLose_Save_Conf")});
        }
        {
            Fixture f; // edit, save, close: nothing left to save, nothing asked
            f.typePin(QStringLiteral("2"));
            f.save();
            f.boxes.shown.clear();
            QVERIFY(f.w().close());
            QVERIFY(f.boxes.shown.isEmpty());
        }
    }

    void closeWithARefusedPinStaysOpen()
    {
        Fixture f;
        const QByteArray old = f.file(QStringLiteral("Plant_A"));
        f.typePin(QStringLiteral("123456789"));
        f.boxes.answers = {MessageAnswer::Yes};
        QVERIFY(!f.w().close());
        QCOMPARE(f.boxes.texts(),
                 (QStringList{englishMessage(u"On_CLose_Save_Conf"), englishMessage(u"Error_in_Pin"),
                              englishMessage(u"Error_Save_On_Close")}));
        QCOMPARE(f.boxes.shown[1].kind, ui::MessageKind::Error);
        QCOMPARE(f.file(QStringLiteral("Plant_A")), old);
        QCOMPARE(f.w().focusWidget(), child<QLineEdit>(&f.w(), "TntE_PIN")); // the refused value
    }

    void closeWithNothingOpenAsksForAName()
    {
        Fixture f(false);
        f.typePin(QStringLiteral("42"));
        f.boxes.answers = {MessageAnswer::Yes};
        QVERIFY(!f.w().close());
        QCOMPARE(f.boxes.texts(), QStringList{englishMessage(u"On_CLose_Save_Conf")});
        QCOMPARE(f.w().currentPage(), ui::PageId::Save);
        QCOMPARE(f.w().focusWidget(), child<QLineEdit>(&f.w(), "TntE_SaveAsConf"));
        QVERIFY(!QFileInfo::exists(f.projects() + QStringLiteral("Configuration.xml")));
        f.saveAs(QStringLiteral("Named"));
        QCOMPARE(f.session().configurationName(), QStringLiteral("Named"));
        QVERIFY(!f.file(QStringLiteral("Named")).isEmpty());
    }

    void refusedSaveOfTheOldConfigurationStopsTheCommand()
    {
        Fixture f;
        f.typePin(QStringLiteral("bad"));
        f.boxes.answers = {MessageAnswer::Yes};
        f.newConfiguration(QStringLiteral("Plant_B"));
        QCOMPARE(f.boxes.texts(),
                 (QStringList{englishMessage(u"Mes_NewConf_Save_OldConf"), englishMessage(u"Error_in_Pin")}));
        QCOMPARE(f.session().configurationName(), QStringLiteral("Plant_A"));
        QCOMPARE(f.session().configuration().pin, QStringLiteral("bad"));
        QCOMPARE(f.projectFolders(), QStringList{"Plant_A"});
        QCOMPARE(f.settings().configurationName, QStringLiteral("Plant_A"));
    }

    void unsafeNamesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"..", "../outside", ".hidden", "a/b", "a\\b", "con", "LPT1.txt", " lead",
                                 "trail.", "a:b", "<b>x</b>"})
            QTest::newRow(name) << QString::fromLatin1(name);
        QTest::newRow("tab") << QStringLiteral("a\tb");
        QTest::newRow("101 characters") << QString(101, u'n');
    }

    void unsafeNamesAreRefused()
    {
        QFETCH(QString, name);
        Fixture f;
        const QByteArray settings = f.folder.readFile(QStringLiteral("Setting/setting.xml"));
        const QStringList outside = QDir(f.folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        f.newConfiguration(name);
        f.saveAs(name);
        const QString refused = englishMessage(u"Error_Conf_Name_Not_Valid") + QLatin1Char('\n') + name;
        QCOMPARE(f.boxes.texts(), (QStringList{refused, refused}));
        QCOMPARE(f.projectFolders(), QStringList{"Plant_A"});
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), outside);
        QCOMPARE(f.folder.readFile(QStringLiteral("Setting/setting.xml")), settings);
        QCOMPARE(f.session().configurationName(), QStringLiteral("Plant_A"));
    }

    void failedLoadChangesNothing()
    {
        Fixture f;
        f.folder.writeFile(QStringLiteral("Projects/Broken/Configuration.xml"), "<Configuration><Phone");
        f.typePin(QStringLiteral("9999"));
        const QByteArray settings = f.folder.readFile(QStringLiteral("Setting/setting.xml"));
        f.boxes.answers = {MessageAnswer::No};
        f.load(QStringLiteral("Broken"));
        QCOMPARE(f.boxes.shown.size(), 2);
        QVERIFY(f.boxes.shown[1].text.startsWith(englishMessage(u"Error_Load_Conf")));
        QVERIFY2(f.boxes.shown[1].text.contains(QStringLiteral("Broken")), qPrintable(f.boxes.shown[1].text));
        QCOMPARE(f.session().configurationName(), QStringLiteral("Plant_A"));
        QCOMPARE(f.session().configuration().pin, QStringLiteral("9999"));
        QVERIFY(f.w().isChanged());
        QCOMPARE(f.w().windowTitle(), QStringLiteral("Corvantis - TRENOV5x - Plant_A*")); // the star: unsaved
        QCOMPARE(f.folder.readFile(QStringLiteral("Setting/setting.xml")), settings);
    }

    void failedWriteKeepsTheOldFileAndTheWindowOpen()
    {
        Fixture f;
        // A long message makes the file larger than the limit set below.
        f.session().configuration().digitalInputs[0].f0t1.list.setRows({{QString(60, u'm'), {}, {}}});
        const QByteArray old = f.file(QStringLiteral("Plant_A"));
        f.typePin(QStringLiteral("4321"));
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = 1024; // files may not grow beyond 1 KB: writes fail with EFBIG
        setrlimit(RLIMIT_FSIZE, &small);
        f.boxes.answers = {MessageAnswer::Yes};
        const bool closed = f.w().close();
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!closed);
        QCOMPARE(f.file(QStringLiteral("Plant_A")), old);
        QCOMPARE(f.boxes.shown.size(), 3);
        QVERIFY(f.boxes.shown[1].text.startsWith(englishMessage(u"Error_Write_File")));
        QVERIFY2(f.boxes.shown[1].text.contains(QStringLiteral("Configuration.xml")),
                 qPrintable(f.boxes.shown[1].text));
        QCOMPARE(f.boxes.shown[2].text, englishMessage(u"Error_Save_On_Close"));
    }

    void charactersAFileCannotHoldNeverReachTheRecord()
    {
        Fixture f;
        f.typePin(QString());
        auto *pin = child<QLineEdit>(&f.w(), "TntE_PIN");
        pin->insert(QStringLiteral("12\x01"
                                   "34\x1b"));
        QCOMPARE(pin->text(), QStringLiteral("1234"));
        QCOMPARE(f.session().configuration().pin, QStringLiteral("1234"));
    }
};

QTEST_MAIN(TestProjectCommands)
#include "tst_project_commands.moc"
