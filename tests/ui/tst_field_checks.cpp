// The changed state and the save-time checks through the real window: the
// questions are asked exactly while something is unsaved, a refused save
// leads to the refused field or cell, and every refused single field is
// marked as it is typed, by the same checks the save runs.
#include "config/ConfigurationChecks.h"
#include "helper_window.h"
#include "ui/CheckedFields.h"
#include "ui/MainWindow.h"
#include "ui/widgets/Theme.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using config::Configuration;
using ui::MainWindow;
using ui::MessageAnswer;
using ui::PageId;

namespace {

Configuration start()
{
    Configuration c;
    c.setNewDefaults();
    // The command texts are judged only while their boxes are checked.
    for (config::DigitalOutput &o : c.digitalOutputs)
        o.sms.set = o.sms.reset = o.sms.impulse = true;
    return c;
}

void typeInto(MainWindow &w, const char *name, const QString &text)
{
    auto *edit = child<QLineEdit>(&w, name);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void typePin(MainWindow &w, const QString &pin)
{
    clickMenu(w, "TntL_Phone_Menu");
    child<QLineEdit>(&w, "TntE_PIN")->setFocus();
    typeInto(w, "TntE_PIN", pin);
}

void undoKey(MainWindow &w)
{
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_Z,
                    Qt::ControlModifier);
}

enum class Command { Close, Load, SaveAs, New };

// Runs the command; answers No to any question.
void run(OpenConfiguration &open, Command command)
{
    MainWindow &w = open.w();
    open.boxes.shown.clear();
    open.boxes.answers = {MessageAnswer::No};
    switch (command) {
    case Command::Close:
        QVERIFY(w.close());
        break;
    case Command::Load: {
        clickMenu(w, "TntL_Load_Menu");
        auto *list = child<QListWidget>(&w, "TntLB_LoadConf");
        list->setCurrentItem(list->findItems(QStringLiteral("Plant_B"), Qt::MatchExactly).value(0));
        child<QPushButton>(&w, "TntB_LoadConf")->click();
        QCOMPARE(w.session().configurationName(), QStringLiteral("Plant_B"));
        break;
    }
    case Command::SaveAs:
        clickMenu(w, "TntL_Save_Menu");
        child<QLineEdit>(&w, "TntE_SaveAsConf")->setText(QStringLiteral("Plant_C"));
        child<QPushButton>(&w, "TntB_SaveAsConf")->click();
        QCOMPARE(w.session().configurationName(), QStringLiteral("Plant_C"));
        break;
    case Command::New:
        clickMenu(w, "TntL_New_Menu");
        child<QLineEdit>(&w, "TntE_NewConf")->setText(QStringLiteral("Plant_C"));
        child<QPushButton>(&w, "TntB_NewConf")->click();
        QCOMPARE(w.session().configurationName(), QStringLiteral("Plant_C"));
        break;
    }
}

using Steps = void (*)(OpenConfiguration &);

struct QuestionCase
{
    const char *name;
    Steps steps;
    Command command;
    bool asked;
};

void nothing(OpenConfiguration &) {}
void edit(OpenConfiguration &o)
{
    typePin(o.w(), QStringLiteral("5"));
}
void editUndo(OpenConfiguration &o)
{
    edit(o);
    undoKey(o.w());
}
void editSave(OpenConfiguration &o)
{
    edit(o);
    o.save();
}
void editSaveEdit(OpenConfiguration &o)
{
    editSave(o);
    child<QCheckBox>(&o.w(), "CB_PS_DST")->click();
}
void editSaveUndo(OpenConfiguration &o)
{
    editSave(o);
    child<QLineEdit>(&o.w(), "TntE_PIN")->setFocus();
    undoKey(o.w());
}
void editSaveUndoRedo(OpenConfiguration &o)
{
    editSaveUndo(o);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
}

const QuestionCase kQuestions[] = {
    {"open, close at once", nothing, Command::Close, false},
    {"edit, undo back, close", editUndo, Command::Close, false},
    {"edit, close", edit, Command::Close, true},
    {"save, close", editSave, Command::Close, false},
    {"edit after save, close", editSaveEdit, Command::Close, true},
    {"undo past the save, close", editSaveUndo, Command::Close, true},
    {"undo past the save and redo, close", editSaveUndoRedo, Command::Close, false},
    {"nothing unsaved, load", nothing, Command::Load, false},
    {"unsaved, load", edit, Command::Load, true},
    {"nothing unsaved, save as", editSave, Command::SaveAs, false},
    {"unsaved, save as", edit, Command::SaveAs, true},
    {"nothing unsaved, new", nothing, Command::New, false},
    {"unsaved, new", editSaveEdit, Command::New, true},
};

// A refused value stored in Plant_A, and the command that tries to save it.
struct RefusalCase
{
    const char *name;
    void (*store)(Configuration &);
    Command command; // Close and New: with an edit made first, answered Yes
    bool viaSaveButton;
    const char *control;
    PageId page;
    int row;
    int column;
};

void badThirdPhone(config::SmsTable &t, bool output)
{
    QList<config::TableRow> rows = {
        {"m", "+39", "a"}, {"m", "+40", "b"}, {"m", "+3 9", "c"}, {"m", "+41", "d"}, {"m", "+42", "e"}};
    if (output) {
        for (config::TableRow &r : rows) {
            std::swap(r[0], r[1]);
            r[1] = QStringLiteral("1"); // a profile
        }
    }
    t.setRows(rows);
}

const RefusalCase kRefusals[] = {
    {"phone page PIN, Save", [](Configuration &c) { c.pin = QStringLiteral("123456789"); }, Command::Close,
     true, "TntE_PIN", PageId::Phone, 0, 0},
    {"DI2 falling row 3 phone, close query",
     [](Configuration &c) { badThirdPhone(c.digitalInputs[1].f1t0.list, false); }, Command::Close, false,
     "SG_SMS_DI2_F1T0", PageId::Input, 3, 1},
    {"DO2 CALL row 3 phone, new's save-old",
     [](Configuration &c) { badThirdPhone(c.digitalOutputs[1].call.list, true); }, Command::New, false,
     "SG_DO2_CALL", PageId::Output, 3, 0},
    {"DO1 SMS row 2 profile, Save",
     [](Configuration &c) {
         c.digitalOutputs[0].sms.list.setRows({{"+1", "1", ""}, {"+2", "12", ""}});
     },
     Command::Close, true, "SG_DO1_SMS", PageId::Output, 2, 1},
    {"analog low return level, close query", [](Configuration &c) { c.analogInput.low.valueHys = "1"; },
     Command::Close, false, "E_AI1_Val_Low_Hys", PageId::Input, 0, 0},
};

// A live mark: the value typed into the check's field, refused then accepted.
struct MarkCase
{
    int check;
    const char *refused;
    const char *accepted;
};

const QString kLong = QString(65, u's');
const QString kMax = QString(64, u's');

const MarkCase kMarks[] = {
    {1, "123456789", "12345678"},
    {2, "0", "60000"},
    {4, "60001", "1"},
    {6, "", "250"},
    {8, "1.5", "2"},
    {10, "10.5", "10"},
    {11, "x", "1"},
    {12, "7.5", "0"},
    {14, "-1", "1"},
    {15, "-5", "5"},
    {16, "2", "12"},
    {18, nullptr, nullptr},
    {19, nullptr, nullptr},
    {20, nullptr, nullptr},
    {21, "0", "1"},
    {23, "21", "20"},
    {24, "0", "1"},
    {25, "", "10"},
    {26, "60001", "60000"},
    {27, "0", "1"},
    {29, nullptr, nullptr},
    {30, nullptr, nullptr},
    {31, nullptr, nullptr},
    {32, "abc", "100"},
    {34, "0", "1"},
    {35, "21", "20"},
    {36, "-1", "1"},
    {37, "0", "1"},
    {38, "1e3", "1000"},
};

} // namespace

class TestFieldChecks : public QObject
{
    Q_OBJECT

private slots:
    void questionsAskedExactlyWhenSomethingIsUnsaved_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kQuestions)); ++i)
            QTest::newRow(kQuestions[i].name) << i;
    }

    void questionsAskedExactlyWhenSomethingIsUnsaved()
    {
        QFETCH(int, index);
        const QuestionCase &k = kQuestions[index];
        OpenConfiguration open(start());
        open.folder.writeConfiguration(QStringLiteral("Plant_B"), start());
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        k.steps(open);
        QCOMPARE(w.isChanged(), k.asked);
        QCOMPARE(w.windowTitle().endsWith(u'*'), k.asked);
        run(open, k.command);
        const QString question =
            englishMessage(k.command == Command::Close ? u"On_CLose_Save_Conf" : u"Mes_NewConf_Save_OldConf");
        QCOMPARE(open.boxes.texts().count(question), k.asked ? 1 : 0);
        if (k.command != Command::Close) {
            QVERIFY(!w.isChanged()); // what was loaded, saved or created
            QVERIFY(!w.windowTitle().endsWith(u'*'));
        }
    }

    // The clean point is kept when the history drops old steps: the
    // configuration stays changed when the saved record can no longer be
    // reached, and an edit at the limit is still unsaved.
    void editsAtTheHistoryLimitStayChanged()
    {
        OpenConfiguration open(start());
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        w.undo().history().setLimit(2);
        clickMenu(w, "TntL_Phone_Menu");
        auto *dst = child<QCheckBox>(&w, "CB_PS_DST");
        dst->click();
        open.save();
        QVERIFY(!w.isChanged());
        for (int i = 0; i < 3; ++i) {
            dst->click(); // the third drops the saved record's step
            QVERIFY(w.isChanged());
        }
        QCOMPARE(w.undo().history().undoCount(), 2);
        dst->setFocus();
        undoKey(w);
        undoKey(w);
        QVERIFY(!w.undo().canUndo());
        QVERIFY(w.isChanged()); // the saved record cannot be reached by undo
        open.save();
        QVERIFY(!w.isChanged());
    }

    void refusedSaveLeadsToTheField_data()
    {
        QTest::addColumn<int>("index");
        // As the program starts the window too: the refused field's page is
        // built only when the refusal leads there.
        QTest::addColumn<bool>("pagesWhenShown");
        for (int i = 0; i < int(std::size(kRefusals)); ++i) {
            QTest::newRow(kRefusals[i].name) << i << false;
            QTest::addRow("%s, pages built when shown", kRefusals[i].name) << i << true;
        }
    }

    void refusedSaveLeadsToTheField()
    {
        QFETCH(int, index);
        QFETCH(bool, pagesWhenShown);
        const RefusalCase &k = kRefusals[index];
        Configuration c = start();
        k.store(c);
        OpenConfiguration open(c, 1,
                               pagesWhenShown ? MainWindow::Options::Pages::WhenFirstShown
                                              : MainWindow::Options::Pages::AllAtStart);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        clickMenu(w, "TntL_Preference_Menu"); // somewhere else
        if (k.viaSaveButton) {
            open.save();
        } else {
            clickMenu(w, "TntL_Phone_Menu");
            child<QCheckBox>(&w, "CB_PS_DST")->click(); // something unsaved
            clickMenu(w, "TntL_Preference_Menu");
            open.boxes.shown.clear();
            open.boxes.answers = {MessageAnswer::Yes};
            if (k.command == Command::Close) {
                QVERIFY(!w.close());
            } else {
                clickMenu(w, "TntL_New_Menu");
                child<QLineEdit>(&w, "TntE_NewConf")->setText(QStringLiteral("Plant_C"));
                child<QPushButton>(&w, "TntB_NewConf")->click();
                QCOMPARE(w.session().configurationName(), OpenConfiguration::kName);
            }
        }
        QVERIFY(!open.boxes.shown.isEmpty());
        QVERIFY(std::any_of(open.boxes.shown.begin(), open.boxes.shown.end(),
                            [](const auto &s) { return s.kind == ui::MessageKind::Error; }));
        QCOMPARE(w.currentPage(), k.page);
        auto *control = child<QWidget>(&w, k.control);
        QVERIFY(control->isVisible());
        QCOMPARE(QApplication::focusWidget(), control);
        if (k.row > 0) {
            auto *view = static_cast<QTableView *>(control);
            QCOMPARE(view->currentIndex().row(), k.row - 1);
            QCOMPARE(view->currentIndex().column(), k.column);
            QVERIFY(view->viewport()->rect().intersects(view->visualRect(view->currentIndex())));
        }
    }

    void everyCheckMarksItsControl_data()
    {
        QTest::addColumn<int>("check");
        for (int check = 1; check <= config::kCheckCount; ++check)
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(check).arg(ui::checkControlName(check))))
                << check;
    }

    // A single field: marked with the refusal's text as it is typed, clear
    // again with an accepted value. A table row: the refused save leads to
    // its cell, and an accepted cell saves.
    void everyCheckMarksItsControl()
    {
        QFETCH(int, check);
        OpenConfiguration open(start());
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        const QByteArray name = QByteArray(ui::checkControlName(check).latin1());
        if (config::isRowCheck(check)) {
            auto *view = child<QTableView>(&w, name.constData());
            const bool output = name.startsWith("SG_DO");
            // Output rows: the profile; input rows: the phone number.
            const QModelIndex cell = view->model()->index(0, 1);
            QVERIFY(view->model()->setData(cell, output ? QStringLiteral("12") : QStringLiteral("12a")));
            open.save();
            QCOMPARE(open.boxes.shown.size(), 1);
            QCOMPARE(QApplication::focusWidget(), view);
            QCOMPARE(view->currentIndex(), cell);
            QVERIFY(view->isVisible());
            QVERIFY(view->model()->setData(cell, QStringLiteral("3")));
            open.boxes.shown.clear();
            open.save();
            QCOMPARE(open.boxes.texts(), QStringList{englishMessage(u"Mes_Configuration_Saved")});
            return;
        }
        const MarkCase *k = std::find_if(std::begin(kMarks), std::end(kMarks),
                                         [check](const MarkCase &m) { return m.check == check; });
        QVERIFY(k != std::end(kMarks));
        auto *edit = child<QLineEdit>(&w, name.constData());
        QVERIFY(!ui::hasRefusalMark(edit));
        const QString own = edit->toolTip();
        edit->setText(k->refused ? QString::fromLatin1(k->refused) : kLong);
        QVERIFY(ui::hasRefusalMark(edit));
        const std::optional<config::CheckFailure> failure =
            config::judgeCheck(check, w.session().configuration());
        QVERIFY(failure);
        QCOMPARE(edit->toolTip(), englishMessage(failure->key));
        QVERIFY(edit->styleSheet().contains(ui::theme::kRefused.name()));
        // Only this field is marked.
        for (int other = 1; other <= config::kCheckCount; ++other) {
            if (other != check && !config::isRowCheck(other))
                QVERIFY(!ui::hasRefusalMark(child<QWidget>(&w, ui::checkControlName(other).latin1())));
        }
        edit->setText(k->accepted ? QString::fromLatin1(k->accepted) : kMax);
        QVERIFY(!ui::hasRefusalMark(edit));
        QCOMPARE(edit->toolTip(), own);
        QVERIFY(edit->styleSheet().isEmpty());
    }

    // A mark follows what the rule compares with: a return level its trigger
    // level, a command text its box; undo and a load judge again.
    void marksFollowWhatTheirRuleReads()
    {
        OpenConfiguration open(start());
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        clickMenu(w, "TntL_Input_Menu");
        auto *level = child<QLineEdit>(&w, "E_AI1_Val_High");
        auto *ret = child<QLineEdit>(&w, "E_AI1_Val_High_Hys");
        ret->setText(QStringLiteral("5"));
        QVERIFY(!ui::hasRefusalMark(ret));
        level->setFocus();
        typeInto(w, "E_AI1_Val_High", QStringLiteral("4"));
        QVERIFY(ui::hasRefusalMark(ret));
        QVERIFY(!ui::hasRefusalMark(level));
        undoKey(w);
        QVERIFY(!ui::hasRefusalMark(ret));

        clickMenu(w, "TntL_Output_Menu");
        auto *box = child<QCheckBox>(&w, "CB_DO1_SMS_SET");
        auto *text = child<QLineEdit>(&w, "TntE_TurnON_DO1");
        text->setText(kLong);
        QVERIFY(ui::hasRefusalMark(text));
        box->click();
        QVERIFY(!box->isChecked());
        QVERIFY(!ui::hasRefusalMark(text));
        box->click();
        QVERIFY(ui::hasRefusalMark(text));

        // Saving still refuses as before.
        open.save();
        QCOMPARE(open.boxes.texts(), QStringList{englishMessage(u"Error_DO1_SMS_Set_Out_SMS_Too_Long")});
        QCOMPARE(QApplication::focusWidget(), text);
    }

    // The pictures of a live mark for the documentation, when a folder is
    // given in TRENOV5X_SHOTS.
    void screenshotsOfLiveMarks_data() { addLanguageRows(); }

    void screenshotsOfLiveMarks()
    {
        QFETCH(int, language);
        const QString folder = qEnvironmentVariable("TRENOV5X_SHOTS");
        if (folder.isEmpty() || (language != 1 && language != 3))
            QSKIP("English and German, into TRENOV5X_SHOTS");
        const QString prefix = language == 1 ? QStringLiteral("eng") : QStringLiteral("ger");
        OpenConfiguration open(start(), language);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        w.resize(MainWindow::kSize); // the whole window, whatever the screen
        typePin(w, QStringLiteral("123456789"));
        QTest::qWait(50);
        QVERIFY(w.grab().save(QDir(folder).filePath(prefix + QStringLiteral("_live_mark_phone.png"))));
        clickMenu(w, "TntL_Input_Menu");
        clickAt(child<QWidget>(&w, "P_SubT_Go_AnaDig"));
        auto *ret = child<QLineEdit>(&w, "E_AI1_Val_High_Hys");
        ret->setFocus();
        typeInto(w, "E_AI1_Val_High_Hys", QStringLiteral("8"));
        QVERIFY(ui::hasRefusalMark(ret));
        QTest::qWait(50);
        QVERIFY(w.grab().save(QDir(folder).filePath(prefix + QStringLiteral("_live_mark_analog.png"))));
    }
};

QTEST_MAIN(TestFieldChecks)
#include "tst_field_checks.moc"
