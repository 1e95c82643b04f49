// The configuration sheet from the Save page: unsaved edits are saved first,
// the file dialog's answer decides the file and its kind, the folder is
// remembered in setting.xml, and a file that cannot be written is an error.
#include "app/Settings.h"
#include "helper_window.h"
#include "lang/LanguageTexts.h"
#include "ui/MainWindow.h"
#include "ui/pages/ProjectPages.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

config::Configuration plant()
{
    config::Configuration c;
    c.setNewDefaults();
    c.pin = QStringLiteral("1111");
    return c;
}

// Answers the file dialog and keeps what it was asked.
struct Chooser
{
    QString answer;
    bool htmlFilter = false; // pick the HTML filter instead of the one offered
    QString suggested;
    QString filters;
    int asked = 0;
    ui::SavePage::SheetFileChooser function()
    {
        return [this](QWidget *, const QString &, const QString &s, const QString &f, QString *chosen) {
            ++asked;
            suggested = s;
            filters = f;
            if (htmlFilter)
                *chosen = f.section(QStringLiteral(";;"), 1, 1);
            return answer;
        };
    }
};

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSavePageSheet : public QObject
{
    Q_OBJECT

private slots:
    void sheetOfTheEditedConfiguration_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("htmlFilter");
        QTest::addColumn<bool>("secrets");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("pdf by its ending")
            << "sheet.pdf" << false << false << "sheet.pdf" << QByteArray("%PDF");
        QTest::newRow("html by its ending")
            << "sheet.html" << false << false << "sheet.html" << QByteArray("<!DOCTYPE html>");
        QTest::newRow("html by the filter")
            << "sheet" << true << true << "sheet.html" << QByteArray("<!DOCTYPE html>");
        QTest::newRow("pdf by the filter") << "sheet" << false << true << "sheet.pdf" << QByteArray("%PDF");
    }

    void sheetOfTheEditedConfiguration()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, htmlFilter);
        QFETCH(bool, secrets);
        QFETCH(QString, written);
        QFETCH(QByteArray, start);
        OpenConfiguration oc(plant());
        QTemporaryDir out;
        Chooser chooser;
        chooser.answer = out.filePath(fileName);
        auto *page = oc.w().findChild<ui::SavePage *>();
        QVERIFY(page);
        page->setSheetFileChooser(chooser.function());

        clickMenu(oc.w(), "TntL_Phone_Menu");
        auto *pin = child<QLineEdit>(&oc.w(), "TntE_PIN");
        pin->selectAll();
        QTest::keyClicks(pin, QStringLiteral("8642"));
        clickMenu(oc.w(), "TntL_Save_Menu");
        child<QCheckBox>(&oc.w(), "CB_Report_Secrets")->setChecked(secrets);
        chooser.htmlFilter = htmlFilter;
        child<QPushButton>(&oc.w(), "TntB_Report_Sheet")->click();

        // Saved first: the sheet and the file show the edit.
        QCOMPARE(oc.stored().pin, QStringLiteral("8642"));
        QCOMPARE(oc.boxes.texts().constFirst(), englishMessage(u"Mes_Configuration_Saved"));
        QCOMPARE(chooser.suggested, QDir::home().filePath(QStringLiteral("Plant_A.pdf")));
        const QByteArray bytes = fileBytes(out.filePath(written));
        QVERIFY(bytes.startsWith(start));
        if (start.startsWith("<!"))
            QCOMPARE(bytes.contains("8642"), secrets);
        QCOMPARE(oc.boxes.texts().constLast(),
                 englishMessage(u"Rep_Written") + u'\n' + QDir::toNativeSeparators(out.filePath(written)));
        // The folder is remembered for the next sheet, also after a restart.
        const app::AppSettings settings =
            app::readSettings(oc.folder.path() + QStringLiteral("/Setting/setting.xml"));
        QCOMPARE(settings.reportFolder, out.path());
        QCOMPARE(settings.configurationName, OpenConfiguration::kName);
        child<QPushButton>(&oc.w(), "TntB_Report_Sheet")->click();
        QCOMPARE(chooser.suggested, out.filePath(QStringLiteral("Plant_A.pdf")));
    }

    void cancelledDialogWritesNothingAndSavesNothingUnchanged()
    {
        OpenConfiguration oc(plant());
        const QByteArray before = oc.folder.readFile(QStringLiteral("Projects/Plant_A/Configuration.xml"));
        Chooser chooser;
        oc.w().findChild<ui::SavePage *>()->setSheetFileChooser(chooser.function());
        clickMenu(oc.w(), "TntL_Save_Menu");
        child<QPushButton>(&oc.w(), "TntB_Report_Sheet")->click();
        QCOMPARE(chooser.asked, 1);
        QCOMPARE(oc.boxes.texts(), QStringList());
        QCOMPARE(oc.folder.readFile(QStringLiteral("Projects/Plant_A/Configuration.xml")), before);
        QVERIFY(app::readSettings(oc.folder.path() + QStringLiteral("/Setting/setting.xml"))
                    .reportFolder.isEmpty());
    }

    void fileThatCannotBeWrittenIsAnError()
    {
        OpenConfiguration oc(plant());
        QTemporaryDir out;
        Chooser chooser;
        chooser.answer = out.filePath(QStringLiteral("missing/sheet.pdf"));
        oc.w().findChild<ui::SavePage *>()->setSheetFileChooser(chooser.function());
        clickMenu(oc.w(), "TntL_Save_Menu");
        child<QPushButton>(&oc.w(), "TntB_Report_Sheet")->click();
        QCOMPARE(oc.boxes.shown.size(), 1);
        QCOMPARE(oc.boxes.shown[0].kind, ui::MessageKind::Error);
        QVERIFY2(oc.boxes.shown[0].text.startsWith(englishMessage(u"Error_Write_File") + u'\n'),
                 qPrintable(oc.boxes.shown[0].text));
        QVERIFY(!QFile::exists(chooser.answer));
    }

    void captionsFollowTheLanguage_data() { addLanguageRows(); }

    void captionsFollowTheLanguage()
    {
        QFETCH(int, language);
        OpenConfiguration oc(plant(), language);
        clickMenu(oc.w(), "TntL_Save_Menu");
        lang::LanguageTexts texts;
        texts.applyLanguage(language, oc.folder.path() + QStringLiteral("/Language"));
        QCOMPARE(child<QPushButton>(&oc.w(), "TntB_Report_Sheet")->text(), texts.text(u"Rep_Sheet_Button"));
        QCOMPARE(child<QCheckBox>(&oc.w(), "CB_Report_Secrets")->text(), texts.text(u"Rep_Secrets_Box"));
    }
};

QTEST_MAIN(TestSavePageSheet)
#include "tst_save_page_sheet.moc"
