// The main window through its real widgets: start sequence, menu, pages,
// language choice, About box and the Date & Time page against the simulated
// modem on a pseudo-terminal.
#include "config/ConfigurationFile.h"
#include "helper_window.h"
#include "link/PortList.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"
#include "ui/pages/PreferencesPage.h"
#include "ui/widgets/Theme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using ui::MainWindow;

namespace {

QString visiblePageName(MainWindow &w)
{
    auto *stack = w.findChild<QStackedWidget *>();
    return w.currentPage() == ui::PageId::None ? QString() : stack->currentWidget()->objectName();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void windowOpensInsideTheScreen_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("placed");
        // A screen with room: centred at the full size.
        QTest::newRow("1920x1040") << QRect(0, 0, 1920, 1040) << QRect(522, 197, 876, 672);
        // 1280 x 800 at 150 %: 853 x 533 logical pixels less a panel.
        QTest::newRow("853x509 scaled") << QRect(0, 24, 853, 509) << QRect(4, 54, 845, 475);
        // A second screen left of the first, and a panel on the left.
        QTest::newRow("left screen") << QRect(-1024, 0, 1024, 700) << QRect(-949, 30, 876, 666);
        QTest::newRow("panel left") << QRect(60, 0, 800, 600) << QRect(64, 30, 792, 566);
    }

    void windowOpensInsideTheScreen()
    {
        QFETCH(QRect, available);
        QFETCH(QRect, placed);
        const QRect got = MainWindow::placement(MainWindow::kSize, available);
        QCOMPARE(got, placed);
        QVERIFY(available.contains(got.marginsAdded(MainWindow::kFrame)));
    }

    void smallScreenScrollsTheWindow()
    {
        ProgramFolder folder;
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect available = w.screen()->availableGeometry();
        QVERIFY(available.contains(w.frameGeometry().topLeft()));
        QVERIFY(w.width() <= available.width());
        auto *scroll = child<QScrollArea>(&w, "WindowScroll");
        // The offscreen screen is narrower than the window.
        if (available.width() < MainWindow::kSize.width())
            QVERIFY(scroll->horizontalScrollBar()->maximum() > 0);
        w.resize(MainWindow::kSize);
        QTRY_COMPARE(scroll->horizontalScrollBar()->maximum(), 0);
        QCOMPARE(scroll->verticalScrollBar()->maximum(), 0);
    }

    void messageBoxesShowPlainText()
    {
        ui::DialogMessagePresenter real;
        Qt::TextFormat format = Qt::AutoText;
        QString shown;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            format = box->textFormat();
            shown = box->text();
            box->accept();
        });
        real.show(nullptr, ui::MessageKind::Error, QStringLiteral("<b>Plant</b>"), ui::MessageButtons::Ok);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shown, QStringLiteral("<b>Plant</b>"));
    }

    void startShowsNoPageThenPhoneSettingShowsTheLoadedValues()
    {
        ProgramFolder folder;
        config::Configuration c;
        c.pin = QStringLiteral("4321");
        c.dst = true;
        folder.writeConfiguration(QStringLiteral("Plant_A"), c);
        folder.writeSettings(1, QStringLiteral("Plant_A"));
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        QCOMPARE(w.currentPage(), ui::PageId::None);
        QVERIFY(!child<QWidget>(&w, "P_Phone_Set")->isVisible());
        clickMenu(w, "TntL_Phone_Menu");
        QCOMPARE(visiblePageName(w), QStringLiteral("P_Phone_Set"));
        QCOMPARE(child<QLineEdit>(&w, "TntE_PIN")->text(), QStringLiteral("4321"));
        QVERIFY(child<QCheckBox>(&w, "CB_PS_DST")->isChecked());
        QCOMPARE(w.size(), MainWindow::placement(MainWindow::kSize, w.screen()->availableGeometry()).size());
        QVERIFY(boxes.shown.isEmpty());
    }

    void startInGermanWithTheLastConfigurationAsksNothingOnClose()
    {
        ProgramFolder folder;
        config::Configuration c;
        c.pin = QStringLiteral("1111");
        folder.writeConfiguration(QStringLiteral("Halle 3"), c);
        folder.writeSettings(3, QStringLiteral("Halle 3"));
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("Corvantis - TRENOV5x - Halle 3"));
        lang::LanguageTexts german;
        QVERIFY(german.loadLanguageFile(folder.path() + QStringLiteral("/Language/Lang_GER.xml")));
        QCOMPARE(child<QLabel>(&w, "TntL_Phone_Menu")->text(), german.text(u"TntL_Phone_Menu"));
        QVERIFY(german.text(u"TntL_Phone_Menu") != QStringLiteral("Phone Setting"));
        QCOMPARE(child<QLineEdit>(&w, "TntE_PIN")->text(), QStringLiteral("1111"));
        QVERIFY(!w.isChanged());
        QVERIFY(w.close());
        QVERIFY(boxes.shown.isEmpty());
    }

    void refusedConfigurationAtStartOpensNone()
    {
        ProgramFolder folder;
        folder.writeFile(QStringLiteral("Projects/Bad/Configuration.xml"), "<Configuration><Phone_Setting>");
        folder.writeSettings(1, QStringLiteral("Bad"));
        const QByteArray settings = folder.readFile(QStringLiteral("Setting/setting.xml"));
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].kind, ui::MessageKind::Error);
        QVERIFY2(boxes.shown[0].text.contains(QStringLiteral("Configuration.xml")),
                 qPrintable(boxes.shown[0].text));
        QVERIFY(w.windowTitle().endsWith(QStringLiteral(" - #NO_CONF#")));
        QCOMPARE(folder.readFile(QStringLiteral("Setting/setting.xml")), settings);
    }

    // Names and element names from files are quoted short: a box that had
    // to lay out megabytes froze the window for many seconds.
    void hostileStartFilesGiveShortMessages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        const QString longName(1'000'000, u'x');
        QTest::newRow("1 M characters named in setting.xml") << longName << QByteArray();
        QTest::newRow("8 MB root element name")
            << QStringLiteral("Big") << QByteArray("<" + QByteArray(8 << 20, 'a') + "/>");
    }

    void hostileStartFilesGiveShortMessages()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        ProgramFolder folder;
        if (!file.isEmpty())
            folder.writeFile(QStringLiteral("Projects/%1/Configuration.xml").arg(name), file);
        folder.writeSettings(1, name);
        RecordingPresenter boxes;
        QElapsedTimer clock;
        clock.start();
        MainWindow w({folder.path(), &boxes});
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(boxes.shown.size(), 1);
        QVERIFY2(boxes.shown[0].text.size() < 1000, qPrintable(boxes.shown[0].text.left(300)));
        QVERIFY(boxes.shown[0].text.contains(QChar(0x2026)));
    }

    void lockOfAnotherComputerNamesItAndTheFile()
    {
        ProgramFolder folder;
        QTemporaryDir scratch;
        QLockFile own(scratch.filePath(QStringLiteral("own.lock")));
        QVERIFY(own.tryLock(0));
        QFile ownFile(own.fileName());
        QVERIFY(ownFile.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = ownFile.readAll().split('\n');
        // The file names a process, the program, the computer's name, its
        // machine ID and its boot ID.
        lines[2] = "plant-laptop-7";
        lines[3] = "0123456789abcdef0123456789abcdef";
        lines[4] = "00000000-0000-0000-0000-000000000001";
        const QString file = folder.path() + QStringLiteral("/Setting/trenov5x.lock");
        folder.writeFile(QStringLiteral("Setting/trenov5x.lock"), lines.join('\n'));
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        QVERIFY(w.startFailed());
        QCOMPARE(boxes.shown.size(), 1);
        const QString shown = boxes.shown[0].text;
        QVERIFY2(shown.contains(QStringLiteral("\"plant-laptop-7\"")) &&
                     shown.contains(QDir::toNativeSeparators(file)),
                 qPrintable(shown));
    }

    void folderThatCannotBeCreatedEndsTheStartWithABox()
    {
        ProgramFolder folder;
        folder.writeFile(QStringLiteral("Projects"), "a file where the folder belongs");
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        QVERIFY(w.startFailed());
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].kind, ui::MessageKind::Error);
        QVERIFY2(boxes.shown[0].text.contains(
                     QDir::toNativeSeparators(folder.path() + QStringLiteral("/Projects/"))),
                 qPrintable(boxes.shown[0].text));
        QVERIFY(!QFileInfo::exists(folder.path() + QStringLiteral("/Setting/setting.xml")));
    }

    void secondWindowOnTheFolderSaysSoInTheSettingsLanguageAndEnds()
    {
        ProgramFolder folder;
        folder.writeSettings(3, QString());
        RecordingPresenter firstBoxes;
        auto first = std::make_unique<MainWindow>(MainWindow::Options{folder.path(), &firstBoxes});
        QVERIFY(!first->startFailed());
        RecordingPresenter boxes;
        {
            MainWindow second({folder.path(), &boxes});
            QVERIFY(second.startFailed());
        }
        lang::LanguageTexts german;
        QVERIFY(german.loadLanguageFile(folder.path() + QStringLiteral("/Language/Lang_GER.xml")));
        QCOMPARE(boxes.texts(), QStringList{german.messageText(u"Mes_Already_Running")});
        QCOMPARE(boxes.shown[0].kind, ui::MessageKind::Warning);
        QVERIFY(firstBoxes.shown.isEmpty());

        first.reset();
        MainWindow next({folder.path(), &boxes});
        QVERIFY(!next.startFailed());
    }

    void editingThePhonePageMarksTheConfigurationChanged()
    {
        ProgramFolder folder;
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        clickMenu(w, "TntL_Phone_Menu");
        QTest::keyClicks(child<QLineEdit>(&w, "TntE_PIN"), QStringLiteral("12"));
        QCOMPARE(w.session().configuration().pin, QStringLiteral("12"));
        QVERIFY(w.isChanged());
        child<QCheckBox>(&w, "CB_PS_DST")->click();
        QVERIFY(w.session().configuration().dst);
        boxes.answers = {ui::MessageAnswer::Cancel};
        QVERIFY(!w.close());
        QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Do you want to save the configuration?")});
    }

    void softwarePreferencesSelectsAppliesAndWritesTheLanguageOnce()
    {
        ProgramFolder folder;
        folder.writeSettings(2, QString());
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        folder.writeFile(QStringLiteral("Setting/setting.xml"), "untouched");
        clickMenu(w, "TntL_Preference_Menu");
        QVERIFY(child<QRadioButton>(&w, "TntRB_Leng_Italian")->isChecked());
        QCOMPARE(
            folder.readFile(QStringLiteral("Setting/setting.xml")),
            QByteArray(
                "<General_Setting><Language>2</Language><Configuration></Configuration></General_Setting>"));
        folder.writeFile(QStringLiteral("Setting/setting.xml"), "untouched");
        clickMenu(w, "TntL_Phone_Menu");
        clickMenu(w, "TntL_Preference_Menu");
        QCOMPARE(folder.readFile(QStringLiteral("Setting/setting.xml")), QByteArray("untouched"));

        // The Spanish flag selects its button and applies Spanish at once.
        QTest::mouseClick(child<QWidget>(&w, "TntI_Lang_Spa"), Qt::LeftButton);
        QVERIFY(child<QRadioButton>(&w, "TntRB_Leng_Spanish")->isChecked());
        QCOMPARE(w.session().languageCode(), 4);
        lang::LanguageTexts spanish;
        QVERIFY(spanish.loadLanguageFile(folder.path() + QStringLiteral("/Language/Lang_SPA.xml")));
        QCOMPARE(child<QLabel>(&w, "TntL_New_Menu")->text(), spanish.text(u"TntL_New_Menu"));
        QVERIFY(folder.readFile(QStringLiteral("Setting/setting.xml")).contains("<Language>4</Language>"));
        QCOMPARE(child<QRadioButton>(&w, "TntRB_Leng_Spanish")->text(), QStringLiteral("Espa\u00f1ol"));
    }

    void preferencesShowAndOpenTheWorkspace()
    {
        ProgramFolder folder;
        QTemporaryDir elsewhere;
        const QString workspace = elsewhere.filePath(QStringLiteral("my work")) + QLatin1Char('/');
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes, workspace});
        w.show();
        QVERIFY(QFileInfo(workspace + QStringLiteral("Projects")).isDir());
        QVERIFY(QFileInfo(workspace + QStringLiteral("Setting/setting.xml")).isFile() ||
                QFileInfo(workspace + QStringLiteral("Setting")).isDir());
        QVERIFY(!QFileInfo::exists(folder.path() + QStringLiteral("/Projects")));
        clickMenu(w, "TntL_Preference_Menu");
        QCOMPARE(child<QLabel>(&w, "L_Workspace_Path")->text(), QDir::toNativeSeparators(workspace));
        auto *page = w.findChild<ui::PreferencesPage *>();
        QVERIFY(page);
        QList<QUrl> opened;
        page->setFolderOpener([&](const QUrl &url) {
            opened.append(url);
            return true;
        });
        QTest::mouseClick(child<QPushButton>(&w, "TntBtn_Open_Workspace"), Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(workspace)});
        // The captions follow the language.
        QTest::mouseClick(child<QWidget>(&w, "TntI_Lang_Ger"), Qt::LeftButton);
        lang::LanguageTexts german;
        QVERIFY(german.loadLanguageFile(folder.path() + QStringLiteral("/Language/Lang_GER.xml")));
        QCOMPARE(child<QPushButton>(&w, "TntBtn_Open_Workspace")->text(),
                 german.text(u"TntBtn_Open_Workspace"));
        QVERIFY(QFileInfo(workspace + QStringLiteral("Setting/setting.xml")).isFile());
    }

    void languageCodeOutsideTheFourSelectsNone()
    {
        ProgramFolder folder;
        folder.writeSettings(7, QString());
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        QCOMPARE(child<QLabel>(&w, "TntL_New_Menu")->text(), QStringLiteral("New Configuration"));
        clickMenu(w, "I_Preferences");
        for (const char *name :
             {"TntRB_Leng_English", "TntRB_Leng_Italian", "TntRB_Leng_German", "TntRB_Leng_Spanish"})
            QVERIFY2(!child<QRadioButton>(&w, name)->isChecked(), name);
        QCOMPARE(w.session().languageCode(), 7);
    }

    void newPageShowsTheOpenNameEachTime()
    {
        ProgramFolder folder;
        folder.writeSettings(1, QStringLiteral("Plant_B"));
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        clickMenu(w, "TntL_New_Menu");
        auto *name = child<QLineEdit>(&w, "TntE_NewConf");
        QCOMPARE(name->text(), QStringLiteral("Plant_B"));
        name->setText(QStringLiteral("Other"));
        clickMenu(w, "I_New");
        QCOMPARE(name->text(), QStringLiteral("Plant_B"));
    }

    void hoveringACaptionUnderlinesItInBlue()
    {
        ProgramFolder folder;
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        auto *caption = child<QLabel>(&w, "TntL_Update_Menu");
        auto *icon = child<QWidget>(&w, "I_Update");
        const QFont iconFont = icon->font();
        const QPalette iconPalette = icon->palette();
        QEnterEvent enterIcon(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(icon, &enterIcon);
        QCOMPARE(icon->font(), iconFont);
        QCOMPARE(icon->palette(), iconPalette);
        QVERIFY(!caption->font().underline());

        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(caption, &enter);
        QVERIFY(caption->font().underline());
        QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(caption, &leave);
        QVERIFY(!caption->font().underline());
        QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    void aboutIconClosesTheOpenPortBeforeTheBoxOpens()
    {
        SimulatedModem modem;
        ProgramFolder folder;
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        clickMenu(w, "TntL_Date_Menu");
        auto *ports = child<QComboBox>(&w, "CB_COMPort_List_DateTime");
        ports->addItem(modem.devicePath());
        ports->setCurrentText(modem.devicePath());
        child<QPushButton>(&w, "TntB_DT_RSD")->click();
        QVERIFY(w.deviceLink().linkOpen());
        QVERIFY(w.deviceLink().port().isOpen());

        bool portOpenWhileShown = true;
        QSize shownSize;
        QTimer::singleShot(0, &w, [&] {
            portOpenWhileShown = w.deviceLink().port().isOpen();
            shownSize = w.aboutBox()->frameGeometry().size();
            child<QPushButton>(w.aboutBox(), "LbButton1")->click();
        });
        QTest::mouseClick(child<QWidget>(&w, "I_About"), Qt::LeftButton);
        QVERIFY(!portOpenWhileShown);
        QVERIFY(!w.deviceLink().polling());
        QCOMPARE(shownSize, ui::AboutBox::kOuterSize);
        QCOMPARE(w.currentPage(), ui::PageId::DateTime); // the page stays
    }

    void aboutBoxIsTheSameInEveryLanguage()
    {
        ProgramFolder folder;
        folder.writeSettings(3, QString());
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        QCOMPARE(child<QLabel>(w.aboutBox(), "Label1")->text(), QStringLiteral("Software TRENOV5x"));
        QCOMPARE(child<QLabel>(w.aboutBox(), "Label10")->text(), QStringLiteral("1.008"));
        QCOMPARE(child<QLabel>(w.aboutBox(), "Label1")->pos(), QPoint(64, 88));
        QCOMPARE(w.aboutBox()->windowTitle(), QStringLiteral("About..."));
    }

    void dateTimePageAgainstTheSimulatedModem()
    {
        SimulatedModem modem;
        ProgramFolder folder;
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.deviceLink().setPollInterval(200);
        w.show();
        clickMenu(w, "TntL_Date_Menu");
        QVERIFY(child<QWidget>(&w, "P_DT_PRO_DateTime")->isVisible());
        QVERIFY(!child<QWidget>(&w, "P_DT_PRO_Profile")->isVisible());
        const QDateTime now = QDateTime::currentDateTime();
        QCOMPARE(child<QLineEdit>(&w, "TntE_DT_SDT_yy")->text().toInt(), now.date().year() - 2000);
        auto *ports = child<QComboBox>(&w, "CB_COMPort_List_DateTime");
        ports->addItem(modem.devicePath());
        ports->setCurrentText(modem.devicePath());

        // An invalid date sends nothing and opens nothing.
        child<QLineEdit>(&w, "TntE_DT_SDT_hh")->setText(QStringLiteral("24"));
        child<QPushButton>(&w, "TntB_DT_SDT_WriteDT")->click();
        QCOMPARE(boxes.texts(), QStringList{w.texts().messageText(u"Error_Date_Not_Valid")});
        QVERIFY(!w.deviceLink().linkOpen());

        // A custom clock: the modem takes it and the status labels show it.
        boxes.shown.clear();
        const QStringList custom = {"7", "5", "3", "9", "4", "24"};
        const char *fields[] = {"TntE_DT_SDT_hh", "TntE_DT_SDT_mi", "TntE_DT_SDT_ss",
                                "TntE_DT_SDT_dd", "TntE_DT_SDT_mo", "TntE_DT_SDT_yy"};
        for (int i = 0; i < 6; ++i)
            child<QLineEdit>(&w, fields[i])->setText(custom[i]);
        child<QPushButton>(&w, "TntB_DT_SDT_WriteDT")->click();
        QCOMPARE(boxes.texts(), QStringList{w.texts().messageText(u"DateTime_Correctly_Setted")});
        QVERIFY(child<QLabel>(&w, "TntL_DT_RSD_DT_Readed")->text().startsWith(QStringLiteral("07.05.0")));
        QVERIFY(child<QLabel>(&w, "TntL_DT_RSD_DT_Readed")->text().endsWith(QStringLiteral("09/04/24")));
        QCOMPARE(child<QLabel>(&w, "TntL_DT_RSD_FW_Readed")->text(), QStringLiteral("1.0.4"));
        QVERIFY(w.deviceLink().polling());

        // The PC clock.
        boxes.shown.clear();
        child<QPushButton>(&w, "TntB_DT_SDT_GetDT")->click();
        QCOMPARE(boxes.texts(), QStringList{w.texts().messageText(u"DateTime_Correctly_Setted")});
        QCOMPARE(child<QLineEdit>(&w, "TntE_DT_SDT_yy")->text().toInt(), now.date().year());
        QVERIFY(
            child<QLabel>(&w, "TntL_DT_RSD_DT_Readed")->text().endsWith(now.toString(QStringLiteral("yy"))));

        // Polling keeps the clock label moving.
        const QString before = child<QLabel>(&w, "TntL_DT_RSD_DT_Readed")->text();
        QTRY_VERIFY_WITH_TIMEOUT(child<QLabel>(&w, "TntL_DT_RSD_DT_Readed")->text() != before, 4000);

        // Silenced: the timer shows nothing, the button shows Error_No_Answer.
        boxes.shown.clear();
        modem.toggleSilent();
        QTest::qWait(700);
        QVERIFY(boxes.shown.isEmpty());
        child<QPushButton>(&w, "TntB_DT_RSD")->click();
        QCOMPARE(boxes.texts(), QStringList{w.texts().messageText(u"Error_No_Answer")});
        QVERIFY(!w.deviceLink().linkOpen());

        // Read Status Device fills both labels once the modem answers again.
        modem.toggleSilent();
        boxes.shown.clear();
        child<QLabel>(&w, "TntL_DT_RSD_FW_Readed")->setText(QStringLiteral("------"));
        child<QPushButton>(&w, "TntB_DT_RSD")->click();
        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(child<QLabel>(&w, "TntL_DT_RSD_FW_Readed")->text(), QStringLiteral("1.0.4"));

        // A menu click ends the link and the polling.
        clickMenu(w, "TntL_Phone_Menu");
        QVERIFY(!w.deviceLink().linkOpen());
        QVERIFY(!w.deviceLink().polling());
    }

    void choosingAnotherPortClosesTheFirst()
    {
        SimulatedModem first;
        SimulatedModem second({QStringLiteral("--fw-version"), QStringLiteral("2.0")});
        ProgramFolder folder;
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        clickMenu(w, "TntL_Date_Menu");
        auto *ports = child<QComboBox>(&w, "CB_COMPort_List_DateTime");
        ports->addItems({first.devicePath(), second.devicePath()});
        ports->setCurrentText(first.devicePath());
        child<QPushButton>(&w, "TntB_DT_RSD")->click();
        QCOMPARE(w.deviceLink().linkPortName(), first.devicePath());
        ports->setCurrentText(second.devicePath());
        child<QPushButton>(&w, "TntB_DT_RSD")->click();
        QCOMPARE(w.deviceLink().linkPortName(), second.devicePath());
        QCOMPARE(child<QLabel>(&w, "TntL_DT_RSD_FW_Readed")->text(), QStringLiteral("2.0"));
        // The first port is free again: another program can open it.
        devlink::CommPort other;
        other.setDeviceName(devlink::devicePath(first.devicePath()));
        try {
            other.open();
        } catch (const devlink::CommError &e) {
            QFAIL(qPrintable(e.text()));
        }
        other.close();
        QVERIFY(boxes.shown.isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
