// The window driven from the keyboard: the menu, the About icon, the links
// and the tabs reached with Tab and opened with Enter or Space, Enter on
// buttons, the shortcuts, the tab order of every page, the hints of the
// pictures and tabs, Qt's own dialog texts in the chosen language, and a
// language file that is missing.
#include "helper_window.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

using config::Configuration;
using ui::MainWindow;
using ui::PageId;

namespace {

struct MenuCase
{
    const char *caption;
    PageId page;
};

constexpr MenuCase kMenu[] = {
    {"TntL_New_Menu", PageId::New},
    {"TntL_Load_Menu", PageId::Load},
    {"TntL_Save_Menu", PageId::Save},
    {"TntL_Update_Menu", PageId::Update},
    {"TntL_Preference_Menu", PageId::Preferences},
    {"TntL_Phone_Menu", PageId::Phone},
    {"TntL_Input_Menu", PageId::Input},
    {"TntL_Output_Menu", PageId::Output},
    {"TntL_Date_Menu", PageId::DateTime},
};

QWidget *focused()
{
    return QApplication::focusWidget();
}

// Tab from the focused control until one of that name has the focus; false
// after a whole round of the window.
bool tabTo(const char *name)
{
    for (int i = 0; i < 400; ++i) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        if (focused() && focused()->objectName() == QLatin1String(name))
            return true;
    }
    return false;
}

// Closes the modal dialog that opens next (the About box).
void closeNextModal(QString *title)
{
    QTimer::singleShot(0, [title] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            *title = modal->objectName();
            modal->close();
        }
    });
}

} // namespace

class TestWindowKeys : public QObject
{
    Q_OBJECT

private slots:
    void menuLinksAndTabsOpenWithTabAndEnter()
    {
        OpenConfiguration open(Configuration{});
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        // The About icon comes first, then the menu entries in screen order.
        child<QWidget>(&w, "I_About")->setFocus(Qt::TabFocusReason);
        for (const MenuCase &entry : kMenu) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            QCOMPARE(focused()->objectName(), QLatin1String(entry.caption));
        }
        child<QWidget>(&w, "TntL_Input_Menu")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(w.currentPage(), PageId::Input);
        QVERIFY(child<QWidget>(&w, "P_Input")->isAncestorOf(focused()));
        // A mouse click on a menu entry does not take the focus into the menu.
        clickMenu(w, "TntL_Output_Menu");
        QVERIFY(focused() != child<QWidget>(&w, "TntL_Output_Menu"));
        clickMenu(w, "TntL_Input_Menu");
        // A whole round of Tab stops only on controls that show the focus:
        // never on the window's scroll area.
        QWidget *about = child<QWidget>(&w, "I_About");
        about->setFocus(Qt::TabFocusReason);
        int stops = 0;
        do {
            QTest::keyClick(focused(), Qt::Key_Tab);
            QVERIFY(focused() != child<QWidget>(&w, "WindowScroll"));
        } while (focused() != about && ++stops < 500);
        QVERIFY(stops < 500);
        // Nor does a click on a tab.
        QWidget *before = focused();
        clickAt(child<QWidget>(&w, "P_DigIn1_Input2"));
        QVERIFY(child<QWidget>(&w, "TntL_DI2")->isVisible());
        QCOMPARE(focused(), before);
        clickAt(child<QWidget>(&w, "P_DigIn2_Input1"));

        // The tab to digital input 2 with Space, the link to the analog half
        // with Enter.
        QVERIFY(tabTo("P_DigIn1_Input2"));
        QTest::keyClick(focused(), Qt::Key_Space);
        QVERIFY(child<QWidget>(&w, "TntL_DI2")->isVisible());
        QVERIFY(tabTo("P_SubT_Go_AnaDig"));
        QTest::keyClick(focused(), Qt::Key_Enter);
        QVERIFY(child<QWidget>(&w, "P_Ana_Input_Set")->isVisible());

        // Enter on a focused button clicks it.
        clickMenu(w, "TntL_Output_Menu");
        auto *add = child<QPushButton>(&w, "TntB_DO1_SMS_AddRow");
        add->setFocus(Qt::TabFocusReason);
        QTest::keyClick(add, Qt::Key_Return);
        QCOMPARE(w.session().configuration().digitalOutputs[0].sms.list.rowCount(), 2);
    }

    void shortcuts_data()
    {
        QTest::addColumn<bool>("pagesWhenShown");
        QTest::newRow("pages built at start") << false;
        QTest::newRow("pages built when shown") << true;
    }

    void shortcuts()
    {
        QFETCH(bool, pagesWhenShown);
        OpenConfiguration open(Configuration{}, 1,
                               pagesWhenShown ? MainWindow::Options::Pages::OnlyWhenShown
                                              : MainWindow::Options::Pages::AllAtStart);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        if (pagesWhenShown) {
            // The key builds the page, and the keyboard goes on in it.
            QVERIFY(!w.isPageBuilt(PageId::Phone));
            QTest::keyClick(&w, Qt::Key_6, Qt::AltModifier);
            QCOMPARE(w.currentPage(), PageId::Phone);
            QCOMPARE(focused()->objectName(), QStringLiteral("TntE_PIN"));
        }
        // Alt+1 ... Alt+9: the menu entries in menu order.
        for (int i = 0; i < int(std::size(kMenu)); ++i) {
            QTest::keyClick(&w, Qt::Key(Qt::Key_1 + i), Qt::AltModifier);
            QCOMPARE(w.currentPage(), kMenu[i].page);
        }
        // The keyboard goes on in the page opened.
        QTest::keyClick(&w, Qt::Key_6, Qt::AltModifier);
        QCOMPARE(focused()->objectName(), QStringLiteral("TntE_PIN"));

        // Ctrl+S saves the open configuration from any page, a field
        // focused included.
        clickMenu(w, "TntL_Phone_Menu");
        auto *pin = child<QLineEdit>(&w, "TntE_PIN");
        pin->setFocus();
        QTest::keyClicks(pin, QStringLiteral("4321"));
        QTest::keyClick(pin, Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(open.boxes.shown.size() == 1, qPrintable(open.boxes.texts().join(u'|')));
        QCOMPARE(open.stored().pin, QStringLiteral("4321"));
        QCOMPARE(w.currentPage(), PageId::Phone);

        // F1: the About box.
        QString modal;
        closeNextModal(&modal);
        QTest::keyClick(&w, Qt::Key_F1);
        QVERIFY(!modal.isEmpty());
        QCOMPARE(modal, w.aboutBox()->objectName());
    }

    void saveShortcutWithNothingOpenAsksForAName()
    {
        ProgramFolder folder;
        RecordingPresenter boxes;
        MainWindow w({folder.path(), &boxes});
        w.show();
        QVERIFY(activated(w));
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(w.currentPage(), PageId::Save);
        QCOMPARE(focused(), child<QWidget>(&w, "TntE_SaveAsConf"));
        QVERIFY(QDir(folder.path() + QStringLiteral("/Projects")).isEmpty());
    }

    // On every page, Tab walks the controls from top to bottom: no control
    // is reached after one that sits wholly below it.
    void tabOrderRunsTopToBottom_data()
    {
        QTest::addColumn<int>("entry");
        for (int i = 0; i < int(std::size(kMenu)); ++i)
            QTest::newRow(kMenu[i].caption) << i;
    }

    void tabOrderRunsTopToBottom()
    {
        QFETCH(int, entry);
        OpenConfiguration open(Configuration{});
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        clickMenu(w, kMenu[entry].caption);
        auto *stack = w.findChild<QStackedWidget *>();
        QWidget *page = stack->currentWidget();
        child<QWidget>(&w, "TntL_Date_Menu")->setFocus(Qt::TabFocusReason);
        QWidget *previous = nullptr;
        QStringList order;
        for (int i = 0; i < 200; ++i) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            QWidget *now = focused();
            if (!page->isAncestorOf(now))
                break;
            order << now->objectName();
            const QRect at(now->mapTo(page, QPoint(0, 0)), now->size());
            if (previous) {
                const QRect before(previous->mapTo(page, QPoint(0, 0)), previous->size());
                QVERIFY2(at.bottom() >= before.top(),
                         qPrintable(QStringLiteral("%1 after %2: %3")
                                        .arg(now->objectName(), previous->objectName(), order.join(u' '))));
            }
            previous = now;
        }
        QVERIFY(!order.isEmpty());
    }

    void picturesAndTabsCarryHints_data() { addLanguageRows(); }

    void picturesAndTabsCarryHints()
    {
        QFETCH(int, language);
        OpenConfiguration open(Configuration{}, language);
        MainWindow &w = open.w();
        auto plain = [](QString text) { return text.replace(QStringLiteral("&&"), QStringLiteral("&")); };
        const struct
        {
            const char *control;
            const char *caption;
            const char *shortcut; // the menu entries name theirs in the tooltip
        } pairs[] = {
            {"I_New", "TntL_New_Menu", " (Alt+1)"},
            {"I_Date", "TntL_Date_Menu", " (Alt+9)"},
            {"TntL_Date_Menu", "TntL_Date_Menu", " (Alt+9)"},
            {"TntI_Lang_Ita", "TntRB_Leng_Italian", ""},
            {"P_Pro_Week1_Week2", "TntL_Pro_Week1_Week2", ""},
            {"P_SubT_Go_Profile", "TntL_SubT_Go_Profile", ""},
        };
        for (const auto &pair : pairs) {
            QWidget *control = child<QWidget>(&w, pair.control);
            QWidget *caption = child<QWidget>(&w, pair.caption);
            const QString text = caption->property("text").toString();
            QVERIFY2(!text.isEmpty(), pair.caption);
            QCOMPARE(control->toolTip(), plain(text).simplified() + QLatin1String(pair.shortcut));
            QCOMPARE(control->accessibleName(), plain(text).simplified());
        }
        QVERIFY(!child<QWidget>(&w, "I_About")->toolTip().isEmpty());
        QVERIFY(!child<QWidget>(&w, "I_About")->accessibleName().isEmpty());
    }

    void dialogButtonsFollowTheLanguage()
    {
        OpenConfiguration open(Configuration{});
        MainWindow &w = open.w();
        const struct
        {
            int code;
            const char *yes;
            const char *no;
            const char *cancel;
        } languages[] = {
            {3, "&Ja", "&Nein", "Abbrechen"},
            {2, "&Sì", "&No", "Annulla"},
            {4, "&Sí", "&No", "Cancelar"},
            {1, "&Yes", "&No", "Cancel"},
        };
        for (const auto &l : languages) {
            clickMenu(w, "TntL_Preference_Menu");
            const char *radios[] = {nullptr, "TntRB_Leng_English", "TntRB_Leng_Italian", "TntRB_Leng_German",
                                    "TntRB_Leng_Spanish"};
            child<QRadioButton>(&w, radios[l.code])->click();
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString::fromUtf8(l.yes));
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&No"), QString::fromUtf8(l.no));
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(l.cancel));
        }
    }

    void missingLanguageFileIsReported()
    {
        OpenConfiguration open(Configuration{});
        MainWindow &w = open.w();
        QVERIFY(QFile::remove(open.folder.path() + QStringLiteral("/Language/Lang_GER.xml")));
        clickMenu(w, "TntL_Preference_Menu");
        child<QRadioButton>(&w, "TntRB_Leng_German")->click();
        QCOMPARE(open.boxes.shown.size(), 1);
        QCOMPARE(open.boxes.shown[0].kind, ui::MessageKind::Error);
        QVERIFY2(open.boxes.shown[0].text.contains(QStringLiteral("Lang_GER.xml")),
                 qPrintable(open.boxes.shown[0].text));
        // The window shows the built-in English texts.
        QCOMPARE(child<QLabel>(&w, "TntL_New_Menu")->text(), QStringLiteral("New Configuration"));
    }

    // A caption that looks like markup is a caption: its hint shows the
    // characters, and never loads what an <img> names.
    void captionThatLooksLikeMarkupGivesAPlainHint()
    {
        OpenConfiguration open(Configuration{});
        MainWindow &w = open.w();
        const QString file = open.folder.path() + QStringLiteral("/Language/Lang_GER.xml");
        QFile german(file);
        QVERIFY(german.open(QIODevice::ReadOnly));
        QByteArray bytes = german.readAll();
        german.close();
        const QByteArray markup = "&lt;img src=\"/dev/zero\"&gt;Neu";
        bytes.replace(QByteArray("<TntL_New_Menu>"), QByteArray("<TntL_New_Menu>") + markup + "<!--");
        bytes.replace(QByteArray("</TntL_New_Menu>"), QByteArray("--></TntL_New_Menu>"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        clickMenu(w, "TntL_Preference_Menu");
        child<QRadioButton>(&w, "TntRB_Leng_German")->click();
        const QString caption = QStringLiteral("<img src=\"/dev/zero\">Neu");
        QCOMPARE(child<QLabel>(&w, "TntL_New_Menu")->text(), caption);
        for (const char *name : {"I_New", "TntL_New_Menu"}) {
            const QString hint = child<QWidget>(&w, name)->toolTip();
            QVERIFY2(!hint.contains(QStringLiteral("<img")), qPrintable(hint));
            QTextDocument shown;
            shown.setHtml(hint);
            QCOMPARE(shown.toPlainText(), caption + QStringLiteral(" (Alt+1)"));
            QCOMPARE(child<QWidget>(&w, name)->accessibleName(), caption);
        }
    }

    // Each menu entry's icon and caption name the entry's shortcut in their
    // tooltip, in the window's language; a screen reader says the caption.
    void menuHintsNameTheirShortcut_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        const struct
        {
            const char *icon;
            const char *caption;
            const char *english;
            const char *german;
        } entries[] = {
            {"I_New", "TntL_New_Menu", "New Configuration (Alt+1)", "Neue Konfiguration (Alt+1)"},
            {"I_load", "TntL_Load_Menu", "Load Configuration (Alt+2)", "Konfiguration laden (Alt+2)"},
            {"I_Save", "TntL_Save_Menu", "Save Configuration (Alt+3)", "Konfiguration speichern (Alt+3)"},
            {"I_Update", "TntL_Update_Menu", "Update Device (Alt+4)", "Gerät aktualisieren (Alt+4)"},
            {"I_Preferences", "TntL_Preference_Menu", "Software Preferences (Alt+5)",
             "Programmeinstellungen (Alt+5)"},
            {"I_Phone", "TntL_Phone_Menu", "Phone Settings (Alt+6)", "Telefon (Alt+6)"},
            {"I_Input", "TntL_Input_Menu", "Input Settings (Alt+7)", "Eingänge (Alt+7)"},
            {"I_Output", "TntL_Output_Menu", "Output Settings (Alt+8)", "Ausgänge (Alt+8)"},
            {"I_Date", "TntL_Date_Menu", "Date & Time Settings (Alt+9)", "Datum & Uhrzeit (Alt+9)"},
        };
        for (const auto &e : entries) {
            QTest::addRow("English %s", e.caption)
                << 1 << QString::fromLatin1(e.icon) << QString::fromLatin1(e.caption)
                << QString::fromUtf8(e.english);
            QTest::addRow("Deutsch %s", e.caption)
                << 3 << QString::fromLatin1(e.icon) << QString::fromLatin1(e.caption)
                << QString::fromUtf8(e.german);
        }
    }

    void menuHintsNameTheirShortcut()
    {
        QFETCH(int, language);
        QFETCH(QString, icon);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        OpenConfiguration open(Configuration{}, language);
        for (const QString &name : {icon, caption}) {
            auto *control = open.w().findChild<QWidget *>(name);
            QVERIFY2(control, qPrintable(name));
            QCOMPARE(control->toolTip(), hint);
            QCOMPARE(control->accessibleName(), hint.left(hint.lastIndexOf(QStringLiteral(" ("))));
        }
    }

    // The About icon's tooltip and name, and the explanation of each return
    // level, follow the language chosen on the Preferences page.
    void aboutAndReturnLevelHintsFollowTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("aboutHint");
        QTest::addColumn<QString>("returnLevel");
        QTest::newRow("English") << 1 << QStringLiteral("About (F1)")
                                 << QStringLiteral("Return level (RTN) of the high alarm");
        QTest::newRow("Italiano") << 2 << QStringLiteral("Informazioni sul programma (F1)")
                                  << QStringLiteral("Livello di ritorno (RTN) della soglia alta");
        QTest::newRow("Deutsch") << 3 << QStringLiteral("Über das Programm (F1)")
                                 << QStringLiteral("Rückkehrwert (RTN) des oberen Schwellwerts");
        QTest::newRow("Espanol") << 4 << QStringLiteral("Acerca del programa (F1)")
                                 << QStringLiteral("Valor de retorno (RET) del valor alto");
    }

    void aboutAndReturnLevelHintsFollowTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, aboutHint);
        QFETCH(QString, returnLevel);
        // Start in another language, so the texts must change.
        OpenConfiguration open(Configuration{}, language == 1 ? 3 : 1);
        MainWindow &w = open.w();
        clickMenu(w, "TntL_Preference_Menu");
        const char *radios[] = {nullptr, "TntRB_Leng_English", "TntRB_Leng_Italian", "TntRB_Leng_German",
                                "TntRB_Leng_Spanish"};
        child<QRadioButton>(&w, radios[language])->click();
        QCOMPARE(w.session().languageCode(), language);
        auto *about = child<QWidget>(&w, "I_About");
        QCOMPARE(about->toolTip(), aboutHint);
        QCOMPARE(about->accessibleName(), aboutHint.chopped(5));
        const QString high = child<QLabel>(&w, "TntL_AI1_High_RTN")->toolTip();
        const QString low = child<QLabel>(&w, "TntL_AI1_Low_RTN")->toolTip();
        QVERIFY2(high.startsWith(returnLevel), qPrintable(high));
        QVERIFY2(!low.isEmpty() && low != high, qPrintable(low));
        QCOMPARE(child<QLabel>(&w, "TntL_AI1_Low_RTN")->accessibleDescription(), low);
    }

    // In the language list the arrow keys only move the focus; Space, Enter
    // and a click apply the focused language (texts and settings file).
    void languageListAppliesOnlyAChoice_data()
    {
        QTest::addColumn<QString>("click");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<int>("language");
        const QString en = QStringLiteral("TntRB_Leng_English");
        const QString it = QStringLiteral("TntRB_Leng_Italian");
        const QString de = QStringLiteral("TntRB_Leng_German");
        const QString es = QStringLiteral("TntRB_Leng_Spanish");
        QTest::newRow("Down") << QString() << QList<int>{Qt::Key_Down} << it << 1;
        QTest::newRow("Down Down Right")
            << QString() << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Right} << es << 1;
        QTest::newRow("Right past the end")
            << QString() << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Down}
            << es << 1;
        QTest::newRow("Up at the top") << QString() << QList<int>{Qt::Key_Up} << en << 1;
        QTest::newRow("Down Down Up Left")
            << QString() << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Left} << en << 1;
        QTest::newRow("Space on the chosen one") << QString() << QList<int>{Qt::Key_Space} << en << 1;
        QTest::newRow("Down Space") << QString() << QList<int>{Qt::Key_Down, Qt::Key_Space} << it << 2;
        QTest::newRow("Down Down Enter")
            << QString() << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Enter} << de << 3;
        QTest::newRow("Down Down Down Return")
            << QString() << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << es << 4;
        QTest::newRow("click German") << de << QList<int>{} << de << 3;
        QTest::newRow("click German, then Up") << de << QList<int>{Qt::Key_Up} << it << 3;
    }

    void languageListAppliesOnlyAChoice()
    {
        QFETCH(QString, click);
        QFETCH(QList<int>, keys);
        QFETCH(QString, focused);
        QFETCH(int, language);
        OpenConfiguration open(Configuration{}, 1);
        MainWindow &w = open.w();
        QVERIFY(activated(w));
        clickMenu(w, "TntL_Preference_Menu");
        const QString settings = QStringLiteral("Setting/setting.xml");
        open.folder.writeFile(settings, "untouched");
        child<QRadioButton>(&w, "TntRB_Leng_English")->setFocus(Qt::TabFocusReason);
        if (!click.isEmpty())
            QTest::mouseClick(child<QRadioButton>(&w, qPrintable(click)), Qt::LeftButton);
        for (int key : keys)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
        QCOMPARE(w.session().languageCode(), language);
        const char *radios[] = {nullptr, "TntRB_Leng_English", "TntRB_Leng_Italian", "TntRB_Leng_German",
                                "TntRB_Leng_Spanish"};
        QVERIFY(child<QRadioButton>(&w, radios[language])->isChecked());
        const char *newMenu[] = {nullptr, "New Configuration", "Nuova configurazione", "Neue Konfiguration",
                                 "Nueva configuración"};
        QCOMPARE(child<QLabel>(&w, "TntL_New_Menu")->text(), QString::fromUtf8(newMenu[language]));
        const QByteArray written = open.folder.readFile(settings);
        if (language == 1)
            QCOMPARE(written, QByteArray("untouched"));
        else
            QVERIFY2(
                written.contains(QByteArray("<Language>") + QByteArray::number(language) + "</Language>"),
                written.constData());
    }
};

QTEST_MAIN(TestWindowKeys)
#include "tst_window_keys.moc"
