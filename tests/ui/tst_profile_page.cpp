// The profile half of the Date & Time page through its real widgets: the
// three tab strips and their panels, the slot grids under the mouse and the
// keyboard, the enable boxes, the changed flag, and what reaches
// Configuration.xml and bank.bin.
#include "config/ConfigurationFile.h"
#include "helper_window.h"
#include "image/DeviceImageBuild.h"
#include "image/ImageReader.h"
#include "lang/KeyTable.h"
#include "lang/LanguageTexts.h"
#include "ui/MainWindow.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/SlotGrid.h"
#include "ui/widgets/Theme.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <QXmlStreamReader>

using config::Configuration;
using ui::MainWindow;
using ui::SlotGrid;
using Cell = SlotGrid::Cell;

namespace {

constexpr const char *kWeekGrid = "Grid_Pro_Week";
constexpr int kSlots = config::kSlotsPerDay;

// Slots first..last of one day (day 0 on a one-day grid) are set.
struct Span
{
    int day;
    int first;
    int last;
};

// The slots a grid edits in the record: Weekly 1 for the week grid, the
// daily profile for Grid_Pro_Day1..3.
std::span<config::DaySlots> profileDays(Configuration &c, const QString &grid)
{
    if (grid == QLatin1String(kWeekGrid))
        return c.weeklyProfiles[0].days;
    return std::span(&c.dailyProfiles[grid.back().digitValue() - 1].timeSlots, 1);
}

void setSpans(std::span<config::DaySlots> days, const std::vector<Span> &spans)
{
    for (const Span &s : spans) {
        for (int slot = s.first; slot <= s.last; ++slot)
            days[s.day][slot] = true;
    }
}

// c with exactly these slots set on the grid's profile.
Configuration withSpans(Configuration c, const QString &grid, const std::vector<Span> &spans)
{
    std::ranges::fill(profileDays(c, grid), config::DaySlots{});
    setSpans(profileDays(c, grid), spans);
    return c;
}

// One data row per case of a table, named by the case, holding its index.
template <typename Case, std::size_t N> void addCaseRows(const Case (&cases)[N])
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(cases[i].name) << int(i);
}

// "1:16-24 2:16-24": the set slots day by day, as runs.
QString spansText(std::span<const config::DaySlots> days)
{
    QStringList runs;
    for (int d = 0; d < int(days.size()); ++d) {
        for (int s = 0; s < kSlots; ++s) {
            if (!days[d][s])
                continue;
            int last = s;
            while (last + 1 < kSlots && days[d][last + 1])
                ++last;
            runs << QStringLiteral("%1:%2-%3").arg(d).arg(s).arg(last);
            s = last;
        }
    }
    return runs.join(u' ');
}

QString spansText(const std::vector<Span> &spans, int dayCount)
{
    std::vector<config::DaySlots> days(dayCount);
    setSpans(days, spans);
    return spansText(days);
}

QString gridText(const SlotGrid *grid)
{
    std::vector<config::DaySlots> days(grid->dayCount());
    for (int d = 0; d < grid->dayCount(); ++d) {
        for (int s = 0; s < kSlots; ++s)
            days[d][s] = grid->isOn({d, s});
    }
    return spansText(days);
}

QPoint at(const SlotGrid *grid, Cell cell)
{
    return grid->slotRect(cell).center();
}

void clickSlot(SlotGrid *grid, Cell cell)
{
    QTest::mouseClick(grid, Qt::LeftButton, {}, at(grid, cell));
}

// A window open on Plant_A holding c, showing the profile half.
struct ProfileWindow : OpenConfiguration
{
    explicit ProfileWindow(const Configuration &c = Configuration(), int language = 1)
        : OpenConfiguration(c, language)
    {
        enter();
    }
    void enter()
    {
        clickMenu(*window, "TntL_Date_Menu");
        clickAt(child<QWidget>(window.get(), "P_SubT_Go_Profile"));
    }
    void click(const QByteArray &name) { clickAt(child<QWidget>(window.get(), name.constData())); }
    SlotGrid *grid(const QByteArray &name) { return child<SlotGrid>(window.get(), name.constData()); }
    QCheckBox *box(const QByteArray &name) { return child<QCheckBox>(window.get(), name.constData()); }
    bool visible(const QByteArray &name)
    {
        return child<QWidget>(window.get(), name.constData())->isVisible();
    }
    const Configuration &record() { return window->session().configuration(); }
};

// Which panel of the profile half is on screen, with the weekly profile the
// weekly panel shows (by its enable caption in the window's language).
QString panelShown(ProfileWindow &open)
{
    if (open.visible("P_ProfileWeek")) {
        const QString caption = open.box("CB_Week_Enable")->text();
        for (int k = 1; k <= config::kWeeklyProfiles; ++k) {
            if (caption == open.w().texts().messageText(QStringLiteral("En_Profile_Week%1").arg(k)))
                return QStringLiteral("week%1").arg(k);
        }
        return QStringLiteral("week:") + caption;
    }
    if (open.visible("P_ProfileDay"))
        return QStringLiteral("day");
    if (open.visible("P_ProfileDate"))
        return QStringLiteral("date");
    return QStringLiteral("none");
}

QColor tabColour(ProfileWindow &open, const char *tab)
{
    return child<QWidget>(open.window.get(), tab)->palette().color(QPalette::Window);
}

// A mouse stroke: pressed on the first slot, moved through the rest (a step
// with an offset goes that far past its slot, outside the grid), released.
struct Step
{
    Cell cell;
    QPoint beyond = {};
};

struct DragCase
{
    const char *name;
    const char *grid;
    std::vector<Step> path;
    std::vector<Span> before;
    std::vector<Span> after;
};

// clang-format off
const DragCase kDrags[] = {
    {"week: 08.00 along the morning, down and back to 12.00", kWeekGrid,
     {{{0, 16}}, {{0, 19}}, {{0, 23}}, {{0, 47}}, {{0, 36}}, {{0, 24}}}, {}, {{0, 16, 24}}},
    {"week: a stroke from a set slot clears", kWeekGrid,
     {{{0, 16}}, {{0, 24}}}, {{0, 10, 30}}, {{0, 10, 15}, {0, 25, 30}}},
    {"week: across the working days", kWeekGrid,
     {{{0, 16}}, {{1, 17}}, {{3, 20}}, {{4, 24}}}, {}, {{0, 16, 24}, {1, 16, 24}, {2, 16, 24}, {3, 16, 24}, {4, 16, 24}}},
    {"week: a span drawn back shrinks", kWeekGrid,
     {{{2, 30}}, {{5, 40}}, {{2, 32}}}, {{3, 35, 36}}, {{2, 30, 32}, {3, 35, 36}}},
    {"week: past the bottom right stops at Sunday 23.30", kWeekGrid,
     {{{6, 40}}, {{6, 47}, {300, 200}}}, {}, {{6, 40, 47}}},
    {"week: past the top left stops at Monday 00.00", kWeekGrid,
     {{{1, 2}}, {{0, 0}, {-300, -200}}}, {}, {{0, 0, 2}, {1, 0, 2}}},
    {"day 2: 08.00 to 12.00", "Grid_Pro_Day2",
     {{{0, 16}}, {{0, 23}}, {{0, 47}}, {{0, 24}}}, {}, {{0, 16, 24}}},
    {"day 1: a stroke from a set slot clears", "Grid_Pro_Day1",
     {{{0, 30}}, {{0, 26}}}, {{0, 20, 40}}, {{0, 20, 25}, {0, 31, 40}}},
    {"day 3: past the right edge stops at 11.30", "Grid_Pro_Day3",
     {{{0, 20}}, {{0, 23}, {400, 0}}}, {}, {{0, 20, 23}}},
    {"day 3: past the bottom stops at the second row", "Grid_Pro_Day3",
     {{{0, 5}}, {{0, 29}, {0, 300}}}, {}, {{0, 5, 29}}},
};

struct KeyCase
{
    const char *name;
    const char *grid;
    const char *keys; // R16: Right 16 times; SR8: Shift+Right 8 times; Sp: Space
    std::vector<Span> before;
    std::vector<Span> after;
    Cell focus;
};

const KeyCase kKeys[] = {
    {"week: toggle Monday 08.00 and paint to 12.00", kWeekGrid, "R16 Sp SR8", {}, {{0, 16, 24}}, {0, 24}},
    {"week: paint the morning down to Friday", kWeekGrid, "R16 Sp SR8 SD4", {},
     {{0, 16, 24}, {1, 16, 24}, {2, 16, 24}, {3, 16, 24}, {4, 16, 24}}, {4, 24}},
    {"week: clear part of a set morning", kWeekGrid, "R16 Sp SR2", {{0, 16, 24}}, {{0, 19, 24}}, {0, 18}},
    {"week: up and down move by a day", kWeekGrid, "D3 U1 Sp", {}, {{2, 0, 0}}, {2, 0}},
    {"week: the edges hold the focus", kWeekGrid, "L2 U2 Sp E D9 Sp", {}, {{0, 0, 0}, {6, 47, 47}}, {6, 47}},
    {"week: an arrow without Shift ends the stroke", kWeekGrid, "R2 Sp SR2 R2 SR1", {}, {{0, 2, 4}}, {0, 7}},
    {"day 1: down moves to the afternoon row", "Grid_Pro_Day1", "R3 D1 Sp U1 Sp", {}, {{0, 3, 3}, {0, 27, 27}}, {0, 3}},
    {"day 2: paint from 11.30 down to 23.30", "Grid_Pro_Day2", "R23 Sp SD1", {}, {{0, 23, 47}}, {0, 47}},
    {"day 3: home and end", "Grid_Pro_Day3", "R9 E Sp H Sp SR1", {}, {{0, 0, 1}, {0, 47, 47}}, {0, 1}},
};
// clang-format on

void typeKeys(SlotGrid *grid, const QString &script)
{
    for (const QString &token : script.split(u' ', Qt::SkipEmptyParts)) {
        if (token == QLatin1String("Sp")) {
            QTest::keyClick(grid, Qt::Key_Space);
            continue;
        }
        const bool shift = token.startsWith(u'S');
        const QString move = shift ? token.mid(1) : token;
        const int times = move.size() > 1 ? move.mid(1).toInt() : 1;
        const QHash<QChar, Qt::Key> keys = {{u'L', Qt::Key_Left}, {u'R', Qt::Key_Right}, {u'U', Qt::Key_Up},
                                            {u'D', Qt::Key_Down}, {u'H', Qt::Key_Home},  {u'E', Qt::Key_End}};
        QVERIFY2(keys.contains(move.front()), qPrintable(token));
        for (int i = 0; i < times; ++i)
            QTest::keyClick(grid, keys.value(move.front()), shift ? Qt::ShiftModifier : Qt::NoModifier);
    }
}

// The route from Weekly 1 to a grid's panel.
void showGrid(ProfileWindow &open, const QString &grid)
{
    if (grid != QLatin1String(kWeekGrid))
        open.click("P_Pro_Week1_Day");
}

// A different pattern of set slots for each of the six profiles (weekly 0-2,
// daily 3-5), so a slot written to the wrong place shows.
bool patternOn(int profile, int day, int slot)
{
    return (slot * 5 + day * 11 + profile * 7) % 13 < 5;
}

// The slot texts of Configuration.xml: for each WeekN/Time_Slots/<day> and
// each DayN/Time_Slots, the texts of its children in order.
QHash<QString, QStringList> slotTexts(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    QXmlStreamReader xml(&file);
    QStringList open;
    QHash<QString, QStringList> texts;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            open << xml.name().toString();
            const qsizetype n = open.size();
            if (n >= 3 && open[n - 1] == QLatin1String("Time_Slot")) {
                const bool week = open[n - 3] == QLatin1String("Time_Slots");
                const QString where = week ? open[n - 4] + u'/' + open[n - 2] : open[n - 3];
                texts[where] << xml.readElementText();
                open.removeLast();
            }
        } else if (xml.isEndElement()) {
            open.removeLast();
        }
    }
    if (xml.hasError())
        qFatal("%s", qPrintable(xml.errorString()));
    return texts;
}

const char *const kDayElements[config::kDaysPerWeek] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                        "Friday", "Saturday", "Sunday"};

} // namespace

class TestProfilePage : public QObject
{
    Q_OBJECT

private slots:
    void enteringShowsWeekly1AndTheLinksSwitchHalves()
    {
        ProfileWindow open;
        QVERIFY(open.visible("P_DT_PRO_Profile") && !open.visible("P_DT_PRO_DateTime"));
        QCOMPARE(panelShown(open), QStringLiteral("week1"));
        open.click("P_Pro_Week1_Week3");
        QCOMPARE(panelShown(open), QStringLiteral("week3"));

        open.click("TntL_SubT_Go_DateTime"); // the link's caption leads too
        QVERIFY(open.visible("P_DT_PRO_DateTime") && !open.visible("P_DT_PRO_Profile"));
        open.click("P_SubT_Go_Profile");
        QCOMPARE(panelShown(open), QStringLiteral("week1"));

        open.click("P_Pro_Week1_Day");
        open.enter(); // through the menu
        QCOMPARE(panelShown(open), QStringLiteral("week1"));
        clickMenu(open.w(), "TntL_Date_Menu");
        QVERIFY(open.visible("P_DT_PRO_DateTime") && !open.visible("P_DT_PRO_Profile"));
        QVERIFY(!open.w().isChanged());
    }

    void switchingHalvesAndPanelsKeepsTheWindowSize()
    {
        ProfileWindow open;
        MainWindow &w = open.w();
        QCOMPARE(w.size(), MainWindow::placement(MainWindow::kSize, w.screen()->availableGeometry()).size());
        for (const char *tab : {"P_Pro_Week1_Day", "P_Pro_Day_Date", "P_Pro_Date_Week3",
                                "TntL_SubT_Go_DateTime", "P_SubT_Go_Profile", "P_Pro_Week1_Day"}) {
            open.click(tab);
            QApplication::processEvents();
        }
        clickMenu(w, "TntL_Date_Menu"); // back to the clock half
        QApplication::processEvents();
        open.enter();
        QApplication::processEvents();
        QCOMPARE(w.size(), MainWindow::placement(MainWindow::kSize, w.screen()->availableGeometry()).size());
    }

    void everyTabOfEveryStripShowsItsPanel_data()
    {
        QTest::addColumn<QStringList>("route");
        QTest::addColumn<QString>("shown");
        const QString week1 = QStringLiteral("week1");
        const QString week2 = QStringLiteral("week2");
        const QString week3 = QStringLiteral("week3");
        QTest::newRow("weekly strip: Weekly 2") << QStringList{"P_Pro_Week1_Week2"} << week2;
        QTest::newRow("weekly strip: Weekly 3 caption") << QStringList{"TntL_Pro_Week1_Week3"} << week3;
        QTest::newRow("weekly strip: Weekly 1 back")
            << QStringList{"P_Pro_Week1_Week2", "P_Pro_Week1_Week1"} << week1;
        QTest::newRow("weekly strip: Daily") << QStringList{"P_Pro_Week1_Day"} << "day";
        QTest::newRow("weekly strip: Date caption") << QStringList{"TntL_Pro_Week1_Date"} << "date";
        QTest::newRow("daily strip: Weekly 1") << QStringList{"P_Pro_Week1_Day", "P_Pro_Day_Week1"} << week1;
        QTest::newRow("daily strip: Weekly 2") << QStringList{"P_Pro_Week1_Day", "P_Pro_Day_Week2"} << week2;
        QTest::newRow("daily strip: Weekly 3 caption")
            << QStringList{"P_Pro_Week1_Day", "TntL_Pro_Day_Week3"} << week3;
        QTest::newRow("daily strip: Date") << QStringList{"P_Pro_Week1_Day", "P_Pro_Day_Date"} << "date";
        QTest::newRow("daily strip: its own tab") << QStringList{"P_Pro_Week1_Day", "P_Pro_Day_Day"} << "day";
        QTest::newRow("date strip: Weekly 1") << QStringList{"P_Pro_Week1_Date", "P_Pro_Date_Week1"} << week1;
        QTest::newRow("date strip: Weekly 2 caption")
            << QStringList{"P_Pro_Week1_Date", "TntL_Pro_Date_Week2"} << week2;
        QTest::newRow("date strip: Weekly 3") << QStringList{"P_Pro_Week1_Date", "P_Pro_Date_Week3"} << week3;
        QTest::newRow("date strip: Daily") << QStringList{"P_Pro_Week1_Date", "P_Pro_Date_Day"} << "day";
        QTest::newRow("date strip: its own tab")
            << QStringList{"P_Pro_Week1_Date", "P_Pro_Date_Date"} << "date";
    }

    void everyTabOfEveryStripShowsItsPanel()
    {
        QFETCH(QStringList, route);
        QFETCH(QString, shown);
        ProfileWindow open;
        for (const QString &tab : route)
            open.click(tab.toLatin1());
        QCOMPARE(panelShown(open), shown);
        QVERIFY(!open.w().isChanged());
    }

    void weeklyStripMarksTheProfileOnScreen_data()
    {
        QTest::addColumn<int>("profile");
        QTest::newRow("Weekly 1") << 1;
        QTest::newRow("Weekly 2") << 2;
        QTest::newRow("Weekly 3") << 3;
    }

    void weeklyStripMarksTheProfileOnScreen()
    {
        QFETCH(int, profile);
        ProfileWindow open;
        open.click(QStringLiteral("P_Pro_Week1_Week%1").arg(profile).toLatin1());
        for (int k = 1; k <= 3; ++k) {
            const QByteArray name = QStringLiteral("P_Pro_Week1_Week%1").arg(k).toLatin1();
            auto *tab = child<ui::ClickPanel>(open.window.get(), name);
            QCOMPARE(tab->isClickable(), k != profile);
            QCOMPARE(tabColour(open, name), k == profile ? ui::theme::kMain : ui::theme::kUnselected);
        }
        for (const char *other : {"P_Pro_Week1_Day", "P_Pro_Week1_Date", "P_Pro_Day_Week1",
                                  "P_Pro_Date_Week2", "P_Pro_Day_Date", "P_Pro_Date_Day"}) {
            QCOMPARE(tabColour(open, other), ui::theme::kHeader);
            QCOMPARE(child<QWidget>(open.window.get(), other)->cursor().shape(), Qt::PointingHandCursor);
        }
        for (const char *own : {"P_Pro_Day_Day", "P_Pro_Date_Date"}) {
            QCOMPARE(tabColour(open, own), ui::theme::kMain);
            QVERIFY(!child<ui::ClickPanel>(open.window.get(), own)->isClickable());
        }
    }

    void monday0800StaysOnWeekly1()
    {
        Configuration c;
        c.weeklyProfiles[1].days[2][30] = true; // Weekly 2 has a slot of its own
        ProfileWindow open(c);
        SlotGrid *grid = open.grid(kWeekGrid);
        clickSlot(grid, {0, 16});
        QVERIFY(grid->isOn({0, 16}));
        QVERIFY(open.w().isChanged());
        open.click("P_Pro_Week1_Week2");
        QCOMPARE(gridText(grid), QStringLiteral("2:30-30"));
        open.click("P_Pro_Week1_Week1");
        QCOMPARE(gridText(grid), QStringLiteral("0:16-16"));
        QCOMPARE(spansText(open.record().weeklyProfiles[0].days), QStringLiteral("0:16-16"));
        QCOMPARE(spansText(open.record().weeklyProfiles[1].days), QStringLiteral("2:30-30"));
        QCOMPARE(spansText(open.record().weeklyProfiles[2].days), QString());
    }

    void eachWeeklyProfileKeepsItsOwnEnableState()
    {
        ProfileWindow open;
        QCheckBox *enable = open.box("CB_Week_Enable");
        open.click("P_Pro_Week1_Week2");
        QCOMPARE(enable->text(), open.w().texts().messageText(u"En_Profile_Week2"));
        QVERIFY(!enable->isChecked());
        clickAt(enable);
        QVERIFY(open.w().isChanged());
        open.click("P_Pro_Week1_Week3");
        QVERIFY(!enable->isChecked());
        open.click("P_Pro_Week1_Week1");
        QVERIFY(!enable->isChecked());
        open.click("P_Pro_Week1_Week2");
        QVERIFY(enable->isChecked());
        const auto &weekly = open.record().weeklyProfiles;
        QCOMPARE((std::array{weekly[0].enabled, weekly[1].enabled, weekly[2].enabled}),
                 (std::array{false, true, false}));
        clickAt(enable);
        QVERIFY(!open.record().weeklyProfiles[1].enabled);
    }

    void showingStoredProfilesDoesNotMarkTheConfigurationChanged()
    {
        Configuration c;
        for (int k = 0; k < 3; ++k) {
            c.weeklyProfiles[k].enabled = true;
            c.weeklyProfiles[k].days[k][k + 10] = true;
            c.dailyProfiles[k].enabled = true;
            c.dailyProfiles[k].timeSlots[k + 20] = true;
        }
        ProfileWindow open(c);
        for (const char *tab : {"P_Pro_Week1_Week2", "P_Pro_Week1_Week3", "P_Pro_Week1_Day", "P_Pro_Day_Date",
                                "P_Pro_Date_Week1", "TntL_SubT_Go_DateTime", "P_SubT_Go_Profile"})
            open.click(tab);
        open.enter();
        QVERIFY(open.box("CB_Week_Enable")->isChecked());
        QCOMPARE(gridText(open.grid(kWeekGrid)), QStringLiteral("0:10-10"));
        open.click("P_Pro_Week1_Day");
        QVERIFY(open.box("CB_En_Daily3")->isChecked());
        QCOMPARE(gridText(open.grid("Grid_Pro_Day3")), QStringLiteral("0:22-22"));
        QCOMPARE(open.record(), c);
        QVERIFY(!open.w().isChanged());
        QVERIFY(open.w().close());
        QVERIFY(open.boxes.shown.isEmpty());
    }

    void dailyBoxesAreSavedByTheSavePage()
    {
        ProfileWindow open;
        open.click("P_Pro_Week1_Day");
        clickAt(open.box("CB_En_Daily2"));
        clickSlot(open.grid("Grid_Pro_Day3"), {0, 47});
        clickSlot(open.grid("Grid_Pro_Day1"), {0, 0});
        open.save();
        QCOMPARE(open.boxes.texts().last(), open.w().texts().messageText(u"Mes_Configuration_Saved"));
        const Configuration saved = open.stored();
        QCOMPARE(saved.dailyProfiles[1].enabled, true);
        QCOMPARE(saved.dailyProfiles[0].enabled, false);
        QCOMPARE(spansText(std::span(&saved.dailyProfiles[2].timeSlots, 1)), QStringLiteral("0:47-47"));
        QCOMPARE(spansText(std::span(&saved.dailyProfiles[0].timeSlots, 1)), QStringLiteral("0:0-0"));
        QCOMPARE(saved, open.record());
    }

    void dateTabShowsOnlyItsStrip()
    {
        ProfileWindow open;
        open.click("P_Pro_Week1_Date");
        auto *date = child<QWidget>(open.window.get(), "P_ProfileDate");
        QVERIFY(date->isVisible());
        QVERIFY(date->findChildren<QCheckBox *>().isEmpty());
        QVERIFY(date->findChildren<SlotGrid *>().isEmpty());
        QCOMPARE(date->findChildren<ui::ClickPanel *>().size(), 5);
        QVERIFY(!open.visible("P_ProfileWeek") && !open.visible("P_ProfileDay"));
    }

    void newConfigurationClearsEveryProfileAndALoadShowsItsOwn()
    {
        Configuration c;
        for (int k = 0; k < 3; ++k) {
            c.weeklyProfiles[k].enabled = true;
            c.weeklyProfiles[k].days[6].fill(true);
            c.dailyProfiles[k].enabled = true;
            c.dailyProfiles[k].timeSlots.fill(true);
        }
        ProfileWindow open(c);
        open.boxes.answers = {ui::MessageAnswer::No};
        clickMenu(open.w(), "TntL_New_Menu");
        auto *name = child<QLineEdit>(open.window.get(), "TntE_NewConf");
        name->setText(QStringLiteral("Fresh"));
        child<QPushButton>(open.window.get(), "TntB_NewConf")->click();
        QCOMPARE(open.w().session().configurationName(), QStringLiteral("Fresh"));

        open.enter();
        for (const char *tab : {"P_Pro_Week1_Week1", "P_Pro_Week1_Week2", "P_Pro_Week1_Week3"}) {
            open.click(tab);
            QVERIFY2(!open.box("CB_Week_Enable")->isChecked(), tab);
            QCOMPARE(gridText(open.grid(kWeekGrid)), QString());
        }
        open.click("P_Pro_Week1_Day");
        for (const char *k : {"1", "2", "3"}) {
            QVERIFY(!open.box(QByteArray("CB_En_Daily") + k)->isChecked());
            QCOMPARE(gridText(open.grid(QByteArray("Grid_Pro_Day") + k)), QString());
        }
        QCOMPARE(open.record().weeklyProfiles, Configuration().weeklyProfiles);
        QCOMPARE(open.record().dailyProfiles, Configuration().dailyProfiles);

        // Loading Plant_A again puts its profiles on the panel on screen.
        open.boxes.answers = {ui::MessageAnswer::No};
        clickMenu(open.w(), "TntL_Load_Menu");
        auto *list = child<QListWidget>(open.window.get(), "TntLB_LoadConf");
        list->setCurrentItem(list->findItems(OpenConfiguration::kName, Qt::MatchExactly).value(0));
        child<QPushButton>(open.window.get(), "TntB_LoadConf")->click();
        open.enter();
        QVERIFY(open.box("CB_Week_Enable")->isChecked());
        QCOMPARE(gridText(open.grid(kWeekGrid)), QStringLiteral("6:0-47"));
    }

    void closeOnThePageSavesTheTickedSlot()
    {
        ProfileWindow open;
        open.click("P_Pro_Week1_Week2");
        clickSlot(open.grid(kWeekGrid), {1, 27}); // Tuesday 13.30
        open.boxes.answers = {ui::MessageAnswer::Yes};
        QVERIFY(open.w().close());
        QCOMPARE(open.boxes.texts().first(), open.w().texts().messageText(u"On_CLose_Save_Conf"));
        const QHash<QString, QStringList> texts =
            slotTexts(open.projectFolder() + QStringLiteral("/Configuration.xml"));
        QStringList tuesday(kSlots, QStringLiteral("0"));
        tuesday[27] = QStringLiteral("1");
        QCOMPARE(texts.value(QStringLiteral("Week2/Tuesday")), tuesday);
        QCOMPARE(texts.value(QStringLiteral("Week1/Tuesday")), QStringList(kSlots, QStringLiteral("0")));
    }

    void dragPaintsTheSpanOfTheStroke_data() { addCaseRows(kDrags); }

    void dragPaintsTheSpanOfTheStroke()
    {
        QFETCH(int, row);
        const DragCase &d = kDrags[row];
        const Configuration c = withSpans({}, QLatin1String(d.grid), d.before);
        ProfileWindow open(c);
        showGrid(open, QLatin1String(d.grid));
        SlotGrid *grid = open.grid(d.grid);
        QVERIFY(grid->isVisible());

        auto point = [grid](const Step &step) { return at(grid, step.cell) + step.beyond; };
        QTest::mousePress(grid, Qt::LeftButton, {}, point(d.path.front()));
        QVERIFY(open.w().isChanged());
        for (const Step &step : d.path)
            QTest::mouseMove(grid, point(step));
        QTest::mouseRelease(grid, Qt::LeftButton, {}, point(d.path.back()));

        QCOMPARE(gridText(grid), spansText(d.after, grid->dayCount()));
        QCOMPARE(open.record(), withSpans(c, QLatin1String(d.grid), d.after));
    }

    void keyboardMovesTogglesAndPaints_data() { addCaseRows(kKeys); }

    void keyboardMovesTogglesAndPaints()
    {
        QFETCH(int, row);
        const KeyCase &k = kKeys[row];
        const Configuration c = withSpans({}, QLatin1String(k.grid), k.before);
        ProfileWindow open(c);
        showGrid(open, QLatin1String(k.grid));
        SlotGrid *grid = open.grid(k.grid);
        grid->setFocus(Qt::TabFocusReason);
        typeKeys(grid, QLatin1String(k.keys));
        QCOMPARE(gridText(grid), spansText(k.after, grid->dayCount()));
        QCOMPARE(grid->focusCell(), k.focus);
        QCOMPARE(open.record(), withSpans(c, QLatin1String(k.grid), k.after));
        QVERIFY(open.w().isChanged());
    }

    void theFocusCellIsDrawnWhileTheGridHasTheFocus()
    {
        ProfileWindow open;
        open.w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&open.w()));
        SlotGrid *grid = open.grid(kWeekGrid);
        // The keyboard reaches the grid from the enable box.
        open.box("CB_Week_Enable")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(grid->hasFocus());
        typeKeys(grid, QStringLiteral("R5 D2"));
        const QRect r = grid->slotRect({2, 5});
        const QPoint frame(r.left() - 1, r.center().y());
        QCOMPARE(grid->grab().toImage().pixelColor(frame), QColor(Qt::black));
        open.box("CB_Week_Enable")->setFocus(Qt::TabFocusReason);
        QVERIFY(grid->grab().toImage().pixelColor(frame) != QColor(Qt::black));
    }

    void theKeyboardAloneDrawsProfiles()
    {
        ProfileWindow open;
        MainWindow &w = open.w();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        clickMenu(w, "TntL_Date_Menu");
        // Tab to a control, as a keyboard user does; Shift+Tab with back.
        auto tabTo = [&](const char *name, bool back = false) {
            for (int i = 0; i < 40 && QApplication::focusWidget()->objectName() != QLatin1String(name); ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                                back ? Qt::ShiftModifier : Qt::NoModifier);
            return QApplication::focusWidget()->objectName() == QLatin1String(name);
        };
        auto keys = [](const char *script) {
            typeKeys(qobject_cast<SlotGrid *>(QApplication::focusWidget()), QLatin1String(script));
        };

        QVERIFY(tabTo("P_SubT_Go_Profile"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(panelShown(open), QStringLiteral("week1"));
        QVERIFY(tabTo(kWeekGrid));
        keys("R16 Sp SR8 SD4");
        QVERIFY(tabTo("P_Pro_Week1_Week2", true));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(panelShown(open), QStringLiteral("week2"));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("CB_Week_Enable"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(tabTo("P_Pro_Week1_Day"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(panelShown(open), QStringLiteral("day"));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("CB_En_Daily1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(tabTo("Grid_Pro_Day1"));
        keys("E Sp SL3");

        Configuration expected;
        setSpans(expected.weeklyProfiles[0].days,
                 {{0, 16, 24}, {1, 16, 24}, {2, 16, 24}, {3, 16, 24}, {4, 16, 24}});
        expected.weeklyProfiles[1].enabled = true;
        expected.dailyProfiles[0].enabled = true;
        setSpans(std::span(&expected.dailyProfiles[0].timeSlots, 1), {{0, 44, 47}});
        QCOMPARE(open.record(), expected);
    }

    void everySlotHasATooltipAndAnAccessibleName_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("name");
        QTest::newRow("Monday 08.00") << 1 << kWeekGrid << 0 << 16 << "Monday 08.00-08.30";
        QTest::newRow("Sunday 23.30") << 1 << kWeekGrid << 6 << 47 << "Sunday 23.30-24.00";
        QTest::newRow("Donnerstag 12.00") << 3 << kWeekGrid << 3 << 24 << "Donnerstag 12.00-12.30";
        QTest::newRow("Daily 2 00.00") << 1 << "Grid_Pro_Day2" << 0 << 0 << "00.00-00.30";
        QTest::newRow("Daily 3 11.30") << 4 << "Grid_Pro_Day3" << 0 << 23 << "11.30-12.00";
    }

    void everySlotHasATooltipAndAnAccessibleName()
    {
        QFETCH(int, language);
        QFETCH(QString, grid);
        QFETCH(int, day);
        QFETCH(int, slot);
        QFETCH(QString, name);
        ProfileWindow open(Configuration(), language);
        showGrid(open, grid);
        SlotGrid *g = open.grid(grid.toLatin1());
        const QPoint pos = at(g, {day, slot});
        QHelpEvent help(QEvent::ToolTip, pos, g->mapToGlobal(pos));
        QApplication::sendEvent(g, &help);
        QCOMPARE(QToolTip::text(), name);
        QToolTip::hideText();

        clickSlot(g, {day, slot});
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(g);
        QVERIFY(a);
        const int first = a->childCount() - g->dayCount() * kSlots;
        QAccessibleInterface *cell = a->child(first + day * kSlots + slot);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), name);
        QCOMPARE(cell->role(), QAccessible::CheckBox);
        QVERIFY(cell->state().checked);
        QCOMPARE(a->indexOfChild(cell), first + day * kSlots + slot);
        const QPoint centre = cell->rect().center();
        QCOMPARE(a->childAt(centre.x(), centre.y()), cell);
        QVERIFY(!a->child(first + day * kSlots + (slot + 1) % kSlots)->state().checked);
    }

    void everyProfileCaptionNamesOneControlAndLabelsSitOverTheirSlots_data() { addLanguageRows(); }

    void everyProfileCaptionNamesOneControlAndLabelsSitOverTheirSlots()
    {
        QFETCH(int, language);
        ProfileWindow open(Configuration(), language);
        MainWindow &w = open.w();
        int checked = 0;
        checkCaptions(w,
                      {lang::Group::P_DT_PRO_Profile, lang::Group::P_ProfileWeek, lang::Group::P_ProfileDay,
                       lang::Group::P_ProfileDate},
                      checked);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(checked, 67);

        // Each hour label centred over its slot, each label whole inside its
        // grid, each grid whole inside its panel.
        for (const char *name : {kWeekGrid, "Grid_Pro_Day1", "Grid_Pro_Day2", "Grid_Pro_Day3"}) {
            if (open.visible("P_ProfileWeek") && name != std::string_view(kWeekGrid))
                open.click("P_Pro_Week1_Day");
            SlotGrid *grid = open.grid(name);
            QVERIFY(grid->isVisible());
            // A grid sized for another language's day names is laid out anew
            // when it is shown.
            QApplication::processEvents();
            const QList<QLabel *> labels = grid->findChildren<QLabel *>();
            QCOMPARE(labels.size(), grid->dayCount() == 1 ? 10 : 17);
            for (QLabel *label : labels) {
                const QString key = label->objectName();
                QVERIFY2(grid->rect().contains(label->geometry()), qPrintable(key));
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(key));
                bool isTime = false;
                const int time = key.right(4).toInt(&isTime);
                if (!isTime)
                    continue;
                const int slot = (time / 100) * 2 + (time % 100 ? 1 : 0);
                QCOMPARE(label->geometry().center().x(), grid->slotRect({0, slot}).center().x());
                QVERIFY2(label->geometry().bottom() < grid->slotRect({0, 0}).top(), qPrintable(key));
            }
            for (int d = 0; d < grid->dayCount() && grid->dayCount() > 1; ++d) {
                QVERIFY(grid->dayLabel(d)->geometry().right() < grid->slotRect({d, 0}).left() - 8);
                QCOMPARE(grid->dayLabel(d)->geometry().center().y(),
                         QRect(grid->slotRect({d, 0}).topLeft(), grid->slotRect({d, 24}).bottomRight())
                             .center()
                             .y());
            }
            QWidget *panel = grid->parentWidget();
            QVERIFY2(panel->rect().contains(grid->geometry()), name);
            QVERIFY2(child<QWidget>(&w, "P_DT_PRO_Profile")
                         ->rect()
                         .contains(QRect(grid->mapTo(child<QWidget>(&w, "P_DT_PRO_Profile"), QPoint()),
                                         grid->size())),
                     name);
        }
    }

    void everySlotDrawnReachesTheFileAndTheImage()
    {
        ProfileWindow open;
        Configuration expected;
        for (int k = 0; k < config::kWeeklyProfiles; ++k) {
            open.click(QStringLiteral("P_Pro_Week1_Week%1").arg(k + 1).toLatin1());
            clickAt(open.box("CB_Week_Enable"));
            expected.weeklyProfiles[k].enabled = true;
            for (int d = 0; d < config::kDaysPerWeek; ++d) {
                for (int s = 0; s < kSlots; ++s) {
                    if (patternOn(k, d, s)) {
                        clickSlot(open.grid(kWeekGrid), {d, s});
                        expected.weeklyProfiles[k].days[d][s] = true;
                    }
                }
            }
        }
        open.click("P_Pro_Week1_Day");
        for (int k = 0; k < config::kDailyProfiles; ++k) {
            const QByteArray number = QByteArray::number(k + 1);
            clickAt(open.box("CB_En_Daily" + number));
            expected.dailyProfiles[k].enabled = true;
            for (int s = 0; s < kSlots; ++s) {
                if (patternOn(3 + k, 0, s)) {
                    clickSlot(open.grid("Grid_Pro_Day" + number), {0, s});
                    expected.dailyProfiles[k].timeSlots[s] = true;
                }
            }
        }
        QCOMPARE(open.record(), expected);
        open.save();
        QCOMPARE(open.boxes.texts().last(), open.w().texts().messageText(u"Mes_Configuration_Saved"));

        // Configuration.xml: every slot at its place.
        const QHash<QString, QStringList> texts =
            slotTexts(open.projectFolder() + QStringLiteral("/Configuration.xml"));
        auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
        for (int k = 0; k < config::kWeeklyProfiles; ++k) {
            for (int d = 0; d < config::kDaysPerWeek; ++d) {
                QStringList want;
                for (int s = 0; s < kSlots; ++s)
                    want << flag(patternOn(k, d, s));
                QCOMPARE(
                    texts.value(QStringLiteral("Week%1/%2").arg(k + 1).arg(QLatin1String(kDayElements[d]))),
                    want);
            }
        }
        for (int k = 0; k < config::kDailyProfiles; ++k) {
            QStringList want;
            for (int s = 0; s < kSlots; ++s)
                want << flag(patternOn(3 + k, 0, s));
            QCOMPARE(texts.value(QStringLiteral("Day%1").arg(k + 1)), want);
        }

        // bank.bin: every slot at its bit, read back with the image reader.
        const image::BuildResult built = image::buildDeviceImage(open.projectFolder());
        QVERIFY2(built.built(), qPrintable(built.error));
        QFile file(built.imagePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const image::ReadResult read = image::readImage(file.readAll());
        QVERIFY2(read.ok(), qPrintable(read.error));
        const auto &words = read.image.model.profileWords;
        auto checkDay = [&](int firstWord, int profile, int day) {
            for (int s = 0; s < kSlots; ++s) {
                const quint32 word = words[firstWord + s / 32];
                QVERIFY2(
                    bool(word >> (s % 32) & 1u) == patternOn(profile, day, s),
                    qPrintable(QStringLiteral("profile %1 day %2 slot %3").arg(profile).arg(day).arg(s)));
            }
            QCOMPARE(words[firstWord + 1] >> 16, 0u);
        };
        for (int k = 0; k < config::kWeeklyProfiles; ++k) {
            for (int d = 0; d < config::kDaysPerWeek; ++d)
                checkDay(2 + 14 * k + 2 * d, k, d);
        }
        for (int k = 0; k < config::kDailyProfiles; ++k)
            checkDay(44 + 2 * k, 3 + k, 0);
    }
};

QTEST_MAIN(TestProfilePage)
#include "tst_profile_page.moc"
