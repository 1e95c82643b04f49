// The update history of a configuration on the Load page and its Restore,
// through the real window, against history folders written as an update
// writes them.
#include "app/UpdateHistory.h"
#include "config/ConfigurationFile.h"
#include "helper_window.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using ui::MainWindow;

namespace {

config::Configuration withPin(const QString &pin)
{
    config::Configuration c;
    c.pin = pin;
    return c;
}

// Every file under `folder` with its bytes.
QMap<QString, QByteArray> filesUnder(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly))
            files.insert(f.fileName(), f.readAll());
    }
    return files;
}

} // namespace

class TestLoadHistory : public QObject
{
    Q_OBJECT

private slots:
    void restoreIsOneUndoStep();
    void restoreNeedsTheOpenConfiguration_data();
    void restoreNeedsTheOpenConfiguration();

private:
    // Plant_A (PIN 1111) open, with two updates in its history: the older one
    // wrote PIN 2222, the newer PIN 3333; Plant_B without a history.
    void prepare(ProgramFolder &folder)
    {
        folder.writeConfiguration(QStringLiteral("Plant_A"), withPin(QStringLiteral("1111")));
        folder.writeConfiguration(QStringLiteral("Plant_B"), withPin(QStringLiteral("4444")));
        folder.writeSettings(1, QStringLiteral("Plant_A"));
        app::UpdateHistory history(folder.path() + QStringLiteral("/Projects/Plant_A/"));
        const QDateTime first(QDate(2026, 3, 14), QTime(9, 30, 5));
        const struct
        {
            QDateTime when;
            QString pin;
            QString firmware;
        } updates[] = {{first, QStringLiteral("2222"), QStringLiteral("1.10")},
                       {first.addDays(2), QStringLiteral("3333"), QStringLiteral("1.12")}};
        for (const auto &u : updates) {
            QString error;
            const auto name = history.begin(u.when, config::serializeConfiguration(withPin(u.pin)),
                                            QByteArray("image"), &error);
            QVERIFY2(name, qPrintable(error));
            app::HistoryEntry entry;
            entry.name = *name;
            entry.time = u.when;
            entry.port = QStringLiteral("/dev/ttyUSB0");
            entry.configuration = true;
            entry.sha256 = app::UpdateHistory::sha256Hex("image");
            entry.outcome = QStringLiteral("updated");
            entry.firmwareVersion = u.firmware;
            QVERIFY2(history.complete(entry, &error), qPrintable(error));
        }
    }

    void selectConfiguration(MainWindow &w, const QString &name)
    {
        clickMenu(w, "TntL_Load_Menu");
        auto *list = child<QListWidget>(&w, "TntLB_LoadConf");
        const auto found = list->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        list->setCurrentItem(found.constFirst());
    }
};

void TestLoadHistory::restoreIsOneUndoStep()
{
    ProgramFolder folder;
    prepare(folder);
    const QString historyFolder = folder.path() + QStringLiteral("/Projects/Plant_A/history/");
    const QMap<QString, QByteArray> before = filesUnder(historyFolder);
    QCOMPARE(before.size(), 5); // two entries of two files, and the log
    RecordingPresenter boxes;
    MainWindow w(MainWindow::Options{folder.path(), &boxes});
    w.show();
    QVERIFY(activated(w));
    selectConfiguration(w, QStringLiteral("Plant_A"));

    auto *history = child<QTreeWidget>(&w, "HistoryList");
    QCOMPARE(history->topLevelItemCount(), 2);
    // Newest first, with the outcome in words and the version read back.
    QCOMPARE(history->topLevelItem(0)->text(2), QStringLiteral("1.12"));
    QCOMPARE(history->topLevelItem(1)->text(2), QStringLiteral("1.10"));
    QCOMPARE(history->topLevelItem(1)->text(1), lang::builtinText(u"Hist_Updated"));
    // The date reads the same whatever the system's country: 03/14 or 14/03
    // would be guessed at by an installer working in another language.
    QCOMPARE(history->topLevelItem(1)->text(0), QStringLiteral("2026-03-14 09:30"));

    auto *restore = child<QPushButton>(&w, "TntB_Restore_History");
    QVERIFY(!restore->isEnabled()); // no entry chosen yet
    history->setCurrentItem(history->topLevelItem(1));
    QVERIFY(restore->isEnabled());
    QVERIFY(!w.isChanged());
    restore->click();

    QCOMPARE(w.session().configuration().pin, QStringLiteral("2222"));
    QVERIFY(w.isChanged());
    QVERIFY(boxes.shown.isEmpty());
    clickMenu(w, "TntL_Phone_Menu");
    auto *pin = child<QLineEdit>(&w, "TntE_PIN");
    QCOMPARE(pin->text(), QStringLiteral("2222"));

    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_Z,
                    Qt::ControlModifier);
    QCOMPARE(w.session().configuration().pin, QStringLiteral("1111"));
    clickMenu(w, "TntL_Phone_Menu");
    QCOMPARE(pin->text(), QStringLiteral("1111"));
    QVERIFY(!w.isChanged());

    // Nothing saved, the history as it was.
    QCOMPARE(filesUnder(historyFolder), before);
    config::Configuration saved;
    config::openConfigurationFile(folder.path() + QStringLiteral("/Projects/Plant_A/Configuration.xml"),
                                  saved);
    QCOMPARE(saved.pin, QStringLiteral("1111"));
}

void TestLoadHistory::restoreNeedsTheOpenConfiguration_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("restorable");
    QTest::newRow("the open one") << QStringLiteral("Plant_A") << 2 << true;
    // A line saying there is none, which cannot be chosen.
    QTest::newRow("another, without a history") << QStringLiteral("Plant_B") << 1 << false;
}

void TestLoadHistory::restoreNeedsTheOpenConfiguration()
{
    QFETCH(QString, selected);
    QFETCH(int, rows);
    QFETCH(bool, restorable);
    ProgramFolder folder;
    prepare(folder);
    RecordingPresenter boxes;
    MainWindow w(MainWindow::Options{folder.path(), &boxes});
    w.show();
    selectConfiguration(w, selected);
    auto *history = child<QTreeWidget>(&w, "HistoryList");
    QCOMPARE(history->topLevelItemCount(), rows);
    history->setCurrentItem(history->topLevelItem(0));
    QCOMPARE(child<QPushButton>(&w, "TntB_Restore_History")->isEnabled(), restorable);
    if (rows == 1)
        QCOMPARE(history->topLevelItem(0)->text(0), lang::builtinText(u"Mes_History_None"));
}

QTEST_MAIN(TestLoadHistory)
#include "tst_load_history.moc"
