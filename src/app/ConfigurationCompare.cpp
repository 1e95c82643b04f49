#include "ConfigurationCompare.h"

#include "app/TableCatalog.h"
#include "config/XmlText.h"
#include "lang/LanguageTexts.h"

#include <QHash>
#include <QSet>
#include <vector>

namespace app {
namespace {

using config::Configuration;
using Place = Difference::Place;

class Lines
{
public:
    Lines(const lang::LanguageTexts &texts) : m_texts(texts) {}

    QString t(const char16_t *key) const
    {
        QString text = m_texts.text(QStringView(key));
        text.replace(QLatin1String("&&"), QLatin1String("&"));
        return text;
    }

    void setPlace(Place place, int index, const QString &caption)
    {
        m_place = place;
        m_index = index;
        m_caption = caption;
    }

    void add(const QString &what, int table = -1, int row = -1)
    {
        m_out.append({m_place, m_index, table, row, m_caption + QStringLiteral(": ") + what});
    }

    QString shown(const QString &text) const
    {
        return text.isEmpty() ? t(u"Cmp_Empty")
                              : QLatin1Char('\'') + config::quoted(text) + QLatin1Char('\'');
    }
    QString onOff(bool on) const { return on ? t(u"Cmp_On") : t(u"Cmp_Off"); }

    void text(const char16_t *field, const QString &a, const QString &b)
    {
        if (a != b)
            add(t(field) + u' ' + shown(a) + QStringLiteral(" → ") + shown(b));
    }
    void flag(const char16_t *field, bool a, bool b)
    {
        if (a != b)
            add(t(field) + u' ' + onOff(a) + QStringLiteral(" → ") + onOff(b));
    }

    const lang::LanguageTexts &texts() const { return m_texts; }
    QList<Difference> take() { return std::move(m_out); }

private:
    const lang::LanguageTexts &m_texts;
    Place m_place = Place::Phone;
    int m_index = 0;
    QString m_caption;
    QList<Difference> m_out;
};

// A row's cells as the file keeps them: rows without a message or number and
// without a description are not stored, so they are not compared.
struct Row
{
    int index; // in its table
    const config::TableRow *cells;
};

QList<Row> storedRows(const config::SmsTable &table)
{
    QList<Row> rows;
    for (qsizetype i = 0; i < table.rowCount(); ++i)
        if (!config::SmsTable::isBlank(table.row(i)))
            rows.append({int(i), &table.row(i)});
    return rows;
}

QString rowText(const config::TableRow &row)
{
    QStringList cells;
    for (const QString &cell : row)
        if (!cell.isEmpty())
            cells << config::quoted(cell);
    return cells.join(QStringLiteral(" · "));
}

enum class Edit { Keep, Remove, Add };

// The shortest edit script between the rows (longest common subsequence on
// the rows between the common start and end). Tables hold a few thousand
// rows; past a size the middle is compared row by row instead.
std::vector<std::pair<Edit, int>> editScript(const QList<Row> &a, const QList<Row> &b)
{
    auto same = [&](qsizetype i, qsizetype j) { return *a[i].cells == *b[j].cells; };
    qsizetype start = 0;
    while (start < a.size() && start < b.size() && same(start, start))
        ++start;
    qsizetype endA = a.size(), endB = b.size();
    while (endA > start && endB > start && same(endA - 1, endB - 1)) {
        --endA;
        --endB;
    }
    std::vector<std::pair<Edit, int>> script;
    for (qsizetype i = 0; i < start; ++i)
        script.push_back({Edit::Keep, int(i)});
    const qsizetype n = endA - start, m = endB - start;
    if (n * m > 16'000'000) {
        for (qsizetype i = 0; i < n; ++i)
            script.push_back({Edit::Remove, int(start + i)});
        for (qsizetype j = 0; j < m; ++j)
            script.push_back({Edit::Add, int(start + j)});
    } else {
        // lcs[i][j]: the longest common run of a[start+i..] and b[start+j..].
        std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
        for (qsizetype i = n - 1; i >= 0; --i)
            for (qsizetype j = m - 1; j >= 0; --j)
                lcs[i][j] = same(start + i, start + j) ? lcs[i + 1][j + 1] + 1
                                                       : std::max(lcs[i + 1][j], lcs[i][j + 1]);
        qsizetype i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && same(start + i, start + j)) {
                script.push_back({Edit::Keep, int(start + j)});
                ++i;
                ++j;
            } else if (j < m && (i == n || lcs[i][j + 1] >= lcs[i + 1][j])) {
                script.push_back({Edit::Add, int(start + j)});
                ++j;
            } else {
                script.push_back({Edit::Remove, int(start + i)});
                ++i;
            }
        }
    }
    for (qsizetype j = endB; j < b.size(); ++j)
        script.push_back({Edit::Keep, int(j)});
    return script;
}

void compareTable(Lines &lines, int table, const config::SmsTable &before, const config::SmsTable &after)
{
    if (before == after)
        return;
    const QList<Row> a = storedRows(before), b = storedRows(after);
    const auto script = editScript(a, b);
    const QStringList header = tableHeader(table, lines.texts());
    const QString row = lines.t(u"Cmp_Row");

    // Rows removed and added with the same content moved.
    QHash<QString, QList<int>> addedByText;
    for (const auto &[edit, k] : script)
        if (edit == Edit::Add)
            addedByText[rowText(*b[k].cells)].append(k);
    QList<int> movedTo; // per removed row, in script order
    QSet<int> movedAdds;
    for (const auto &[edit, k] : script) {
        if (edit != Edit::Remove)
            continue;
        QList<int> &targets = addedByText[rowText(*a[k].cells)];
        movedTo.append(targets.isEmpty() ? -1 : targets.takeFirst());
        if (movedTo.constLast() >= 0)
            movedAdds.insert(movedTo.constLast());
    }

    // Within a run of removals followed by additions, the n-th removed row
    // and the n-th added row that share a cell are one changed row.
    size_t s = 0;
    int removedSeen = 0;
    while (s < script.size()) {
        if (script[s].first == Edit::Keep) {
            ++s;
            continue;
        }
        QList<int> removed, added;
        QList<int> removedMoves;
        while (s < script.size() && script[s].first != Edit::Keep) {
            const auto [edit, k] = script[s++];
            if (edit == Edit::Remove) {
                const int to = movedTo[removedSeen++];
                if (to >= 0)
                    lines.add(row.arg(a[k].index + 1) + u' ' +
                                  lines.t(u"Cmp_Row_Moved").arg(b[to].index + 1) + u' ' +
                                  rowText(*a[k].cells),
                              table, b[to].index);
                else
                    removed.append(k);
            } else if (!movedAdds.contains(k)) {
                added.append(k);
            }
        }
        qsizetype paired = 0;
        for (; paired < removed.size() && paired < added.size(); ++paired) {
            const config::TableRow &x = *a[removed[paired]].cells, &y = *b[added[paired]].cells;
            bool shares = false;
            for (int c = 0; c < 3; ++c)
                shares = shares || (!x[c].isEmpty() && x[c] == y[c]);
            if (!shares)
                break;
            const int at = b[added[paired]].index;
            for (int c = 0; c < 3; ++c)
                if (x[c] != y[c])
                    lines.add(row.arg(at + 1) + QStringLiteral(", ") + header[c] + u' ' + lines.shown(x[c]) +
                                  QStringLiteral(" → ") + lines.shown(y[c]),
                              table, at);
        }
        for (qsizetype r = paired; r < removed.size(); ++r)
            lines.add(row.arg(a[removed[r]].index + 1) + u' ' + lines.t(u"Cmp_Row_Removed") + u' ' +
                          rowText(*a[removed[r]].cells),
                      table, a[removed[r]].index);
        for (qsizetype r = paired; r < added.size(); ++r)
            lines.add(row.arg(b[added[r]].index + 1) + u' ' + lines.t(u"Cmp_Row_Added") + u' ' +
                          rowText(*b[added[r]].cells),
                      table, b[added[r]].index);
    }
}

QString slotTime(int slot)
{
    return QStringLiteral("%1.%2")
        .arg(slot / 2, 2, 10, QLatin1Char('0'))
        .arg(slot % 2 ? 30 : 0, 2, 10, QLatin1Char('0'));
}

// The half hours switched on and off, as ranges "08.00-12.00".
void compareSlots(Lines &lines, const QString &prefix, const config::DaySlots &a, const config::DaySlots &b)
{
    for (const bool on : {true, false}) {
        QStringList ranges;
        for (int s = 0; s < config::kSlotsPerDay;) {
            if (a[s] != b[s] && b[s] == on) {
                int e = s;
                while (e + 1 < config::kSlotsPerDay && a[e + 1] != b[e + 1] && b[e + 1] == on)
                    ++e;
                ranges << slotTime(s) + u'-' +
                              (e + 1 == config::kSlotsPerDay ? QStringLiteral("24.00") : slotTime(e + 1));
                s = e + 1;
            } else {
                ++s;
            }
        }
        if (!ranges.isEmpty())
            lines.add(prefix + ranges.join(QStringLiteral(", ")) + u' ' +
                      lines.t(on ? u"Cmp_Slots_Added" : u"Cmp_Slots_Removed"));
    }
}

QString operationName(const Lines &lines, config::Operation op)
{
    switch (op) {
    case config::Operation::Set:
        return lines.t(u"Cmp_Op_Set");
    case config::Operation::Reset:
        return lines.t(u"Cmp_Op_Reset");
    case config::Operation::Impulse:
        break;
    }
    return lines.t(u"Cmp_Op_Pulse");
}

void compareAction(Lines &lines, const char16_t *name, const config::CallAction &a,
                   const config::CallAction &b)
{
    const QString prefix = lines.t(name) + QStringLiteral(", ");
    if (a.enable != b.enable)
        lines.add(prefix + lines.onOff(a.enable) + QStringLiteral(" → ") + lines.onOff(b.enable));
    if (a.operation != b.operation)
        lines.add(prefix + operationName(lines, a.operation) + QStringLiteral(" → ") +
                  operationName(lines, b.operation));
    if (a.delayTime != b.delayTime)
        lines.add(prefix + lines.t(u"Cmp_Pulse_Duration") + u' ' + lines.shown(a.delayTime) +
                  QStringLiteral(" → ") + lines.shown(b.delayTime));
}

} // namespace

QList<Difference> compareConfigurations(const Configuration &a, const Configuration &b,
                                        const lang::LanguageTexts &texts)
{
    Lines lines(texts);
    lines.setPlace(Place::Phone, 0, lines.t(u"Cmp_Place_Phone"));
    lines.text(u"Cmp_Pin", a.pin, b.pin);
    lines.flag(u"Cmp_Dst", a.dst, b.dst);

    const char16_t *eventKeys[6] = {u"Cmp_Place_Rise", u"Cmp_Place_Fall", u"Cmp_Place_Rise",
                                    u"Cmp_Place_Fall", u"Cmp_Place_High", u"Cmp_Place_Low"};
    for (int e = 0; e < 6; ++e) {
        lines.setPlace(Place::InputEvent, e,
                       e < 4 ? lines.t(eventKeys[e]).arg(e / 2 + 1) : lines.t(eventKeys[e]));
        if (e < 4) {
            const config::DigitalInput &da = a.digitalInputs[e / 2], &db = b.digitalInputs[e / 2];
            const config::InputEvent &x = e % 2 ? da.f1t0 : da.f0t1, &y = e % 2 ? db.f1t0 : db.f0t1;
            lines.flag(u"Cmp_Enabled", x.enSms, y.enSms);
            lines.text(u"Cmp_Delay", x.timeDelay, y.timeDelay);
        } else {
            const config::AnalogThreshold &x = e == 4 ? a.analogInput.high : a.analogInput.low;
            const config::AnalogThreshold &y = e == 4 ? b.analogInput.high : b.analogInput.low;
            lines.flag(u"Cmp_Enabled", x.enSms, y.enSms);
            lines.text(u"Cmp_Level", x.value, y.value);
            lines.text(u"Cmp_Return", x.valueHys, y.valueHys);
            lines.text(u"Cmp_Delay", x.timeDelay, y.timeDelay);
        }
        compareTable(lines, e, tableOf(a, e), tableOf(b, e));
    }

    for (int o = 0; o < config::kDigitalOutputs; ++o) {
        const config::OutputSms &x = a.digitalOutputs[o].sms, &y = b.digitalOutputs[o].sms;
        lines.setPlace(Place::OutputSms, o, lines.t(u"Cmp_Place_Output_Sms").arg(o + 1));
        lines.flag(u"Cmp_Enabled", x.enable, y.enable);
        lines.flag(u"Cmp_Set_On", x.set, y.set);
        lines.text(u"Cmp_Set_Text", x.setText, y.setText);
        lines.flag(u"Cmp_Reset_On", x.reset, y.reset);
        lines.text(u"Cmp_Reset_Text", x.resetText, y.resetText);
        lines.flag(u"Cmp_Pulse_On", x.impulse, y.impulse);
        lines.text(u"Cmp_Pulse_Text", x.impulseText, y.impulseText);
        lines.text(u"Cmp_Pulse_Duration", x.delayImpulse, y.delayImpulse);
        lines.flag(u"Cmp_Check_Number", x.checkPhoneNumber, y.checkPhoneNumber);
        lines.flag(u"Cmp_Check_Password", x.checkPassword, y.checkPassword);
        lines.text(u"Cmp_Password", x.password, y.password);
        lines.flag(u"Cmp_Echo", x.sendBack, y.sendBack);
        compareTable(lines, 6 + o * 2, x.list, y.list);

        const config::OutputCall &p = a.digitalOutputs[o].call, &q = b.digitalOutputs[o].call;
        lines.setPlace(Place::OutputCall, o, lines.t(u"Cmp_Place_Output_Call").arg(o + 1));
        lines.flag(u"Cmp_Enabled", p.enable, q.enable);
        lines.text(u"Cmp_Rings", p.ringNumber, q.ringNumber);
        lines.text(u"Cmp_HangUp_Rings", p.hangUpRing, q.hangUpRing);
        compareAction(lines, u"Cmp_Action_HangUp", p.hangUp, q.hangUp);
        compareAction(lines, u"Cmp_Action_Below", p.under, q.under);
        compareAction(lines, u"Cmp_Action_Above", p.above, q.above);
        compareTable(lines, 7 + o * 2, p.list, q.list);
    }

    const char16_t *weekly[3] = {u"TntL_Pro_Week1_Week1", u"TntL_Pro_Week1_Week2", u"TntL_Pro_Week1_Week3"};
    const char16_t *days[7] = {u"TntL_Pro_Week_Mon", u"TntL_Pro_Week_Tue", u"TntL_Pro_Week_Wed",
                               u"TntL_Pro_Week_Thu", u"TntL_Pro_Week_Fri", u"TntL_Pro_Week_Sat",
                               u"TntL_Pro_Week_Sun"};
    for (int p = 0; p < config::kWeeklyProfiles; ++p) {
        lines.setPlace(Place::WeeklyProfile, p, lines.t(weekly[p]));
        lines.flag(u"Cmp_Enabled", a.weeklyProfiles[p].enabled, b.weeklyProfiles[p].enabled);
        for (int d = 0; d < config::kDaysPerWeek; ++d)
            compareSlots(lines, lines.t(days[d]) + QStringLiteral(": "), a.weeklyProfiles[p].days[d],
                         b.weeklyProfiles[p].days[d]);
    }
    for (int p = 0; p < config::kDailyProfiles; ++p) {
        lines.setPlace(Place::DailyProfile, p, lines.t(u"Cmp_Place_Daily").arg(p + 1));
        lines.flag(u"Cmp_Enabled", a.dailyProfiles[p].enabled, b.dailyProfiles[p].enabled);
        compareSlots(lines, QString(), a.dailyProfiles[p].timeSlots, b.dailyProfiles[p].timeSlots);
    }
    return lines.take();
}

} // namespace app
