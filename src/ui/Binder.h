// Binds the controls of a page to the fields of the configuration record,
// each once. A user edit writes its field and goes through the context's one
// funnel (the configuration is marked changed); refresh() puts the record
// back on every control without going through the funnel. Enabling rules are
// data: re-applied after every edit and every refresh.
//
// The bindings hold references into the session's one Configuration, which
// lives as long as the window; a load or a new configuration assigns into it.
#pragma once

#include "config/Configuration.h"
#include "ui/UndoController.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <span>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QLineEdit;

namespace ui {

class PageContext;
class SlotGrid;
class SmsTableEditor;

class Binder : public QObject
{
    Q_OBJECT
public:
    explicit Binder(PageContext &context, QObject *parent = nullptr);

    // An edit holds the text exactly as typed.
    void text(QLineEdit *edit, QString &field);
    // A check box is the flag.
    void flag(QAbstractButton *box, bool &field);
    // A check box that shows one of several flags: the one the field gives at
    // each refresh and each edit (the weekly profile on screen).
    void flag(QAbstractButton *box, std::function<bool &()> field);
    // A radio group whose button ids are the operations' values (0 set, 1
    // reset, 2 impulse); exactly one of them is on.
    void operation(QButtonGroup *group, config::Operation &field);
    // A table editor shows and edits the table; its buttons edit it too.
    void table(SmsTableEditor *editor, config::SmsTable &field);
    // A slot grid shows and edits the days the field gives at each refresh.
    void timeSlots(SlotGrid *grid, std::function<std::span<config::DaySlots>()> field);

    // The controls are enabled while the rule holds. Disabled controls keep
    // their contents, which are saved as they are.
    void enableWhen(const QList<QWidget *> &controls, std::function<bool()> rule);

    // Which of several records the page shows now (the weekly profile on the
    // grid); kept with every edit so that undo can show it again.
    void setVariant(std::function<int()> variant) { m_variant = std::move(variant); }

    // Puts the record on every bound control, then applies the rules.
    void refresh();
    void applyRules();

private:
    // A control wrote the record; edits with the same merge key in a row are
    // one undo step.
    void edited(QWidget *control, MergeKey key = {});

    PageContext &m_context;
    std::vector<std::function<void()>> m_refreshers;
    struct Rule
    {
        QList<QPointer<QWidget>> controls;
        std::function<bool()> holds;
    };
    std::vector<Rule> m_rules;
    std::function<int()> m_variant;
    bool m_refreshing = false;
};

} // namespace ui
