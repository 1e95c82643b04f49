// The configuration sheet holds what the device gets: checked against the
// image the same configuration builds, in HTML and in the PDF's own text,
// with the secrets masked unless asked for.
#include "common/random_configuration.h"
#include "config/ConfigurationChecks.h"
#include "config/ConfigurationFile.h"
#include "config/XmlTree.h"
#include "helper_sheet.h"
#include "image/ImageBuilder.h"
#include "report/HtmlSheet.h"
#include "pdf/PdfSheet.h"
#include "report/SheetBuilder.h"

#include <QRegularExpression>
#include <QTest>

using namespace testsheet;

namespace {

QString randomText(QRandomGenerator &r, const QString &alphabet, int minLength, int maxLength)
{
    QString out;
    const int length = minLength + int(r.bounded(maxLength - minLength + 1));
    for (int i = 0; i < length; ++i)
        out.append(alphabet[int(r.bounded(quint32(alphabet.size())))]);
    return out;
}

QString randomPhone(QRandomGenerator &r)
{
    return QStringLiteral("+39") + randomText(r, QStringLiteral("0123456789"), 6, 10);
}

// The generator of the image tests, with distinct texts in every table,
// command and secret, so that each can be looked for on the sheet.
config::Configuration randomRichConfiguration(QRandomGenerator &r)
{
    config::Configuration c = testconfig::randomConfiguration(r);
    const QString messageLetters = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789 <>&\"'èß€.,");
    c.pin = QStringLiteral("7") + randomText(r, QStringLiteral("0123456789"), 7, 7);
    auto inputRows = [&](config::SmsTable &t) {
        QList<config::TableRow> rows;
        for (int i = 0, n = 1 + int(r.bounded(4)); i < n; ++i)
            rows.append(
                {randomText(r, messageLetters, 1, 64), randomPhone(r), randomText(r, messageLetters, 0, 20)});
        t.setRows(rows);
    };
    for (config::DigitalInput &d : c.digitalInputs) {
        inputRows(d.f0t1.list);
        inputRows(d.f1t0.list);
    }
    inputRows(c.analogInput.high.list);
    inputRows(c.analogInput.low.list);
    for (config::DigitalOutput &o : c.digitalOutputs) {
        o.sms.set = r.bounded(2);
        o.sms.reset = r.bounded(2);
        o.sms.setText = QStringLiteral("ON") + randomText(r, QStringLiteral("ABCXYZ"), 3, 6);
        o.sms.resetText = QStringLiteral("OFF") + randomText(r, QStringLiteral("ABCXYZ"), 3, 6);
        o.sms.impulseText = QStringLiteral("PULSE") + randomText(r, QStringLiteral("ABCXYZ"), 3, 6);
        o.sms.checkPassword = r.bounded(2);
        o.sms.sendBack = r.bounded(2);
        o.sms.password = QStringLiteral("Pw") + randomText(r, QStringLiteral("QRSTUVWXYZ"), 6, 6);
        QList<config::TableRow> numbers;
        for (int i = 0, n = 1 + int(r.bounded(3)); i < n; ++i)
            numbers.append({randomPhone(r), QString::number(r.bounded(10)), QStringLiteral("d")});
        o.sms.list.setRows(numbers);
        o.call.list.setRows(numbers.mid(0, 1) +
                            QList<config::TableRow>{{randomPhone(r), QString(), QString()}});
    }
    for (config::WeeklyProfile &w : c.weeklyProfiles) {
        w.enabled = r.bounded(2);
        for (config::DaySlots &day : w.days)
            for (bool &slot : day)
                slot = r.bounded(3) == 0;
    }
    for (config::DailyProfile &d : c.dailyProfiles) {
        d.enabled = r.bounded(2);
        for (bool &slot : d.timeSlots)
            slot = r.bounded(3) == 0;
    }
    return c;
}

std::optional<image::ImageModel> imageOf(const config::Configuration &c)
{
    const config::XmlParseResult parsed = config::xmltree::parse(config::serializeConfiguration(c));
    if (!parsed.root)
        return std::nullopt;
    const image::CompileResult compiled = image::compileConfiguration(*parsed.root);
    if (!compiled.ok())
        return std::nullopt;
    return compiled.model;
}

report::Report sheetOf(const config::Configuration &c, const lang::LanguageTexts &t, bool secrets,
                       int code = 1)
{
    report::SheetOptions options;
    options.configurationName = QStringLiteral("Plant <A> & \"B\"");
    options.date = QDateTime(QDate(2026, 3, 14), QTime(9, 26));
    options.programVersion = QStringLiteral("1.0.0");
    options.includeSecrets = secrets;
    options.languageCode = code;
    options.configurationXml = config::serializeConfiguration(c);
    return report::buildSheet(c, t, options);
}

// The words the sheet gives a CALL action code of output n.
QString actionWords(const lang::LanguageTexts &t, int output, const QString &outcome, quint32 action)
{
    const QString prefix = QStringLiteral("RB_DO%1_CALL_%2_").arg(output).arg(outcome);
    if (action & (output == 1 ? 0x01 : 0x04))
        return t.text(prefix + QStringLiteral("SET"));
    if (action & (output == 1 ? 0x02 : 0x08))
        return t.text(prefix + QStringLiteral("RESET"));
    return t.text(prefix + QStringLiteral("IMPULSE")) + QStringLiteral(", %1 ms").arg(action >> 16);
}

} // namespace

class TestSheet : public QObject
{
    Q_OBJECT

private slots:
    void htmlHoldsEverythingTheImageHolds_data()
    {
        QTest::addColumn<bool>("secrets");
        QTest::newRow("secrets masked") << false;
        QTest::newRow("secrets shown") << true;
    }

    void htmlHoldsEverythingTheImageHolds()
    {
        QFETCH(bool, secrets);
        const lang::LanguageTexts t = texts(1);
        QRandomGenerator random(2603);
        int compared = 0;
        for (int i = 0; i < 300 && compared < 40; ++i) {
            const config::Configuration c = randomRichConfiguration(random);
            const std::optional<image::ImageModel> model = imageOf(c);
            if (config::firstFailure(c) || !model)
                continue;
            ++compared;
            const QByteArray html = report::renderHtml(sheetOf(c, t, secrets));
            const QString text = htmlTexts(html).join(u'\n');
            auto holds = [&](const QString &what, const QString &kind) {
                QVERIFY2(
                    text.contains(what),
                    qPrintable(QStringLiteral("%1 %2 missing in sheet %3").arg(kind, what).arg(compared)));
            };
            for (const QByteArray &phone : model->phoneNumbers)
                holds(QString::fromLatin1(phone), QStringLiteral("phone number"));
            for (const QString &message : model->messages)
                holds(message, QStringLiteral("message or command text"));
            for (const image::InputEvent &e : model->inputEvents) {
                if (e.flags)
                    holds(QString::number(e.timeDelay), QStringLiteral("delay"));
            }
            for (const image::SmsEvent &e : model->smsEvents) {
                if (e.action & (image::action::kImpulseOutput1 | image::action::kImpulseOutput2))
                    holds(QString::number(e.action >> 16), QStringLiteral("pulse duration"));
                for (const image::PhoneProfile &p : e.allowedNumbers)
                    holds(report::profileName(QString::number(p.profile), t), QStringLiteral("profile"));
            }
            for (const image::CallEvent &e : model->callEvents) {
                const int output = (e.underRingAction | e.aboveRingAction | e.hangUpAction) & 0x2C ? 2 : 1;
                holds(report::profileName(QString::number(e.profile), t), QStringLiteral("profile"));
                holds(QString::number(e.ringNumber), QStringLiteral("ring number"));
                holds(QString::number(e.hangUpRings), QStringLiteral("hang-up rings"));
                const std::pair<QString, quint32> outcomes[] = {{QStringLiteral("Under"), e.underRingAction},
                                                                {QStringLiteral("Above"), e.aboveRingAction},
                                                                {QStringLiteral("Hang"), e.hangUpAction}};
                for (const auto &[outcome, action] : outcomes) {
                    if (action)
                        holds(actionWords(t, output, outcome, action), QStringLiteral("CALL rule"));
                }
            }
            // The secrets: on the sheet only when asked for, and then in full.
            const QStringList secretsOfImage = QStringList(model->passwords)
                                               << QString::fromLatin1(model->pin);
            for (const QString &secret : secretsOfImage) {
                if (secrets)
                    holds(secret, QStringLiteral("secret"));
                else
                    QVERIFY2(!html.contains(secret.toUtf8()), qPrintable(secret));
            }
            QVERIFY(text.contains(QString::fromUtf16(report::kMask)) != secrets);
        }
        QVERIFY2(compared >= 20, qPrintable(QString::number(compared)));
    }

    void htmlEscapesMarkupInTexts()
    {
        config::Configuration c;
        c.setNewDefaults();
        c.digitalInputs[0].f0t1.enSms = true;
        c.digitalInputs[0].f0t1.timeDelay = QStringLiteral("10");
        c.digitalInputs[0].f0t1.list.setRows(
            {{QStringLiteral("a<b>&\"c\"<script>x</script>"), QStringLiteral("+391"), QStringLiteral("d")}});
        const QByteArray html = report::renderHtml(sheetOf(c, texts(1), false));
        QVERIFY(html.contains("a&lt;b&gt;&amp;&quot;c&quot;&lt;script&gt;x&lt;/script&gt;"));
        QVERIFY(!html.contains("<b>"));
        QVERIFY(!html.contains("<script"));
        // Nothing fetched from elsewhere: no script, no link, no source.
        QVERIFY(!html.contains(" src="));
        QVERIFY(!html.contains("<link"));
        QVERIFY(!html.contains("url("));
        QVERIFY(html.contains("Plant &lt;A&gt; &amp; &quot;B&quot;"));
    }

    void pdfTextHoldsWhatTheHtmlHolds_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("paper");
        QTest::newRow("English A4") << 1 << int(report::Paper::A4);
        QTest::newRow("Italian A4") << 2 << int(report::Paper::A4);
        QTest::newRow("German Letter") << 3 << int(report::Paper::Letter);
        QTest::newRow("Spanish A4") << 4 << int(report::Paper::A4);
    }

    void pdfTextHoldsWhatTheHtmlHolds()
    {
        QFETCH(int, code);
        QFETCH(int, paper);
        const report::Report sheet = sheetOf(richConfiguration(), texts(code), true, code);
        const QByteArray pdf = report::renderPdf(sheet, report::Paper(paper));
        QVERIFY(pdf.startsWith("%PDF"));
        const int pages = pdfPageCount(pdf);
        QVERIFY(pages >= 2);
        const QString pdfText = testsheet::pdfText(pdf);
        QVERIFY(!pdfText.isEmpty());
        const QString pdfSqueezed = squeezed(pdfText);
        const QStringList htmlTexts = testsheet::htmlTexts(report::renderHtml(sheet));
        for (const QString &text : htmlTexts)
            QVERIFY2(pdfSqueezed.contains(squeezed(text)), qPrintable(text));
        // And nothing on the pages that the HTML lacks, but the footers.
        const QString htmlSqueezed = squeezed(htmlTexts.join(QString()));
        const QRegularExpression footer(QStringLiteral("^(%1)?\\s*(\\d+ / %2)?$")
                                            .arg(QRegularExpression::escape(sheet.configurationName))
                                            .arg(pages));
        for (const QString &line : pdfText.split(u'\n')) {
            const QString s = squeezed(line);
            if (footer.match(line.trimmed()).hasMatch())
                continue;
            QVERIFY2(htmlSqueezed.contains(s), qPrintable(line));
        }
        for (int page = 1; page <= pages; ++page) {
            const QString onPage = testsheet::pdfText(pdf, page);
            QVERIFY2(onPage.contains(QStringLiteral("%1 / %2").arg(page).arg(pages)), qPrintable(onPage));
            QVERIFY(onPage.contains(sheet.configurationName));
        }
    }

    void longTableRepeatsItsHeaderOnEveryPage_data()
    {
        QTest::addColumn<int>("paper");
        QTest::newRow("A4") << int(report::Paper::A4);
        QTest::newRow("Letter") << int(report::Paper::Letter);
    }

    void longTableRepeatsItsHeaderOnEveryPage()
    {
        QFETCH(int, paper);
        config::Configuration c;
        c.setNewDefaults();
        config::InputEvent &e = c.digitalInputs[0].f0t1;
        e.enSms = true;
        e.timeDelay = QStringLiteral("100");
        QList<config::TableRow> rows;
        for (int i = 1; i <= 200; ++i)
            rows.append({QStringLiteral("Row%1 message").arg(i, 3, 10, QLatin1Char('0')),
                         QStringLiteral("+39%1").arg(i), QStringLiteral("desc")});
        e.list.setRows(rows);
        const lang::LanguageTexts t = texts(1);
        const QString header = t.text(u"SG_SMS_DI1_F0T1_T1");
        const QByteArray pdf = report::renderPdf(sheetOf(c, t, false), report::Paper(paper));
        const int pages = pdfPageCount(pdf);
        QVERIFY2(pages >= 4, qPrintable(QString::number(pages)));
        int next = 1; // the row expected next, in order across the pages
        int pagesWithRows = 0;
        for (int page = 1; page <= pages; ++page) {
            const QString text = pdfText(pdf, page);
            const QRegularExpression row(QStringLiteral("Row(\\d{3}) message"));
            QRegularExpressionMatchIterator it = row.globalMatch(text);
            if (!it.hasNext()) {
                QVERIFY2(!text.contains(header),
                         qPrintable(QStringLiteral("header alone on page %1").arg(page)));
                continue;
            }
            ++pagesWithRows;
            const QRegularExpressionMatch first = it.peekNext();
            const qsizetype headerAt = text.indexOf(header);
            QVERIFY2(headerAt >= 0 && headerAt < first.capturedStart(),
                     qPrintable(QStringLiteral("page %1 has rows without the header").arg(page)));
            while (it.hasNext()) {
                QCOMPARE(it.next().captured(1).toInt(), next);
                ++next;
            }
        }
        QCOMPARE(next, 201);
        QVERIFY(pagesWithRows >= 3);
    }

    void profileNames_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("name");
        QTest::newRow("empty is profile 0") << ""
                                            << "0 - Always";
        QTest::newRow("weekly") << "1"
                                << "1 - Weekly 1";
        QTest::newRow("last weekly") << "3"
                                     << "3 - Weekly 3";
        QTest::newRow("daily") << "4"
                               << "4 - Daily 1";
        QTest::newRow("last daily") << "6"
                                    << "6 - Daily 3";
        QTest::newRow("no profile of that number") << "9"
                                                   << "9";
        QTest::newRow("sign and zeros") << "+02"
                                        << "2 - Weekly 2";
        QTest::newRow("not a number") << "a"
                                      << "a";
    }

    void profileNames()
    {
        QFETCH(QString, cell);
        QFETCH(QString, name);
        QCOMPARE(report::profileName(cell, texts(1)), name);
    }

    void digestOnlyBesideTheSecrets()
    {
        const config::Configuration c = richConfiguration();
        const lang::LanguageTexts t = texts(1);
        const QString digestLabel = t.text(u"Rep_Image_Sha256");
        auto digest = [&](bool secrets) {
            for (const report::Field &f : sheetOf(c, t, secrets).summary) {
                if (f.label == digestLabel)
                    return f.value;
            }
            return QString();
        };
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9a-f]{64}$")).match(digest(true)).hasMatch());
        QCOMPARE(digest(false), t.text(u"Rep_Digest_Needs_Secrets"));
    }
};

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
