#include "UpdateHistory.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>

namespace app {

namespace {

constexpr char kLogName[] = "log.csv";
constexpr char kNameFormat[] = "yyyy-MM-dd_HH-mm-ss";
constexpr int kNameLength = 19; // the length of a name in kNameFormat
const QStringList kColumns{"entry",         "time",   "port",    "firmware",
                           "configuration", "sha256", "outcome", "firmware_version",
                           "device_clock",  "device"};

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvLine(const QStringList &fields)
{
    QStringList out;
    for (const QString &f : fields)
        out << csvField(f);
    return out.join(u',') + u'\n';
}

// The rows of a CSV text; quoted fields may hold commas, quotes and line ends.
QList<QStringList> csvRows(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"') {
            quoted = true;
            any = true;
        } else if (c == u',') {
            row << field;
            field.clear();
            any = true;
        } else if (c == u'\n' || c == u'\r') {
            if (any || !field.isEmpty()) {
                row << field;
                rows << row;
            }
            row.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.isEmpty()) {
        row << field;
        rows << row;
    }
    return rows;
}

QStringList fieldsOf(const HistoryEntry &e)
{
    const auto yesNo = [](bool b) { return b ? QStringLiteral("yes") : QStringLiteral("no"); };
    return {e.name,
            e.time.toString(Qt::ISODate),
            e.port,
            yesNo(e.firmware),
            yesNo(e.configuration),
            e.sha256,
            e.outcome,
            e.firmwareVersion,
            e.deviceClock,
            e.device > 0 ? QString::number(e.device) : QString()};
}

bool writeWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = QDir::toNativeSeparators(path) + u'\n' + file.errorString();
    return false;
}

} // namespace

UpdateHistory::UpdateHistory(const QString &configurationFolder)
    : m_folder(configurationFolder + QStringLiteral("history/"))
{
}

QString UpdateHistory::logPath() const
{
    return m_folder + QLatin1String(kLogName);
}

QString UpdateHistory::entryFolder(const QString &name) const
{
    return m_folder + name + u'/';
}

QString UpdateHistory::sha256Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

bool UpdateHistory::entryBefore(const QString &a, const QString &b)
{
    const QString baseA = a.left(kNameLength), baseB = b.left(kNameLength);
    if (baseA != baseB)
        return baseA < baseB;
    const int suffixA = a.size() > kNameLength ? a.mid(kNameLength + 1).toInt() : 1;
    const int suffixB = b.size() > kNameLength ? b.mid(kNameLength + 1).toInt() : 1;
    return suffixA != suffixB ? suffixA < suffixB : a < b;
}

std::optional<QString> UpdateHistory::begin(const QDateTime &when, const QByteArray &configurationXml,
                                            const QByteArray &image, QString *error)
{
    QDir dir;
    if (!dir.mkpath(m_folder) || !QFileInfo(m_folder).isDir()) {
        if (error)
            *error = QDir::toNativeSeparators(m_folder);
        return std::nullopt;
    }
    const QString base = when.toString(QLatin1String(kNameFormat));
    QString name;
    // mkdir fails on a folder that is already there: two updates in the same
    // second each get their own.
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = n == 1 ? base : base + QStringLiteral("_%1").arg(n);
        if (QFileInfo::exists(m_folder + candidate))
            continue;
        if (dir.mkdir(m_folder + candidate)) {
            name = candidate;
            break;
        }
        if (error)
            *error = QDir::toNativeSeparators(m_folder + candidate);
        return std::nullopt;
    }
    if (name.isEmpty()) {
        if (error)
            *error = QDir::toNativeSeparators(m_folder + base);
        return std::nullopt;
    }
    const QString folder = entryFolder(name);
    if (!writeWhole(folder + QStringLiteral("Configuration.xml"), configurationXml, error) ||
        (!image.isEmpty() && !writeWhole(folder + QStringLiteral("bank.bin"), image, error))) {
        discard(name);
        return std::nullopt;
    }
    return name;
}

QList<HistoryEntry> UpdateHistory::readLog() const
{
    QList<HistoryEntry> out;
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QList<QStringList> rows = csvRows(QString::fromUtf8(file.readAll()));
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QStringList &row = rows.at(r);
        if (r == 0 && row.value(0) == kColumns.first())
            continue;
        HistoryEntry e;
        e.name = row.value(0);
        e.time = QDateTime::fromString(row.value(1), Qt::ISODate);
        e.port = row.value(2);
        e.firmware = row.value(3) == u"yes";
        e.configuration = row.value(4) == u"yes";
        e.sha256 = row.value(5);
        e.outcome = row.value(6);
        e.firmwareVersion = row.value(7);
        e.deviceClock = row.value(8);
        e.device = row.value(9).toInt();
        e.logged = true;
        if (!e.name.isEmpty())
            out << e;
    }
    return out;
}

bool UpdateHistory::complete(const HistoryEntry &entry, QString *error)
{
    QList<HistoryEntry> lines = readLog();
    lines.removeIf([&](const HistoryEntry &e) { return e.name == entry.name; });
    lines << entry;

    QStringList names = QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (!names.contains(entry.name))
        names << entry.name;
    std::sort(names.begin(), names.end(), entryBefore);
    // The oldest go only once the new one is complete: its line is written
    // together with the removal of theirs, and their folders after that.
    const QStringList removed = names.mid(0, std::max<qsizetype>(0, names.size() - kKeep));
    lines.removeIf([&](const HistoryEntry &e) { return removed.contains(e.name); });

    QString text = csvLine(kColumns);
    for (const HistoryEntry &e : lines)
        text += csvLine(fieldsOf(e));
    if (!writeWhole(logPath(), text.toUtf8(), error))
        return false;
    for (const QString &name : removed)
        discard(name);
    return true;
}

void UpdateHistory::discard(const QString &name)
{
    if (!name.isEmpty())
        QDir(entryFolder(name)).removeRecursively();
}

QList<HistoryEntry> UpdateHistory::entries() const
{
    const QList<HistoryEntry> logged = readLog();
    QStringList names = QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), entryBefore);
    QList<HistoryEntry> out;
    for (const QString &name : names) {
        const auto it =
            std::find_if(logged.begin(), logged.end(), [&](const HistoryEntry &e) { return e.name == name; });
        if (it != logged.end()) {
            out << *it;
            continue;
        }
        HistoryEntry e;
        e.name = name;
        e.time = QDateTime::fromString(name.left(kNameLength), QLatin1String(kNameFormat));
        out << e;
    }
    return out;
}

} // namespace app
