// The window as the program starts it: a page is built when it is first
// shown, or when the event loop is idle after the start (left out here where
// a test needs pages built late for certain). A page built late
// must look and behave exactly like one built with the window: the language
// chosen since, the record on show, the marks of refused values.
#include "helper_window.h"
#include "ui/MainWindow.h"
#include "ui/WindowPages.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace ui;
using Pages = MainWindow::Options::Pages;

namespace {

config::Configuration sample()
{
    config::Configuration c;
    c.setNewDefaults();
    c.pin = QStringLiteral("123456789"); // refused: marked on the Phone page
    c.digitalInputs[0].f0t1.list.setRows(
        {{"Door open", "+39333111", "Anna"}, {"Door open", "+39333222", "Ben"}});
    c.digitalOutputs[1].call.list.setRows({{"+39444555", "2", "Gate"}});
    c.analogInput.low.valueHys = QStringLiteral("1"); // refused: marked on the Input page
    return c;
}

// What a user can see of every named control: its text, tooltip, whether it
// is enabled and marked refused, and a table's rows and headers. The
// program folder is named "<folder>".
QMap<QString, QString> looks(MainWindow &w, const QString &folder)
{
    QMap<QString, QString> seen;
    for (QWidget *widget : w.findChildren<QWidget *>()) {
        // The clock fields show the computer's clock, which moves on.
        if (widget->objectName().isEmpty() || widget->objectName().startsWith(QLatin1String("qt_")) ||
            widget->objectName().startsWith(QLatin1String("TntE_DT_SDT_")))
            continue;
        QString text;
        if (auto *label = qobject_cast<QLabel *>(widget))
            text = label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            text = button->text() + (button->isChecked() ? QStringLiteral(" [on]") : QString());
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            text = edit->text();
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            text = combo->currentText();
        else if (auto *view = qobject_cast<QTableView *>(widget); view && view->model()) {
            const QAbstractItemModel *m = view->model();
            text = QString::number(m->rowCount());
            for (int column = 0; column < m->columnCount(); ++column)
                text += QLatin1Char('|') + m->headerData(column, Qt::Horizontal).toString();
            for (int row = 0; row < m->rowCount(); ++row)
                for (int column = 0; column < m->columnCount(); ++column)
                    text += QLatin1Char('|') + m->index(row, column).data().toString();
        }
        seen[QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') +
             widget->objectName()] += text + QLatin1Char('\t') + widget->toolTip() + QLatin1Char('\t') +
                                      QString::number(widget->isEnabled()) +
                                      QString::number(widget->property("invalid").toBool()) +
                                      QLatin1Char('\n');
    }
    for (QString &value : seen)
        value.replace(folder, QStringLiteral("<folder>"));
    return seen;
}

const char *const kLanguageRadios[] = {"", "TntRB_Leng_English", "TntRB_Leng_Italian", "TntRB_Leng_German",
                                       "TntRB_Leng_Spanish"};

} // namespace

class PagesWhenShownTest : public QObject
{
    Q_OBJECT

private slots:
    void startsWithoutPagesAndBuildsThemWhenShown()
    {
        OpenConfiguration open(sample(), 3, Pages::OnlyWhenShown);
        MainWindow &w = open.w();
        for (const MenuEntry &entry : menuEntries())
            QVERIFY(!w.isPageBuilt(entry.page));
        QCOMPARE(w.currentPage(), PageId::None);
        QVERIFY(w.findChildren<QWidget *>().size() < 100);

        clickMenu(w, "TntL_Phone_Menu");
        QCOMPARE(w.currentPage(), PageId::Phone);
        QVERIFY(w.isPageBuilt(PageId::Phone));
        QVERIFY(!w.isPageBuilt(PageId::Input));
        QCOMPARE(child<QLineEdit>(&w, "TntE_PIN")->text(), QStringLiteral("123456789"));
        QVERIFY(child<QLineEdit>(&w, "TntE_PIN")->property("invalid").toBool());

        // A new configuration before the Input page was ever shown: it shows
        // the new record, not the one of the start.
        clickMenu(w, "TntL_New_Menu");
        child<QLineEdit>(&w, "TntE_NewConf")->setText(QStringLiteral("Plant_B"));
        child<QPushButton>(&w, "TntB_NewConf")->click();
        QCOMPARE(w.session().configurationName(), QStringLiteral("Plant_B"));
        clickMenu(w, "TntL_Input_Menu");
        const QAbstractItemModel *rows = child<QTableView>(&w, "SG_SMS_DI1_F0T1")->model();
        QVERIFY(rows->rowCount() < 2);
        QVERIFY(rows->index(0, 0).data().toString().isEmpty());
        QVERIFY(!child<QLineEdit>(&w, "E_AI1_Val_Low_Hys")->property("invalid").toBool());
        QVERIFY(w.close());
    }

    // The same steps on a window built whole at the start and on one whose
    // pages are built as they are shown, after a change of language: both
    // look the same, control by control.
    void aPageBuiltLateLooksLikeOneBuiltAtStart_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("English to German") << 1 << 3;
        QTest::newRow("Italian to Spanish") << 2 << 4;
        QTest::newRow("Spanish to English") << 4 << 1;
    }

    void aPageBuiltLateLooksLikeOneBuiltAtStart()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QMap<QString, QString> seen[2];
        for (const Pages pages : {Pages::AllAtStart, Pages::OnlyWhenShown}) {
            OpenConfiguration open(sample(), from, pages);
            MainWindow &w = open.w();
            clickMenu(w, "TntL_Preference_Menu");
            child<QAbstractButton>(&w, kLanguageRadios[to])->click();
            QCOMPARE(w.session().languageCode(), to);
            for (const MenuEntry &entry : menuEntries()) {
                w.showPage(entry.page);
                QApplication::processEvents();
            }
            // Composed by its page, not put on by name: it follows the language too.
            QCOMPARE(child<QAbstractButton>(&w, "CB_Week_Enable")->text(),
                     w.texts().messageText(u"En_Profile_Week1"));
            QVERIFY(w.texts().messageText(u"En_Profile_Week1") != QStringLiteral("Enable Profile Weekly 1"));
            w.showPage(PageId::None);
            seen[pages == Pages::OnlyWhenShown] = looks(w, open.folder.path());
        }
        QVERIFY(seen[0].size() > 400);
        QCOMPARE(seen[1].keys(), seen[0].keys());
        for (auto it = seen[0].cbegin(); it != seen[0].cend(); ++it)
            QVERIFY2(seen[1].value(it.key()) == it.value(),
                     qPrintable(it.key() + QStringLiteral(": ") + seen[1].value(it.key()) +
                                QStringLiteral(" / ") + it.value()));
    }

    // In each language, every page of a window whose pages are built as
    // they are shown is drawn as that of a window built whole, pixel for
    // pixel (the Date & Time page shows the computer's clock, which moves
    // on). With TRENOV5X_SHOTS set, the pictures are saved there.
    void aPageBuiltLateIsDrawnAlike_data() { addLanguageRows(); }

    void aPageBuiltLateIsDrawnAlike()
    {
        QFETCH(int, language);
        ProgramFolder folder;
        folder.writeConfiguration(OpenConfiguration::kName, sample());
        folder.writeSettings(language, OpenConfiguration::kName);
        QMap<PageId, QImage> pictures[2];
        for (const Pages pages : {Pages::AllAtStart, Pages::OnlyWhenShown}) {
            RecordingPresenter boxes;
            MainWindow w({folder.path(), &boxes, {}, pages});
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            for (const MenuEntry &entry : menuEntries()) {
                w.showPage(entry.page);
                QApplication::processEvents();
                pictures[pages == Pages::OnlyWhenShown][entry.page] = w.grab().toImage();
            }
        }
        const QByteArray shots = qgetenv("TRENOV5X_SHOTS");
        for (const MenuEntry &entry : menuEntries()) {
            const QImage &late = pictures[1][entry.page];
            if (!shots.isEmpty())
                late.save(QStringLiteral("%1/late_%2_%3.png")
                              .arg(QString::fromLocal8Bit(shots))
                              .arg(language)
                              .arg(QLatin1String(entry.caption)));
            if (entry.page != PageId::DateTime)
                QVERIFY2(pictures[0][entry.page] == late, entry.caption);
        }
    }

    // Left alone, the window builds the pages it has not shown yet, one per
    // turn of the event loop, so that opening one later is instant.
    void idleTimeBuildsTheRest()
    {
        OpenConfiguration open(sample(), 1, Pages::WhenFirstShown);
        MainWindow &w = open.w();
        auto allBuilt = [&w] {
            for (const MenuEntry &entry : menuEntries())
                if (!w.isPageBuilt(entry.page))
                    return false;
            return true;
        };
        QVERIFY(!allBuilt());
        QTRY_VERIFY_WITH_TIMEOUT(allBuilt(), 10000);
        QCOMPARE(w.currentPage(), PageId::None);
        QVERIFY(child<QLineEdit>(&w, "E_AI1_Val_Low_Hys")->property("invalid").toBool());
        QCOMPARE(child<QTableView>(&w, "SG_DO2_CALL")->model()->rowCount(), 1);
    }
};

QTEST_MAIN(PagesWhenShownTest)
#include "tst_pages_when_shown.moc"
