#include "UndoController.h"

#include "app/Session.h"
#include "ui/Page.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>

namespace ui {

namespace {

bool isUndoKey(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
           event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
           event->keyCombination() == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

} // namespace

UndoController::UndoController(app::Session &session, QWidget *window, Hooks hooks)
    : QObject(window), m_session(session), m_window(window), m_hooks(std::move(hooks))
{
    auto add = [this](const QKeySequence &keys, const char *name, void (UndoController::*slot)()) {
        auto *shortcut = new QShortcut(keys, m_window);
        shortcut->setObjectName(QLatin1String(name));
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_Z), "UndoShortcut", &UndoController::undo);
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "RedoShortcut", &UndoController::redo);
    add(QKeySequence(Qt::CTRL | Qt::Key_Y), "RedoShortcutY", &UndoController::redo);
    // A line edit undoes its own typing on Ctrl+Z before any shortcut sees
    // the key; the window's history is the one undo, across fields and pages.
    qApp->installEventFilter(this);
    // Typing in one field is one undo step until the focus moves on.
    connect(qApp, &QApplication::focusChanged, this, [this] { m_history.closeStep(); });
}

UndoController::~UndoController()
{
    qApp->removeEventFilter(this);
}

bool UndoController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->window() == m_window && isUndoKey(static_cast<QKeyEvent *>(event))) {
        // Left unaccepted, the key goes to the window's shortcuts.
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void UndoController::recordEdited(const EditOrigin &origin, MergeKey key)
{
    const bool was = isChanged();
    m_history.record(m_session.configuration(), origin, key);
    tellChange(was);
}

void UndoController::reset()
{
    const bool was = isChanged();
    m_history.reset(m_session.configuration());
    tellChange(was);
}

void UndoController::markClean()
{
    const bool was = isChanged();
    m_history.markClean();
    tellChange(was);
}

void UndoController::undo()
{
    const bool was = isChanged();
    if (auto step = m_history.undo())
        showStep(step->record, step->origin);
    tellChange(was);
}

void UndoController::redo()
{
    const bool was = isChanged();
    if (auto step = m_history.redo())
        showStep(step->record, step->origin);
    tellChange(was);
}

void UndoController::tellChange(bool wasChanged)
{
    if (isChanged() != wasChanged)
        emit changedStateChanged(isChanged());
}

void UndoController::showStep(const config::Configuration &record, const EditOrigin &origin)
{
    QWidget *control = origin.control;
    Page *page = pageOf(control);
    if (page)
        m_hooks.openPage(page);
    m_session.configuration() = record;
    m_hooks.recordRestored();
    if (!page)
        return;
    // The sub-pages that hold the control are shown, and the control gets
    // the focus, so the user sees what came back.
    page->reveal(control, origin.variant);
    if (control->isEnabled())
        control->setFocus(Qt::OtherFocusReason);
}

} // namespace ui
