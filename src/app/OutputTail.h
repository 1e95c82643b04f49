// The last lines a child program printed, kept within a fixed size however
// much it prints: for the box that reports its failure.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace app {

class OutputTail
{
public:
    static constexpr int kMaxLines = 20;
    static constexpr int kMaxLineLength = 200; // characters; a longer line is cut and ends in "…"

    // Takes the next bytes of output. A carriage return and a line feed both
    // end a line; blank lines are dropped. onLine, when given, gets every line
    // as it ends.
    void append(const QByteArray &bytes, const std::function<void(const QString &)> &onLine = {});
    // Ends the line in progress, as when the program has ended.
    void finish(const std::function<void(const QString &)> &onLine = {});

    // Oldest first.
    const QStringList &lines() const { return m_lines; }
    QString text() const { return m_lines.join(u'\n'); }
    // The line ended last, empty before the first.
    QString lastLine() const { return m_lines.isEmpty() ? QString() : m_lines.last(); }

private:
    void endLine(const std::function<void(const QString &)> &onLine);

    QStringList m_lines;
    QByteArray m_partial; // the line in progress, at most a few bytes past its shown length
    bool m_partialCut = false;
};

} // namespace app
