// Undo and redo of the configuration for the whole window: the history of
// the record, which edits merge into one step, the keys (Ctrl+Z; Ctrl+Shift+Z
// and Ctrl+Y) across fields and pages, and showing a step again on the page
// and panel where it was made. It also keeps the clean point: the step at
// which the record equals the one last saved, loaded or created. The
// configuration is changed exactly while the history is away from it.
#pragma once

#include "app/EditHistory.h"
#include "config/Configuration.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

namespace app {
class Session;
}

namespace ui {

class Page;

// Where an edit was made: the control, and which of the records it can show
// it showed (the weekly profile on the grid; -1 when it shows only one).
struct EditOrigin
{
    QPointer<QWidget> control;
    int variant = -1;
};

using MergeKey = app::MergeKey;

class UndoController : public QObject
{
    Q_OBJECT
public:
    struct Hooks
    {
        // Opens the page that holds the control of a step (as a menu click does).
        std::function<void(Page *)> openPage;
        // The record was put back: every page shows it again.
        std::function<void()> recordRestored;
    };

    // Installs the keys on `window` and watches the focus of the application.
    UndoController(app::Session &session, QWidget *window, Hooks hooks);
    ~UndoController() override;

    // The record has just been edited by a user at `origin`.
    void recordEdited(const EditOrigin &origin, MergeKey key);
    // The record was replaced (start, New, Load): the history starts again
    // from it, and it is the clean point.
    void reset();
    // The record was saved: it is the clean point.
    void markClean();
    bool isClean() const { return m_history.isClean(); }
    // Something is unsaved: the record is not the one at the clean point.
    bool isChanged() const { return !isClean(); }

    void undo();
    void redo();
    // Every page shows the record again, as after an undo.
    void showRecord() { m_hooks.recordRestored(); }
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }

    app::EditHistory<EditOrigin> &history() { return m_history; }

signals:
    // The configuration became changed, or unchanged again.
    void changedStateChanged(bool changed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showStep(const config::Configuration &record, const EditOrigin &origin);
    // Tells when the changed state is not what it was before an operation.
    void tellChange(bool wasChanged);

    app::Session &m_session;
    QWidget *m_window;
    Hooks m_hooks;
    app::EditHistory<EditOrigin> m_history;
};

} // namespace ui
