#include "Binder.h"

#include "config/XmlText.h"
#include "ui/PageContext.h"
#include "ui/widgets/SlotGrid.h"
#include "ui/widgets/SmsTableEditor.h"
#include "ui/widgets/SmsTableModel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>

namespace ui {

Binder::Binder(PageContext &context, QObject *parent) : QObject(parent), m_context(context) {}

void Binder::text(QLineEdit *edit, QString &field)
{
    connect(edit, &QLineEdit::textChanged, this, [this, edit, &field](const QString &text) {
        if (m_refreshing)
            return;
        if (!config::holdsOnlyXmlCharacters(text)) {
            // Typed or pasted characters the file cannot store never reach
            // the record; setting the cleaned text comes back here.
            const int cursor = edit->cursorPosition();
            const QString kept = config::xmlCharactersOnly(text);
            edit->setText(kept);
            edit->setCursorPosition(std::min(cursor, int(kept.size())));
            return;
        }
        field = text;
        // Typing in one field is one step until the focus leaves it.
        edited(edit, {edit});
    });
    m_refreshers.push_back([edit, &field] {
        if (edit->text() != field)
            edit->setText(field);
    });
}

void Binder::flag(QAbstractButton *box, bool &field)
{
    flag(box, [&field]() -> bool & { return field; });
}

void Binder::flag(QAbstractButton *box, std::function<bool &()> field)
{
    connect(box, &QAbstractButton::toggled, this, [this, box, field](bool on) {
        if (m_refreshing)
            return;
        field() = on;
        edited(box);
    });
    m_refreshers.push_back([box, field] { box->setChecked(field()); });
}

void Binder::operation(QButtonGroup *group, config::Operation &field)
{
    group->setExclusive(true);
    connect(group, &QButtonGroup::idToggled, this, [this, group, &field](int id, bool on) {
        if (m_refreshing || !on)
            return;
        field = config::Operation(id);
        edited(group->button(id));
    });
    m_refreshers.push_back([group, &field] {
        if (QAbstractButton *b = group->button(int(field)))
            b->setChecked(true);
    });
}

void Binder::table(SmsTableEditor *editor, config::SmsTable &field)
{
    auto *model = new SmsTableModel(field, editor->id(), m_context.texts(), editor);
    editor->setModel(model);
    editor->setContext(&m_context);
    connect(model, &SmsTableModel::edited, this, [this, editor] { edited(editor); });
    m_refreshers.push_back([model] { model->reload(); });
}

void Binder::timeSlots(SlotGrid *grid, std::function<std::span<config::DaySlots>()> field)
{
    // The slots of one stroke are one step.
    connect(grid, &SlotGrid::edited, this, [this, grid] { edited(grid, {grid, grid->strokeNumber()}); });
    m_refreshers.push_back([grid, field] { grid->setDays(field()); });
}

void Binder::enableWhen(const QList<QWidget *> &controls, std::function<bool()> rule)
{
    Rule r;
    for (QWidget *w : controls)
        r.controls.append(w);
    r.holds = std::move(rule);
    m_rules.push_back(std::move(r));
}

void Binder::refresh()
{
    m_refreshing = true;
    for (const auto &refresh : m_refreshers)
        refresh();
    m_refreshing = false;
    applyRules();
}

void Binder::applyRules()
{
    for (const Rule &rule : m_rules) {
        const bool on = rule.holds();
        for (const QPointer<QWidget> &w : rule.controls) {
            if (w)
                w->setEnabled(on);
        }
    }
}

void Binder::edited(QWidget *control, MergeKey key)
{
    if (m_refreshing)
        return;
    m_context.recordEdited({control, m_variant ? m_variant() : -1}, key);
    applyRules();
}

} // namespace ui
