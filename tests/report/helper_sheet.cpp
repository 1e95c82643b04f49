#include "helper_sheet.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace testsheet {

config::Configuration richConfiguration()
{
    config::Configuration c;
    c.setNewDefaults();
    c.pin = QStringLiteral("73914");
    c.dst = true;
    int phone = 0;
    auto nextPhone = [&phone] { return QStringLiteral("+3934712%1").arg(++phone, 4, 10, QLatin1Char('0')); };
    const QStringList messages{QStringLiteral("Door opened <front> & \"hall\""),
                               QStringLiteral("Tür geöffnet – Alarm € 1"), QStringLiteral("Power back"),
                               QStringLiteral("Batería baja, revisar")};
    auto inputRows = [&](config::SmsTable &t, int n) {
        QList<config::TableRow> rows;
        for (int i = 0; i < n; ++i)
            rows.append({messages[i % messages.size()], nextPhone(), QStringLiteral("Guard %1").arg(phone)});
        t.setRows(rows);
    };
    for (config::DigitalInput &d : c.digitalInputs) {
        for (config::InputEvent *e : {&d.f0t1, &d.f1t0}) {
            e->enSms = true;
            e->timeDelay = QStringLiteral("250");
            inputRows(e->list, 2);
        }
    }
    c.analogInput.high = {true, QStringLiteral("11.5"), QStringLiteral("1500"), QStringLiteral("10.5"), {}};
    c.analogInput.low = {true, QStringLiteral("9,25"), QStringLiteral("2000"), QStringLiteral("10"), {}};
    inputRows(c.analogInput.high.list, 2);
    inputRows(c.analogInput.low.list, 1);
    for (int n = 0; n < config::kDigitalOutputs; ++n) {
        config::OutputSms &s = c.digitalOutputs[n].sms;
        s.enable = s.set = s.reset = s.impulse = true;
        s.setText = QStringLiteral("GATE%1 OPEN").arg(n + 1);
        s.resetText = QStringLiteral("GATE%1 CLOSE").arg(n + 1);
        s.impulseText = QStringLiteral("GATE%1 PULSE").arg(n + 1);
        s.delayImpulse = QStringLiteral("%1").arg(500 + n);
        s.checkPassword = s.checkPhoneNumber = s.sendBack = true;
        s.password = QStringLiteral("Pq%1xz").arg(n + 7);
        s.list.setRows({{nextPhone(), QStringLiteral("1"), QStringLiteral("Owner")},
                        {nextPhone(), QStringLiteral("5"), QStringLiteral("Caretaker")}});
        config::OutputCall &k = c.digitalOutputs[n].call;
        k.enable = true;
        k.ringNumber = QStringLiteral("3");
        k.hangUpRing = QStringLiteral("6");
        k.under = {true, config::Operation::Set, QStringLiteral("0")};
        k.above = {true, config::Operation::Impulse, QStringLiteral("%1").arg(1200 + n)};
        k.hangUp = {true, config::Operation::Reset, QStringLiteral("0")};
        k.list.setRows({{nextPhone(), QString(), QStringLiteral("Anyone")},
                        {nextPhone(), QStringLiteral("2"), QStringLiteral("Night shift")}});
    }
    for (int w = 0; w < config::kWeeklyProfiles; ++w) {
        c.weeklyProfiles[w].enabled = true;
        for (int d = 0; d < config::kDaysPerWeek; ++d) {
            for (int s = 14 + 2 * w; s < 36 - d; ++s)
                c.weeklyProfiles[w].days[d][s] = true;
        }
    }
    for (int k = 0; k < config::kDailyProfiles; ++k) {
        c.dailyProfiles[k].enabled = true;
        for (int s = 4 * k; s < 20 + 8 * k; ++s)
            c.dailyProfiles[k].timeSlots[s] = true;
    }
    return c;
}

lang::LanguageTexts texts(int code)
{
    lang::LanguageTexts t;
    const QString missing = t.applyLanguage(code, QStringLiteral(TRENOV5X_SOURCE_DIR "/Language"));
    if (!missing.isEmpty())
        qWarning("missing language file %s", qPrintable(missing));
    return t;
}

QStringList htmlTexts(const QByteArray &html)
{
    QString page = QString::fromUtf8(html);
    page.remove(QRegularExpression(QStringLiteral("<head>.*</head>"),
                                   QRegularExpression::DotMatchesEverythingOption));
    QStringList out;
    for (const QString &piece : page.split(QRegularExpression(QStringLiteral("<[^>]*>")))) {
        QString text = piece;
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&#39;"), QStringLiteral("'"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        if (!text.trimmed().isEmpty())
            out.append(text);
    }
    return out;
}

QString pdfText(const QByteArray &pdf, int page)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("sheet.pdf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    QStringList args{QStringLiteral("-raw"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
             << QString::number(page);
    args << file.fileName() << QStringLiteral("-");
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPageCount(const QByteArray &pdf)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("sheet.pdf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return -1;
    file.close();
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {file.fileName()});
    if (!p.waitForFinished(30000))
        return -1;
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString squeezed(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (!c.isSpace())
            out.append(c);
    }
    return out;
}

} // namespace testsheet
