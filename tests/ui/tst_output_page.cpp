// The output page through its real widgets: every control bound to its own
// field of its own output, the fourteen enabling rules, and the paging of the
// outputs and their SMS and CALL sub-pages.
#include "config/ConfigurationFile.h"
#include "helper_window.h"
#include "lang/KeyTable.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using config::Configuration;
using config::DigitalOutput;
using config::Operation;
using ui::MainWindow;

namespace {

const QString kName = QStringLiteral("Plant_A");

// Every governing box on, so that every control can be used; every text of
// output 1 different from output 2's and from the hang-up, under and above
// texts of its own output.
Configuration baseConfiguration()
{
    Configuration c;
    for (int o = 0; o < 2; ++o) {
        DigitalOutput &d = c.digitalOutputs[o];
        const QString n = QString::number(o + 1);
        d.sms = {true,     true,  "on" + n, true,     "off" + n, true, "pulse" + n,
                 "11" + n, false, true,     "pw" + n, false,     {}};
        d.sms.list.setRows({{"+1" + n, n, "sms" + n}});
        d.call.enable = o == 0;
        d.call.ringNumber = "1" + n;
        d.call.hangUpRing = QString::number(15 + o);
        d.call.hangUp = {true, Operation::Set, "21" + n};
        d.call.under = {true, Operation::Set, "22" + n};
        d.call.above = {true, Operation::Set, "23" + n};
        d.call.list.setRows({{"+2" + n, n, "call" + n}});
    }
    return c;
}

using TextField = QString &(*)(DigitalOutput &);
using FlagField = bool &(*)(DigitalOutput &);
using TableField = config::SmsTable &(*)(DigitalOutput &);
using OperationField = Operation &(*)(DigitalOutput &);

struct Binding
{
    const char *control; // %1: the output's number
    bool call;           // on the CALL sub-page
    TextField text = nullptr;
    FlagField flag = nullptr;
    TableField table = nullptr;
    OperationField operation = nullptr;
    Operation clicked = Operation::Set; // the operation of a radio
};

// clang-format off
const Binding kBindings[] = {
    {"CB_DO%1_SMS", false, {}, [](DigitalOutput &d) -> bool & { return d.sms.enable; }},
    {"CB_DO%1_SMS_SET", false, {}, [](DigitalOutput &d) -> bool & { return d.sms.set; }},
    {"TntE_TurnON_DO%1", false, [](DigitalOutput &d) -> QString & { return d.sms.setText; }},
    {"CB_DO%1_SMS_RESET", false, {}, [](DigitalOutput &d) -> bool & { return d.sms.reset; }},
    {"TntE_TurnOFF_DO%1", false, [](DigitalOutput &d) -> QString & { return d.sms.resetText; }},
    {"CB_DO%1_SMS_IMPULSE", false, {}, [](DigitalOutput &d) -> bool & { return d.sms.impulse; }},
    {"TntE_Impulse_DO%1", false, [](DigitalOutput &d) -> QString & { return d.sms.impulseText; }},
    {"E_DO%1_SMS_Delay_Imp", false, [](DigitalOutput &d) -> QString & { return d.sms.delayImpulse; }},
    {"CB_DO%1_SMS_TEL", false, {}, [](DigitalOutput &d) -> bool & { return d.sms.checkPhoneNumber; }},
    {"CB_DO%1_SMS_PWD", false, {}, [](DigitalOutput &d) -> bool & { return d.sms.checkPassword; }},
    {"TntE_PWD_DO%1", false, [](DigitalOutput &d) -> QString & { return d.sms.password; }},
    {"CB_DO%1_SMS_Send_Back", false, {}, [](DigitalOutput &d) -> bool & { return d.sms.sendBack; }},
    {"SG_DO%1_SMS", false, {}, {}, [](DigitalOutput &d) -> config::SmsTable & { return d.sms.list; }},
    {"CB_DO%1_CALL", true, {}, [](DigitalOutput &d) -> bool & { return d.call.enable; }},
    {"E_DO%1_CALL_NumRing", true, [](DigitalOutput &d) -> QString & { return d.call.ringNumber; }},
    {"E_DO%1_CALL_HangUpRing", true, [](DigitalOutput &d) -> QString & { return d.call.hangUpRing; }},
    {"CB_DO%1_CALL_Hang_Up", true, {}, [](DigitalOutput &d) -> bool & { return d.call.hangUp.enable; }},
    {"RB_DO%1_CALL_Hang_RESET", true, {}, {}, {}, [](DigitalOutput &d) -> Operation & { return d.call.hangUp.operation; }, Operation::Reset},
    {"RB_DO%1_CALL_Hang_IMPULSE", true, {}, {}, {}, [](DigitalOutput &d) -> Operation & { return d.call.hangUp.operation; }, Operation::Impulse},
    {"E_DO%1_CALL_Hang_IMPULSE_DT", true, [](DigitalOutput &d) -> QString & { return d.call.hangUp.delayTime; }},
    {"CB_DO%1_CALL_Under", true, {}, [](DigitalOutput &d) -> bool & { return d.call.under.enable; }},
    {"RB_DO%1_CALL_Under_RESET", true, {}, {}, {}, [](DigitalOutput &d) -> Operation & { return d.call.under.operation; }, Operation::Reset},
    {"RB_DO%1_CALL_Under_IMPULSE", true, {}, {}, {}, [](DigitalOutput &d) -> Operation & { return d.call.under.operation; }, Operation::Impulse},
    {"E_DO%1_CALL_Under_IMPULSE_DT", true, [](DigitalOutput &d) -> QString & { return d.call.under.delayTime; }},
    {"CB_DO%1_CALL_Above", true, {}, [](DigitalOutput &d) -> bool & { return d.call.above.enable; }},
    {"RB_DO%1_CALL_Above_RESET", true, {}, {}, {}, [](DigitalOutput &d) -> Operation & { return d.call.above.operation; }, Operation::Reset},
    {"RB_DO%1_CALL_Above_IMPULSE", true, {}, {}, {}, [](DigitalOutput &d) -> Operation & { return d.call.above.operation; }, Operation::Impulse},
    {"E_DO%1_CALL_Above_IMPULSE_DT", true, [](DigitalOutput &d) -> QString & { return d.call.above.delayTime; }},
    {"SG_DO%1_CALL", true, {}, {}, [](DigitalOutput &d) -> config::SmsTable & { return d.call.list; }},
};

struct Rule
{
    const char *box;
    QStringList controls;
    bool call;
};

const Rule kRules[] = {
    {"CB_DO%1_SMS_SET", {"TntE_TurnON_DO%1"}, false},
    {"CB_DO%1_SMS_RESET", {"TntE_TurnOFF_DO%1"}, false},
    {"CB_DO%1_SMS_IMPULSE", {"TntE_Impulse_DO%1", "E_DO%1_SMS_Delay_Imp"}, false},
    {"CB_DO%1_SMS_PWD", {"TntE_PWD_DO%1"}, false},
    {"CB_DO%1_CALL_Hang_Up", {"RB_DO%1_CALL_Hang_SET", "RB_DO%1_CALL_Hang_RESET", "RB_DO%1_CALL_Hang_IMPULSE", "E_DO%1_CALL_Hang_IMPULSE_DT"}, true},
    {"CB_DO%1_CALL_Under", {"RB_DO%1_CALL_Under_SET", "RB_DO%1_CALL_Under_RESET", "RB_DO%1_CALL_Under_IMPULSE", "E_DO%1_CALL_Under_IMPULSE_DT"}, true},
    {"CB_DO%1_CALL_Above", {"RB_DO%1_CALL_Above_SET", "RB_DO%1_CALL_Above_RESET", "RB_DO%1_CALL_Above_IMPULSE", "E_DO%1_CALL_Above_IMPULSE_DT"}, true},
};
// clang-format on

QByteArray nameOf(const char *pattern, int output)
{
    return QString::fromLatin1(pattern).arg(output + 1).toLatin1();
}

// Shows output `o` and its SMS or CALL sub-page as a user gets there.
void showSubPage(MainWindow &w, int o, bool call)
{
    clickMenu(w, "TntL_Output_Menu");
    if (o == 1)
        clickAt(child<QWidget>(&w, "P_DigOut1_Output2"));
    if (call)
        clickAt(child<QWidget>(&w, nameOf("P_DO%1_STSMS_CALL", o)));
}

// Types into a cell; the profile cell's drop-down takes the number's first
// key, as a user picks an entry by typing.
void typeIntoCell(QTableView *view, int row, int column, const QString &text)
{
    const QModelIndex index = view->model()->index(row, column);
    view->setCurrentIndex(index);
    view->edit(index);
    if (auto *box = qobject_cast<QComboBox *>(view->indexWidget(index))) {
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY(!view->indexWidget(index));
        return;
    }
    auto *editor = qobject_cast<QLineEdit *>(view->indexWidget(index));
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!view->indexWidget(index));
}

// The enabled state of every named control of the page.
QHash<QString, bool> enabledStates(MainWindow &w)
{
    QHash<QString, bool> states;
    for (QWidget *widget : child<QWidget>(&w, "P_Output")->findChildren<QWidget *>()) {
        // A length counter is part of its edit and follows it.
        if (qobject_cast<QLineEdit *>(widget->parentWidget()))
            continue;
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QLatin1String("qt_")))
            states.insert(widget->objectName(), widget->isEnabled());
    }
    return states;
}

struct OpenWindow
{
    explicit OpenWindow(const Configuration &c)
    {
        folder.writeConfiguration(kName, c);
        folder.writeSettings(1, kName);
        window = std::make_unique<MainWindow>(MainWindow::Options{folder.path(), &boxes});
        window->show();
    }
    MainWindow &w() { return *window; }
    Configuration saved()
    {
        clickMenu(*window, "TntL_Save_Menu");
        child<QPushButton>(window.get(), "TntB_SaveConf")->click();
        Configuration c;
        config::loadConfigurationFile(folder.path() + QStringLiteral("/Projects/Plant_A/Configuration.xml"),
                                      c);
        return c;
    }

    ProgramFolder folder;
    RecordingPresenter boxes;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class TestOutputPage : public QObject
{
    Q_OBJECT

private slots:
    void everyControlShowsAndEditsItsOwnField_data()
    {
        QTest::addColumn<int>("binding");
        QTest::addColumn<int>("output");
        for (int o = 0; o < 2; ++o) {
            for (int i = 0; i < int(std::size(kBindings)); ++i)
                QTest::newRow(nameOf(kBindings[i].control, o).constData()) << i << o;
        }
    }

    void everyControlShowsAndEditsItsOwnField()
    {
        QFETCH(int, binding);
        QFETCH(int, output);
        const Binding &b = kBindings[binding];
        const Configuration base = baseConfiguration();
        OpenWindow open(base);
        MainWindow &w = open.w();
        showSubPage(w, output, b.call);
        QWidget *control = child<QWidget>(&w, nameOf(b.control, output));
        QVERIFY(control->isVisible());
        QVERIFY(control->isEnabled());

        Configuration expected = base;
        Configuration shown = base;
        DigitalOutput &e = expected.digitalOutputs[output];
        DigitalOutput &s = shown.digitalOutputs[output];
        if (b.text) {
            auto *edit = qobject_cast<QLineEdit *>(control);
            QCOMPARE(edit->text(), b.text(s));
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("7x"));
            b.text(e) = QStringLiteral("7x");
        } else if (b.flag) {
            auto *box = qobject_cast<QCheckBox *>(control);
            QCOMPARE(box->isChecked(), b.flag(s));
            clickAt(box);
            b.flag(e) = !b.flag(e);
        } else if (b.operation) {
            auto *radio = qobject_cast<QRadioButton *>(control);
            QVERIFY(!radio->isChecked());
            clickAt(radio);
            QVERIFY(radio->isChecked());
            b.operation(e) = b.clicked;
        } else {
            auto *view = qobject_cast<QTableView *>(control);
            const config::TableRow row = b.table(s).row(0);
            QCOMPARE(view->model()->index(0, 2).data().toString(), row[2]);
            typeIntoCell(view, 0, 0, QStringLiteral("+3900"));
            typeIntoCell(view, 0, 1, QStringLiteral("7"));
            typeIntoCell(view, 0, 2, QStringLiteral("Gate"));
            b.table(e).setRows({{QStringLiteral("+3900"), QStringLiteral("7"), QStringLiteral("Gate")}});
        }
        QCOMPARE(w.session().configuration(), expected);
        QVERIFY(w.isChanged());
    }

    void eachRuleGovernsExactlyItsControls_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("output");
        for (int o = 0; o < 2; ++o) {
            for (int i = 0; i < int(std::size(kRules)); ++i)
                QTest::newRow(nameOf(kRules[i].box, o).constData()) << i << o;
        }
    }

    void eachRuleGovernsExactlyItsControls()
    {
        QFETCH(int, rule);
        QFETCH(int, output);
        const Rule &r = kRules[rule];
        OpenWindow open(baseConfiguration());
        MainWindow &w = open.w();
        showSubPage(w, output, r.call);
        QStringList governed;
        for (const QString &name : r.controls)
            governed << name.arg(output + 1);

        const QHash<QString, bool> before = enabledStates(w);
        auto *box = child<QCheckBox>(&w, nameOf(r.box, output));
        clickAt(box); // off
        const QHash<QString, bool> off = enabledStates(w);
        QStringList changed;
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (off.value(it.key()) != it.value())
                changed << it.key();
        }
        changed.sort();
        governed.sort();
        QCOMPARE(changed, governed);
        for (const QString &name : governed)
            QVERIFY2(!off.value(name), qPrintable(name));

        // Kept while disabled, and saved.
        QCOMPARE(open.saved().digitalOutputs, w.session().configuration().digitalOutputs);
        QCOMPARE(open.boxes.texts().last(), w.texts().messageText(u"Mes_Configuration_Saved"));
        clickMenu(w, "TntL_Output_Menu");
        showSubPage(w, output, r.call);
        clickAt(box); // on again
        QCOMPARE(enabledStates(w), before);
    }

    void boxesThatGovernNothing()
    {
        OpenWindow open(baseConfiguration());
        MainWindow &w = open.w();
        for (int o = 0; o < 2; ++o) {
            for (const char *name :
                 {"CB_DO%1_SMS", "CB_DO%1_SMS_TEL", "CB_DO%1_SMS_Send_Back", "CB_DO%1_CALL"}) {
                showSubPage(w, o, QByteArray(name).contains("CALL"));
                const QHash<QString, bool> before = enabledStates(w);
                w.undo().markClean();
                clickAt(child<QCheckBox>(&w, nameOf(name, o)));
                QCOMPARE(enabledStates(w), before);
                QVERIFY2(w.isChanged(), name);
            }
        }
    }

    void uncheckedHangUpKeepsItsRadioAndSavesIt()
    {
        Configuration c = baseConfiguration();
        c.digitalOutputs[1].call.hangUp.operation = Operation::Impulse;
        OpenWindow open(c);
        MainWindow &w = open.w();
        showSubPage(w, 1, true);
        clickAt(child<QCheckBox>(&w, "CB_DO2_CALL_Hang_Up"));
        QVERIFY(child<QRadioButton>(&w, "RB_DO2_CALL_Hang_IMPULSE")->isChecked());
        QVERIFY(!child<QRadioButton>(&w, "RB_DO2_CALL_Hang_IMPULSE")->isEnabled());
        const config::CallAction saved = open.saved().digitalOutputs[1].call.hangUp;
        QCOMPARE(saved.enable, false);
        QCOMPARE(saved.operation, Operation::Impulse);
        QCOMPARE(saved.delayTime, QStringLiteral("212"));
    }

    void loadAndNewSetTheEnabledStates()
    {
        Configuration c; // everything off but the password check of output 2
        c.digitalOutputs[1].sms.checkPassword = true;
        OpenWindow open(c);
        MainWindow &w = open.w();
        QVERIFY(child<QLineEdit>(&w, "TntE_PWD_DO2")->isEnabled());
        QVERIFY(!child<QLineEdit>(&w, "TntE_PWD_DO1")->isEnabled());
        QVERIFY(!w.isChanged());

        // Everything on, then a new configuration: every governed control is off again.
        open.folder.writeConfiguration(QStringLiteral("All_On"), baseConfiguration());
        open.boxes.answers = {ui::MessageAnswer::No};
        clickMenu(w, "TntL_Load_Menu");
        auto *list = w.findChild<QListWidget *>(QStringLiteral("TntLB_LoadConf"));
        list->setCurrentItem(list->findItems(QStringLiteral("All_On"), Qt::MatchExactly).value(0));
        child<QPushButton>(&w, "TntB_LoadConf")->click();
        QVERIFY(child<QWidget>(&w, "RB_DO2_CALL_Above_SET")->isEnabled());
        open.boxes.answers = {ui::MessageAnswer::No};
        clickMenu(w, "TntL_New_Menu");
        child<QLineEdit>(&w, "TntE_NewConf")->setText(QStringLiteral("Fresh"));
        child<QPushButton>(&w, "TntB_NewConf")->click();
        QCOMPARE(w.session().configurationName(), QStringLiteral("Fresh"));
        for (int o = 0; o < 2; ++o) {
            for (const Rule &r : kRules) {
                for (const QString &name : r.controls)
                    QVERIFY2(!child<QWidget>(&w, nameOf(name.toLatin1(), o))->isEnabled(), qPrintable(name));
            }
            // Exactly one radio of each group is on.
            for (const char *group : {"Hang", "Under", "Above"}) {
                int on = 0;
                for (const char *op : {"SET", "RESET", "IMPULSE"}) {
                    const QString name = QStringLiteral("RB_DO%1_CALL_%2_%3").arg(o + 1).arg(group, op);
                    on += child<QRadioButton>(&w, name.toLatin1())->isChecked() ? 1 : 0;
                }
                QCOMPARE(on, 1);
            }
        }
    }

    void eachOutputKeepsItsSubPage()
    {
        OpenWindow open(baseConfiguration());
        MainWindow &w = open.w();
        auto shown = [&](const char *name) { return child<QWidget>(&w, name)->isVisible(); };
        clickMenu(w, "TntL_Output_Menu");
        QVERIFY(shown("P_DO1_SMS") && !shown("P_DigOut_2"));
        clickAt(child<QWidget>(&w, "P_DO1_STSMS_SMS")); // the tab shown: nothing
        QVERIFY(shown("P_DO1_SMS"));
        clickAt(child<QWidget>(&w, "TntL_DO1_STSMS_CALL"));
        QVERIFY(shown("P_DO1_CALL") && !shown("P_DO1_SMS"));
        clickAt(child<QWidget>(&w, "P_DO1_STCALL_CALL")); // the tab shown: nothing
        QVERIFY(shown("P_DO1_CALL"));
        clickAt(child<QWidget>(&w, "P_DigOut1_Output2"));
        QVERIFY(shown("P_DO2_SMS") && !shown("P_DigOut_1"));
        clickAt(child<QWidget>(&w, "TntL_DigOut2_Output1"));
        QVERIFY(shown("P_DO1_CALL"));
        clickMenu(w, "TntL_Output_Menu");
        QVERIFY(shown("P_DO1_SMS"));
        QVERIFY(!w.isChanged());
    }

    void everyCaptionAndHeaderKeyNamesExactlyOneControl()
    {
        OpenWindow open(baseConfiguration());
        int checked = 0;
        QCOMPARE(captionFaults(open.w(),
                               {lang::Group::P_Output, lang::Group::P_Dig_Out_Set, lang::Group::P_DigOut_1,
                                lang::Group::P_DO1_SMS, lang::Group::P_DO1_CALL, lang::Group::P_DigOut_2,
                                lang::Group::P_DO2_SMS, lang::Group::P_DO2_CALL},
                               &checked),
                 QStringList());
        QVERIFY(checked > 100);
    }
};

QTEST_MAIN(TestOutputPage)
#include "tst_output_page.moc"
