// The history of what was written into devices from one configuration: a
// dated folder per update under history/ with the configuration and the image
// the updater was given, and one line per update in history/log.csv.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace app {

struct HistoryEntry
{
    QString name; // the entry's folder under history/, e.g. 2026-03-14_09-30-05
    QDateTime time;
    QString port;
    bool firmware = false;      // the firmware was chosen to be written
    bool configuration = false; // the configuration image was chosen to be written
    QString sha256;             // of the entry's bank.bin, lower-case hex; empty without one
    QString outcome;            // one of the outcome words of the log (updated, port-lost, ...)
    QString firmwareVersion;    // read back from the device afterwards; empty when not read
    QString deviceClock;        // the device's clock read back with it
    int device = 0;             // the running number of the device within its session; 0 for none
    bool logged = false;        // the log has a line for it (an entry without one did not complete)
};

class UpdateHistory
{
public:
    static constexpr int kKeep = 50;

    // configurationFolder: the configuration's project folder, ending in '/'.
    explicit UpdateHistory(const QString &configurationFolder);

    QString folder() const { return m_folder; }
    QString logPath() const;
    QString entryFolder(const QString &name) const;

    // Makes a new entry folder named after `when` (a second one in the same
    // second gets "_2", "_3", ...) and writes the files into it; image may be
    // empty (no bank.bin). Returns the entry's name, or the error in `error`.
    std::optional<QString> begin(const QDateTime &when, const QByteArray &configurationXml,
                                 const QByteArray &image, QString *error);
    // Writes the entry's line into the log (the whole log replaced at once),
    // then removes the oldest entries beyond kKeep. False with `error` when the
    // log could not be written.
    bool complete(const HistoryEntry &entry, QString *error);
    // Removes an entry that is not to be kept (nothing was written with it).
    void discard(const QString &name);

    // The entries, oldest first, with what the log says of each.
    QList<HistoryEntry> entries() const;

    static QString sha256Hex(const QByteArray &bytes);
    // Orders entry names as their times: a "_N" suffix after its second.
    static bool entryBefore(const QString &a, const QString &b);

private:
    QList<HistoryEntry> readLog() const;

    QString m_folder; // ends in '/'
};

} // namespace app
