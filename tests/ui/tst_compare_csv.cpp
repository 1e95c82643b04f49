// Comparing a configuration of the Load page with the open one, and moving a
// table out to a CSV file and back in through its buttons.
#include "app/TableCatalog.h"
#include "config/ConfigurationFile.h"
#include "helper_window.h"
#include "ui/CompareDialog.h"
#include "ui/MainWindow.h"
#include "ui/widgets/SmsTableEditor.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using config::TableRow;
using ui::MessageAnswer;

namespace {

config::Configuration plant()
{
    config::Configuration c;
    c.setNewDefaults();
    c.pin = QStringLiteral("1111");
    c.digitalInputs[0].f0t1.list.setRows(
        {{QStringLiteral("Gate open"), QStringLiteral("+39333111"), QStringLiteral("Anna")},
         {QStringLiteral("Gate open"), QStringLiteral("+39333222"), QStringLiteral("Bruno")}});
    return c;
}

ui::SmsTableEditor *editorOf(ui::MainWindow &w, const char *grid)
{
    return qobject_cast<ui::SmsTableEditor *>(child<QTableView>(&w, grid)->parentWidget());
}

QList<TableRow> rowsOf(ui::MainWindow &w, int table)
{
    return app::tableOf(w.session().configuration(), table).rows();
}

// Opens the comparison of Plant_B with the open configuration.
QListWidget *compareWithPlantB(ui::MainWindow &w)
{
    clickMenu(w, "TntL_Load_Menu");
    auto *list = child<QListWidget>(&w, "TntLB_LoadConf");
    auto *compare = child<QPushButton>(&w, "TntB_Compare_Conf");
    if (compare->isEnabled())
        qFatal("Compare enabled without a selection");
    list->setCurrentItem(list->findItems(QStringLiteral("Plant_B"), Qt::MatchExactly).value(0));
    compare->click();
    auto *dialog = w.findChild<QDialog *>(QStringLiteral("CompareDialog"));
    return dialog ? dialog->findChild<QListWidget *>(QStringLiteral("CompareList")) : nullptr;
}

QStringList linesOf(const QListWidget *list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines.append(list->item(i)->text());
    return lines;
}

// Answers the file dialogs with one path.
ui::SmsTableEditor::CsvFileChooser answer(const QString &path)
{
    return [path](QWidget *, bool, const QString &, const QString &, const QString &) { return path; };
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestCompareCsv : public QObject
{
    Q_OBJECT

private slots:
    // Plant_B on disk against the open Plant_A (typed edits included); a
    // double-click on the line opens the page of the field.
    void compareListsTheDifferencesAndLeadsToThem_data()
    {
        QTest::addColumn<QString>("typedPin"); // typed into the open one, unsaved
        QTest::addColumn<bool>("extraRow");    // Plant_B lacks Bruno's row
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("control"); // where the double-click leads
        QTest::addColumn<int>("row");
        QTest::newRow("equal") << QString() << false << QStringList{englishMessage(u"Cmp_Equal")} << QString()
                               << -1;
        QTest::newRow("typed PIN") << "2468" << false
                                   << QStringList{QStringLiteral("Phone settings: PIN '1111' → '2468'")}
                                   << "TntE_PIN" << -1;
        QTest::newRow("row added")
            << QString() << true
            << QStringList{QStringLiteral(
                   "Digital input 1, 0 → 1: row 2 added: Gate open · +39333222 · Bruno")}
            << "SG_SMS_DI1_F0T1" << 1;
    }

    void compareListsTheDifferencesAndLeadsToThem()
    {
        QFETCH(QString, typedPin);
        QFETCH(bool, extraRow);
        QFETCH(QStringList, lines);
        QFETCH(QString, control);
        QFETCH(int, row);
        OpenConfiguration oc(plant());
        ui::MainWindow &w = oc.w();
        config::Configuration b = plant();
        if (extraRow)
            b.digitalInputs[0].f0t1.list.setRows({b.digitalInputs[0].f0t1.list.row(0)});
        oc.folder.writeConfiguration(QStringLiteral("Plant_B"), b);
        const QByteArray before = oc.folder.readFile(QStringLiteral("Projects/Plant_B/Configuration.xml"));
        if (!typedPin.isEmpty()) {
            clickMenu(w, "TntL_Phone_Menu");
            auto *pin = child<QLineEdit>(&w, "TntE_PIN");
            pin->selectAll();
            QTest::keyClicks(pin, typedPin);
        }

        QListWidget *list = compareWithPlantB(w);
        QVERIFY(list);
        QCOMPARE(linesOf(list), lines);
        QCOMPARE(oc.folder.readFile(QStringLiteral("Projects/Plant_B/Configuration.xml")), before);
        QCOMPARE(w.session().configurationName(), OpenConfiguration::kName);

        const QRect line = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line.center());
        if (control.isEmpty()) {
            QVERIFY(list->window()->isVisible());
            QCOMPARE(w.currentPage(), ui::PageId::Load);
            return;
        }
        QVERIFY(!list->window()->isVisible());
        auto *shown = child<QWidget>(&w, control.toLatin1().constData());
        QVERIFY(shown->isVisible());
        if (auto *view = qobject_cast<QTableView *>(shown))
            QCOMPARE(view->currentIndex().row(), row);
    }

    void unreadableConfigurationIsAnError()
    {
        OpenConfiguration oc(plant());
        oc.folder.writeFile(QStringLiteral("Projects/Plant_B/Configuration.xml"), "<Configuration><PIN>");
        QVERIFY(!compareWithPlantB(oc.w()));
        QCOMPARE(oc.boxes.shown.size(), 1);
        QVERIFY(oc.boxes.texts().constFirst().startsWith(englishMessage(u"Error_Load_Conf")));
        QCOMPARE(oc.w().session().configuration(), plant());
    }

    // Export then import (replace) gives the table back exactly; append
    // puts the file's rows after the table's. One Ctrl+Z undoes an import.
    void exportThenImport_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("table");
        QTest::addColumn<bool>("append");
        const QList<std::pair<const char *, int>> tables = {{"SG_SMS_DI1_F0T1", 0}, {"SG_DO1_CALL", 7}};
        for (const auto &[grid, table] : tables) {
            QTest::addRow("%s replace", grid) << grid << table << false;
            QTest::addRow("%s append", grid) << grid << table << true;
        }
    }

    void exportThenImport()
    {
        QFETCH(QString, grid);
        QFETCH(int, table);
        QFETCH(bool, append);
        config::Configuration c = plant();
        const bool output = app::tableInfo(table).output;
        const QList<TableRow> rows = {
            output ? TableRow{QStringLiteral("+39333111"), QStringLiteral("1"),
                              QStringLiteral("Anna, \"night\"")}
                   : TableRow{QStringLiteral("Gate, \"open\""), QStringLiteral("+39333111"),
                              QStringLiteral("Anna\nnight")},
            output
                ? TableRow{QStringLiteral("+39333222"), QStringLiteral("2"), QStringLiteral("Jürgen Größe")}
                : TableRow{QStringLiteral("Puerta señal"), QStringLiteral("+39333222"),
                           QStringLiteral("Jürgen Größe")},
        };
        app::tableOf(c, table).setRows(rows);
        OpenConfiguration oc(c);
        ui::MainWindow &w = oc.w();
        QVERIFY(activated(w));
        ui::SmsTableEditor *editor = editorOf(w, grid.toLatin1().constData());
        QVERIFY(editor);
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("table.csv"));
        editor->setCsvFileChooser(answer(path));
        // The table's CSV button and the grid's context menu hold both.
        const QList<QAction *> actions = {editor->exportAction(), editor->importAction()};
        QCOMPARE(
            child<QPushButton>(&w, ui::csvButtonName(editor->id()).toLatin1().constData())->menu()->actions(),
            actions);
        w.findChild<QAction *>(ui::csvActionName(editor->id(), false))->trigger();
        QVERIFY(QFile::exists(path));
        QCOMPARE(oc.boxes.shown.size(), 0);

        // The table as it is before the import, edited as the user would.
        const TableRow kept = output ? TableRow{QStringLiteral("+39333999"), QStringLiteral("3"), {}}
                                     : TableRow{QStringLiteral("Alarm"), QStringLiteral("+39333999"), {}};
        ui::SmsTableModel *model = editor->model();
        model->deleteRow(1);
        for (int column = 0; column < 3; ++column)
            model->setData(model->index(0, column), kept[column], Qt::EditRole);
        QCOMPARE(rowsOf(w, table), QList<TableRow>{kept});
        oc.boxes.answers = {append ? MessageAnswer::Yes : MessageAnswer::No};
        w.findChild<QAction *>(ui::csvActionName(editor->id(), true))->trigger();
        QCOMPARE(oc.boxes.shown.size(), 1); // the question, nothing else
        QCOMPARE(rowsOf(w, table), append ? QList<TableRow>{kept} + rows : rows);
        QCOMPARE(editor->model()->rowCount(), append ? 3 : 2);

        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rowsOf(w, table), QList<TableRow>{kept});
    }

    // A file that does not fit the table is refused with its line; the table
    // is not touched and nothing is asked.
    void refusedFileLeavesTheTable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing column")
            << QByteArray("SMS Message,Description\nAlarm,x\n")
            << QStringLiteral("Error! Line 1: the column \"Phone Number\" is missing.");
        QTest::newRow("short row") << QByteArray("SMS Message,Phone Number,Description\nAlarm,+39333\n")
                                   << englishMessage(u"Error_Csv_Field_Count").arg(2);
    }

    void refusedFileLeavesTheTable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        OpenConfiguration oc(plant());
        ui::MainWindow &w = oc.w();
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("in.csv"));
        writeBytes(path, bytes);
        ui::SmsTableEditor *editor = editorOf(w, "SG_SMS_DI1_F0T1");
        editor->setCsvFileChooser(answer(path));
        oc.boxes.answers = {MessageAnswer::No};
        editor->importAction()->trigger();
        QCOMPARE(oc.boxes.texts(), QStringList{message});
        QCOMPARE(rowsOf(w, 0), plant().digitalInputs[0].f0t1.list.rows());
        QVERIFY(!w.isChanged());
    }

    // Rows the save would refuse come in, their cells marked as typed ones are.
    void importedRowsWithBadNumbersAreMarked()
    {
        OpenConfiguration oc(plant());
        ui::MainWindow &w = oc.w();
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("in.csv"));
        writeBytes(path,
                   "Phone Number,Description,SMS Message\n\"+39 333-444\",ok,Alarm\n12ab34,bad,Alarm\n");
        ui::SmsTableEditor *editor = editorOf(w, "SG_SMS_DI1_F0T1");
        editor->setCsvFileChooser(answer(path));
        oc.boxes.answers = {MessageAnswer::No};
        editor->importAction()->trigger();
        const QList<TableRow> expected = {
            {QStringLiteral("Alarm"), QStringLiteral("+39333444"), QStringLiteral("ok")},
            {QStringLiteral("Alarm"), QStringLiteral("12ab34"), QStringLiteral("bad")}};
        QCOMPARE(rowsOf(w, 0), expected);
        QAbstractItemModel *model = editor->model();
        QVERIFY(model->index(0, 1).data(Qt::ToolTipRole).toString().isEmpty());
        QVERIFY(!model->index(1, 1).data(Qt::ToolTipRole).toString().isEmpty());
        QVERIFY(model->index(1, 0).data(Qt::ToolTipRole).toString().isEmpty());
    }
};

QTEST_MAIN(TestCompareCsv)
#include "tst_compare_csv.moc"
