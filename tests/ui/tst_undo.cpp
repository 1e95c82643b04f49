// Undo and redo of the configuration through the real widgets and the
// window's keys: fields, check boxes, table buttons and profile slots on
// different pages, typing as one step, the page of the step shown again, the
// changed flag, New and Load starting an empty history; and the length
// counters of the texts the device limits to 64 characters.
#include "app/EditHistory.h"
#include "helper_window.h"
#include "ui/MainWindow.h"
#include "ui/widgets/SlotGrid.h"
#include "ui/widgets/Theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using config::Configuration;
using ui::MainWindow;
using ui::PageId;

namespace {

void pressUndo(MainWindow &w)
{
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_Z,
                    Qt::ControlModifier);
}

void pressRedo(MainWindow &w, bool withY)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
    if (withY)
        QTest::keyClick(target, Qt::Key_Y, Qt::ControlModifier);
    else
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
}

void clickSlot(MainWindow &w, const char *grid, ui::SlotGrid::Cell cell)
{
    auto *g = child<ui::SlotGrid>(&w, grid);
    QTest::mouseClick(g, Qt::LeftButton, {}, g->slotRect(cell).center());
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void typingInOneFieldIsOneStep()
    {
        OpenConfiguration open(Configuration{});
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        clickMenu(w, "TntL_Phone_Menu");
        auto *pin = child<QLineEdit>(&w, "TntE_PIN");
        pin->setFocus();
        QTest::keyClicks(pin, QStringLiteral("abc"));
        QCOMPARE(w.session().configuration().pin, QStringLiteral("abc"));
        w.undo().markClean();

        // Ctrl+Z in the field is the window's undo, not the field's own.
        pressUndo(w);
        QCOMPARE(w.session().configuration().pin, QString());
        QCOMPARE(pin->text(), QString());
        QVERIFY(w.isChanged());
        pressUndo(w); // nothing more to undo
        QCOMPARE(pin->text(), QString());

        pressRedo(w, false);
        QCOMPARE(pin->text(), QStringLiteral("abc"));
        pressUndo(w);
        pressRedo(w, true);
        QCOMPARE(w.session().configuration().pin, QStringLiteral("abc"));

        // Leaving the field ends the step: typing again makes a second one.
        child<QCheckBox>(&w, "CB_PS_DST")->setFocus();
        pin->setFocus();
        QTest::keyClicks(pin, QStringLiteral("d"));
        pressUndo(w);
        QCOMPARE(pin->text(), QStringLiteral("abc"));
    }

    void stepsAcrossPagesAreUndoneWhereTheyWereMade()
    {
        Configuration start;
        start.pin = QStringLiteral("1234");
        OpenConfiguration open(start);
        MainWindow &w = open.w();
        QVERIFY(activated(w));

        // 1: the PIN on Phone Setting.
        clickMenu(w, "TntL_Phone_Menu");
        auto *pin = child<QLineEdit>(&w, "TntE_PIN");
        pin->setFocus();
        QTest::keyClick(pin, Qt::Key_5);
        // 2: a check box on digital input 2 of Input Setting.
        clickMenu(w, "TntL_Input_Menu");
        clickAt(child<QWidget>(&w, "P_DigIn1_Input2"));
        clickAt(child<QCheckBox>(&w, "CB_DI2_F0T1"));
        // 3: a row added to output 2's CALL table.
        clickMenu(w, "TntL_Output_Menu");
        clickAt(child<QWidget>(&w, "P_DigOut1_Output2"));
        clickAt(child<QWidget>(&w, "P_DO2_STSMS_CALL"));
        child<QPushButton>(&w, "TntB_DO2_CALL_AddRow")->click();
        // 4: a slot of Weekly 2 on the profile half of Date & Time.
        clickMenu(w, "TntL_Date_Menu");
        clickAt(child<QWidget>(&w, "P_SubT_Go_Profile"));
        clickAt(child<QWidget>(&w, "P_Pro_Week1_Week2"));
        clickSlot(w, "Grid_Pro_Week", {2, 16});
        const Configuration edited = w.session().configuration();
        QCOMPARE(edited.pin, QStringLiteral("12345"));
        QVERIFY(edited.digitalInputs[1].f0t1.enSms);
        QCOMPARE(edited.digitalOutputs[1].call.list.rowCount(), 2);
        QVERIFY(edited.weeklyProfiles[1].days[2][16]);

        // Each undo from the menu page shows the page and panel of its step.
        clickMenu(w, "TntL_Preference_Menu");
        pressUndo(w);
        QVERIFY(!w.session().configuration().weeklyProfiles[1].days[2][16]);
        QCOMPARE(w.currentPage(), PageId::DateTime);
        QVERIFY(child<QWidget>(&w, "Grid_Pro_Week")->isVisible());
        QVERIFY(!child<ui::SlotGrid>(&w, "Grid_Pro_Week")->isOn({2, 16}));
        QVERIFY(child<QCheckBox>(&w, "CB_Week_Enable")->text().contains(QLatin1Char('2')));

        pressUndo(w);
        QCOMPARE(w.session().configuration().digitalOutputs[1].call.list.rowCount(), 1);
        QCOMPARE(w.currentPage(), PageId::Output);
        QVERIFY(child<QWidget>(&w, "SG_DO2_CALL")->isVisible());
        QCOMPARE(child<QTableView>(&w, "SG_DO2_CALL")->model()->rowCount(), 1);

        pressUndo(w);
        QVERIFY(!w.session().configuration().digitalInputs[1].f0t1.enSms);
        QCOMPARE(w.currentPage(), PageId::Input);
        auto *box = child<QCheckBox>(&w, "CB_DI2_F0T1");
        QVERIFY(box->isVisible());
        QVERIFY(!box->isChecked());
        QCOMPARE(QApplication::focusWidget(), box);

        pressUndo(w);
        QCOMPARE(w.currentPage(), PageId::Phone);
        QCOMPARE(pin->text(), QStringLiteral("1234"));
        QCOMPARE(w.session().configuration(), start);

        // Redo walks forward again, to the record as it was edited.
        for (int i = 0; i < 4; ++i)
            pressRedo(w, i % 2 == 1);
        QCOMPARE(w.session().configuration(), edited);
        QCOMPARE(w.currentPage(), PageId::DateTime);

        // A new edit after an undo drops what could be redone.
        pressUndo(w);
        clickSlot(w, "Grid_Pro_Week", {0, 0});
        pressRedo(w, true);
        QVERIFY(!w.session().configuration().weeklyProfiles[1].days[2][16]);
        QVERIFY(w.session().configuration().weeklyProfiles[1].days[0][0]);
    }

    void undoneStepIsSaved()
    {
        Configuration start;
        start.pin = QStringLiteral("1234");
        OpenConfiguration open(start);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        clickMenu(w, "TntL_Phone_Menu");
        clickAt(child<QCheckBox>(&w, "CB_PS_DST"));
        open.save();
        w.undo().markClean();
        pressUndo(w);
        QVERIFY(w.isChanged());
        open.save();
        QCOMPARE(open.stored().dst, start.dst);
    }

    void newAndLoadStartAnEmptyHistory()
    {
        OpenConfiguration open(Configuration{});
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        clickMenu(w, "TntL_Phone_Menu");
        auto *pin = child<QLineEdit>(&w, "TntE_PIN");
        pin->setFocus();
        QTest::keyClicks(pin, QStringLiteral("99"));
        open.boxes.answers = {ui::MessageAnswer::No}; // do not save Plant_A
        clickMenu(w, "TntL_New_Menu");
        auto *name = child<QLineEdit>(&w, "TntE_NewConf");
        name->setText(QStringLiteral("Plant_B"));
        child<QPushButton>(&w, "TntB_NewConf")->click();
        QCOMPARE(w.session().configurationName(), QStringLiteral("Plant_B"));
        const Configuration fresh = w.session().configuration();
        pressUndo(w);
        QCOMPARE(w.session().configuration(), fresh);
        QCOMPARE(w.currentPage(), PageId::New);
    }

    void historyKeepsStepsAndMerges()
    {
        app::EditHistory<int> history;
        Configuration c;
        history.reset(c);
        QVERIFY(!history.undo());
        const int pinField = 0;
        const app::MergeKey pin{&pinField};
        c.pin = QStringLiteral("1");
        history.record(c, 1, pin);
        c.pin = QStringLiteral("12");
        history.record(c, 1, pin); // same key, step open: merged
        history.closeStep();
        c.pin = QStringLiteral("123");
        history.record(c, 1, pin); // same key after the step closed: new step
        c.dst = true;
        history.record(c, 2, {});
        c.dst = false;
        history.record(c, 2, {}); // no key never merges
        QCOMPARE(history.undoCount(), 4);
        QCOMPARE(history.undo()->record.dst, true);
        QCOMPARE(history.undo()->record.dst, false);
        const auto third = history.undo();
        QCOMPARE(third->record.pin, QStringLiteral("12"));
        QCOMPARE(history.undo()->record.pin, QString());
        QVERIFY(!history.canUndo());
        QCOMPARE(history.redoCount(), 4);
        QCOMPARE(history.redo()->record.pin, QStringLiteral("12"));
        // An edit after an undo starts a new branch.
        c = Configuration{};
        c.pin = QStringLiteral("9");
        history.record(c, 3, {});
        QVERIFY(!history.canRedo());
        QCOMPARE(history.undo()->record.pin, QStringLiteral("12"));
    }

    // The strokes of one grid merge only within a stroke: the key is the
    // grid and the stroke together.
    void strokesOfOneSourceAreStepsOfTheirOwn()
    {
        app::EditHistory<int> history;
        Configuration c;
        history.reset(c);
        const int grid = 0;
        for (quint64 stroke : {1, 1, 2, 2, 2, 3}) {
            c.weeklyProfiles[0].days[0][int(stroke)] = true;
            history.record(c, 0, {&grid, stroke});
        }
        QCOMPARE(history.undoCount(), 3);
    }

    // An undo followed by an edit with the merge key of the step before it
    // is a step of its own, and the redo is gone.
    void editAfterUndoWithTheSameKeyIsItsOwnStep()
    {
        app::EditHistory<int> history;
        Configuration c;
        history.reset(c);
        const int pinField = 0;
        const app::MergeKey pin{&pinField};
        c.pin = QStringLiteral("1");
        history.record(c, 0, pin);
        history.closeStep();
        c.pin = QStringLiteral("12");
        history.record(c, 0, pin);
        QCOMPARE(history.undo()->record.pin, QStringLiteral("1"));
        c.pin = QStringLiteral("13");
        history.record(c, 0, pin);
        c.pin = QStringLiteral("134");
        history.record(c, 0, pin); // merges with the new step, not the old one
        QVERIFY(!history.canRedo());
        QCOMPARE(history.undoCount(), 2);
        QCOMPARE(history.undo()->record.pin, QStringLiteral("1"));
        QCOMPARE(history.undo()->record.pin, QString());
    }

    void theSameThroughTheWindow()
    {
        OpenConfiguration open(Configuration{});
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        clickMenu(w, "TntL_Phone_Menu");
        auto *pin = child<QLineEdit>(&w, "TntE_PIN");
        auto *dst = child<QCheckBox>(&w, "CB_PS_DST");
        pin->setFocus();
        QTest::keyClicks(pin, QStringLiteral("1"));
        dst->setFocus(); // the step of "1" ends
        pin->setFocus();
        QTest::keyClicks(pin, QStringLiteral("2"));
        pressUndo(w);
        QCOMPARE(pin->text(), QStringLiteral("1"));
        QVERIFY(pin->hasFocus());
        QTest::keyClicks(pin, QStringLiteral("3"));
        QCOMPARE(w.session().configuration().pin, QStringLiteral("13"));
        QVERIFY(!w.undo().canRedo());
        pressRedo(w, true); // nothing to redo: "13" stays
        QCOMPARE(pin->text(), QStringLiteral("13"));
        pressUndo(w);
        QCOMPARE(pin->text(), QStringLiteral("1"));
        pressUndo(w);
        QCOMPARE(pin->text(), QString());
    }

    // The clean point: the record as saved or loaded. Undo and redo come back
    // to it; an edit made after undoing past it makes it unreachable.
    void cleanPointFollowsUndoRedoAndSaves()
    {
        app::EditHistory<int> history;
        Configuration c;
        history.reset(c);
        QVERIFY(history.isClean());
        c.dst = true;
        history.record(c, 0, {});
        QVERIFY(!history.isClean());
        history.markClean();
        QVERIFY(history.isClean());
        history.undo();
        QVERIFY(!history.isClean());
        history.redo();
        QVERIFY(history.isClean());
        history.undo();
        c.dst = false;
        c.pin = QStringLiteral("5");
        history.record(c, 0, {});
        QVERIFY(!history.isClean());
        history.undo();
        QVERIFY(!history.isClean()); // the saved record is gone with the redo
    }

    // Adding rows to a long table copies its row list at every step: the
    // history also stops at what its steps keep, the newest step always kept.
    void historyDropsItsOldestStepsAtItsByteLimit()
    {
        app::EditHistory<int> history;
        Configuration c;
        for (int i = 0; i < 300; ++i)
            c.digitalInputs[0].f0t1.list.appendRow();
        history.reset(c);
        const qsizetype perStep = 2 * 341 * qsizetype(sizeof(config::TableRow));
        history.setByteLimit(10 * perStep);
        for (int i = 0; i < 40; ++i) {
            c.digitalInputs[0].f0t1.list.appendRow();
            history.record(c, i, {});
        }
        QVERIFY2(history.undoCount() >= 4 && history.undoCount() <= 20,
                 qPrintable(QString::number(history.undoCount())));
        QVERIFY(history.bytesKept() <= 10 * perStep + 10 * qsizetype(sizeof(Configuration)));
        // Undo goes back as far as the steps kept: the newest ones.
        const qsizetype kept = history.undoCount();
        std::optional<app::EditHistory<int>::Step> last;
        for (qsizetype i = 0; i < kept; ++i)
            last = history.undo();
        QCOMPARE(last->record.digitalInputs[0].f0t1.list.rowCount(),
                 c.digitalInputs[0].f0t1.list.rowCount() - kept);
        QVERIFY(!history.canUndo());
        history.setByteLimit(1);
        c.pin = QStringLiteral("1");
        history.record(c, 0, {});
        QCOMPARE(history.undoCount(), 1); // the newest step stays
    }

    void historyDropsItsOldestStepsAtItsLimit()
    {
        app::EditHistory<int> history;
        history.setLimit(3);
        Configuration c;
        history.reset(c);
        for (int i = 1; i <= 5; ++i) {
            c.pin = QString::number(i);
            history.record(c, i, {});
        }
        QCOMPARE(history.undoCount(), 3);
        QCOMPARE(history.undo()->record.pin, QStringLiteral("4"));
        QCOMPARE(history.undo()->record.pin, QStringLiteral("3"));
        QCOMPARE(history.undo()->record.pin, QStringLiteral("2"));
        QVERIFY(!history.canUndo());
        QVERIFY(!history.isClean()); // the start record was dropped
    }

    void countersShowLengthAndTurnRedAbove64()
    {
        Configuration start;
        start.digitalOutputs[0].sms.enable = true;
        start.digitalOutputs[0].sms.set = true;
        OpenConfiguration open(start);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        clickMenu(w, "TntL_Output_Menu");
        auto *edit = child<QLineEdit>(&w, "TntE_TurnON_DO1");
        auto *count = child<QLabel>(&w, "TntE_TurnON_DO1_Count");
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString(64, QLatin1Char('x')));
        QCOMPARE(count->text(), QStringLiteral("64/64"));
        const QColor normal = count->palette().color(count->foregroundRole());
        QVERIFY(normal != ui::theme::kError);
        QTest::keyClick(edit, Qt::Key_Y);
        QCOMPARE(count->text(), QStringLiteral("65/64"));
        QCOMPARE(count->palette().color(count->foregroundRole()), ui::theme::kError);
        // It refuses nothing.
        QCOMPARE(w.session().configuration().digitalOutputs[0].sms.setText.size(), 65);
        // A loaded or undone text updates the count as well.
        pressUndo(w);
        QCOMPARE(count->text(), QStringLiteral("%1/64").arg(edit->text().size()));

        // The message cell of an input table counts while it is typed.
        clickMenu(w, "TntL_Input_Menu");
        auto *table = child<QTableView>(&w, "SG_SMS_DI1_F0T1");
        table->setFocus();
        table->setCurrentIndex(table->model()->index(0, 0));
        QTest::keyClick(table, Qt::Key_A);
        auto *cell = table->findChild<QLineEdit *>(QStringLiteral("CellEditor"));
        QVERIFY(cell);
        QTest::keyClicks(cell, QString(64, QLatin1Char('b')));
        auto *cellCount = cell->findChild<QLabel *>();
        QCOMPARE(cellCount->text(), QStringLiteral("65/64"));
        QCOMPARE(cellCount->palette().color(cellCount->foregroundRole()), ui::theme::kError);
        // Ctrl+Z in the open cell with nothing left to undo leaves the cell
        // and what is typed in it alone.
        pressUndo(w);
        QCOMPARE(w.currentPage(), PageId::Input);
        QCOMPARE(cell->text().size(), 65);
        // A redo while the cell is open puts the record back under it.
        pressRedo(w, true);
        QCOMPARE(w.currentPage(), PageId::Output);
        QCOMPARE(w.session().configuration().digitalOutputs[0].sms.setText.size(), 65);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
