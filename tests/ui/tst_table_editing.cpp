// The message and number tables as an installer uses them, through the real
// window: cells a save would refuse are marked as they are typed, phone
// numbers are kept without the separators people dictate, profile numbers
// are chosen by name and reach the device image, and the keyboard walks into,
// through and out of a grid, adds and duplicates rows.
#include "config/RowChecks.h"
#include "helper_window.h"
#include "image/DeviceImageBuild.h"
#include "image/ImageReader.h"
#include "lang/LanguageTexts.h"
#include "ui/MainWindow.h"
#include "ui/widgets/Theme.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>

using config::Configuration;
using ui::MainWindow;

namespace {

using TableField = config::SmsTable &(*)(Configuration &);

struct TableCase
{
    const char *grid;
    const char *menu;
    const char *route[2]; // the tabs and links that show the table's panel
    const char *keys;     // the middle of its refusals' message keys
    const char *add;
    const char *duplicate;
    TableField field;
    bool output;
};

constexpr const char *kInput = "TntL_Input_Menu";
constexpr const char *kOutput = "TntL_Output_Menu";

// clang-format off
const TableCase kTables[] = {
    {"SG_SMS_DI1_F0T1", kInput, {}, "DI1_F0T1", "TntB_AddRow_DI1_F0T1", "TntB_DupRow_DI1_F0T1", [](Configuration &c) -> config::SmsTable & { return c.digitalInputs[0].f0t1.list; }, false},
    {"SG_SMS_DI1_F1T0", kInput, {}, "DI1_F1T0", "TntB_AddRow_DI1_F1T0", "TntB_DupRow_DI1_F1T0", [](Configuration &c) -> config::SmsTable & { return c.digitalInputs[0].f1t0.list; }, false},
    {"SG_SMS_DI2_F0T1", kInput, {"P_DigIn1_Input2"}, "DI2_F0T1", "TntB_AddRow_DI2_F0T1", "TntB_DupRow_DI2_F0T1", [](Configuration &c) -> config::SmsTable & { return c.digitalInputs[1].f0t1.list; }, false},
    {"SG_SMS_DI2_F1T0", kInput, {"P_DigIn1_Input2"}, "DI2_F1T0", "TntB_AddRow_DI2_F1T0", "TntB_DupRow_DI2_F1T0", [](Configuration &c) -> config::SmsTable & { return c.digitalInputs[1].f1t0.list; }, false},
    {"SG_SMS_AI1_High", kInput, {"P_SubT_Go_AnaDig"}, "AI1_High", "TntB_AddRow_AI1_High", "TntB_DupRow_AI1_High", [](Configuration &c) -> config::SmsTable & { return c.analogInput.high.list; }, false},
    {"SG_SMS_AI1_Low", kInput, {"P_SubT_Go_AnaDig"}, "AI1_Low", "TntB_AddRow_AI1_Low", "TntB_DupRow_AI1_Low", [](Configuration &c) -> config::SmsTable & { return c.analogInput.low.list; }, false},
    {"SG_DO1_SMS", kOutput, {}, "DO1_SMS", "TntB_DO1_SMS_AddRow", "TntB_DO1_SMS_DupRow", [](Configuration &c) -> config::SmsTable & { return c.digitalOutputs[0].sms.list; }, true},
    {"SG_DO1_CALL", kOutput, {"P_DO1_STSMS_CALL"}, "DO1_CALL", "TntB_DO1_CALL_AddRow", "TntB_DO1_CALL_DupRow", [](Configuration &c) -> config::SmsTable & { return c.digitalOutputs[0].call.list; }, true},
    {"SG_DO2_SMS", kOutput, {"P_DigOut1_Output2"}, "DO2_SMS", "TntB_DO2_SMS_AddRow", "TntB_DO2_SMS_DupRow", [](Configuration &c) -> config::SmsTable & { return c.digitalOutputs[1].sms.list; }, true},
    {"SG_DO2_CALL", kOutput, {"P_DigOut1_Output2", "P_DO2_STSMS_CALL"}, "DO2_CALL", "TntB_DO2_CALL_AddRow", "TntB_DO2_CALL_DupRow", [](Configuration &c) -> config::SmsTable & { return c.digitalOutputs[1].call.list; }, true},
};
// clang-format on

int tableNamed(const QString &grid)
{
    for (int i = 0; i < int(std::size(kTables)); ++i) {
        if (grid == QLatin1String(kTables[i].grid))
            return i;
    }
    qFatal("no table %s", qPrintable(grid));
}

// Every table with one acceptable row.
Configuration baseConfiguration()
{
    Configuration c;
    for (const TableCase &t : kTables) {
        if (t.output)
            t.field(c).setRows({{QStringLiteral("+39"), QStringLiteral("1"), QStringLiteral("Gate")}});
        else
            t.field(c).setRows({{QStringLiteral("Alarm"), QStringLiteral("+39"), QStringLiteral("Guard")}});
    }
    return c;
}

QWidget *focused()
{
    return QApplication::focusWidget();
}

// Opens the page and panel of a table as a user does.
QTableView *showTable(MainWindow &w, const TableCase &t)
{
    clickMenu(w, t.menu);
    for (const char *step : t.route) {
        if (step)
            clickAt(child<QWidget>(&w, step));
    }
    return child<QTableView>(&w, t.grid);
}

QLineEdit *openLineEditor(QTableView *view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    view->setCurrentIndex(index);
    view->edit(index);
    return qobject_cast<QLineEdit *>(view->indexWidget(index));
}

// Types into a cell as a user does: the editor opens on the cell, takes the
// keys, and Return commits.
void typeIntoCell(QTableView *view, int row, int column, const QString &text)
{
    QLineEdit *editor = openLineEditor(view, row, column);
    QVERIFY2(editor, "no cell editor opened");
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!view->indexWidget(view->model()->index(row, column)));
}

// Chooses an entry of a profile cell's drop-down with the mouse.
void chooseProfile(QTableView *view, int row, const QString &caption)
{
    const QModelIndex index = view->model()->index(row, 1);
    view->setCurrentIndex(index);
    view->edit(index);
    auto *box = qobject_cast<QComboBox *>(view->indexWidget(index));
    QVERIFY2(box, "no drop-down opened");
    box->showPopup();
    QAbstractItemView *list = box->view();
    QTRY_VERIFY(list->isVisible());
    const int at = box->findText(caption);
    QVERIFY2(at >= 0, qPrintable(caption));
    const QRect item = list->visualRect(list->model()->index(at, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!view->indexWidget(index));
}

QString messageIn(const ProgramFolder &folder, int language, const QString &key)
{
    lang::LanguageTexts texts;
    texts.applyLanguage(language, folder.path() + QStringLiteral("/Language"));
    return texts.messageText(key);
}

// The cell's mark as the grid draws it and as its tooltip says it: none for
// an empty tooltip.
void checkMark(QTableView *view, int row, int column, const QString &tooltip)
{
    const QModelIndex index = view->model()->index(row, column);
    QCOMPARE(index.data(Qt::ToolTipRole).toString(), tooltip);
    // A selected cell is drawn in the selection colour: look at it unselected.
    view->selectionModel()->clear();
    view->setCurrentIndex({});
    const QRect cell = view->visualRect(index);
    const QColor drawn = view->viewport()->grab().toImage().pixelColor(cell.topLeft() + QPoint(1, 1));
    if (tooltip.isEmpty())
        QCOMPARE(drawn, view->palette().color(QPalette::Base));
    else
        QCOMPARE(drawn, ui::theme::kRefusedCell);
}

QString displayed(QTableView *view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    auto *delegate = qobject_cast<QStyledItemDelegate *>(view->itemDelegateForIndex(index));
    return delegate ? delegate->displayText(index.data(), QLocale()) : index.data().toString();
}

QStringList rowsOf(const config::SmsTable &table)
{
    QStringList rows;
    for (const config::TableRow &row : table.rows())
        rows << QStringList{row[0], row[1], row[2]}.join(u'|');
    return rows;
}

} // namespace

class TestTableEditing : public QObject
{
    Q_OBJECT

private slots:
    // Each table's checked cells: a value the save would refuse is marked
    // with the save's own message as it is typed, the mark goes when the
    // value becomes acceptable.
    void cellMarksFollowTheRowChecks_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("accepted");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("language");
        const QString tooLong(65, u'x');
        for (const TableCase &t : kTables) {
            const QString keys = QLatin1String(t.keys);
            if (!t.output) {
                QTest::addRow("%s message", t.grid) << t.grid << 0 << tooLong << tooLong.left(64)
                                                    << QStringLiteral("Error_%1_SMS_Too_Long").arg(keys) << 1;
            }
            QTest::addRow("%s phone", t.grid)
                << t.grid << (t.output ? 0 : 1) << QStringLiteral("39#1") << QStringLiteral("391")
                << QStringLiteral("Error_%1_Num_Phone").arg(keys) << 1;
        }
        QTest::newRow("German message") << "SG_SMS_AI1_Low" << 0 << tooLong << "ok"
                                        << "Error_AI1_Low_SMS_Too_Long" << 3;
        QTest::newRow("German phone") << "SG_DO2_CALL" << 0 << "+39x"
                                      << "+39"
                                      << "Error_DO2_CALL_Num_Phone" << 3;
    }

    void cellMarksFollowTheRowChecks()
    {
        QFETCH(QString, grid);
        QFETCH(int, column);
        QFETCH(QString, refused);
        QFETCH(QString, accepted);
        QFETCH(QString, key);
        QFETCH(int, language);
        const TableCase &t = kTables[tableNamed(grid)];
        Configuration c = baseConfiguration();
        // The refused value goes into the second row: the message counts rows from 1.
        t.field(c).setRows({t.field(c).row(0), t.field(c).row(0)});
        OpenConfiguration open(c, language);
        MainWindow &w = open.w();
        QTableView *view = showTable(w, t);
        QVERIFY(view->isVisible());
        checkMark(view, 1, column, {});

        typeIntoCell(view, 1, column, refused);
        checkMark(view, 1, column, messageIn(open.folder, language, key) + QStringLiteral("2"));
        // Only the refused cell is marked.
        for (int other = 0; other < 3; ++other) {
            if (other != column)
                checkMark(view, 1, other, {});
        }
        checkMark(view, 0, column, {});

        typeIntoCell(view, 1, column, accepted);
        checkMark(view, 1, column, {});
        QCOMPARE(t.field(w.session().configuration()).row(1)[column], accepted);
    }

    // A profile stored outside 0-9 is shown as it is and marked; choosing a
    // profile by name stores its number and clears the mark.
    void storedProfileIsShownAndMarkedUntilChosen_data()
    {
        QTest::addColumn<QString>("grid");
        for (const TableCase &t : kTables) {
            if (t.output)
                QTest::newRow(t.grid) << t.grid;
        }
    }

    void storedProfileIsShownAndMarkedUntilChosen()
    {
        QFETCH(QString, grid);
        const TableCase &t = kTables[tableNamed(grid)];
        Configuration c = baseConfiguration();
        t.field(c).setRows({{QStringLiteral("+39"), QStringLiteral("12"), QStringLiteral("Gate")}});
        OpenConfiguration open(c);
        MainWindow &w = open.w();
        QTableView *view = showTable(w, t);
        QCOMPARE(displayed(view, 0, 1), QStringLiteral("12"));
        checkMark(view, 0, 1,
                  englishMessage(QStringLiteral("Error_%1_Profile").arg(QLatin1String(t.keys))) +
                      QStringLiteral("1"));

        // The drop-down offers the stored value first, then the ten numbers.
        const QModelIndex index = view->model()->index(0, 1);
        view->setCurrentIndex(index);
        view->edit(index);
        auto *box = qobject_cast<QComboBox *>(view->indexWidget(index));
        QVERIFY(box);
        QStringList offered;
        for (int i = 0; i < box->count(); ++i)
            offered << box->itemText(i);
        QCOMPARE(offered, (QStringList{"12", "0 - Always", "1 - Weekly 1", "2 - Weekly 2", "3 - Weekly 3",
                                       "4 - Daily 1", "5 - Daily 2", "6 - Daily 3", "7", "8", "9"}));
        QCOMPARE(box->currentText(), QStringLiteral("12"));
        // Leaving it untouched changes nothing.
        QTest::keyClick(box, Qt::Key_Escape);
        QTRY_VERIFY(!view->indexWidget(index));
        QVERIFY(!w.isChanged());

        chooseProfile(view, 0, QStringLiteral("3 - Weekly 3"));
        QCOMPARE(t.field(w.session().configuration()).row(0)[1], QStringLiteral("3"));
        QCOMPARE(displayed(view, 0, 1), QStringLiteral("3 - Weekly 3"));
        checkMark(view, 0, 1, {});
    }

    // "Weekly 2" chosen in a CALL table is profile 2 in the saved file and
    // in the calling number's record of the device image, next to the
    // weekly profile 2's slots.
    void chosenProfileReachesTheImage()
    {
        Configuration c = baseConfiguration();
        c.digitalOutputs[0].call.enable = true;
        c.digitalOutputs[0].call.list.setRows({{QStringLiteral("+39333"), {}, QStringLiteral("Gate")}});
        c.weeklyProfiles[1].enabled = true;
        c.weeklyProfiles[1].days[0][16] = true; // Monday 08.00
        OpenConfiguration open(c);
        MainWindow &w = open.w();
        QTableView *view = showTable(w, kTables[tableNamed(QStringLiteral("SG_DO1_CALL"))]);
        chooseProfile(view, 0, QStringLiteral("2 - Weekly 2"));
        open.save();
        QCOMPARE(open.stored().digitalOutputs[0].call.list.row(0)[1], QStringLiteral("2"));

        const QString imagePath = open.folder.path() + QStringLiteral("/bank.bin");
        const image::BuildResult built =
            image::buildImageFile(open.projectFolder() + QStringLiteral("/Configuration.xml"), imagePath);
        QVERIFY2(built.built(), qPrintable(built.error));
        QFile file(imagePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const image::ReadResult read = image::readImage(file.readAll());
        QVERIFY2(read.ok(), qPrintable(read.error));
        const image::ImageModel &model = read.image.model;
        QCOMPARE(model.callEvents.size(), 1);
        QCOMPARE(model.callEvents[0].profile, quint16(2));
        // Weekly profile 2, Monday: words 16 and 17; slot 16 is bit 16 of the first.
        QCOMPARE(model.profileWords[16], quint32(1) << 16);
        QCOMPARE(model.profileWords[2], quint32(0)); // weekly 1 stays off
    }

    // Blanks and - . / ( ) never reach a phone number cell, typed, pasted
    // into the cell editor, or set on the table by any other way.
    void phoneNumbersLoseTheirSeparators_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("dictated");
        QTest::addColumn<QString>("stored");
        const QString dictated = QStringLiteral("+39 333-987.6543");
        const QString stored = QStringLiteral("+393339876543");
        for (const char *grid : {"SG_SMS_DI1_F0T1", "SG_DO2_CALL"}) {
            for (const char *way : {"typed", "pasted", "set"})
                QTest::addRow("%s %s", grid, way) << grid << way << dictated << stored;
        }
        QTest::newRow("brackets and slash") << "SG_DO1_SMS"
                                            << "typed"
                                            << "(02) 1234/5678"
                                            << "0212345678";
        QTest::newRow("letters stay for the check") << "SG_DO1_SMS"
                                                    << "pasted"
                                                    << "+39 33x-1"
                                                    << "+3933x1";
    }

    void phoneNumbersLoseTheirSeparators()
    {
        QFETCH(QString, grid);
        QFETCH(QString, way);
        QFETCH(QString, dictated);
        QFETCH(QString, stored);
        const TableCase &t = kTables[tableNamed(grid)];
        OpenConfiguration open(baseConfiguration());
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        QTableView *view = showTable(w, t);
        const int column = t.output ? 0 : 1;
        const QModelIndex index = view->model()->index(0, column);
        if (way == QLatin1String("set")) {
            QVERIFY(view->model()->setData(index, dictated));
        } else {
            QLineEdit *editor = openLineEditor(view, 0, column);
            QVERIFY(editor);
            editor->clear();
            if (way == QLatin1String("typed")) {
                QTest::keyClicks(editor, dictated);
            } else {
                QApplication::clipboard()->setText(dictated);
                QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
            }
            // The editor shows what will be kept while the user types.
            QCOMPARE(editor->text(), stored);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_VERIFY(!view->indexWidget(index));
        }
        QCOMPARE(t.field(w.session().configuration()).row(0)[column], stored);
        // A number the checks refuse is not saved at all.
        if (!config::isPhoneNumberText(stored))
            return;
        open.save();
        Configuration saved = open.stored();
        QCOMPARE(t.field(saved).row(0)[column], stored);
    }

    // Tab and Shift+Tab walk the cells, with or without a cell being edited,
    // and leave the grid after its last (before its first) cell.
    void tabWalksTheCellsAndLeaves_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::newRow("cells selected") << false;
        QTest::newRow("cells edited") << true;
    }

    void tabWalksTheCellsAndLeaves()
    {
        QFETCH(bool, editing);
        Configuration c = baseConfiguration();
        config::SmsTable &table = c.digitalOutputs[0].sms.list;
        table.setRows({table.row(0), table.row(0)});
        OpenConfiguration open(c);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        QTableView *view = showTable(w, kTables[tableNamed(QStringLiteral("SG_DO1_SMS"))]);
        auto *add = child<QWidget>(&w, "TntB_DO1_SMS_AddRow");
        auto current = [view] { return view->currentIndex().row() * 3 + view->currentIndex().column(); };
        auto key = [&](bool forward) {
            if (editing && focused() == view)
                view->edit(view->currentIndex());
            QTest::keyClick(focused(), forward ? Qt::Key_Tab : Qt::Key_Backtab,
                            forward ? Qt::NoModifier : Qt::ShiftModifier);
        };

        // In with Tab: the first cell.
        view->setFocus(Qt::TabFocusReason);
        QCOMPARE(current(), 0);
        for (int cell = 1; cell < 6; ++cell) {
            key(true);
            QTRY_COMPARE(current(), cell);
        }
        key(true);
        QTRY_COMPARE(focused(), add);

        // Back in with Shift+Tab: the last cell.
        key(false);
        QTRY_COMPARE(focused(), view);
        QCOMPARE(current(), 5);
        for (int cell = 4; cell >= 0; --cell) {
            key(false);
            QTRY_COMPARE(current(), cell);
        }
        key(false);
        QTRY_VERIFY(focused() != view && !view->isAncestorOf(focused()));
        // Out above the grid.
        QVERIFY(focused()->mapTo(&w, QPoint(0, 0)).y() < view->mapTo(&w, QPoint(0, 0)).y());
        QCOMPARE(rowsOf(w.session().configuration().digitalOutputs[0].sms.list), rowsOf(table));
    }

    // Enter commits the cell and the next row's cell is current.
    void enterCommitsAndMovesDown()
    {
        Configuration c = baseConfiguration();
        config::SmsTable &table = c.digitalInputs[0].f0t1.list;
        table.setRows({table.row(0), table.row(0), table.row(0)});
        OpenConfiguration open(c);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        QTableView *view = showTable(w, kTables[0]);
        typeIntoCell(view, 0, 0, QStringLiteral("Door open"));
        QCOMPARE(view->currentIndex(), view->model()->index(1, 0));
        QCOMPARE(w.session().configuration().digitalInputs[0].f0t1.list.row(0)[0],
                 QStringLiteral("Door open"));
        // Without an editor, Enter moves down too; at the last row it stays.
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(view->currentIndex(), view->model()->index(2, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(view->currentIndex(), view->model()->index(2, 0));
    }

    // Add Row: the new row's first cell takes what is typed next.
    void addRowThenTypingFillsTheNewRow_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<bool>("keyboard");
        QTest::newRow("input table, click") << "SG_SMS_DI2_F1T0" << false;
        QTest::newRow("output table, Enter on the button") << "SG_DO2_CALL" << true;
    }

    void addRowThenTypingFillsTheNewRow()
    {
        QFETCH(QString, grid);
        QFETCH(bool, keyboard);
        const TableCase &t = kTables[tableNamed(grid)];
        const Configuration base = baseConfiguration();
        OpenConfiguration open(base);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        QTableView *view = showTable(w, t);
        QCOMPARE(view->model()->rowCount(), 1);
        auto *add = child<QPushButton>(&w, t.add);
        if (keyboard) {
            add->setFocus(Qt::TabFocusReason);
            QTest::keyClick(add, Qt::Key_Return);
        } else {
            add->click();
        }
        QTest::keyClicks(focused(), QStringLiteral("+3955"));
        QTest::keyClick(focused(), Qt::Key_Return);
        Configuration expected = base;
        config::SmsTable &rows = t.field(expected);
        rows.setRows({rows.row(0), {QStringLiteral("+3955"), {}, {}}});
        QTRY_COMPARE(rowsOf(t.field(w.session().configuration())), rowsOf(rows));
    }

    // Ctrl+D and the Duplicate Row button copy the focused row below it, what
    // is being typed included; one undo takes the copy away.
    void duplicateCopiesTheFocusedRow_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("way");
        QTest::newRow("Ctrl+D on a cell") << "SG_SMS_DI1_F0T1"
                                          << "key";
        QTest::newRow("Ctrl+D while editing") << "SG_SMS_AI1_High"
                                              << "editing";
        QTest::newRow("button") << "SG_DO1_CALL"
                                << "button";
    }

    void duplicateCopiesTheFocusedRow()
    {
        QFETCH(QString, grid);
        QFETCH(QString, way);
        const TableCase &t = kTables[tableNamed(grid)];
        Configuration c = baseConfiguration();
        config::SmsTable &table = t.field(c);
        const config::TableRow first = table.row(0);
        const config::TableRow second{QStringLiteral("B"), {}, QStringLiteral("b")};
        table.setRows({first, second});
        OpenConfiguration open(c);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        QTableView *view = showTable(w, t);
        view->setFocus(Qt::OtherFocusReason);
        view->setCurrentIndex(view->model()->index(0, 2));
        config::TableRow copied = first;
        if (way == QLatin1String("key")) {
            QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
        } else if (way == QLatin1String("editing")) {
            QLineEdit *editor = openLineEditor(view, 0, 2);
            QVERIFY(editor);
            QTest::keyClick(editor, Qt::Key_End);
            QTest::keyClicks(editor, QStringLiteral(" night"));
            QTest::keyClick(editor, Qt::Key_D, Qt::ControlModifier);
            copied[2] += QStringLiteral(" night");
        } else {
            child<QPushButton>(&w, t.duplicate)->click();
        }
        config::SmsTable expected;
        expected.setRows({copied, copied, second});
        QTRY_COMPARE(rowsOf(t.field(w.session().configuration())), rowsOf(expected));
        QCOMPARE(view->model()->rowCount(), 3);
        QCOMPARE(view->currentIndex().row(), 1);

        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        expected.setRows({copied, second});
        QCOMPARE(rowsOf(t.field(w.session().configuration())), rowsOf(expected));
    }

    // A grid with the focus, or with a cell editor that has it, is framed in
    // the focus colour, as other controls are.
    void focusedGridShowsTheFocusMark()
    {
        OpenConfiguration open(baseConfiguration());
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        QTableView *view = showTable(w, kTables[tableNamed(QStringLiteral("SG_DO1_SMS"))]);
        auto edgeColour = [view] { return view->grab().toImage().pixelColor(0, view->height() / 2); };
        child<QWidget>(&w, "TntB_DO1_SMS_AddRow")->setFocus(Qt::TabFocusReason);
        QVERIFY(edgeColour() != ui::theme::kFocus);
        view->setFocus(Qt::TabFocusReason);
        QCOMPARE(edgeColour(), ui::theme::kFocus);
        QVERIFY(openLineEditor(view, 0, 0));
        QTRY_VERIFY(view->isAncestorOf(focused()));
        QCOMPARE(edgeColour(), ui::theme::kFocus);
    }

    // The Duplicate Row buttons, the profile names and the Profiles page's
    // line about the profile numbers are in the window's language.
    void tableTextsFollowTheLanguage_data() { addLanguageRows(); }

    void tableTextsFollowTheLanguage()
    {
        QFETCH(int, language);
        OpenConfiguration open(baseConfiguration(), language);
        MainWindow &w = open.w();
        auto text = [&](const char *key) { return messageIn(open.folder, language, QLatin1String(key)); };
        for (const TableCase &t : kTables)
            QCOMPARE(child<QPushButton>(&w, t.duplicate)->text(), text("Caption_Duplicate_Row"));
        QCOMPARE(child<QLabel>(&w, "TntL_Profile_Numbers")->text(), text("Mes_Profile_Numbers"));
        QTableView *view = showTable(w, kTables[tableNamed(QStringLiteral("SG_DO2_SMS"))]);
        QCOMPARE(displayed(view, 0, 1), QStringLiteral("1 - ") + text("Profile_Weekly_1"));
        QVERIFY(text("Profile_Weekly_1") != QLatin1String("Profile_Weekly_1"));
    }
};

QTEST_MAIN(TestTableEditing)
#include "tst_table_editing.moc"
