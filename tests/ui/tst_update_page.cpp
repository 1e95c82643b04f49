// The Update Device page through the window: the save before the update, the
// options, the progress window with its Cancel, and the boxes of each outcome,
// against the simulated modem and a fake update program in the program folder.
#include "app/UpdateService.h"
#include "helper_window.h"
#include "ui/MainWindow.h"
#include "ui/pages/UpdatePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <csignal>

using ui::MainWindow;

namespace {

struct Fixture
{
    explicit Fixture(const QStringList &modemOptions = {"--boot-after", "0"}) : modem(modemOptions)
    {
        folder.writeConfiguration(QStringLiteral("Plant_A"), config::Configuration());
        folder.writeSettings(1, QStringLiteral("Plant_A"));
        folder.writeFile(QStringLiteral("Master/Sim58193.sim"), "firmware");
        folder.writeFile(
            QLatin1String(app::kUpdaterFileName),
            "#!/bin/sh\nhere=$(dirname \"$0\")\nprintf '%s\\n' \"$@\" > \"$here/args.txt\"\n"
            "if [ -f \"$here/sleep\" ]; then echo $$ > \"$here/pid\"; sleep $(cat \"$here/sleep\"); fi\n"
            "echo \"updater: failing\"\nexit $(cat \"$here/exit_code\" 2>/dev/null || echo 0)\n");
        QFile::setPermissions(folder.path() + QLatin1Char('/') + QLatin1String(app::kUpdaterFileName),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        window = std::make_unique<MainWindow>(MainWindow::Options{folder.path(), &boxes});
        window->show();
        page = window->findChild<ui::UpdatePage *>(QStringLiteral("P_UpDate"));
        page->setTimings({10, 20, 5, 10, 5000});
        clickMenu(*window, "TntL_Update_Menu");
        auto *ports = child<QComboBox>(window.get(), "CB_COMPort_List");
        ports->addItem(modem.devicePath());
        ports->setCurrentText(modem.devicePath());
    }
    void tick(const char *name) { child<QCheckBox>(window.get(), name)->setChecked(true); }
    // Presses "Update Device" and waits until the update it started, if any, has ended.
    void update()
    {
        QSignalSpy finished(page, &ui::UpdatePage::updateFinished);
        child<QPushButton>(window.get(), "TntBtn_UpdateDevice")->click();
        if (page->updateRunning())
            QVERIFY(finished.wait(30000));
    }
    bool imageBuilt() const
    {
        return !folder.readFile(QStringLiteral("Projects/Plant_A/bin/bank.bin")).isEmpty();
    }
    QByteArray updaterArguments() const { return folder.readFile(QStringLiteral("args.txt")); }

    SimulatedModem modem;
    ProgramFolder folder;
    RecordingPresenter boxes;
    std::unique_ptr<MainWindow> window;
    ui::UpdatePage *page = nullptr;
};

} // namespace

class TestUpdatePage : public QObject
{
    Q_OBJECT

private slots:
    void optionsStartClear()
    {
        Fixture f;
        QVERIFY(!child<QCheckBox>(f.window.get(), "CB_WriteFW")->isChecked());
        QVERIFY(!child<QCheckBox>(f.window.get(), "CB_WriteConf")->isChecked());
    }

    void noOptionSavesThenRefuses()
    {
        Fixture f;
        f.update();
        QCOMPARE(f.boxes.texts(), (QStringList{englishMessage(u"Mes_Configuration_Saved"),
                                               englishMessage(u"Error_Firm_Conf")}));
        QVERIFY(!f.imageBuilt());
    }

    void refusedSaveStopsTheUpdate()
    {
        Fixture f;
        f.window->session().configuration().pin = QStringLiteral("12ab");
        f.tick("CB_WriteConf");
        f.update();
        QCOMPARE(f.boxes.texts(), QStringList{englishMessage(u"Error_in_Pin")});
        QVERIFY(!f.imageBuilt());
        QVERIFY(f.updaterArguments().isEmpty());
    }

    void updateEndsWithItsOwnBox_data()
    {
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<QString>("last");
        QTest::newRow("updated") << QByteArray("0") << englishMessage(u"Mes_Update_Done");
        QTest::newRow("updater failed")
            << QByteArray("3") << englishMessage(u"Error_Updater_Failed") + "\nExit code 3\nupdater: failing";
    }

    void updateEndsWithItsOwnBox()
    {
        QFETCH(QByteArray, exitCode);
        QFETCH(QString, last);
        Fixture f;
        f.folder.writeFile(QStringLiteral("exit_code"), exitCode);
        f.tick("CB_WriteFW");
        f.tick("CB_WriteConf");
        f.update();
        QCOMPARE(f.boxes.texts(), (QStringList{englishMessage(u"Mes_Configuration_Saved"), last}));
        QVERIFY(f.imageBuilt());
        QVERIFY(f.updaterArguments().startsWith(f.modem.devicePath().toUtf8() + "\nFW\nFR\nPW\nPR\n"));
        QCOMPARE(f.window->deviceLink().lastPortName(), f.modem.devicePath());
        auto *dialog = f.window->findChild<QProgressDialog *>(QStringLiteral("UpdateProgress"));
        QVERIFY(!dialog || !dialog->isVisible());
        QVERIFY(!child<QWidget>(f.window.get(), "Image2")->isVisible());
    }

    void cancelDuringTheBootLoop()
    {
        Fixture f({"--silent"});
        f.page->setTimings({10, 50, 40, 10, 5000});
        f.tick("CB_WriteConf");
        bool cancelEnabled = false;
        bool busyShown = false;
        QString label;
        QTimer::singleShot(400, [&] {
            auto *dialog = f.window->findChild<QProgressDialog *>(QStringLiteral("UpdateProgress"));
            QVERIFY(dialog && dialog->isVisible());
            label = dialog->labelText();
            busyShown = child<QWidget>(f.window.get(), "Image2")->isVisible();
            auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("UpdateCancel"));
            cancelEnabled = cancel->isEnabled();
            cancel->click();
        });
        f.update();
        QVERIFY(cancelEnabled);
        QVERIFY(busyShown);
        QVERIFY2(label.startsWith(QStringLiteral("Waiting for the boot loader: attempt ")),
                 qPrintable(label));
        QCOMPARE(f.boxes.texts(), QStringList{englishMessage(u"Mes_Configuration_Saved")}); // nothing more
        QVERIFY(!f.window->deviceLink().port().isOpen());
        QVERIFY(f.updaterArguments().isEmpty());
        QCOMPARE(f.page->lastOutcome().status, app::UpdateOutcome::Status::Cancelled);
    }

    // While the updater runs the dialog counts its time, not the boot wait's,
    // and a long command line does not make it wider than the window.
    void progressWhileTheUpdaterRuns()
    {
        Fixture f({"--boot-after", "1"});
        f.page->setTimings({10, 100, 20, 10, 20000}); // a boot wait of 2 s
        f.folder.writeFile(QStringLiteral("sleep"), "1.5");
        const QString longFolder = f.folder.path() + QLatin1Char('/') + QString(100, u'p');
        QVERIFY(QDir().mkpath(longFolder));
        const QString longName = longFolder + QStringLiteral("/ttyTRENOV5Xlong");
        QVERIFY(QFile::link(f.modem.devicePath(), longName));
        auto *ports = child<QComboBox>(f.window.get(), "CB_COMPort_List");
        ports->addItem(longName);
        ports->setCurrentText(longName);
        f.tick("CB_WriteConf");
        QStringList running;
        int widest = 0;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            auto *dialog = f.window->findChild<QProgressDialog *>(QStringLiteral("UpdateProgress"));
            if (!dialog || !dialog->isVisible())
                return;
            widest = std::max(widest, dialog->width());
            const QString label = dialog->labelText();
            if (label.startsWith(QLatin1String("Update program running: ")))
                running.append(label.section(u'\n', 0, 0).mid(24));
        });
        probe.start(50);
        f.update();
        probe.stop();
        QVERIFY2(f.page->lastOutcome().updated(), qPrintable(f.page->lastOutcome().detail));
        QVERIFY(!running.isEmpty());
        for (const QString &elapsed : running)
            QVERIFY2(elapsed == u"0:00" || elapsed == u"0:01", qPrintable(running.join(u' ')));
        QVERIFY2(widest > 0 && widest <= std::min(876, f.window->width()),
                 qPrintable(QString::number(widest)));
    }

    // An updater still running when the wait ends is reported, stays owned,
    // and its end is reported too.
    void updaterLeftRunningIsReportedWhenItEnds()
    {
        Fixture f;
        f.page->setTimings({10, 20, 5, 10, 600});
        f.folder.writeFile(QStringLiteral("sleep"), "30");
        f.tick("CB_WriteConf");
        f.update();
        QCOMPARE(f.page->lastOutcome().status, app::UpdateOutcome::Status::UpdaterStillRunning);
        QVERIFY(f.page->updaterRunning());
        QCOMPARE(f.boxes.texts().size(), 2);
        QVERIFY(f.boxes.texts().last().startsWith(englishMessage(u"Mes_Updater_Still_Running")));
        QSignalSpy ended(f.page, &ui::UpdatePage::updaterEnded);
        const QByteArray pid = f.folder.readFile(QStringLiteral("pid")).trimmed();
        QVERIFY(!pid.isEmpty());
        ::kill(pid_t(pid.toInt()), SIGKILL);
        QVERIFY(ended.wait(5000));
        QVERIFY(!f.page->updaterRunning());
        QCOMPARE(f.boxes.texts().size(), 3);
        QVERIFY(f.boxes.texts().last().startsWith(englishMessage(u"Error_Updater_Failed")));
    }

    // Closing the window while the update program runs asks first; the
    // answer decides, and closing leaves the program running.
    void closingDuringAnUpdateAsks()
    {
        Fixture f;
        f.page->setTimings({10, 20, 5, 10, 600});
        f.folder.writeFile(QStringLiteral("sleep"), "30");
        f.tick("CB_WriteConf");
        f.update();
        QVERIFY(f.page->updaterRunning());
        const qsizetype before = f.boxes.texts().size();
        f.boxes.answers = {ui::MessageAnswer::Cancel};
        QVERIFY(!f.window->close());
        QCOMPARE(f.boxes.texts().size(), before + 1);
        QCOMPARE(f.boxes.texts().last(), englishMessage(u"Mes_Close_While_Updating"));
        f.boxes.answers = {ui::MessageAnswer::Yes, ui::MessageAnswer::No}; // close, do not save
        QVERIFY(f.window->close());
        const QByteArray pid = f.folder.readFile(QStringLiteral("pid")).trimmed();
        f.window.reset();
        QCOMPARE(::kill(pid_t(pid.toInt()), 0), 0); // still running
        ::kill(pid_t(pid.toInt()), SIGKILL);
    }
};

QTEST_MAIN(TestUpdatePage)
#include "tst_update_page.moc"
