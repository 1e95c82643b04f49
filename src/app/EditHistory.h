// The undo and redo history of the configuration record. A step keeps one
// whole record: the record is a value type whose strings and row lists are
// shared until written, so a step costs the record's own fields and the one
// table it changed, not a copy of the configuration.
//
// Successive edits with the same merge key (typing in one field, one painted
// stroke) make one step. `Origin` says where the edit was made, so that the
// window can show it again when the step is undone or redone.
#pragma once

#include "config/Configuration.h"

#include <QList>
#include <optional>

namespace app {

// What lets successive edits merge into one step: the same source (the
// control typed in) and the same stroke of that source (a painted stroke
// of the profile grid; 0 for a source without strokes). No source: the edit
// is a step of its own.
struct MergeKey
{
    const void *source = nullptr;
    quint64 stroke = 0;

    bool merges() const { return source != nullptr; }
    bool operator==(const MergeKey &) const = default;
};

template <typename Origin> class EditHistory
{
public:
    struct Step
    {
        // The record to show when the step is taken: on the undo list the
        // record before the edit, on the redo list the record after it.
        config::Configuration record;
        Origin origin;
        MergeKey key;
        qsizetype bytes = 0; // what the step keeps of its own, about
    };

    // At most this many undo steps, and steps keeping about this many bytes,
    // are kept; the oldest go first. Adding rows to a long table copies the
    // table's row list at every step, so the count alone does not bound it.
    static constexpr qsizetype kDefaultLimit = 1000;
    static constexpr qsizetype kDefaultByteLimit = 64 * 1024 * 1024;

    // About what `older` keeps of its own next to `newer`: the record, and
    // each row list that is no longer shared with it.
    static qsizetype bytesKept(const config::Configuration &older, const config::Configuration &newer)
    {
        qsizetype bytes = sizeof(config::Configuration);
        auto table = [&](const config::SmsTable &a, const config::SmsTable &b) {
            if (a.rows().constData() != b.rows().constData())
                bytes += a.rows().capacity() * qsizetype(sizeof(config::TableRow));
        };
        for (int d = 0; d < config::kDigitalInputs; ++d) {
            table(older.digitalInputs[d].f0t1.list, newer.digitalInputs[d].f0t1.list);
            table(older.digitalInputs[d].f1t0.list, newer.digitalInputs[d].f1t0.list);
        }
        table(older.analogInput.high.list, newer.analogInput.high.list);
        table(older.analogInput.low.list, newer.analogInput.low.list);
        for (int o = 0; o < config::kDigitalOutputs; ++o) {
            table(older.digitalOutputs[o].sms.list, newer.digitalOutputs[o].sms.list);
            table(older.digitalOutputs[o].call.list, newer.digitalOutputs[o].call.list);
        }
        return bytes;
    }

    // Forgets every step; `record` is where the history starts (a new or
    // loaded configuration), and it is the clean point.
    void reset(const config::Configuration &record)
    {
        m_undo.clear();
        m_redo.clear();
        m_current = record;
        m_merging = false;
        m_clean = 0;
        m_bytes = 0;
    }

    // The record has just been edited into `record`.
    void record(const config::Configuration &record, const Origin &origin, MergeKey key)
    {
        // A merged edit only moves the end of the open step. After an undo
        // there is nothing open: the edit is a step of its own and the steps
        // that could have been redone are gone.
        const bool merge = m_merging && key.merges() && m_redo.isEmpty() && !m_undo.isEmpty() &&
                           m_undo.last().key == key && m_clean != m_undo.size();
        if (!merge) {
            if (m_clean > m_undo.size())
                m_clean = kNoClean; // the clean record was on the redo list
            m_redo.clear();
            const qsizetype bytes = bytesKept(m_current, record);
            m_undo.append({m_current, origin, key, bytes});
            m_bytes += bytes;
            dropOldest();
        }
        m_current = record;
        m_merging = true;
    }

    // Ends the step being merged: the next edit starts a new one even with
    // the same key (the field lost the focus).
    void closeStep() { m_merging = false; }

    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    qsizetype undoCount() const { return m_undo.size(); }
    qsizetype redoCount() const { return m_redo.size(); }

    // The step undone: the record before it, and where it was made.
    std::optional<Step> undo()
    {
        if (!m_undo.isEmpty())
            m_bytes -= m_undo.last().bytes;
        return take(m_undo, m_redo);
    }
    // The step redone: the record after it, and where it was made.
    std::optional<Step> redo()
    {
        std::optional<Step> step = take(m_redo, m_undo);
        if (step) {
            // The step is back on the undo list, holding the record it left.
            Step &back = m_undo.last();
            back.bytes = bytesKept(back.record, m_current);
            m_bytes += back.bytes;
            dropOldest();
        }
        return step;
    }

    // The record now shown is the one on disk (a save); undo and redo
    // coming back to it make the configuration unchanged again.
    void markClean()
    {
        m_clean = m_undo.size();
        m_merging = false;
    }
    bool isClean() const { return m_clean == m_undo.size(); }

    void setLimit(qsizetype steps) { m_limit = std::max<qsizetype>(1, steps); }
    qsizetype limit() const { return m_limit; }
    void setByteLimit(qsizetype bytes) { m_byteLimit = bytes; }
    // About what the undo steps keep of their own.
    qsizetype bytesKept() const { return m_bytes; }

private:
    static constexpr qsizetype kNoClean = -1;

    // Takes the last step of `from`, which becomes the current record; the
    // record it leaves goes to `to`, so the step can be taken back.
    std::optional<Step> take(QList<Step> &from, QList<Step> &to)
    {
        if (from.isEmpty())
            return std::nullopt;
        Step step = from.takeLast();
        to.append({m_current, step.origin, step.key});
        m_current = step.record;
        m_merging = false;
        return step;
    }

    void dropOldest()
    {
        qsizetype over = std::max<qsizetype>(0, m_undo.size() - m_limit);
        qsizetype bytes = m_bytes;
        for (qsizetype i = 0; i < over; ++i)
            bytes -= m_undo.at(i).bytes;
        // The newest step stays, whatever it keeps.
        while (bytes > m_byteLimit && over < m_undo.size() - 1)
            bytes -= m_undo.at(over++).bytes;
        if (over == 0)
            return;
        m_undo.remove(0, over);
        m_bytes = bytes;
        if (m_clean != kNoClean)
            m_clean = m_clean >= over ? m_clean - over : kNoClean;
    }

    QList<Step> m_undo;
    QList<Step> m_redo;
    config::Configuration m_current;
    bool m_merging = false;
    // The undo count at which the record equals the saved one.
    qsizetype m_clean = 0;
    qsizetype m_limit = kDefaultLimit;
    qsizetype m_byteLimit = kDefaultByteLimit;
    qsizetype m_bytes = 0;
};

} // namespace app
