// What the Date & Time page says of the device, through the real widgets and
// the simulated modem: the result labels show only a state that is current,
// port failures say what happened, and the port lists follow what is plugged.
#include "helper_window.h"
#include "lang/LanguageTexts.h"
#include "link/PortList.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

using ui::MainWindow;

namespace {

const QString kNoFirmware = QStringLiteral("------");
const QString kNoDateTime = QStringLiteral("--.--.-- --/--/--");

// The window on the Date & Time page with modem as the chosen port.
struct DateTimeWindow
{
    explicit DateTimeWindow(const QString &port, int language = 1)
    {
        folder.writeSettings(language, QString());
        w = std::make_unique<MainWindow>(MainWindow::Options{folder.path(), &boxes});
        w->deviceLink().setPollInterval(100);
        w->show();
        clickMenu(*w, "TntL_Date_Menu");
        auto *ports = child<QComboBox>(w.get(), "CB_COMPort_List_DateTime");
        ports->addItem(port);
        ports->setCurrentText(port);
    }

    QString firmware() const { return child<QLabel>(w.get(), "TntL_DT_RSD_FW_Readed")->text(); }
    QString dateTime() const { return child<QLabel>(w.get(), "TntL_DT_RSD_DT_Readed")->text(); }
    bool blank() const { return firmware() == kNoFirmware && dateTime() == kNoDateTime; }
    void press(const char *button) { child<QPushButton>(w.get(), button)->click(); }
    QString message(const char *key) const { return w->texts().messageText(QString::fromLatin1(key)); }

    ProgramFolder folder;
    RecordingPresenter boxes;
    std::unique_ptr<MainWindow> w;
};

// A serial port name for a simulated modem linked into /dev; empty where
// /dev cannot take the link.
QString devPortName(const char *suffix)
{
    if (!QFileInfo(QStringLiteral("/dev")).isWritable())
        return {};
    return QStringLiteral("ttyVdt%1%2").arg(QCoreApplication::applicationPid()).arg(QLatin1String(suffix));
}

} // namespace

class TestDateTimePage : public QObject
{
    Q_OBJECT

private slots:
    void failedPollBlanksTheLabelsUntilARead_data()
    {
        QTest::addColumn<bool>("unplugged");
        QTest::newRow("device silent") << false;
        QTest::newRow("device unplugged") << true;
    }

    void failedPollBlanksTheLabelsUntilARead()
    {
        QFETCH(bool, unplugged);
        SimulatedModem modem;
        DateTimeWindow page(modem.devicePath());
        page.press("TntB_DT_RSD");
        QCOMPARE(page.firmware(), QStringLiteral("1.0.4"));
        QVERIFY(page.w->deviceLink().polling());

        if (unplugged)
            modem.vanish();
        else
            modem.toggleSilent();
        QTRY_VERIFY_WITH_TIMEOUT(page.blank(), 3000);
        if (unplugged) {
            // The polling has stopped and the box says what to check, with the
            // system's text below.
            QTRY_COMPARE_WITH_TIMEOUT(page.boxes.shown.size(), 1, 3000);
            const QString text = page.boxes.shown.first().text;
            QVERIFY2(
                text.startsWith(page.message("Error_Port_Lost") + QStringLiteral("\nWrite error (Error: ")),
                qPrintable(text));
            QVERIFY(!page.w->deviceLink().polling());
            QVERIFY(!page.w->deviceLink().linkOpen());
            return;
        }
        // A silent device is no error: the polling goes on and fills the
        // labels again once the device answers.
        QVERIFY(page.boxes.shown.isEmpty());
        QVERIFY(page.w->deviceLink().polling());
        modem.toggleSilent();
        QTRY_COMPARE_WITH_TIMEOUT(page.firmware(), QStringLiteral("1.0.4"), 3000);
        QVERIFY(page.dateTime() != kNoDateTime);
        QVERIFY(page.boxes.shown.isEmpty());
    }

    void portErrorWhileSettingTheClockShowsThePortError()
    {
        SimulatedModem modem;
        DateTimeWindow page(modem.devicePath());
        page.press("TntB_DT_RSD");
        QCOMPARE(page.firmware(), QStringLiteral("1.0.4"));
        modem.vanish();

        page.press("TntB_DT_SDT_GetDT");
        QCOMPARE(page.boxes.shown.size(), 1);
        QCOMPARE(page.boxes.shown.first().kind, ui::MessageKind::Error);
        QCOMPARE(page.boxes.shown.first().text,
                 page.message("Error_Port_Lost") + QStringLiteral("\nWrite error (Error: 5)"));
        QVERIFY(page.blank());
        QVERIFY(!page.w->deviceLink().linkOpen());
        QVERIFY(!page.w->deviceLink().polling());
    }

    void leavingThePortBlanksTheLabels_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("another port chosen") << "port";
        QTest::newRow("another page") << "page";
        QTest::newRow("About box") << "about";
    }

    void leavingThePortBlanksTheLabels()
    {
        QFETCH(QString, how);
        SimulatedModem modem;
        SimulatedModem other({QStringLiteral("--fw-version"), QStringLiteral("2.0")});
        DateTimeWindow page(modem.devicePath());
        auto *ports = child<QComboBox>(page.w.get(), "CB_COMPort_List_DateTime");
        ports->addItem(other.devicePath());
        page.press("TntB_DT_RSD");
        QCOMPARE(page.firmware(), QStringLiteral("1.0.4"));

        if (how == u"port") {
            ports->setCurrentText(other.devicePath());
        } else if (how == u"page") {
            clickMenu(*page.w, "TntL_Phone_Menu");
            QVERIFY(page.blank());
            clickMenu(*page.w, "TntL_Date_Menu");
            ports->addItem(modem.devicePath());
            ports->setCurrentText(modem.devicePath());
        } else {
            QTimer::singleShot(0, page.w.get(),
                               [&] { child<QPushButton>(page.w->aboutBox(), "LbButton1")->click(); });
            QTest::mouseClick(child<QWidget>(page.w.get(), "I_About"), Qt::LeftButton);
        }
        QVERIFY(page.blank());
        QVERIFY(!page.w->deviceLink().linkOpen());
        QVERIFY(!page.w->deviceLink().polling());
        // Nothing comes back on its own; a read fills the labels again.
        QTest::qWait(300);
        QVERIFY(page.blank());
        page.press("TntB_DT_RSD");
        QCOMPARE(page.firmware(), how == u"port" ? QStringLiteral("2.0") : QStringLiteral("1.0.4"));
        QVERIFY(page.dateTime() != kNoDateTime);
        QVERIFY(page.boxes.shown.isEmpty());
    }

    void portInUseSaysSoInEveryLanguage_data() { addLanguageRows(); }

    void portInUseSaysSoInEveryLanguage()
    {
        QFETCH(int, language);
        SimulatedModem modem;
        DateTimeWindow page(modem.devicePath(), language);
        devlink::CommPort holder;
        holder.setDeviceName(modem.devicePath());
        holder.open();

        page.press("TntB_DT_RSD");
        QCOMPARE(page.boxes.texts(),
                 QStringList{page.message("Error_Port_Busy") +
                             QStringLiteral("\nError accessing specified device (Error: 16)")});
        QVERIFY(page.message("Error_Port_Busy") != page.message("Error_Open_Com"));
        QVERIFY(page.blank());
        QVERIFY(!page.w->deviceLink().linkOpen());
    }

    void portListsAreListedAgainWhenOpened_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("list");
        QTest::newRow("Date & Time") << "TntL_Date_Menu"
                                     << "CB_COMPort_List_DateTime";
        QTest::newRow("Update Device") << "TntL_Update_Menu"
                                       << "CB_COMPort_List";
    }

    void portListsAreListedAgainWhenOpened()
    {
        QFETCH(QString, menu);
        QFETCH(QString, list);
        const QString chosen = devPortName("b");
        const QString plugged = devPortName("a"); // listed before the chosen one
        if (chosen.isEmpty())
            QSKIP("/dev is not writable here");
        auto modem = std::make_unique<SimulatedModem>(
            QStringList{QStringLiteral("--link"), devlink::devicePath(chosen)});
        QTRY_VERIFY(devlink::listSerialPorts().contains(chosen));

        ProgramFolder folder;
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        clickMenu(w, qPrintable(menu));
        auto *ports = child<QComboBox>(&w, qPrintable(list));
        ports->setCurrentText(chosen);
        QCOMPARE(ports->currentText(), chosen);

        // A device plugged in while the page is shown: listed once the list
        // opens, and the choice stays.
        SimulatedModem later({QStringLiteral("--link"), devlink::devicePath(plugged)});
        QTRY_VERIFY(devlink::listSerialPorts().contains(plugged));
        QCOMPARE(ports->findText(plugged), -1);
        ports->showPopup();
        ports->hidePopup();
        QVERIFY(ports->findText(plugged) >= 0);
        QCOMPARE(ports->currentText(), chosen);

        // The chosen one unplugged: gone from the list the next time it opens.
        modem.reset();
        QTRY_VERIFY(!devlink::listSerialPorts().contains(chosen));
        ports->showPopup();
        ports->hidePopup();
        QCOMPARE(ports->findText(chosen), -1);
        QVERIFY(!ports->currentText().isEmpty());
        QVERIFY(boxes.shown.isEmpty());
    }
};

QTEST_MAIN(TestDateTimePage)
#include "tst_date_time_page.moc"
