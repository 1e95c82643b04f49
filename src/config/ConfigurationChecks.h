// The checks a configuration passes before it is saved: the PIN, every
// duration, volt level, ring count and enabled SMS command text, and every
// table row, in one fixed order. The first refusal is the answer.
#pragma once

#include "config/Configuration.h"
#include "config/XmlTree.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace config {

// The number of checks, in the order they run.
constexpr int kCheckCount = 39;

struct CheckFailure
{
    int check = 0;  // 1..kCheckCount
    QString key;    // message key of the refusal
    int row = 0;    // for a table row, its number from 1; 0 otherwise
    int column = 0; // for a table row, the refused cell's column (RowRefusal)

    bool operator==(const CheckFailure &) const = default;
};

// The first check the configuration fails, or nothing when it may be saved.
std::optional<CheckFailure> firstFailure(const Configuration &configuration);

// Whether the check judges the rows of a table rather than one value.
bool isRowCheck(int check);

// The one check, 1..kCheckCount, judged alone.
std::optional<CheckFailure> judgeCheck(int check, const Configuration &configuration);

// Every check of one value (not the row checks) that refuses its value, in
// check order: what the window marks while the user types. Cheap enough to
// run after every edit.
QList<CheckFailure> fieldFailures(const Configuration &configuration);

// The text a refusal shows: the message text, then the row number, if any.
QString failureText(const CheckFailure &failure, const QString &messageText);

// A saved Configuration.xml read as the window reads it and checked as its
// save checks it: what the command line's check and build and the device
// update each start from.
struct FileCheck
{
    enum class Status { Accepted, Refused, Missing, Unreadable };
    Status status = Status::Missing;
    QString error;                       // Missing, Unreadable: the reason, naming the file
    std::optional<CheckFailure> failure; // Refused: the first refusal
    Configuration configuration;         // as loaded (Accepted, Refused)
    QStringList filledIn;                // elements the file lacks, read as their defaults
};
// With `parsed`, it also gets the document of that one read (or the reason
// it could not be read or parsed), so the image can be compiled from the
// very file that was checked.
FileCheck checkConfigurationFile(const QString &path, XmlParseResult *parsed = nullptr);

} // namespace config
