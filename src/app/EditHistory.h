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

template <typename Origin> class EditHistory
{
public:
    struct Step
    {
        // The record to show when the step is taken: on the undo list the
        // record before the edit, on the redo list the record after it.
        config::Configuration record;
        Origin origin;
        quint64 mergeKey = 0; // 0: never merged with the next edit
    };

    // Forgets every step; `record` is where the history starts (a new or
    // loaded configuration).
    void reset(const config::Configuration &record)
    {
        m_undo.clear();
        m_redo.clear();
        m_current = record;
        m_merging = false;
    }

    // The record has just been edited into `record`.
    void record(const config::Configuration &record, const Origin &origin, quint64 mergeKey)
    {
        // A merged edit only moves the end of the open step.
        if (!m_merging || mergeKey == 0 || m_undo.isEmpty() || m_undo.last().mergeKey != mergeKey) {
            m_undo.append({m_current, origin, mergeKey});
            m_redo.clear();
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
    std::optional<Step> undo() { return take(m_undo, m_redo); }
    // The step redone: the record after it, and where it was made.
    std::optional<Step> redo() { return take(m_redo, m_undo); }

private:
    // Takes the last step of `from`, which becomes the current record; the
    // record it leaves goes to `to`, so the step can be taken back.
    std::optional<Step> take(QList<Step> &from, QList<Step> &to)
    {
        if (from.isEmpty())
            return std::nullopt;
        Step step = from.takeLast();
        to.append({m_current, step.origin, step.mergeKey});
        m_current = step.record;
        m_merging = false;
        return step;
    }

    QList<Step> m_undo;
    QList<Step> m_redo;
    config::Configuration m_current;
    bool m_merging = false;
};

} // namespace app
