// The undo and redo history of the configuration record. Every step keeps the
// whole record before and after it: the record is a value type whose strings
// and row lists are shared until written, so a step costs the few fields and
// the one table it changed, not a copy of the configuration.
//
// Successive edits with the same merge key (typing in one field, one painted
// stroke) make one step. `Origin` says where the edit was made, so that the
// window can show it again when the step is undone or redone.
#pragma once

#include "config/Configuration.h"

#include <QList>
#include <optional>

template <typename Origin> class EditHistory
{
public:
    struct Step
    {
        config::Configuration before;
        config::Configuration after;
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
        if (m_merging && mergeKey != 0 && !m_undo.isEmpty() && m_undo.last().mergeKey == mergeKey) {
            m_undo.last().after = record;
        } else {
            m_undo.append({m_current, record, origin, mergeKey});
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

    // The step undone; its `before` is the record to show.
    std::optional<Step> undo()
    {
        if (m_undo.isEmpty())
            return std::nullopt;
        Step step = m_undo.takeLast();
        m_current = step.before;
        m_redo.append(step);
        m_merging = false;
        return step;
    }

    // The step redone; its `after` is the record to show.
    std::optional<Step> redo()
    {
        if (m_redo.isEmpty())
            return std::nullopt;
        Step step = m_redo.takeLast();
        m_current = step.after;
        m_undo.append(step);
        m_merging = false;
        return step;
    }

private:
    QList<Step> m_undo;
    QList<Step> m_redo;
    config::Configuration m_current;
    bool m_merging = false;
};
