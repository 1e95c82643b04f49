// The input page through its real widgets: every control bound to its own
// field, the paging of the digital and analog settings, and the SMS tables
// with their buttons, against configurations saved and loaded for real.
#include "config/ConfigurationFile.h"
#include "helper_window.h"
#include "lang/KeyTable.h"
#include "lang/LanguageTexts.h"
#include "ui/LanguageApplier.h"
#include "ui/MainWindow.h"
#include "ui/widgets/PageParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

using config::Configuration;
using ui::MainWindow;

namespace {

// Every input field different from the others and from the new-configuration
// values, so a control bound to the wrong field shows or writes the wrong one.
Configuration baseConfiguration()
{
    Configuration c;
    int n = 0;
    auto fill = [&](config::InputEvent &e) {
        e.timeDelay = QString::number(101 + n);
        e.list.setRows(
            {{QStringLiteral("msg %1").arg(n), QStringLiteral("+%1").arg(n), QStringLiteral("d%1").arg(n)}});
        ++n;
    };
    for (config::DigitalInput &d : c.digitalInputs) {
        fill(d.f0t1);
        fill(d.f1t0);
    }
    c.digitalInputs[0].f0t1.enSms = true;
    c.digitalInputs[1].f1t0.enSms = true;
    config::AnalogInput &a = c.analogInput;
    a.high = {true, QStringLiteral("8,5"), QStringLiteral("205"), QStringLiteral("4,5"), {}};
    a.high.list.setRows({{QStringLiteral("high"), QStringLiteral("+44"), QStringLiteral("dh")}});
    a.low = {false, QStringLiteral("1,5"), QStringLiteral("206"), QStringLiteral("2,5"), {}};
    a.low.list.setRows({{QStringLiteral("low"), QStringLiteral("+45"), QStringLiteral("dl")}});
    return c;
}

using TextField = QString &(*)(Configuration &);
using FlagField = bool &(*)(Configuration &);
using TableField = config::SmsTable &(*)(Configuration &);

struct Binding
{
    const char *control;
    const char *route; // the tab or link that shows the control's panel
    TextField text = nullptr;
    FlagField flag = nullptr;
    TableField table = nullptr;
};

constexpr const char *kDigital2 = "P_DigIn1_Input2";
constexpr const char *kAnalog = "P_SubT_Go_AnaDig";

// clang-format off
const Binding kBindings[] = {
    {"CB_DI1_F0T1", nullptr, {}, [](Configuration &c) -> bool & { return c.digitalInputs[0].f0t1.enSms; }},
    {"E_TimeDelay_DI1_F0T1", nullptr, [](Configuration &c) -> QString & { return c.digitalInputs[0].f0t1.timeDelay; }},
    {"SG_SMS_DI1_F0T1", nullptr, {}, {}, [](Configuration &c) -> config::SmsTable & { return c.digitalInputs[0].f0t1.list; }},
    {"CB_DI1_F1T0", nullptr, {}, [](Configuration &c) -> bool & { return c.digitalInputs[0].f1t0.enSms; }},
    {"E_TimeDelay_DI1_F1T0", nullptr, [](Configuration &c) -> QString & { return c.digitalInputs[0].f1t0.timeDelay; }},
    {"SG_SMS_DI1_F1T0", nullptr, {}, {}, [](Configuration &c) -> config::SmsTable & { return c.digitalInputs[0].f1t0.list; }},
    {"CB_DI2_F0T1", kDigital2, {}, [](Configuration &c) -> bool & { return c.digitalInputs[1].f0t1.enSms; }},
    {"E_TimeDelay_DI2_F0T1", kDigital2, [](Configuration &c) -> QString & { return c.digitalInputs[1].f0t1.timeDelay; }},
    {"SG_SMS_DI2_F0T1", kDigital2, {}, {}, [](Configuration &c) -> config::SmsTable & { return c.digitalInputs[1].f0t1.list; }},
    {"CB_DI2_F1T0", kDigital2, {}, [](Configuration &c) -> bool & { return c.digitalInputs[1].f1t0.enSms; }},
    {"E_TimeDelay_DI2_F1T0", kDigital2, [](Configuration &c) -> QString & { return c.digitalInputs[1].f1t0.timeDelay; }},
    {"SG_SMS_DI2_F1T0", kDigital2, {}, {}, [](Configuration &c) -> config::SmsTable & { return c.digitalInputs[1].f1t0.list; }},
    {"CB_AI1_High", kAnalog, {}, [](Configuration &c) -> bool & { return c.analogInput.high.enSms; }},
    {"E_AI1_Val_High", kAnalog, [](Configuration &c) -> QString & { return c.analogInput.high.value; }},
    {"E_AI1_Val_High_Hys", kAnalog, [](Configuration &c) -> QString & { return c.analogInput.high.valueHys; }},
    {"E_TimeDelay_AI1_High", kAnalog, [](Configuration &c) -> QString & { return c.analogInput.high.timeDelay; }},
    {"SG_SMS_AI1_High", kAnalog, {}, {}, [](Configuration &c) -> config::SmsTable & { return c.analogInput.high.list; }},
    {"CB_AI1_Low", kAnalog, {}, [](Configuration &c) -> bool & { return c.analogInput.low.enSms; }},
    {"E_AI1_Val_Low", kAnalog, [](Configuration &c) -> QString & { return c.analogInput.low.value; }},
    {"E_AI1_Val_Low_Hys", kAnalog, [](Configuration &c) -> QString & { return c.analogInput.low.valueHys; }},
    {"E_TimeDelay_AI1_Low", kAnalog, [](Configuration &c) -> QString & { return c.analogInput.low.timeDelay; }},
    {"SG_SMS_AI1_Low", kAnalog, {}, {}, [](Configuration &c) -> config::SmsTable & { return c.analogInput.low.list; }},
};
// clang-format on

// Types into a cell as a user does: the editor opens on the cell, takes the
// keys, and Return commits.
void typeIntoCell(QTableView *view, int row, int column, const QString &text)
{
    const QModelIndex index = view->model()->index(row, column);
    view->setCurrentIndex(index);
    view->edit(index);
    auto *editor = qobject_cast<QLineEdit *>(view->indexWidget(index));
    QVERIFY2(editor, "no cell editor opened");
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The item delegate commits and closes the editor through the event loop.
    QTRY_VERIFY(!view->indexWidget(index));
}

// The rows as the view draws them. The view counts its rows from what its
// model announced (the header has one section per row it knows of), not from
// the record, so a change the model did not announce shows here.
QStringList cells(QTableView *view)
{
    QStringList all;
    const QAbstractItemModel *m = view->model();
    const int drawn = view->verticalHeader()->count();
    for (int r = 0; r < drawn; ++r) {
        QStringList row;
        for (int c = 0; c < 3; ++c)
            row << m->index(r, c).data().toString();
        all << row.join(u'|');
    }
    if (drawn != m->rowCount())
        all << QStringLiteral("(%1 rows drawn of %2)").arg(drawn).arg(m->rowCount());
    return all;
}

QStringList cells(const config::SmsTable &table)
{
    QStringList all;
    for (const config::TableRow &row : table.rows())
        all << QStringList{row[0], row[1], row[2]}.join(u'|');
    return all;
}

// A window open on Plant_A holding c, with the input page shown.
struct OpenWindow : OpenConfiguration
{
    explicit OpenWindow(const Configuration &c, int language = 1) : OpenConfiguration(c, language)
    {
        clickMenu(*window, "TntL_Input_Menu");
    }
};

// Opens a configuration of the Projects folder from the Load page; the open
// one is not saved.
void loadFromPage(OpenConfiguration &open, const QString &name)
{
    MainWindow &w = open.w();
    open.boxes.answers = {ui::MessageAnswer::No};
    clickMenu(w, "TntL_Load_Menu");
    auto *list = child<QListWidget>(&w, "TntLB_LoadConf");
    list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
    child<QPushButton>(&w, "TntB_LoadConf")->click();
    QCOMPARE(w.session().configurationName(), name);
}

void pressUndo(MainWindow &w)
{
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_Z,
                    Qt::ControlModifier);
}

enum class TableStep { Add, Delete, Clear, UndoAdd, UndoDelete, Load, LoadEmpty, New };

bool visible(MainWindow &w, const char *name)
{
    return child<QWidget>(&w, name)->isVisible();
}

QTableView *table(MainWindow &w, const char *name)
{
    return child<QTableView>(&w, name);
}

} // namespace

Q_DECLARE_METATYPE(TableStep)

class TestInputPage : public QObject
{
    Q_OBJECT

private slots:
    void everyControlShowsAndEditsItsOwnField_data()
    {
        QTest::addColumn<int>("binding");
        for (int i = 0; i < int(std::size(kBindings)); ++i)
            QTest::newRow(kBindings[i].control) << i;
    }

    void everyControlShowsAndEditsItsOwnField()
    {
        QFETCH(int, binding);
        const Binding &b = kBindings[binding];
        const Configuration base = baseConfiguration();
        OpenWindow open(base);
        MainWindow &w = open.w();
        QVERIFY(!w.isChanged());
        if (b.route)
            clickAt(child<QWidget>(&w, b.route));
        QWidget *control = child<QWidget>(&w, b.control);
        QVERIFY(control->isVisible());

        Configuration expected = base;
        Configuration shown = base;
        if (b.text) {
            auto *edit = qobject_cast<QLineEdit *>(control);
            QCOMPARE(edit->text(), b.text(shown));
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("9,25x"));
            b.text(expected) = QStringLiteral("9,25x");
        } else if (b.flag) {
            auto *box = qobject_cast<QCheckBox *>(control);
            QCOMPARE(box->isChecked(), b.flag(shown));
            clickAt(box);
            b.flag(expected) = !b.flag(expected);
        } else {
            auto *view = qobject_cast<QTableView *>(control);
            QCOMPARE(cells(view), cells(b.table(shown)));
            typeIntoCell(view, 0, 0, QStringLiteral("Alarm"));
            typeIntoCell(view, 0, 1, QStringLiteral("+3900"));
            typeIntoCell(view, 0, 2, QStringLiteral("Guard"));
            b.table(expected).setRows(
                {{QStringLiteral("Alarm"), QStringLiteral("+3900"), QStringLiteral("Guard")}});
        }
        QCOMPARE(w.session().configuration(), expected);
        QVERIFY(w.isChanged());
    }

    void everyCaptionAndHeaderKeyNamesExactlyOneControl_data() { addLanguageRows(); }

    void everyCaptionAndHeaderKeyNamesExactlyOneControl()
    {
        QFETCH(int, language);
        OpenWindow open(Configuration(), language);
        MainWindow &w = open.w();
        int checked = 0;
        QCOMPARE(captionFaults(w,
                               {lang::Group::P_Input, lang::Group::P_Dig_Input_Set, lang::Group::P_DigIn_1,
                                lang::Group::P_DigIn_2, lang::Group::P_Ana_Input_Set, lang::Group::P_AnaIn_1},
                               &checked),
                 QStringList());
        QCOMPARE(checked, 73);
        QCOMPARE(ui::applyLanguageTexts(&w, w.texts()), QStringList());
    }

    void pagingKeepsTheInputAndTheMenuResetsIt()
    {
        OpenWindow open(baseConfiguration());
        MainWindow &w = open.w();
        QVERIFY(visible(w, "P_DigIn_1") && !visible(w, "P_DigIn_2") && !visible(w, "P_Ana_Input_Set"));

        // The tab of the input shown, and its caption: nothing happens.
        clickAt(child<QWidget>(&w, "P_DigIn1_Input1"));
        clickAt(child<QWidget>(&w, "TntL_DigIn1_Input1"));
        QVERIFY(visible(w, "P_DigIn_1") && !visible(w, "P_DigIn_2"));
        QVERIFY(!w.isChanged());

        clickAt(child<QWidget>(&w, "TntL_DigIn1_Input2")); // the caption leads too
        QVERIFY(visible(w, "P_DigIn_2") && !visible(w, "P_DigIn_1"));
        clickAt(child<QWidget>(&w, "P_SubT_Go_AnaDig"));
        QVERIFY(visible(w, "P_Ana_Input_Set") && visible(w, "P_AnaIn_1") && !visible(w, "P_Dig_Input_Set"));
        clickAt(child<QWidget>(&w, "P_AnaIn1_Input1")); // the analog panel's one tab does nothing
        QVERIFY(visible(w, "P_AnaIn_1"));
        clickAt(child<QWidget>(&w, "TntL_SubT_Go_InpDig"));
        QVERIFY(visible(w, "P_DigIn_2") && !visible(w, "P_Ana_Input_Set"));

        clickAt(child<QWidget>(&w, "P_SubT_Go_AnaDig"));
        clickMenu(w, "TntL_Input_Menu");
        QVERIFY(visible(w, "P_DigIn_1") && !visible(w, "P_DigIn_2") && !visible(w, "P_Ana_Input_Set"));
        clickAt(child<QWidget>(&w, "P_DigIn1_Input2"));
        clickAt(child<QWidget>(&w, "P_DigIn2_Input1"));
        QVERIFY(visible(w, "P_DigIn_1"));
        QVERIFY(!w.isChanged());
    }

    void tabsAndLinksWorkFromTheKeyboard()
    {
        OpenWindow open(baseConfiguration());
        MainWindow &w = open.w();
        auto *tab = child<QWidget>(&w, "P_DigIn1_Input2");
        QCOMPARE(tab->focusPolicy(), Qt::TabFocus);
        QCOMPARE(child<QWidget>(&w, "P_DigIn1_Input1")->focusPolicy(), Qt::NoFocus);
        QTest::keyClick(tab, Qt::Key_Space);
        QVERIFY(visible(w, "P_DigIn_2"));
        QTest::keyClick(child<QWidget>(&w, "P_SubT_Go_AnaDig"), Qt::Key_Return);
        QVERIFY(visible(w, "P_AnaIn_1"));
    }

    void viewShowsTheRecordAfterEveryTableStep_data()
    {
        QTest::addColumn<TableStep>("step");
        QTest::addColumn<QStringList>("shown");
        const QStringList three{"a|1|x", "b|2|y", "c|3|z"};
        QTest::newRow("add row") << TableStep::Add << three + QStringList{"||"};
        QTest::newRow("delete row") << TableStep::Delete << QStringList{"a|1|x", "c|3|z"};
        QTest::newRow("clear table") << TableStep::Clear << QStringList(3, QStringLiteral("||"));
        QTest::newRow("undo an added row") << TableStep::UndoAdd << three;
        QTest::newRow("undo a deleted row") << TableStep::UndoDelete << three;
        QTest::newRow("load more rows")
            << TableStep::Load << QStringList{"l0|0|", "l1|1|", "l2|2|", "l3|3|", "l4|4|"};
        QTest::newRow("load an empty table") << TableStep::LoadEmpty << QStringList{"||"};
        QTest::newRow("new configuration") << TableStep::New << QStringList{"||"};
    }

    void viewShowsTheRecordAfterEveryTableStep()
    {
        QFETCH(TableStep, step);
        QFETCH(QStringList, shown);
        const QStringList three{"a|1|x", "b|2|y", "c|3|z"};
        Configuration c = baseConfiguration();
        c.digitalInputs[0].f0t1.list.setRows({{"a", "1", "x"}, {"b", "2", "y"}, {"c", "3", "z"}});
        OpenWindow open(c);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        QTableView *view = table(w, "SG_SMS_DI1_F0T1");
        auto click = [&](const char *button) { child<QPushButton>(&w, button)->click(); };
        auto focusRow = [&](int row) {
            view->setFocus();
            view->setCurrentIndex(view->model()->index(row, 0));
        };
        switch (step) {
        case TableStep::Add:
            click("TntB_AddRow_DI1_F0T1");
            break;
        case TableStep::Delete:
            focusRow(1);
            click("TntB_DelRow_DI1_F0T1");
            break;
        case TableStep::Clear:
            click("TntB_Clear_DI1_F0T1");
            break;
        case TableStep::UndoAdd:
            click("TntB_AddRow_DI1_F0T1");
            QCOMPARE(cells(view), three + QStringList{"||"});
            pressUndo(w);
            break;
        case TableStep::UndoDelete:
            focusRow(1);
            click("TntB_DelRow_DI1_F0T1");
            QCOMPARE(cells(view), (QStringList{"a|1|x", "c|3|z"}));
            pressUndo(w);
            break;
        case TableStep::Load: {
            Configuration more;
            QList<config::TableRow> rows;
            for (int i = 0; i < 5; ++i)
                rows.append({QStringLiteral("l%1").arg(i), QString::number(i), {}});
            more.digitalInputs[0].f0t1.list.setRows(rows);
            open.folder.writeConfiguration(QStringLiteral("More"), more);
            loadFromPage(open, QStringLiteral("More"));
            break;
        }
        case TableStep::LoadEmpty:
            open.folder.writeConfiguration(QStringLiteral("Empty"), Configuration());
            loadFromPage(open, QStringLiteral("Empty"));
            break;
        case TableStep::New:
            open.boxes.answers = {ui::MessageAnswer::No};
            clickMenu(w, "TntL_New_Menu");
            child<QLineEdit>(&w, "TntE_NewConf")->setText(QStringLiteral("Fresh"));
            click("TntB_NewConf");
            QCOMPARE(w.session().configurationName(), QStringLiteral("Fresh"));
            break;
        }
        QCOMPARE(cells(view), shown);
        QCOMPARE(cells(view), cells(w.session().configuration().digitalInputs[0].f0t1.list));
    }

    void loadingAPartialFileGivesNewValuesForWhatItLeavesOut()
    {
        // Open: every table with rows, slots and flags on.
        Configuration c = baseConfiguration();
        c.dst = true;
        c.digitalOutputs[1].sms.password = QStringLiteral("pw");
        c.digitalOutputs[0].call.list.setRows({{"+39", "2", "gate"}});
        c.weeklyProfiles[0].days[0][5] = true;
        c.dailyProfiles[1].timeSlots[7] = true;
        OpenWindow open(c);
        MainWindow &w = open.w();

        // Written by an older program: tables without rows, days without
        // slots, no DST and no passwords.
        Configuration written;
        written.pin = QStringLiteral("4321");
        written.analogInput.high.enSms = true;
        QString partial = QString::fromUtf8(config::serializeConfiguration(written));
        partial.remove(QRegularExpression(QStringLiteral(
            "<Time_Slot>0</Time_Slot>|<DST>0</DST>|<Password_from_SMS_Text>[^<]*</Password_from_SMS_Text>")));
        open.folder.writeFile(QStringLiteral("Projects/Partial/Configuration.xml"), partial.toUtf8());
        loadFromPage(open, QStringLiteral("Partial"));
        // Nothing unsaved, so no question, and no error.
        QCOMPARE(open.boxes.texts(), QStringList{});

        Configuration expected = written;
        for (config::DigitalOutput &out : expected.digitalOutputs)
            out.sms.password = QStringLiteral("7839"); // what a file without it gets
        QCOMPARE(config::serializeConfiguration(w.session().configuration()),
                 config::serializeConfiguration(expected));
        QVERIFY(w.session().configuration() == expected);
        clickMenu(w, "TntL_Input_Menu");
        QCOMPARE(cells(table(w, "SG_SMS_DI1_F0T1")), QStringList{"||"});
        QVERIFY(child<QCheckBox>(&w, "CB_AI1_High")->isChecked());
    }

    void uncheckedEventKeepsAndSavesItsDurationAndTable()
    {
        OpenWindow open(baseConfiguration());
        MainWindow &w = open.w();
        clickAt(child<QCheckBox>(&w, "CB_DI1_F0T1"));
        QVERIFY(!child<QCheckBox>(&w, "CB_DI1_F0T1")->isChecked());
        QVERIFY(child<QLineEdit>(&w, "E_TimeDelay_DI1_F0T1")->isEnabled());
        QVERIFY(table(w, "SG_SMS_DI1_F0T1")->isEnabled());
        open.save();
        const config::InputEvent saved = open.stored().digitalInputs[0].f0t1;
        QCOMPARE(saved.enSms, false);
        QCOMPARE(saved.timeDelay, QStringLiteral("101"));
        QCOMPARE(cells(saved.list), QStringList{"msg 0|+0|d0"});
    }

    void lettersInADurationAreTakenAsTyped()
    {
        OpenWindow open(baseConfiguration());
        MainWindow &w = open.w();
        auto *edit = child<QLineEdit>(&w, "E_TimeDelay_DI1_F1T0");
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("abc"));
        QCOMPARE(w.session().configuration().digitalInputs[0].f1t0.timeDelay, QStringLiteral("abc"));
        QVERIFY(w.isChanged());
        QVERIFY(open.boxes.shown.isEmpty());
    }

    // The table buttons, on the first table of the page.

    void deleteRemovesOnlyTheFocusedRow()
    {
        Configuration c = baseConfiguration();
        c.digitalInputs[0].f0t1.list.setRows(
            {{"a", "1", ""}, {"b", "2", ""}, {"c", "3", ""}, {"d", "4", ""}});
        OpenWindow open(c);
        MainWindow &w = open.w();
        QTableView *view = table(w, "SG_SMS_DI1_F0T1");
        // Rows 1 to 3 selected, the cell of row 2 focused.
        view->selectionModel()->select(QItemSelection(view->model()->index(0, 0), view->model()->index(2, 2)),
                                       QItemSelectionModel::ClearAndSelect);
        view->selectionModel()->setCurrentIndex(view->model()->index(1, 1), QItemSelectionModel::NoUpdate);
        child<QPushButton>(&w, "TntB_DelRow_DI1_F0T1")->click();
        QCOMPARE(cells(view), (QStringList{"a|1|", "c|3|", "d|4|"}));
        QCOMPARE(cells(w.session().configuration().digitalInputs[0].f0t1.list), cells(view));
        QVERIFY(w.isChanged());
    }

    void deletingTheOnlyRowBlanksIt()
    {
        OpenWindow open(baseConfiguration());
        MainWindow &w = open.w();
        QTableView *view = table(w, "SG_SMS_DI1_F0T1");
        child<QPushButton>(&w, "TntB_DelRow_DI1_F0T1")->click(); // no cell focused yet: the first row
        QCOMPARE(cells(view), QStringList{"||"});
        child<QPushButton>(&w, "TntB_DelRow_DI1_F0T1")->click();
        QCOMPARE(cells(view), QStringList{"||"});
        QVERIFY(w.isChanged());
    }

    void clearKeepsTheRowsUntilSavedAndLoaded()
    {
        Configuration c = baseConfiguration();
        QList<config::TableRow> five;
        for (int i = 0; i < 5; ++i)
            five.append({QString::number(i), QStringLiteral("+1"), QStringLiteral("x")});
        c.digitalInputs[0].f1t0.list.setRows(five);
        OpenWindow open(c);
        MainWindow &w = open.w();
        child<QPushButton>(&w, "TntB_Clear_DI1_F1T0")->click();
        QCOMPARE(cells(table(w, "SG_SMS_DI1_F1T0")), QStringList(5, QStringLiteral("||")));
        QVERIFY(w.isChanged());
        open.save();
        QCOMPARE(open.boxes.texts().last(), w.texts().messageText(u"Mes_Configuration_Saved"));
        open.window.reset();
        open.window = std::make_unique<MainWindow>(MainWindow::Options{open.folder.path(), &open.boxes});
        QCOMPARE(cells(table(open.w(), "SG_SMS_DI1_F1T0")), QStringList{"||"});
    }

    void rowWithOnlyAPhoneNumberIsNotStored()
    {
        Configuration c = baseConfiguration();
        c.analogInput.low.list.setRows({});
        OpenWindow open(c);
        MainWindow &w = open.w();
        clickAt(child<QWidget>(&w, "P_SubT_Go_AnaDig"));
        typeIntoCell(table(w, "SG_SMS_AI1_Low"), 0, 1, QStringLiteral("+39123"));
        QVERIFY(w.isChanged());
        open.save();
        QCOMPARE(cells(open.stored().analogInput.low.list), QStringList{"||"});
    }

    void addThenTypeMarksChangedAndTypingAloneDoesToo()
    {
        {
            OpenWindow open(baseConfiguration());
            MainWindow &w = open.w();
            QTableView *view = table(w, "SG_SMS_DI1_F0T1");
            view->setCurrentIndex(view->model()->index(0, 2));
            child<QPushButton>(&w, "TntB_AddRow_DI1_F0T1")->click();
            QVERIFY(w.isChanged());
            // The new row's first cell is current, ready to type.
            QCOMPARE(view->currentIndex(), view->model()->index(1, 0));
            typeIntoCell(view, 1, 0, QStringLiteral("Second"));
            QCOMPARE(cells(w.session().configuration().digitalInputs[0].f0t1.list),
                     (QStringList{"msg 0|+0|d0", "Second||"}));
        }
        {
            // Typing in a cell alone: closing must not lose the number.
            OpenWindow open(baseConfiguration());
            MainWindow &w = open.w();
            typeIntoCell(table(w, "SG_SMS_DI1_F0T1"), 0, 1, QStringLiteral("+4477"));
            QVERIFY(w.isChanged());
            open.boxes.answers = {ui::MessageAnswer::Cancel};
            QVERIFY(!w.close());
            QCOMPARE(open.boxes.texts(), QStringList{w.texts().messageText(u"On_CLose_Save_Conf")});
        }
    }

    void tableShowsFourRowsAndScrolls()
    {
        Configuration c = baseConfiguration();
        QList<config::TableRow> rows;
        for (int i = 0; i < 12; ++i)
            rows.append({QStringLiteral("row %1").arg(i), {}, {}});
        c.digitalInputs[0].f0t1.list.setRows(rows);
        OpenWindow open(c);
        QTableView *view = table(open.w(), "SG_SMS_DI1_F0T1");
        const int rowsShown = view->viewport()->height() / view->verticalHeader()->defaultSectionSize();
        QCOMPARE(rowsShown, 4);
        QTRY_VERIFY(view->verticalScrollBar()->isVisible());
        QCOMPARE(view->horizontalHeader()->sectionSize(0), 240);
        QCOMPARE(table(open.w(), "SG_SMS_AI1_High")->horizontalHeader()->sectionSize(0), 211);
    }
};

QTEST_MAIN(TestInputPage)
#include "tst_input_page.moc"
