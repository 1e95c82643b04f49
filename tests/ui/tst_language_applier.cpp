// Putting a language's texts on a window: controls found by name, accelerators
// kept where the control draws them, table headers, the title label.
#include "lang/LanguageTexts.h"
#include "ui/LanguageApplier.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace {

const QByteArray kItalianFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<Language><FMain>
  <Title_Panel><Telvarin>Titolo &lt;b&gt;grassetto&lt;/b&gt;</Telvarin></Title_Panel>
  <Pan_Menu><TntL_New_Menu>&amp;Nuova &amp;&amp; vuota</TntL_New_Menu></Pan_Menu>
  <P_Output><P_Dig_Out_Set><P_DigOut_1>
    <P_DO1_SMS>
      <CB_DO1_SMS_SET>&amp;Attiva uscita</CB_DO1_SMS_SET>
      <SG_DO1_SMS_T1>Numero &amp;&amp; nome</SG_DO1_SMS_T1>
    </P_DO1_SMS>
  </P_DigOut_1></P_Dig_Out_Set></P_Output>
</FMain></Language>
)";

template <typename W>
W *add(QWidget *parent, const char *name, const QString &text = QStringLiteral("design"))
{
    auto *widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    if constexpr (requires { widget->setText(text); })
        widget->setText(text);
    parent->layout()->addWidget(widget);
    return widget;
}

} // namespace

class TestLanguageApplier : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_window.reset(); }
    void captions_data();
    void captions();
    void headers_data();
    void headers();
    void checkBoxAccelerator_followsTheCaption();
    void keyNamingTwoControls_isReported();
    void titleLabel_showsMarkupAsText();
    void secondLanguage_replacesTheFirst();
    void withoutMnemonics_data();
    void withoutMnemonics();

private:
    lang::LanguageTexts italian();

    std::unique_ptr<QWidget> m_window;
};

void TestLanguageApplier::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->setObjectName(QStringLiteral("FMain"));
    new QVBoxLayout(m_window.get());
    add<QLabel>(m_window.get(), "TntL_Title");
    add<QLabel>(m_window.get(), "TntL_New_Menu");
    auto *buddied = add<QLabel>(m_window.get(), "TntL_DT_Set_DateTime");
    buddied->setBuddy(add<QLineEdit>(m_window.get(), "E_DT_Hour", QString()));
    add<QCheckBox>(m_window.get(), "CB_DO1_SMS_SET");
    add<QRadioButton>(m_window.get(), "TntRB_Leng_Spanish");
    add<QPushButton>(m_window.get(), "TntB_DT_SDT_GetDT");
    add<QLabel>(m_window.get(), "COMPort_Connected");
    add<QLineEdit>(m_window.get(), "TntL_Pro_Week_Mon");
    add<QLabel>(m_window.get(), "TntL_Not_A_Key");

    auto *panel = add<QWidget>(m_window.get(), "P_DigIn_1");
    new QVBoxLayout(panel);
    auto *inner = add<QWidget>(panel, "P_Inner");
    new QVBoxLayout(inner);
    add<QLabel>(inner, "TntL_DI1");

    auto *smsTable = add<QTableView>(m_window.get(), "SG_SMS_DI1_F0T1");
    smsTable->setModel(new QStandardItemModel(1, 3, smsTable));
    auto *outTable = add<QTableView>(m_window.get(), "SG_DO1_SMS");
    outTable->setModel(new QStandardItemModel(1, 2, outTable));
}

lang::LanguageTexts TestLanguageApplier::italian()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("Lang_ITA.xml")));
    if (!file.open(QIODevice::WriteOnly) || file.write(kItalianFile) != kItalianFile.size())
        qFatal("cannot write the language file");
    file.close();
    lang::LanguageTexts texts;
    texts.applyLanguage(2, dir.path());
    return texts;
}

void TestLanguageApplier::captions_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("expected"); // text() of the label or button

    QTest::newRow("label without buddy: && shows one &, a single & is not shown") << "TntL_New_Menu"
                                                                                  << "Nuova & vuota";
    QTest::newRow("label with buddy keeps the accelerator form") << "TntL_DT_Set_DateTime"
                                                                 << "Set Date && Time";
    QTest::newRow("check box keeps the accelerator form") << "CB_DO1_SMS_SET"
                                                          << "&Attiva uscita";
    QTest::newRow("push button") << "TntB_DT_SDT_GetDT"
                                 << "Set PC Date && Time";
    QTest::newRow("radio button with a non-ASCII caption")
        << "TntRB_Leng_Spanish" << QStringLiteral("Espa\u00F1ol");
    QTest::newRow("label inside nested panels") << "TntL_DI1"
                                                << "Digital Input 1";
    QTest::newRow("a message key sets no control") << "COMPort_Connected"
                                                   << "design";
    QTest::newRow("a name that is no key keeps its caption") << "TntL_Not_A_Key"
                                                             << "design";
}

void TestLanguageApplier::captions()
{
    QFETCH(QString, control);
    QFETCH(QString, expected);

    ui::applyLanguageTexts(m_window.get(), italian());

    QWidget *widget = m_window->findChild<QWidget *>(control);
    QVERIFY(widget);
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), expected);
    else
        QCOMPARE(qobject_cast<QAbstractButton *>(widget)->text(), expected);
}

void TestLanguageApplier::headers_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("input table gets its three built-in headers")
        << "SG_SMS_DI1_F0T1" << QStringList{"SMS Message", "Phone Number", "Description"};
    QTest::newRow("header from the file shows && as one &, a missing third column is skipped")
        << "SG_DO1_SMS" << QStringList{"Numero & nome", "Profile"};
}

void TestLanguageApplier::headers()
{
    QFETCH(QString, table);
    QFETCH(QStringList, expected);

    ui::applyLanguageTexts(m_window.get(), italian());

    auto *widget = m_window->findChild<QTableView *>(table);
    QVERIFY(widget);
    QCOMPARE(widget->model()->columnCount(), expected.size());
    for (int column = 0; column < expected.size(); ++column)
        QCOMPARE(widget->model()->headerData(column, Qt::Horizontal).toString(), expected[column]);
}

void TestLanguageApplier::keyNamingTwoControls_isReported()
{
    QCOMPARE(ui::applyLanguageTexts(m_window.get(), italian()), QStringList());
    // A second check box and a second table of the same names.
    add<QCheckBox>(m_window.get(), "CB_DO1_SMS_SET");
    add<QTableView>(m_window.get(), "SG_SMS_DI1_F0T1");
    QCOMPARE(ui::applyLanguageTexts(m_window.get(), italian()),
             (QStringList{"SG_SMS_DI1_F0T1", "CB_DO1_SMS_SET"}));
}

void TestLanguageApplier::checkBoxAccelerator_followsTheCaption()
{
    ui::applyLanguageTexts(m_window.get(), italian());
    auto *box = m_window->findChild<QCheckBox *>(QStringLiteral("CB_DO1_SMS_SET"));
    QCOMPARE(box->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));
}

void TestLanguageApplier::titleLabel_showsMarkupAsText()
{
    ui::applyLanguageTexts(m_window.get(), italian());
    auto *title = m_window->findChild<QLabel *>(QStringLiteral("TntL_Title"));
    QCOMPARE(title->text(), QStringLiteral("Titolo <b>grassetto</b>"));
    QCOMPARE(title->textFormat(), Qt::PlainText);
}

void TestLanguageApplier::secondLanguage_replacesTheFirst()
{
    ui::applyLanguageTexts(m_window.get(), italian());
    ui::applyLanguageTexts(m_window.get(), lang::LanguageTexts());

    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("TntL_New_Menu"))->text(),
             QStringLiteral("New Configuration"));
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("TntL_Title"))->text(), QStringLiteral("Telvarin"));
    QCOMPARE(m_window->findChild<QTableView *>(QStringLiteral("SG_DO1_SMS"))
                 ->model()
                 ->headerData(0, Qt::Horizontal)
                 .toString(),
             QStringLiteral("Phone Number"));
}

void TestLanguageApplier::withoutMnemonics_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shown");

    QTest::newRow("plain") << "Digital Input 1"
                           << "Digital Input 1";
    QTest::newRow("accelerator hidden") << "&Open Port"
                                        << "Open Port";
    QTest::newRow("double ampersand") << "Date && Time"
                                      << "Date & Time";
    QTest::newRow("literal then accelerator") << "&&&x"
                                              << "&x";
    QTest::newRow("two literals") << "&&&&"
                                  << "&&";
    QTest::newRow("trailing single ampersand") << "Save&"
                                               << "Save";
    QTest::newRow("empty") << ""
                           << "";
}

void TestLanguageApplier::withoutMnemonics()
{
    QFETCH(QString, caption);
    QFETCH(QString, shown);
    QCOMPARE(ui::withoutMnemonics(caption), shown);
}

QTEST_MAIN(TestLanguageApplier)
#include "tst_language_applier.moc"
