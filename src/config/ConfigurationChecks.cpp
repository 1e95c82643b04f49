#include "ConfigurationChecks.h"

#include "config/ConfigurationFile.h"
#include "config/FileAccess.h"
#include "config/Numbers.h"
#include "config/RowChecks.h"

#include <QDir>
#include <QFileInfo>
#include <functional>
#include <vector>

namespace config {
namespace {

enum class Rule {
    Pin,         // empty, or at most 8 characters and a whole number of at least 0
    Duration,    // whole milliseconds, 1 to 60000
    Level,       // volts, 0 to 10
    HighReturn,  // volts, at least 0 and below the trigger level
    LowReturn,   // volts, at least 0 and above the trigger level
    CommandText, // at most 64 characters while its command is enabled
    Rings,       // whole rings, 1 to 20
    InputRows,   // every row through the input row check
    OutputRows,  // every row through the output row check
};

using TextOf = std::function<const QString &(const Configuration &)>;
using FlagOf = std::function<bool(const Configuration &)>;
using TableOf = std::function<const SmsTable &(const Configuration &)>;

struct Check
{
    Rule rule;
    QString key;       // the message key; the row checks answer their own
    TextOf value = {}; // the text judged
    TextOf other = {}; // the trigger level a return level is compared with
    FlagOf enabled = {};
    TableOf table = {};
    int tableIndex = 0; // the event or list number of a row check
};

// The five checks of an input event: a digital edge has no levels.
void addInputChecks(std::vector<Check> &checks, const char *name, int event, bool analog,
                    std::function<const AnalogThreshold &(const Configuration &)> levels,
                    std::function<const InputEvent &(const Configuration &)> digital)
{
    if (!analog) {
        checks.push_back(
            {Rule::Duration, QStringLiteral("Error_%1_DelayTime").arg(QLatin1String(name)),
             [digital](const Configuration &c) -> const QString & { return digital(c).timeDelay; }});
        checks.push_back({Rule::InputRows,
                          {},
                          {},
                          {},
                          {},
                          [digital](const Configuration &c) -> const SmsTable & { return digital(c).list; },
                          event});
        return;
    }
    const QString n = QLatin1String(name);
    const bool high = event == 4;
    TextOf level = [levels](const Configuration &c) -> const QString & { return levels(c).value; };
    checks.push_back({Rule::Level, QStringLiteral("Error_%1").arg(n), level});
    checks.push_back({Rule::Duration, QStringLiteral("Error_%1_DelayTime").arg(n),
                      [levels](const Configuration &c) -> const QString & { return levels(c).timeDelay; }});
    checks.push_back({high ? Rule::HighReturn : Rule::LowReturn, QStringLiteral("Error_%1_Hys").arg(n),
                      [levels](const Configuration &c) -> const QString & { return levels(c).valueHys; },
                      level});
    checks.push_back({Rule::InputRows,
                      {},
                      {},
                      {},
                      {},
                      [levels](const Configuration &c) -> const SmsTable & { return levels(c).list; },
                      event});
}

// Checks 18 to 28 of output 1, 29 to 39 of output 2.
void addOutputChecks(std::vector<Check> &checks, int o)
{
    const QString n = QStringLiteral("DO%1").arg(o + 1);
    auto sms = [o](const Configuration &c) -> const OutputSms & { return c.digitalOutputs[o].sms; };
    auto call = [o](const Configuration &c) -> const OutputCall & { return c.digitalOutputs[o].call; };
    auto key = [&n](const char *rest) { return QStringLiteral("Error_%1_%2").arg(n, QLatin1String(rest)); };

    checks.push_back({Rule::CommandText,
                      key("SMS_Set_Out_SMS_Too_Long"),
                      [sms](const Configuration &c) -> const QString & { return sms(c).setText; },
                      {},
                      [sms](const Configuration &c) { return sms(c).set; }});
    checks.push_back({Rule::CommandText,
                      key("SMS_Reset_Out_SMS_Too_Long"),
                      [sms](const Configuration &c) -> const QString & { return sms(c).resetText; },
                      {},
                      [sms](const Configuration &c) { return sms(c).reset; }});
    checks.push_back({Rule::CommandText,
                      key("SMS_Impulse_Out_SMS_Too_Long"),
                      [sms](const Configuration &c) -> const QString & { return sms(c).impulseText; },
                      {},
                      [sms](const Configuration &c) { return sms(c).impulse; }});
    checks.push_back({Rule::Duration, key("SMS_DelayTime"),
                      [sms](const Configuration &c) -> const QString & { return sms(c).delayImpulse; }});
    checks.push_back({Rule::OutputRows,
                      {},
                      {},
                      {},
                      {},
                      [sms](const Configuration &c) -> const SmsTable & { return sms(c).list; },
                      o * 2});
    checks.push_back({Rule::Rings, key("CALL_NumRing"),
                      [call](const Configuration &c) -> const QString & { return call(c).ringNumber; }});
    checks.push_back({Rule::Rings, key("CALL_HangUpRing"),
                      [call](const Configuration &c) -> const QString & { return call(c).hangUpRing; }});
    checks.push_back(
        {Rule::Duration, key("CALL_Hang_IMPULSE_DT"),
         [call](const Configuration &c) -> const QString & { return call(c).hangUp.delayTime; }});
    checks.push_back({Rule::Duration, key("CALL_Under_IMPULSE_DT"),
                      [call](const Configuration &c) -> const QString & { return call(c).under.delayTime; }});
    checks.push_back({Rule::Duration, key("CALL_Above_IMPULSE_DT"),
                      [call](const Configuration &c) -> const QString & { return call(c).above.delayTime; }});
    checks.push_back({Rule::OutputRows,
                      {},
                      {},
                      {},
                      {},
                      [call](const Configuration &c) -> const SmsTable & { return call(c).list; },
                      o * 2 + 1});
}

const std::vector<Check> &checkTable()
{
    static const std::vector<Check> table = [] {
        std::vector<Check> checks;
        checks.push_back({Rule::Pin, QStringLiteral("Error_in_Pin"),
                          [](const Configuration &c) -> const QString & { return c.pin; }});
        const char *edges[4] = {"DI1_F0T1", "DI1_F1T0", "DI2_F0T1", "DI2_F1T0"};
        for (int e = 0; e < 4; ++e) {
            const int input = e / 2;
            const bool rising = e % 2 == 0;
            addInputChecks(checks, edges[e], e, false, {},
                           [input, rising](const Configuration &c) -> const InputEvent & {
                               return rising ? c.digitalInputs[input].f0t1 : c.digitalInputs[input].f1t0;
                           });
        }
        addInputChecks(checks, "AI1_Val_High", 4, true,
                       [](const Configuration &c) -> const AnalogThreshold & { return c.analogInput.high; },
                       {});
        addInputChecks(checks, "AI1_Val_Low", 5, true,
                       [](const Configuration &c) -> const AnalogThreshold & { return c.analogInput.low; },
                       {});
        for (int o = 0; o < kDigitalOutputs; ++o)
            addOutputChecks(checks, o);
        return checks;
    }();
    return table;
}

int wholeNumber(const QString &text)
{
    return parseInteger(text).value_or(-1);
}

double volts(const QString &text)
{
    return parseVolts(text).value_or(-1.0);
}

bool inRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

// For a row rule the refused row's key and number; otherwise whether it passes.
std::optional<CheckFailure> judge(const Check &check, const Configuration &c)
{
    auto refuse = [&](const QString &key, int row = 0, int column = 0) {
        return std::optional<CheckFailure>({0, key, row, column});
    };
    switch (check.rule) {
    case Rule::Pin: {
        const QString &pin = check.value(c);
        if (pin.isEmpty() || (pin.size() <= 8 && wholeNumber(pin) >= 0))
            return std::nullopt;
        return refuse(check.key);
    }
    case Rule::Duration:
        return inRange(wholeNumber(check.value(c)), 1, 60000) ? std::nullopt : refuse(check.key);
    case Rule::Rings:
        return inRange(wholeNumber(check.value(c)), 1, 20) ? std::nullopt : refuse(check.key);
    case Rule::Level: {
        const double v = volts(check.value(c));
        return v >= 0.0 && v <= 10.0 ? std::nullopt : refuse(check.key);
    }
    case Rule::HighReturn: {
        const double v = volts(check.value(c));
        return v >= 0.0 && v < volts(check.other(c)) ? std::nullopt : refuse(check.key);
    }
    case Rule::LowReturn: {
        const double v = volts(check.value(c));
        return v >= 0.0 && v > volts(check.other(c)) ? std::nullopt : refuse(check.key);
    }
    case Rule::CommandText:
        return !check.enabled(c) || check.value(c).size() <= kMaxMessageLength ? std::nullopt
                                                                               : refuse(check.key);
    case Rule::InputRows:
    case Rule::OutputRows: {
        const QList<TableRow> &rows = check.table(c).rows();
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const TableRow &row = rows[r];
            const RowRefusal refusal = check.rule == Rule::InputRows
                                           ? checkInputRow(row[0], row[1], check.tableIndex)
                                           : checkOutputRow(row[0], row[1], check.tableIndex);
            if (refusal.refused())
                return refuse(refusal.key.toString(), int(r + 1), refusal.column);
        }
        return std::nullopt;
    }
    }
    return std::nullopt;
}

} // namespace

std::optional<CheckFailure> firstFailure(const Configuration &configuration)
{
    for (int check = 1; check <= kCheckCount; ++check) {
        if (std::optional<CheckFailure> failure = judgeCheck(check, configuration))
            return failure;
    }
    return std::nullopt;
}

bool isRowCheck(int check)
{
    const std::vector<Check> &checks = checkTable();
    if (check < 1 || check > int(checks.size()))
        return false;
    const Rule rule = checks[size_t(check - 1)].rule;
    return rule == Rule::InputRows || rule == Rule::OutputRows;
}

std::optional<CheckFailure> judgeCheck(int check, const Configuration &configuration)
{
    const std::vector<Check> &checks = checkTable();
    if (check < 1 || check > int(checks.size()))
        return std::nullopt;
    std::optional<CheckFailure> failure = judge(checks[size_t(check - 1)], configuration);
    if (failure)
        failure->check = check;
    return failure;
}

QList<CheckFailure> fieldFailures(const Configuration &configuration)
{
    QList<CheckFailure> failures;
    for (int check = 1; check <= kCheckCount; ++check) {
        if (isRowCheck(check))
            continue;
        if (std::optional<CheckFailure> failure = judgeCheck(check, configuration))
            failures.append(*failure);
    }
    return failures;
}

QString failureText(const CheckFailure &failure, const QString &messageText)
{
    return failure.row > 0 ? messageText + QString::number(failure.row) : messageText;
}

FileCheck checkConfigurationFile(const QString &path, XmlParseResult *parsed)
{
    FileCheck check;
    const QString shown = QDir::toNativeSeparators(path);
    // One read and one parse serve the check and, through `parsed`, the build.
    const fileaccess::ReadResult read = fileaccess::readRegularFile(path, fileaccess::kMaxTextFileBytes);
    XmlParseResult local;
    XmlParseResult &tree = parsed ? *parsed : local;
    if (read.ok()) {
        tree = xmltree::parse(read.bytes);
    } else {
        tree = {};
        tree.error = read.reason();
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        check.error = QStringLiteral("%1 does not exist").arg(shown);
        return check;
    }
    check.status = FileCheck::Status::Unreadable;
    if (info.isDir()) {
        check.error = QStringLiteral("%1 is a folder, not a file").arg(shown);
        return check;
    }
    check.configuration.setNewDefaults();
    if (!read.ok()) {
        check.error = read.status == fileaccess::ReadStatus::Missing
                          ? shown
                          : QStringLiteral("%1: %2").arg(shown, read.error);
        return check;
    }
    const LoadResult loaded = loadConfigurationTree(tree, shown, check.configuration);
    if (loaded.status != LoadStatus::Loaded) {
        check.error = loaded.error.isEmpty() ? shown : loaded.error;
        return check;
    }
    check.filledIn = loaded.filledIn;
    check.failure = firstFailure(check.configuration);
    check.status = check.failure ? FileCheck::Status::Refused : FileCheck::Status::Accepted;
    return check;
}

} // namespace config
