// trenov5x-screenshots OUTPUT_FOLDER [--scaled]: starts the real window over
// a demonstration program folder and saves a PNG of every page and of the
// update progress window in every language, and of the About box, which is
// English only; in English and German also the keyboard focus on a menu entry
// and on a button, a question box, and a command text above 64 characters.
// With --scaled only the whole screen with the window as it opens, in English
// and German (run it on a small or scaled screen). With --tables only the
// tables' marked cells and the profile drop-down open, in English and German. Run it on a display (for
// example under xvfb-run) to see what installers see.
#include "app/Settings.h"
#include "app/UpdateHistory.h"
#include "config/ConfigurationFile.h"
#include "lang/LanguageTexts.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/SmsTableEditor.h"
#include "ui/widgets/Theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <algorithm>

namespace {

struct Language
{
    int code;
    const char *tag;
    bool allPages;
};

constexpr Language kLanguages[] = {{1, "eng", true}, {2, "ita", true}, {3, "ger", true}, {4, "spa", true}};

// One picture: the menu entry to click (none: the window as it starts), then
// the tabs and links to click on the page, in order.
struct Shot
{
    const char *name;
    const char *menu;
    std::initializer_list<const char *> clicks;
    bool everyLanguage;
};

const Shot kShots[] = {
    {"menu", nullptr, {}, true},
    {"new", "TntL_New_Menu", {}, false},
    {"load", "TntL_Load_Menu", {}, false},
    {"save", "TntL_Save_Menu", {}, false},
    {"update", "TntL_Update_Menu", {}, false},
    {"preferences", "TntL_Preference_Menu", {}, false},
    {"phone", "TntL_Phone_Menu", {}, false},
    {"input", "TntL_Input_Menu", {}, true},
    {"input_di2", "TntL_Input_Menu", {"P_DigIn1_Input2"}, true},
    {"input_analog", "TntL_Input_Menu", {"P_SubT_Go_AnaDig"}, true},
    {"output", "TntL_Output_Menu", {}, true},
    {"output_call", "TntL_Output_Menu", {"P_DO1_STSMS_CALL"}, true},
    {"output2_call", "TntL_Output_Menu", {"P_DigOut1_Output2", "P_DO2_STSMS_CALL"}, true},
    {"datetime", "TntL_Date_Menu", {}, true},
    {"profile_week", "TntL_Date_Menu", {"P_SubT_Go_Profile"}, true},
    {"profile_daily", "TntL_Date_Menu", {"P_SubT_Go_Profile", "P_Pro_Week1_Day"}, true},
    {"profile_date", "TntL_Date_Menu", {"P_SubT_Go_Profile", "P_Pro_Week1_Date"}, true},
};

config::Configuration demoConfiguration()
{
    config::Configuration c;
    c.pin = QStringLiteral("1234");
    c.dst = true;
    config::DigitalInput &door = c.digitalInputs[0];
    door.f0t1.enSms = true;
    door.f0t1.timeDelay = QStringLiteral("500");
    door.f0t1.list.setRows(
        {{QStringLiteral("Door opened"), QStringLiteral("+393351234567"), QStringLiteral("Site manager")},
         {QStringLiteral("Door opened"), QStringLiteral("+393489876543"), QStringLiteral("Night guard")}});
    door.f1t0.list.setRows(
        {{QStringLiteral("Door closed"), QStringLiteral("+393351234567"), QStringLiteral("Site manager")}});
    config::DigitalInput &pump = c.digitalInputs[1];
    pump.f0t1.enSms = true;
    pump.f0t1.list.setRows(
        {{QStringLiteral("Pump fault"), QStringLiteral("+4915112345678"), QStringLiteral("Service")}});
    c.analogInput.high.enSms = true;
    c.analogInput.high.list.setRows(
        {{QStringLiteral("Tank level high"), QStringLiteral("+34612345678"), QStringLiteral("Operator")}});
    config::DigitalOutput &gate = c.digitalOutputs[0];
    gate.sms.enable = true;
    gate.sms.set = true;
    gate.sms.reset = true;
    gate.sms.setText = QStringLiteral("Open gate");
    gate.sms.resetText = QStringLiteral("Close gate");
    gate.sms.checkPhoneNumber = true;
    gate.sms.list.setRows(
        {{QStringLiteral("+393351234567"), QStringLiteral("1"), QStringLiteral("Site manager")}});
    gate.call.enable = true;
    gate.call.under = {true, config::Operation::Impulse, QStringLiteral("2000")};
    gate.call.list.setRows(
        {{QStringLiteral("+393489876543"), QStringLiteral("4"), QStringLiteral("Night guard")},
         {QStringLiteral("+393351234567"), QStringLiteral("2"), QStringLiteral("Site manager")}});
    config::DigitalOutput &heating = c.digitalOutputs[1];
    heating.call.enable = true;
    heating.call.hangUp = {true, config::Operation::Set, QStringLiteral("100")};
    heating.call.above = {true, config::Operation::Reset, QStringLiteral("100")};
    // Weekly 1: the working week 08.00-12.00 and 13.30-17.30, Saturday morning.
    auto setSlots = [](config::DaySlots &day, int first, int last) {
        std::fill(day.begin() + first, day.begin() + last + 1, true);
    };
    config::WeeklyProfile &week = c.weeklyProfiles[0];
    week.enabled = true;
    for (int d = 0; d < 5; ++d) {
        setSlots(week.days[d], 16, 23);
        setSlots(week.days[d], 27, 34);
    }
    setSlots(week.days[5], 16, 23);
    // Daily 1: the night; Daily 2: the lunch break.
    c.dailyProfiles[0].enabled = true;
    setSlots(c.dailyProfiles[0].timeSlots, 0, 11);
    setSlots(c.dailyProfiles[0].timeSlots, 44, 47);
    c.dailyProfiles[1].enabled = true;
    setSlots(c.dailyProfiles[1].timeSlots, 24, 26);
    setSlots(c.dailyProfiles[2].timeSlots, 36, 39);
    return c;
}

void prepareFolder(const QString &folder, int language)
{
    QDir().mkpath(folder + QStringLiteral("/Language"));
    const QDir source(QCoreApplication::applicationDirPath() + QStringLiteral("/Language"));
    for (const QString &name : source.entryList({QStringLiteral("*.xml")}, QDir::Files))
        QFile::copy(source.filePath(name), folder + QStringLiteral("/Language/") + name);
    QDir().mkpath(folder + QStringLiteral("/Projects/Plant_A"));
    QDir().mkpath(folder + QStringLiteral("/Projects/Warehouse North"));
    QDir().mkpath(folder + QStringLiteral("/Setting"));
    config::writeConfigurationFile(demoConfiguration(),
                                   folder + QStringLiteral("/Projects/Plant_A/Configuration.xml"));
    app::writeSettings(folder + QStringLiteral("/Setting/setting.xml"),
                       {language, QStringLiteral("Plant_A"), {}});
}

// Answers every box with OK without showing it, so that a run is not held up.
class AnswerOk : public ui::MessagePresenter
{
public:
    ui::MessageAnswer show(QWidget *, ui::MessageKind, const QString &, ui::MessageButtons) override
    {
        return ui::MessageAnswer::Ok;
    }
};

bool save(QWidget *w, const QString &path);

// The progress window of an update, while the boot loader is awaited from a
// simulated modem that never answers; the update is then cancelled.
bool saveUpdateProgress(ui::MainWindow &window, const QString &folder, const QString &path)
{
    QProcess modem;
    modem.start(QCoreApplication::applicationDirPath() + QStringLiteral("/trenov5x-devsim"), {"--silent"});
    if (!modem.waitForStarted(5000) || !modem.waitForReadyRead(5000))
        return false;
    const QString port = QString::fromUtf8(modem.readLine()).trimmed();
    QFile updater(folder + QStringLiteral("/USB_SW58193_Update.exe"));
    updater.open(QIODevice::WriteOnly);
    updater.write("#!/bin/sh\nexit 0\n");
    updater.close();
    updater.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    emit window.findChild<ui::ClickLabel *>(QStringLiteral("TntL_Update_Menu"))->clicked();
    auto *ports = window.findChild<QComboBox *>(QStringLiteral("CB_COMPort_List"));
    ports->addItem(port);
    ports->setCurrentText(port);
    window.findChild<QCheckBox *>(QStringLiteral("CB_WriteConf"))->setChecked(true);
    bool saved = false;
    QTimer::singleShot(2500, [&] {
        auto *dialog = window.findChild<QDialog *>(QStringLiteral("UpdateProgress"));
        if (!dialog)
            return;
        saved = dialog->grab().save(path);
        if (auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("UpdateCancel")))
            cancel->click();
    });
    window.findChild<QPushButton *>(QStringLiteral("TntBtn_UpdateDevice"))->click();
    window.findChild<QCheckBox *>(QStringLiteral("CB_WriteConf"))->setChecked(false);
    modem.terminate();
    modem.waitForFinished(3000);
    return saved;
}

bool save(QWidget *w, const QString &path)
{
    QApplication::processEvents();
    QTest::qWait(50);
    return w->grab().save(path);
}

// The shots of the keyboard and the dialogs, in English and German.
int saveKeyboardAndDialogShots(ui::MainWindow &window, const QString &out, const char *tag)
{
    int failures = 0;
    auto file = [&](const char *name) {
        return QStringLiteral("%1/%2_%3.png").arg(out, QLatin1String(tag), QLatin1String(name));
    };
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
    window.showPage(ui::PageId::None);
    window.findChild<QWidget *>(QStringLiteral("TntL_Input_Menu"))->setFocus(Qt::TabFocusReason);
    failures += save(&window, file("focus_menu")) ? 0 : 1;

    emit window.findChild<ui::ClickLabel *>(QStringLiteral("TntL_Output_Menu"))->clicked();
    window.findChild<QWidget *>(QStringLiteral("TntB_DO1_SMS_AddRow"))->setFocus(Qt::TabFocusReason);
    failures += save(&window, file("focus_button")) ? 0 : 1;

    auto *command = window.findChild<QLineEdit *>(QStringLiteral("TntE_TurnOFF_DO1"));
    const QString kept = command->text();
    command->setFocus(Qt::TabFocusReason);
    command->setText(QStringLiteral("Close the gate and switch the floodlights off for the night, please"));
    failures += save(&window, file("counter")) ? 0 : 1;
    command->setText(kept);

    // The question asked before another configuration replaces a changed one.
    bool saved = false;
    QTimer::singleShot(300, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            saved = box->grab().save(file("question"));
            box->close();
        }
    });
    ui::DialogMessagePresenter dialogs;
    dialogs.show(&window, ui::MessageKind::Information,
                 window.texts().messageText(u"Mes_NewConf_Save_OldConf"), ui::MessageButtons::YesNoCancel);
    failures += saved ? 0 : 1;
    window.undo().markClean();
    return failures;
}

// The whole screen with the window as it opens: on a small or scaled screen
// it opens inside the free area and its content scrolls.
int saveScaledShots(const QString &out)
{
    int failures = 0;
    for (const Language &language : kLanguages) {
        if (language.code != 1 && language.code != 3)
            continue;
        QTemporaryDir folder;
        prepareFolder(folder.path(), language.code);
        AnswerOk answers;
        ui::MainWindow window({folder.path(), &answers});
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        emit window.findChild<ui::ClickLabel *>(QStringLiteral("TntL_Output_Menu"))->clicked();
        QApplication::processEvents();
        QTest::qWait(200);
        const QString file =
            QStringLiteral("%1/%2_scaled_1280x800.png").arg(out, QLatin1String(language.tag));
        failures += window.screen()->grabWindow(0).save(file) ? 0 : 1;
    }
    return failures;
}

// The window as the screen shows it, with its pop-ups and tooltips.
bool saveScreenOf(QWidget *window, const QString &path)
{
    QApplication::processEvents();
    QTest::qWait(300);
    const QRect frame = window->frameGeometry();
    return window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(path);
}

// The tables in English and German: cells a save would refuse, marked while
// typed, with the tooltip of one of them; and the profile drop-down open.
int saveTableShots(const QString &out)
{
    int failures = 0;
    for (const Language &language : kLanguages) {
        if (language.code != 1 && language.code != 3)
            continue;
        QTemporaryDir folder;
        prepareFolder(folder.path(), language.code);
        AnswerOk answers;
        ui::MainWindow window({folder.path(), &answers});
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        window.activateWindow();
        auto file = [&](const char *name) {
            return QStringLiteral("%1/%2_%3.png").arg(out, QLatin1String(language.tag), QLatin1String(name));
        };

        emit window.findChild<ui::ClickLabel *>(QStringLiteral("TntL_Input_Menu"))->clicked();
        auto *view = window.findChild<QTableView *>(QStringLiteral("SG_SMS_DI1_F0T1"));
        QAbstractItemModel *model = view->model();
        model->setData(
            model->index(0, 0),
            QStringLiteral("Door opened at the loading bay: check the alarm panel and the camera"));
        model->setData(model->index(1, 1), QStringLiteral("+39 348 98x 6543"));
        view->setCurrentIndex(model->index(0, 2));
        const QModelIndex phone = model->index(1, 1);
        const QPoint at = view->viewport()->mapToGlobal(view->visualRect(phone).center());
        QCursor::setPos(at);
        QTest::qWait(100);
        QToolTip::showText(at, phone.data(Qt::ToolTipRole).toString(), view->viewport());
        failures += saveScreenOf(&window, file("cell_marks")) ? 0 : 1;
        QToolTip::hideText();

        emit window.findChild<ui::ClickLabel *>(QStringLiteral("TntL_Output_Menu"))->clicked();
        emit window.findChild<ui::ClickPanel *>(QStringLiteral("P_DO1_STSMS_CALL"))->clicked();
        view = window.findChild<QTableView *>(QStringLiteral("SG_DO1_CALL"));
        const QModelIndex profile = view->model()->index(0, 1);
        view->setCurrentIndex(profile);
        view->edit(profile);
        if (auto *box = qobject_cast<QComboBox *>(view->indexWidget(profile))) {
            box->showPopup();
            failures += saveScreenOf(&window, file("profile_dropdown")) ? 0 : 1;
            box->hidePopup();
        } else {
            ++failures;
        }
        window.undo().markClean();
    }
    return failures;
}

// Answers a question with No (an import replaces the table), any other box with OK.
class AnswerNo : public ui::MessagePresenter
{
public:
    ui::MessageAnswer show(QWidget *, ui::MessageKind, const QString &, ui::MessageButtons buttons) override
    {
        return buttons == ui::MessageButtons::Ok ? ui::MessageAnswer::Ok : ui::MessageAnswer::No;
    }
};

// The comparison of another configuration with the open one, and a table
// file imported with rows the checks refuse, in English and German.
int saveCompareAndImportShots(const QString &out)
{
    int failures = 0;
    for (const Language &language : kLanguages) {
        if (language.code != 1 && language.code != 3)
            continue;
        QTemporaryDir folder;
        prepareFolder(folder.path(), language.code);
        config::Configuration other = demoConfiguration();
        other.pin = QStringLiteral("4321");
        other.digitalOutputs[0].sms.setText = QStringLiteral("Gate open");
        QList<config::TableRow> rows = other.digitalInputs[0].f0t1.list.rows();
        rows.prepend(
            {QStringLiteral("Door opened"), QStringLiteral("+393331234567"), QStringLiteral("Night shift")});
        if (rows.size() > 2)
            rows.removeAt(2);
        other.digitalInputs[0].f0t1.list.setRows(rows);
        other.weeklyProfiles[1].days[0][20] = !other.weeklyProfiles[1].days[0][20];
        QDir().mkpath(folder.filePath(QStringLiteral("Projects/Warehouse North")));
        config::writeConfigurationFile(
            other, folder.filePath(QStringLiteral("Projects/Warehouse North/Configuration.xml")));
        AnswerNo answers;
        ui::MainWindow window({folder.path(), &answers});
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        auto file = [&](const char *name) {
            return QStringLiteral("%1/%2_%3.png").arg(out, QLatin1String(language.tag), QLatin1String(name));
        };

        emit window.findChild<ui::ClickLabel *>(QStringLiteral("TntL_Load_Menu"))->clicked();
        auto *list = window.findChild<QListWidget *>(QStringLiteral("TntLB_LoadConf"));
        list->setCurrentItem(list->findItems(QStringLiteral("Warehouse North"), Qt::MatchExactly).value(0));
        window.findChild<QPushButton *>(QStringLiteral("TntB_Compare_Conf"))->click();
        if (auto *dialog = window.findChild<QDialog *>(QStringLiteral("CompareDialog"))) {
            failures += save(dialog, file("compare")) ? 0 : 1;
            dialog->close();
        } else {
            ++failures;
        }

        const QString csv = folder.filePath(QStringLiteral("numbers.csv"));
        QFile f(csv);
        f.open(QIODevice::WriteOnly);
        f.write("Phone Number;Description;SMS Message\n"
                "+39 333 123 4567;Anna;Gate open\n"
                "+39 333 98x 6543;Bruno;Gate open\n"
                "0039-348-111222;Carla;Gate open\n"
                "12;Dario;Gate open\n");
        f.close();
        emit window.findChild<ui::ClickLabel *>(QStringLiteral("TntL_Input_Menu"))->clicked();
        auto *view = window.findChild<QTableView *>(QStringLiteral("SG_SMS_DI1_F0T1"));
        auto *editor = qobject_cast<ui::SmsTableEditor *>(view->parentWidget());
        editor->setCsvFileChooser(
            [csv](QWidget *, bool, const QString &, const QString &, const QString &) { return csv; });
        editor->importAction()->trigger();
        view->setCurrentIndex({});
        failures += save(&window, file("csv_import_marks")) ? 0 : 1;
        window.undo().markClean();
    }
    return failures;
}

// The Load page in English and Italian with Plant_A's history: four
// updates, the oldest chosen for Restore.
int saveHistoryShots(const QString &out)
{
    int failures = 0;
    for (const Language &language : kLanguages) {
        if (language.code != 1 && language.code != 2)
            continue;
        QTemporaryDir folder;
        prepareFolder(folder.path(), language.code);
        app::UpdateHistory history(folder.path() + QStringLiteral("/Projects/Plant_A/"));
        const QByteArray xml = config::serializeConfiguration(demoConfiguration());
        const struct
        {
            QDateTime when;
            const char *outcome;
            const char *firmware;
            int device;
        } updates[] = {{QDateTime(QDate(2026, 3, 14), QTime(9, 30, 5)), "updated", "1.0.3", 0},
                       {QDateTime(QDate(2026, 5, 2), QTime(14, 12, 40)), "port-lost", "", 0},
                       {QDateTime(QDate(2026, 5, 2), QTime(14, 20, 11)), "updated", "1.0.4", 1},
                       {QDateTime(QDate(2026, 5, 2), QTime(14, 24, 57)), "updated-no-answer", "", 2}};
        for (const auto &u : updates) {
            QString error;
            const auto name = history.begin(u.when, xml, QByteArray("image"), &error);
            if (!name) {
                ++failures;
                continue;
            }
            app::HistoryEntry entry;
            entry.name = *name;
            entry.time = u.when;
            entry.port = QStringLiteral("/dev/ttyUSB0");
            entry.configuration = true;
            entry.sha256 = app::UpdateHistory::sha256Hex("image");
            entry.outcome = QLatin1String(u.outcome);
            entry.firmwareVersion = QLatin1String(u.firmware);
            entry.device = u.device;
            failures += history.complete(entry, &error) ? 0 : 1;
        }
        AnswerOk answers;
        ui::MainWindow window({folder.path(), &answers});
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        emit window.findChild<ui::ClickLabel *>(QStringLiteral("TntL_Load_Menu"))->clicked();
        auto *list = window.findChild<QListWidget *>(QStringLiteral("TntLB_LoadConf"));
        const auto found = list->findItems(QStringLiteral("Plant_A"), Qt::MatchExactly);
        if (found.isEmpty()) {
            ++failures;
            continue;
        }
        list->setCurrentItem(found.constFirst());
        auto *entries = window.findChild<QTreeWidget *>(QStringLiteral("HistoryList"));
        entries->setCurrentItem(entries->topLevelItem(entries->topLevelItemCount() - 1));
        failures +=
            save(&window, QStringLiteral("%1/%2_load_history.png").arg(out, QLatin1String(language.tag))) ? 0
                                                                                                          : 1;
    }
    return failures;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc < 2) {
        err << "Usage: trenov5x-screenshots OUTPUT_FOLDER\n";
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    if (argc > 2 && QByteArray(argv[2]) == "--scaled")
        return saveScaledShots(out) == 0 ? 0 : 1;
    if (argc > 2 && QByteArray(argv[2]) == "--tables")
        return saveTableShots(out) == 0 ? 0 : 1;
    if (argc > 2 && QByteArray(argv[2]) == "--compare")
        return saveCompareAndImportShots(out) == 0 ? 0 : 1;
    if (argc > 2 && QByteArray(argv[2]) == "--history")
        return saveHistoryShots(out) == 0 ? 0 : 1;
    int failures = 0;
    for (const Language &language : kLanguages) {
        QTemporaryDir folder;
        prepareFolder(folder.path(), language.code);
        AnswerOk answers;
        ui::MainWindow window({folder.path(), &answers});
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("the window was not shown in time; the screenshots may be blank");
        for (const Shot &shot : kShots) {
            if (!language.allPages && !shot.everyLanguage)
                continue;
            if (shot.menu)
                emit window.findChild<ui::ClickLabel *>(QLatin1String(shot.menu))->clicked();
            for (const char *name : shot.clicks)
                emit window.findChild<ui::ClickPanel *>(QLatin1String(name))->clicked();
            const QString file = QStringLiteral("%1/%2_%3.png")
                                     .arg(out, QLatin1String(language.tag), QLatin1String(shot.name));
            failures += save(&window, file) ? 0 : 1;
        }
        const QString progress =
            QStringLiteral("%1/%2_update_progress.png").arg(out, QLatin1String(language.tag));
        failures += saveUpdateProgress(window, folder.path(), progress) ? 0 : 1;
        if (language.code == 1 || language.code == 3)
            failures += saveKeyboardAndDialogShots(window, out, language.tag);
        if (language.code == 1) {
            window.aboutBox()->show();
            failures += save(window.aboutBox(), out + QStringLiteral("/eng_about.png")) ? 0 : 1;
            window.aboutBox()->hide();
        }
        window.undo().markClean();
    }
    return failures == 0 ? 0 : 1;
}
