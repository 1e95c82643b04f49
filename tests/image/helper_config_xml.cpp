#include "helper_config_xml.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamWriter>
#include <functional>

namespace {

const char *const kDays[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

} // namespace

ConfigXml::ConfigXml()
{
    m_root.name = QStringLiteral("Configuration");
    set(QStringLiteral("Phone_Setting/PIN"), QString());
    set(QStringLiteral("Phone_Setting/DST"), QStringLiteral("0"));
    for (int n = 1; n <= 2; ++n) {
        for (const char *edge : {"F0T1", "F1T0"}) {
            set(digitalInput(n) + QStringLiteral("En_SMS_") + QLatin1String(edge), QStringLiteral("0"));
            set(digitalInput(n) + QStringLiteral("Time_Delay_") + QLatin1String(edge), QStringLiteral("100"));
            set(digitalInput(n) + QStringLiteral("List_SMS_") + QLatin1String(edge), QString());
        }
    }
    const struct
    {
        const char *side, *value, *hys;
    } sides[] = {{"High", "7,5", "6,5"}, {"Low", "2", "3"}};
    for (const auto &side : sides) {
        const QString s = QLatin1String(side.side);
        set(analogInput() + QStringLiteral("En_SMS_") + s, QStringLiteral("0"));
        set(analogInput() + QStringLiteral("Value_") + s, QLatin1String(side.value));
        set(analogInput() + QStringLiteral("Time_Delay_") + s, QStringLiteral("100"));
        set(analogInput() + QStringLiteral("Value_") + s + QStringLiteral("_Hys"), QLatin1String(side.hys));
        set(analogInput() + QStringLiteral("List_SMS_") + s, QString());
    }
    for (int n = 1; n <= 2; ++n) {
        const QString sms = outputSms(n);
        const QString out = QString::number(n);
        set(sms + QStringLiteral("Enable_from_SMS"), QStringLiteral("0"));
        set(sms + QStringLiteral("Set_from_SMS"), QStringLiteral("0"));
        set(sms + QStringLiteral("Set_from_SMS_Text"), QStringLiteral("Turn On DO") + out);
        set(sms + QStringLiteral("Reset_from_SMS"), QStringLiteral("0"));
        set(sms + QStringLiteral("Reset_from_SMS_Text"), QStringLiteral("Turn Off DO") + out);
        set(sms + QStringLiteral("Impulse_from_SMS"), QStringLiteral("0"));
        set(sms + QStringLiteral("Impulse_from_SMS_Text"), QStringLiteral("Impulse DO") + out);
        set(sms + QStringLiteral("Delay_Impulse_from_SMS"), QStringLiteral("100"));
        set(sms + QStringLiteral("Check_Phone_Number_from_SMS"), QStringLiteral("0"));
        set(sms + QStringLiteral("Check_Password_from_SMS"), QStringLiteral("0"));
        set(sms + QStringLiteral("Password_from_SMS_Text"), QStringLiteral("7839"));
        set(sms + QStringLiteral("Send_Back_SMS_from_SMS"), QStringLiteral("0"));
        set(sms + QStringLiteral("List_SMS"), QString());
        const QString call = outputCall(n);
        set(call + QStringLiteral("Enable_from_CALL"), QStringLiteral("0"));
        set(call + QStringLiteral("Ring_Number_from_CALL"), QStringLiteral("3"));
        set(call + QStringLiteral("Hang_Up_Ring_from_CALL"), QStringLiteral("3"));
        const struct
        {
            const char *outcome, *delay;
        } outcomes[] = {{"Hang_Up", "Hang"}, {"Under_Ring", "Under"}, {"Above_Ring", "Above"}};
        for (const auto &outcome : outcomes) {
            const QString name = QLatin1String(outcome.outcome) + QStringLiteral("_from_CALL");
            set(call + QStringLiteral("Enable_") + name, QStringLiteral("0"));
            set(call + QStringLiteral("Operation_") + name, QStringLiteral("0"));
            set(call + QStringLiteral("Delay_Time_Imp_%1_from_CALL").arg(QLatin1String(outcome.delay)),
                QStringLiteral("100"));
        }
        set(call + QStringLiteral("List_SMS"), QString());
    }
    set(QStringLiteral("Date_Time_Profile/Date_Time"), QString());
    for (int w = 1; w <= 3; ++w) {
        set(week(w) + QStringLiteral("Enable_Week"), QStringLiteral("0"));
        for (const char *dayName : kDays) {
            const QString dayPath = week(w) + QStringLiteral("Time_Slots/") + QLatin1String(dayName);
            find(dayPath, true);
            for (int slot = 0; slot < 48; ++slot)
                append(dayPath, QStringLiteral("Time_Slot"), QStringLiteral("0"));
        }
    }
    for (int d = 1; d <= 3; ++d) {
        set(day(d) + QStringLiteral("Enable_Day"), QStringLiteral("0"));
        find(day(d) + QStringLiteral("Time_Slots"), true);
        for (int slot = 0; slot < 48; ++slot)
            append(day(d) + QStringLiteral("Time_Slots"), QStringLiteral("Time_Slot"), QStringLiteral("0"));
    }
}

ConfigXml::Node *ConfigXml::find(const QString &path, bool create)
{
    Node *node = &m_root;
    for (const QString &name : path.split(u'/', Qt::SkipEmptyParts)) {
        auto it = std::find_if(node->children.begin(), node->children.end(),
                               [&](const Node &child) { return child.name == name; });
        if (it == node->children.end()) {
            if (!create)
                return nullptr;
            node->children.append(Node{name, {}, {}});
            it = node->children.end() - 1;
        }
        node = &*it;
    }
    return node;
}

ConfigXml &ConfigXml::set(const QString &path, const QString &text)
{
    find(path, true)->text = text;
    return *this;
}

ConfigXml &ConfigXml::remove(const QString &path)
{
    const qsizetype cut = path.lastIndexOf(u'/');
    Node *parent = cut < 0 ? &m_root : find(path.left(cut), false);
    const QString name = path.mid(cut + 1);
    if (parent) {
        parent->children.removeIf([&](const Node &child) { return child.name == name; });
    }
    return *this;
}

ConfigXml &ConfigXml::append(const QString &parentPath, const QString &name, const QString &text)
{
    find(parentPath, true)->children.append(Node{name, text, {}});
    return *this;
}

ConfigXml &ConfigXml::addInputRow(const QString &listPath, const QString &message, const QString &phone)
{
    Node row{QStringLiteral("SMS"), {}, {}};
    row.children = {{QStringLiteral("Message"), message, {}},
                    {QStringLiteral("Phone_Number"), phone, {}},
                    {QStringLiteral("Description"), QStringLiteral("row"), {}}};
    find(listPath, true)->children.append(row);
    return *this;
}

ConfigXml &ConfigXml::addOutputRow(const QString &listPath, const QString &phone, const QString &profile)
{
    Node row{QStringLiteral("SMS"), {}, {}};
    row.children = {{QStringLiteral("Phone_Number"), phone, {}},
                    {QStringLiteral("Profile"), profile, {}},
                    {QStringLiteral("Description"), QStringLiteral("row"), {}}};
    find(listPath, true)->children.append(row);
    return *this;
}

ConfigXml &ConfigXml::setSlots(const QString &dayPath, const QList<int> &onSlots)
{
    Node *day = find(dayPath, true);
    for (int slot : onSlots)
        day->children[slot].text = QStringLiteral("1");
    return *this;
}

QString ConfigXml::expandPath(const QString &path)
{
    static const QList<std::pair<QString, QString>> kPrefixes = {
        {QStringLiteral("DI1/"), digitalInput(1)},
        {QStringLiteral("DI2/"), digitalInput(2)},
        {QStringLiteral("AI/"), analogInput()},
        {QStringLiteral("DO1.SMS/"), outputSms(1)},
        {QStringLiteral("DO1.CALL/"), outputCall(1)},
        {QStringLiteral("DO2.SMS/"), outputSms(2)},
        {QStringLiteral("DO2.CALL/"), outputCall(2)},
        {QStringLiteral("W1/"), week(1)},
        {QStringLiteral("W2/"), week(2)},
        {QStringLiteral("W3/"), week(3)},
        {QStringLiteral("D1/"), day(1)},
        {QStringLiteral("D2/"), day(2)},
        {QStringLiteral("D3/"), day(3)},
        {QStringLiteral("PS/"), QStringLiteral("Phone_Setting/")},
    };
    for (const auto &[prefix, full] : kPrefixes) {
        if (path.startsWith(prefix))
            return full + path.mid(prefix.size());
    }
    return path;
}

ConfigXml &ConfigXml::apply(const QStringList &edits)
{
    for (const QString &edit : edits) {
        const qsizetype eq = edit.indexOf(u'=');
        const QString value = eq < 0 ? QString() : edit.mid(eq + 1);
        if (edit.startsWith(u'-')) {
            remove(expandPath(edit.mid(1)));
        } else if (edit.startsWith(u'+')) {
            const QString list = expandPath(edit.mid(1, eq - 1));
            const QStringList cells = value.split(u'|');
            if (list.startsWith(QStringLiteral("Output")))
                addOutputRow(list, cells.value(0), cells.value(1));
            else
                addInputRow(list, cells.value(0), cells.value(1));
        } else if (edit.startsWith(QStringLiteral("slots:"))) {
            QList<int> on;
            for (const QString &slot : value.split(u',', Qt::SkipEmptyParts))
                on.append(slot.toInt());
            setSlots(expandPath(edit.mid(6, eq - 6)), on);
        } else if (edit.startsWith(QStringLiteral("append:"))) {
            const QStringList parts = value.split(u'|');
            append(expandPath(edit.mid(7, eq - 7)), parts.value(0), parts.value(1));
        } else {
            set(expandPath(edit.left(eq)), value);
        }
    }
    return *this;
}

void ConfigXml::write(const Node &node, QByteArray &out)
{
    QXmlStreamWriter writer(&out);
    std::function<void(const Node &)> element = [&](const Node &n) {
        writer.writeStartElement(n.name);
        if (n.children.isEmpty())
            writer.writeCharacters(n.text);
        for (const Node &child : n.children)
            element(child);
        writer.writeEndElement();
    };
    element(node);
}

QByteArray ConfigXml::toXml() const
{
    QByteArray out;
    write(m_root, out);
    return out;
}

QString ConfigXml::writeTo(const QString &folder) const
{
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("Configuration.xml"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(toXml());
    return path;
}

config::XmlParseResult ConfigXml::parsed() const
{
    return config::xmltree::parse(toXml());
}

QByteArray readFileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
