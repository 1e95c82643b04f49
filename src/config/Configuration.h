// The configuration of one device: every value exactly as the user typed it,
// the ten row tables and the profile store. A plain value type; the pages show
// and edit it, the file reader/writer and the checks work on it.
#pragma once

#include <QList>
#include <QString>
#include <array>

namespace config {

enum class Operation { Set = 0, Reset = 1, Impulse = 2 };

constexpr int kDigitalInputs = 2;
constexpr int kDigitalOutputs = 2;
constexpr int kAnalogInputs = 1;
constexpr int kSlotsPerDay = 48;
constexpr int kDaysPerWeek = 7;
constexpr int kWeeklyProfiles = 3;
constexpr int kDailyProfiles = 3;

// One table row: for input tables message, phone number, description; for
// output tables phone number, profile, description.
using TableRow = std::array<QString, 3>;

// A row table. It always holds at least one row.
class SmsTable
{
public:
    SmsTable() : m_rows(1) {}

    const QList<TableRow> &rows() const { return m_rows; }
    qsizetype rowCount() const { return m_rows.size(); }
    const TableRow &row(qsizetype i) const { return m_rows.at(i); }
    void setCell(qsizetype row, int column, const QString &text) { m_rows[row][column] = text; }
    // Replaces all rows; an empty list leaves one blank row.
    void setRows(QList<TableRow> rows);
    void appendRow() { m_rows.append(TableRow{}); }
    // Removes a row; the last remaining row is blanked instead.
    void removeRow(qsizetype i);
    // Blanks every cell and keeps the rows (the page's Clear Table).
    void blankCells();
    // Blanks every cell and shrinks to one row (used for a new configuration).
    void reset() { m_rows = QList<TableRow>(1); }

    // A row whose first and last cells are both empty is not stored.
    static bool isBlank(const TableRow &row) { return row[0].isEmpty() && row[2].isEmpty(); }

    bool operator==(const SmsTable &) const = default;

private:
    QList<TableRow> m_rows;
};

struct InputEvent
{
    bool enSms = false;
    QString timeDelay;
    SmsTable list;
    bool operator==(const InputEvent &) const = default;
};

struct DigitalInput
{
    InputEvent f0t1; // the input changes from 0 to 1
    InputEvent f1t0; // from 1 to 0
    bool operator==(const DigitalInput &) const = default;
};

struct AnalogThreshold
{
    bool enSms = false;
    QString value;
    QString timeDelay;
    QString valueHys;
    SmsTable list;
    bool operator==(const AnalogThreshold &) const = default;
};

struct AnalogInput
{
    AnalogThreshold high;
    AnalogThreshold low;
    bool operator==(const AnalogInput &) const = default;
};

struct OutputSms
{
    bool enable = false;
    bool set = false;
    QString setText;
    bool reset = false;
    QString resetText;
    bool impulse = false;
    QString impulseText;
    QString delayImpulse;
    bool checkPhoneNumber = false;
    bool checkPassword = false;
    QString password;
    bool sendBack = false;
    SmsTable list;
    bool operator==(const OutputSms &) const = default;
};

struct CallAction
{
    bool enable = false;
    Operation operation = Operation::Set;
    QString delayTime;
    bool operator==(const CallAction &) const = default;
};

struct OutputCall
{
    bool enable = false;
    QString ringNumber;
    QString hangUpRing;
    CallAction hangUp;
    CallAction under;
    CallAction above;
    SmsTable list;
    bool operator==(const OutputCall &) const = default;
};

struct DigitalOutput
{
    OutputSms sms;
    OutputCall call;
    bool operator==(const DigitalOutput &) const = default;
};

using DaySlots = std::array<bool, kSlotsPerDay>;

struct WeeklyProfile
{
    bool enabled = false;
    std::array<DaySlots, kDaysPerWeek> days{}; // Monday first
    bool operator==(const WeeklyProfile &) const = default;
};

struct DailyProfile
{
    bool enabled = false;
    DaySlots timeSlots{};
    bool operator==(const DailyProfile &) const = default;
};

struct Configuration
{
    QString pin;
    bool dst = false;
    std::array<DigitalInput, kDigitalInputs> digitalInputs;
    AnalogInput analogInput;
    std::array<DigitalOutput, kDigitalOutputs> digitalOutputs;
    std::array<WeeklyProfile, kWeeklyProfiles> weeklyProfiles;
    std::array<DailyProfile, kDailyProfiles> dailyProfiles;

    // A record with the start values of the kept fields and the
    // new-configuration values of all others.
    Configuration();

    // Gives every field its new-configuration value. The kept fields (DST,
    // the SMS command texts, the passwords, the hang-up rings) are not touched.
    void setNewDefaults();

    bool operator==(const Configuration &) const = default;
};

// Start value of output 1's password; output 2's starts empty.
inline constexpr char16_t kStartPasswordOutput1[] = u"482";

// Texts of the SMS commands of output n (1-based), used as start values and as
// the fallbacks of files that lack them.
QString defaultSetText(int output);
QString defaultResetText(int output);
QString defaultImpulseText(int output);

} // namespace config
