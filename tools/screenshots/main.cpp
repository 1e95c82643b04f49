// trenov5x-screenshots OUTPUT_FOLDER: starts the real window over a
// demonstration program folder and saves a PNG of every page in English and
// of the menu, the input page, the Date & Time page and the profile panels in
// the other languages. Run it on a display (for example under xvfb-run) to see
// what installers see.
#include "app/Settings.h"
#include "config/ConfigurationFile.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"
#include "ui/PageFactory.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <algorithm>

namespace {

struct Language
{
    int code;
    const char *tag;
    bool allPages;
};

constexpr Language kLanguages[] = {{1, "eng", true}, {2, "ita", false}, {3, "ger", false}, {4, "spa", false}};

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
    {"output", "TntL_Output_Menu", {}, false},
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
    writeSettings(folder + QStringLiteral("/Setting/setting.xml"), {language, QStringLiteral("Plant_A")});
}

bool save(QWidget *w, const QString &path)
{
    QApplication::processEvents();
    QTest::qWait(50);
    return w->grab().save(path);
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
    int failures = 0;
    for (const Language &language : kLanguages) {
        QTemporaryDir folder;
        prepareFolder(folder.path(), language.code);
        ui::MainWindow window({folder.path(), nullptr});
        window.show();
        QTest::qWaitForWindowExposed(&window);
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
        if (language.allPages) {
            window.aboutBox()->show();
            failures += save(window.aboutBox(), out + QStringLiteral("/eng_about.png")) ? 0 : 1;
            window.aboutBox()->hide();
        }
        window.session().clearChanged();
    }
    return failures == 0 ? 0 : 1;
}
