// The Update Device page through the window: the save before the update, the
// options, the progress window with its Cancel, and the boxes of each outcome,
// against the simulated modem and a fake update program in the program folder.
#include "app/UpdateHistory.h"
#include "app/UpdateService.h"
#include "helper_window.h"
#include "ui/MainWindow.h"
#include "ui/pages/UpdatePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>

using ui::MainWindow;

namespace {

struct Fixture
{
    explicit Fixture(const QStringList &modemOptions = {"--boot-after", "0"}, int language = 1,
                     SimulatedModem::Plug plug = SimulatedModem::Plug::Fixed)
        : modem(modemOptions, plug)
    {
        folder.writeConfiguration(QStringLiteral("Plant_A"), config::Configuration());
        folder.writeSettings(language, QStringLiteral("Plant_A"));
        folder.writeFile(QStringLiteral("Master/Sim58193.sim"), "firmware");
        folder.writeFile(
            QLatin1String(app::kUpdaterFileName),
            "#!/bin/sh\nhere=$(dirname \"$0\")\nprintf '%s\\n' \"$@\" > \"$here/args.txt\"\n"
            "if [ -f \"$here/sleep\" ]; then echo $$ > \"$here/pid\"; sleep $(cat \"$here/sleep\"); fi\n"
            "if [ -f \"$here/block\" ]; then while [ ! -f \"$here/release\" ]; do sleep 0.02; done; fi\n"
            "echo \"updater: failing\"\n"
            "[ -n \"$TRENOV5X_TEST_DEVICE_PID\" ] && kill -USR2 \"$TRENOV5X_TEST_DEVICE_PID\"\n"
            "exit $(cat \"$here/exit_code\" 2>/dev/null || echo 0)\n");
        QFile::setPermissions(folder.path() + QLatin1Char('/') + QLatin1String(app::kUpdaterFileName),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        window = std::make_unique<MainWindow>(MainWindow::Options{folder.path(), &boxes});
        window->show();
        page = window->findChild<ui::UpdatePage *>(QStringLiteral("P_UpDate"));
        page->setTimings({10, 20, 5, 10, 5000, 10, 10});
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
    QDialog *dialog() const { return window->findChild<QDialog *>(QStringLiteral("UpdateProgress")); }
    // The step list's rows as shown, mark first.
    QStringList steps() const
    {
        QStringList rows;
        if (auto *list =
                dialog() ? dialog()->findChild<QListWidget *>(QStringLiteral("UpdateSteps")) : nullptr)
            for (int i = 0; i < list->count(); ++i)
                rows << list->item(i)->text();
        return rows;
    }

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
        // The save is the first step of the update, not a box to answer.
        QCOMPARE(f.boxes.texts(), QStringList{englishMessage(u"Error_Firm_Conf")});
        QVERIFY(f.steps().first().startsWith(QStringLiteral("\u2713 ")));
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
        QTest::newRow("updated") << QByteArray("0") << QString(); // shown in the step list
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
        QCOMPARE(f.boxes.texts(), last.isEmpty() ? QStringList() : QStringList{last});
        QVERIFY(f.imageBuilt());
        QVERIFY(f.updaterArguments().startsWith(f.modem.devicePath().toUtf8() + "\nFW\nFR\nPW\nPR\n"));
        QCOMPARE(f.window->deviceLink().lastPortName(), f.modem.devicePath());
        // The dialog stays with its marks until closed.
        QVERIFY(f.dialog() && f.dialog()->isVisible());
        auto *another = f.dialog()->findChild<QPushButton *>(QStringLiteral("UpdateAnother"));
        QCOMPARE(another->isVisible(), last.isEmpty());
        if (last.isEmpty()) {
            const QString result = f.dialog()->findChild<QLabel *>(QStringLiteral("UpdateResult"))->text();
            QVERIFY2(result.startsWith(englishMessage(u"Mes_Update_Done") +
                                       "\nFirmware version 1.0.4, device clock "),
                     qPrintable(result));
        }
        QVERIFY(!child<QWidget>(f.window.get(), "Image2")->isVisible());
        f.dialog()->findChild<QPushButton *>(QStringLiteral("UpdateClose"))->click();
        QTRY_VERIFY(!f.dialog());
    }

    void cancelDuringTheBootLoop()
    {
        Fixture f({"--silent"});
        f.page->setTimings({10, 50, 40, 10, 5000, 10, 10});
        f.tick("CB_WriteConf");
        bool cancelEnabled = false;
        bool busyShown = false;
        QString label;
        QTimer::singleShot(400, [&] {
            auto *dialog = f.dialog();
            QVERIFY(dialog && dialog->isVisible());
            label = f.steps().value(5);
            busyShown = child<QWidget>(f.window.get(), "Image2")->isVisible();
            auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("UpdateCancel"));
            cancelEnabled = cancel->isEnabled();
            cancel->click();
        });
        f.update();
        QVERIFY(cancelEnabled);
        QVERIFY(busyShown);
        QVERIFY2(
            label.startsWith(QStringLiteral("\u25B6 Bring the device into its boot loader \u2014 attempt ")),
            qPrintable(label));
        QCOMPARE(f.boxes.texts(), QStringList()); // nothing more
        QVERIFY(!f.window->deviceLink().port().isOpen());
        QVERIFY(f.updaterArguments().isEmpty());
        QCOMPARE(f.page->lastOutcome().status, app::UpdateOutcome::Status::Cancelled);
    }

    // While the updater runs the dialog counts its time, not the boot wait's,
    // and a long command line does not make it wider than the window.
    void progressWhileTheUpdaterRuns()
    {
        Fixture f({"--boot-after", "1"});
        f.page->setTimings({10, 100, 20, 10, 20000, 10, 10}); // a boot wait of 2 s
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
            auto *dialog = f.dialog();
            if (!dialog || !dialog->isVisible())
                return;
            widest = std::max(widest, dialog->width());
            const QString label = f.steps().value(7);
            if (label.startsWith(QStringLiteral("\u25B6 Run the update program \u2014 ")))
                running.append(label.section(QStringLiteral(" \u2014 "), 1));
        });
        probe.start(50);
        f.update();
        probe.stop();
        QVERIFY2(f.page->lastOutcome().updated(), qPrintable(f.page->lastOutcome().detail));
        QVERIFY(!running.isEmpty());
        for (const QString &elapsed : running)
            QVERIFY2(elapsed == u"0 s" || elapsed == u"1 s", qPrintable(running.join(u' ')));
        QVERIFY2(widest > 0 && widest <= std::min(876, f.window->width()),
                 qPrintable(QString::number(widest)));
    }

    // An updater still running when the wait ends is reported, stays owned,
    // and its end is reported too.
    void updaterLeftRunningIsReportedWhenItEnds()
    {
        Fixture f;
        f.page->setTimings({10, 20, 5, 10, 600, 10, 10});
        f.folder.writeFile(QStringLiteral("sleep"), "30");
        f.tick("CB_WriteConf");
        f.update();
        QCOMPARE(f.page->lastOutcome().status, app::UpdateOutcome::Status::UpdaterStillRunning);
        QVERIFY(f.page->updaterRunning());
        QCOMPARE(f.boxes.texts().size(), 1);
        QVERIFY(f.boxes.texts().last().startsWith(englishMessage(u"Mes_Updater_Still_Running")));
        QSignalSpy ended(f.page, &ui::UpdatePage::updaterEnded);
        const QByteArray pid = f.folder.readFile(QStringLiteral("pid")).trimmed();
        QVERIFY(!pid.isEmpty());
        ::kill(pid_t(pid.toInt()), SIGKILL);
        QVERIFY(ended.wait(5000));
        QVERIFY(!f.page->updaterRunning());
        QCOMPARE(f.boxes.texts().size(), 2);
        QVERIFY(f.boxes.texts().last().startsWith(englishMessage(u"Error_Updater_Failed")));
    }

    // Closing the window while the update program runs asks first; the
    // answer decides, and closing leaves the program running.
    void closingDuringAnUpdateAsks()
    {
        Fixture f;
        f.page->setTimings({10, 20, 5, 10, 600, 10, 10});
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

    // Every step marked done in order; the command line and the updater's
    // lines are in the details pane.
    void stepsInOrderWithMarks()
    {
        Fixture f;
        f.tick("CB_WriteConf");
        f.update();
        QVERIFY2(f.page->lastOutcome().updated(), qPrintable(f.page->lastOutcome().detail));
        QCOMPARE(f.steps(),
                 (QStringList{"\u2713 Save the configuration", "\u2713 Check the update kit",
                              "\u2713 Build the device image", "\u2713 Keep a copy in the history",
                              "\u2713 Open the port", "\u2713 Bring the device into its boot loader",
                              "\u2713 Release the port", "\u2713 Run the update program",
                              "\u2713 Read the device back"}));
        const QString details =
            f.dialog()->findChild<QPlainTextEdit *>(QStringLiteral("UpdateDetails"))->toPlainText();
        QVERIFY2(details.startsWith(f.modem.devicePath() + QStringLiteral(" NO NO PW PR \"")),
                 qPrintable(details));
        QVERIFY2(details.endsWith(QStringLiteral("\nupdater: failing")), qPrintable(details));
    }

    // A link pulled in the boot loop: the lost-connection text, the stage, a failed mark.
    void pulledLinkInTheBootLoop()
    {
        Fixture f({"--silent"}, 1, SimulatedModem::Plug::Pullable);
        f.page->setTimings({10, 50, 10, 10, 5000, 10, 10});
        f.tick("CB_WriteConf");
        QTimer::singleShot(300, [&] { f.modem.vanish(); });
        f.update();
        QCOMPARE(f.page->lastOutcome().status, app::UpdateOutcome::Status::PortFailed);
        QCOMPARE(f.boxes.texts().size(), 1);
        QVERIFY2(f.boxes.texts().first().startsWith(englishMessage(u"Error_Port_Lost") +
                                                    "\nStage: Bring the device into its boot loader\n"),
                 qPrintable(f.boxes.texts().first()));
        QCOMPARE(f.steps().value(5), QStringLiteral("\u2717 Bring the device into its boot loader"));
        QCOMPARE(f.steps().value(6), QStringLiteral("\u00B7 Release the port"));
    }

    // Three devices in a row: the image built once, three numbered entries.
    void updateAnotherDeviceThreeTimes()
    {
        Fixture f;
        f.tick("CB_WriteConf");
        f.update();
        QVERIFY(f.page->lastOutcome().updated());
        const QString image = f.folder.path() + QStringLiteral("/Projects/Plant_A/bin/bank.bin");
        const QDateTime built = QFileInfo(image).lastModified();
        QTest::qWait(1100); // a rebuild would show in the modification time
        for (int device = 2; device <= 3; ++device) {
            SimulatedModem next({"--boot-after", "1"});
            auto *ports = child<QComboBox>(f.window.get(), "CB_COMPort_List");
            ports->addItem(next.devicePath());
            ports->setCurrentText(next.devicePath());
            QSignalSpy finished(f.page, &ui::UpdatePage::updateFinished);
            f.dialog()->findChild<QPushButton *>(QStringLiteral("UpdateAnother"))->click();
            QVERIFY(finished.wait(30000));
            QVERIFY2(f.page->lastOutcome().updated(), qPrintable(f.page->lastOutcome().detail));
            QCOMPARE(f.page->lastOutcome().device, device);
            QCOMPARE(f.steps().value(0), QStringLiteral("\u2013 Save the configuration"));
            QCOMPARE(f.steps().value(2), QStringLiteral("\u2013 Build the device image"));
        }
        QCOMPARE(QFileInfo(image).lastModified(), built);
        const QList<app::HistoryEntry> entries =
            app::UpdateHistory(f.folder.path() + QStringLiteral("/Projects/Plant_A/")).entries();
        QCOMPARE(entries.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(entries.at(i).device, i + 1);
        QCOMPARE(f.boxes.texts(), QStringList());
    }

    // Pictures of the step list in the boot loop and after success.
    void stepListScreenshots_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("English") << 1 << "eng";
        QTest::newRow("Italian") << 2 << "ita";
    }

    void stepListScreenshots()
    {
        QFETCH(int, language);
        QFETCH(QString, prefix);
        Fixture f({"--boot-after", "2"}, language);
        f.page->setTimings({10, 100, 10, 10, 5000, 10, 10});
        f.tick("CB_WriteFW");
        f.tick("CB_WriteConf");
        // Into the folder given in TRENOV5X_SHOTS (docs/screenshots/ when they
        // are taken again); a test run never writes into the source tree.
        QTemporaryDir scratch;
        const QString shots = qEnvironmentVariable("TRENOV5X_SHOTS");
        const QString folder = (shots.isEmpty() ? scratch.path() : shots) + QLatin1Char('/');
        bool grabbed = false;
        QSignalSpy finished(f.page, &ui::UpdatePage::updateFinished);
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (!grabbed && f.dialog() && f.steps().value(5).contains(QLatin1String("2"))) {
                grabbed = f.dialog()->grab().save(folder + prefix + QStringLiteral("_update_steps_boot.png"));
            }
        });
        probe.start(20);
        child<QPushButton>(f.window.get(), "TntBtn_UpdateDevice")->click();
        QVERIFY(finished.wait(30000));
        probe.stop();
        QVERIFY(grabbed);
        QVERIFY(f.page->lastOutcome().updated());
        QVERIFY(f.dialog()->grab().save(folder + prefix + QStringLiteral("_update_steps_done.png")));
    }
};

QTEST_MAIN(TestUpdatePage)
#include "tst_update_page.moc"
