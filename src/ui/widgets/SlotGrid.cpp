#include "SlotGrid.h"

#include "ui/widgets/PageParts.h"
#include "ui/widgets/Theme.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>
#include <algorithm>

namespace ui {
namespace {

constexpr int kSlotCount = config::kSlotsPerDay;
constexpr const char *kDayKeys[config::kDaysPerWeek] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
// The slot columns that carry an hour label, in each of the two rows.
constexpr int kLabelColumns[] = {0, 6, 12, 18, SlotGrid::kSlotsPerRow - 1};

const QColor kOffBorder(150, 150, 150);
const QColor kHourLine(200, 200, 200);

// The time that begins a slot (slot 48 is the midnight that ends the day):
// "0830" as the label keys spell it, "08.30" as the device's captions show it.
QString clockText(int slot, QStringView separator)
{
    return QStringLiteral("%1%2%3")
        .arg(slot / 2, 2, 10, QLatin1Char('0'))
        .arg(separator)
        .arg(slot % 2 ? 30 : 0, 2, 10, QLatin1Char('0'));
}

int cellIndex(SlotGrid::Cell cell)
{
    return cell.day * kSlotCount + cell.slot;
}

// One slot as a check box for assistive technology.
class SlotAccessible : public QAccessibleInterface
{
public:
    SlotAccessible(SlotGrid *grid, SlotGrid::Cell cell) : m_grid(grid), m_cell(cell) {}

    bool isValid() const override { return m_grid; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_grid ? m_grid->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_grid); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return m_grid && t == QAccessible::Name ? m_grid->slotName(m_cell) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!m_grid)
            return {};
        const QRect r = m_grid->slotRect(m_cell);
        return QRect(m_grid->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!m_grid)
            return s;
        s.checkable = true;
        s.checked = m_grid->isOn(m_cell);
        s.focusable = true;
        s.focused = m_grid->hasFocus() && m_grid->focusCell() == m_cell;
        return s;
    }
    SlotGrid *grid() const { return m_grid; }
    SlotGrid::Cell cell() const { return m_cell; }

private:
    QPointer<SlotGrid> m_grid;
    SlotGrid::Cell m_cell;
};

// The grid: its labels as the widget's children, then one check box per slot.
class SlotGridAccessible : public QAccessibleWidget
{
public:
    explicit SlotGridAccessible(SlotGrid *grid) : QAccessibleWidget(grid, QAccessible::Grouping) {}
    ~SlotGridAccessible() override
    {
        for (QAccessible::Id id : std::as_const(m_slots))
            QAccessible::deleteAccessibleInterface(id);
    }

    int labelCount() const { return QAccessibleWidget::childCount(); }
    int slotCount() const { return grid()->dayCount() * kSlotCount; }
    int childCount() const override { return labelCount() + slotCount(); }

    QAccessibleInterface *child(int index) const override
    {
        if (index < labelCount())
            return QAccessibleWidget::child(index);
        const int slot = index - labelCount();
        if (slot >= slotCount())
            return nullptr;
        if (const auto found = m_slots.constFind(slot); found != m_slots.cend())
            return QAccessible::accessibleInterface(*found);
        auto *made = new SlotAccessible(grid(), {slot / kSlotCount, slot % kSlotCount});
        m_slots.insert(slot, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (const auto *slot = dynamic_cast<const SlotAccessible *>(child))
            return slot->grid() == grid() ? labelCount() + cellIndex(slot->cell()) : -1;
        return QAccessibleWidget::indexOfChild(child);
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        if (const auto cell = gridCellAt(grid()->mapFromGlobal(QPoint(x, y))))
            return child(labelCount() + cellIndex(*cell));
        return QAccessibleWidget::childAt(x, y);
    }

    QAccessibleInterface *focusChild() const override
    {
        return grid()->hasFocus() ? child(labelCount() + cellIndex(grid()->focusCell())) : nullptr;
    }

private:
    SlotGrid *grid() const { return static_cast<SlotGrid *>(widget()); }
    std::optional<SlotGrid::Cell> gridCellAt(QPoint pos) const
    {
        for (int d = 0; d < grid()->dayCount(); ++d) {
            for (int s = 0; s < kSlotCount; ++s) {
                if (grid()->slotRect({d, s}).contains(pos))
                    return SlotGrid::Cell{d, s};
            }
        }
        return std::nullopt;
    }

    mutable QHash<int, QAccessible::Id> m_slots;
};

QAccessibleInterface *slotGridAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String(SlotGrid::staticMetaObject.className()))
        return new SlotGridAccessible(static_cast<SlotGrid *>(object));
    return nullptr;
}

} // namespace

SlotGrid::SlotGrid(const QString &objectName, const QString &labelPrefix, int days, QWidget *parent)
    : QWidget(parent), m_dayCount(days)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(slotGridAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setObjectName(objectName);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    for (int row = 0; row < 2; ++row) {
        for (int column : kLabelColumns) {
            auto *label = makeLabel(labelPrefix + clockText(row * kSlotsPerRow + column, {}), this);
            label->setAlignment(Qt::AlignCenter);
            m_hourLabels.append(label);
            m_hourColumns.append(column);
        }
    }
    if (days == config::kDaysPerWeek) {
        for (const char *day : kDayKeys) {
            auto *label = makeLabel(labelPrefix + QLatin1String(day), this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            m_dayLabels.append(label);
        }
    }
    layoutLabels();
}

void SlotGrid::setDays(std::span<config::DaySlots> days)
{
    Q_ASSERT(days.empty() || int(days.size()) == m_dayCount);
    endStroke();
    m_days = days;
    update();
}

bool SlotGrid::isOn(Cell cell) const
{
    return !m_days.empty() && m_days[cell.day][cell.slot];
}

QRect SlotGrid::slotRect(Cell cell) const
{
    const int row = cell.slot / kSlotsPerRow;
    const int column = cell.slot % kSlotsPerRow;
    const int inset = (kPitch - kSlotSize) / 2;
    return QRect(m_gridLeft + column * kPitch + inset,
                 m_gridTop + cell.day * kDayPitch + row * kPitch + inset, kSlotSize, kSlotSize);
}

QString SlotGrid::slotName(Cell cell) const
{
    const QString time = clockText(cell.slot, u".") + u'-' + clockText(cell.slot + 1, u".");
    if (m_dayLabels.isEmpty())
        return time;
    return m_dayLabels.at(cell.day)->text() + u' ' + time;
}

QLabel *SlotGrid::dayLabel(int day) const
{
    return m_dayLabels.value(day);
}

QSize SlotGrid::sizeHint() const
{
    return m_size;
}

void SlotGrid::layoutLabels()
{
    int rowHeight = 0;
    int leftOverhang = 0;
    int rightOverhang = 0;
    for (int i = 0; i < m_hourLabels.size(); ++i) {
        const QSize hint = m_hourLabels[i]->sizeHint();
        rowHeight = std::max(rowHeight, hint.height());
        const int overhang = (hint.width() - kPitch + 1) / 2;
        if (m_hourColumns[i] == 0)
            leftOverhang = std::max(leftOverhang, overhang);
        else if (m_hourColumns[i] == kSlotsPerRow - 1)
            rightOverhang = std::max(rightOverhang, overhang);
    }
    int dayWidth = 0;
    for (QLabel *label : std::as_const(m_dayLabels))
        dayWidth = std::max(dayWidth, label->sizeHint().width());

    // The day names leave room for the first hour label, which is centred
    // over the first slot and so reaches left of it.
    m_gridLeft = std::max(dayWidth > 0 ? dayWidth + leftOverhang + 4 : 0, leftOverhang);
    m_gridTop = 2 * rowHeight + 2;
    for (int i = 0; i < m_hourLabels.size(); ++i) {
        QLabel *label = m_hourLabels[i];
        const int width = label->sizeHint().width();
        const int centre = m_gridLeft + m_hourColumns[i] * kPitch + kPitch / 2;
        label->setGeometry(centre - width / 2, (i / 5) * rowHeight, width, rowHeight);
    }
    for (int d = 0; d < m_dayLabels.size(); ++d)
        m_dayLabels[d]->setGeometry(0, m_gridTop + d * kDayPitch, dayWidth, 2 * kPitch);

    const QSize size(m_gridLeft + kSlotsPerRow * kPitch + std::max(rightOverhang, 0),
                     m_gridTop + (m_dayCount - 1) * kDayPitch + 2 * kPitch);
    if (size != m_size) {
        m_size = size;
        updateGeometry();
    }
    update();
}

bool SlotGrid::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::LayoutRequest: // a label's caption changed (a language was applied)
    case QEvent::FontChange:
        layoutLabels();
        break;
    case QEvent::ToolTip: {
        auto *help = static_cast<QHelpEvent *>(event);
        if (const auto cell = cellAt(help->pos()); cell && !m_days.empty())
            QToolTip::showText(help->globalPos(), slotName(*cell), this, slotRect(*cell));
        else
            QToolTip::hideText();
        return true;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

void SlotGrid::showEvent(QShowEvent *event)
{
    layoutLabels();
    QWidget::showEvent(event);
}

void SlotGrid::paintEvent(QPaintEvent *)
{
    if (m_days.empty())
        return;
    QPainter p(this);
    // A thin line every three hours, under the hour labels, to count by.
    p.setPen(kHourLine);
    for (int d = 0; d < m_dayCount; ++d) {
        const int top = m_gridTop + d * kDayPitch;
        for (int column : kLabelColumns) {
            if (column > 0 && column < kSlotsPerRow - 1)
                p.drawLine(m_gridLeft + column * kPitch, top, m_gridLeft + column * kPitch,
                           top + 2 * kPitch - 1);
        }
    }
    for (int d = 0; d < m_dayCount; ++d) {
        for (int s = 0; s < kSlotCount; ++s) {
            const Cell cell{d, s};
            const bool on = m_days[d][s];
            p.setPen(on ? theme::kMain.darker(130) : kOffBorder);
            p.setBrush(on ? theme::kMain : m_hover == cell ? theme::kHeader : QColor(Qt::white));
            p.drawRect(slotRect(cell).adjusted(0, 0, -1, -1));
        }
    }
    if (hasFocus()) {
        // A dark frame round the focus cell with a white line inside, so it
        // shows on a set slot as well as on an empty one.
        const QRect r = slotRect(m_focus);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, 2));
        p.drawRect(QRectF(r).adjusted(-1, -1, 1, 1));
        p.setPen(QPen(Qt::white, 1));
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
}

std::optional<SlotGrid::Cell> SlotGrid::cellAt(QPoint pos, bool nearest) const
{
    const int right = m_gridLeft + kSlotsPerRow * kPitch - 1;
    const int bottom = m_gridTop + (m_dayCount - 1) * kDayPitch + 2 * kPitch - 1;
    if (nearest) {
        pos.setX(std::clamp(pos.x(), m_gridLeft, right));
        pos.setY(std::clamp(pos.y(), m_gridTop, bottom));
    } else if (pos.x() < m_gridLeft || pos.x() > right || pos.y() < m_gridTop || pos.y() > bottom) {
        return std::nullopt;
    }
    const int column = (pos.x() - m_gridLeft) / kPitch;
    int day = (pos.y() - m_gridTop) / kDayPitch;
    const int within = pos.y() - m_gridTop - day * kDayPitch;
    int row = within / kPitch;
    if (row > 1) {
        // The band between two days.
        if (!nearest)
            return std::nullopt;
        if (within - 2 * kPitch < (kDayPitch - 2 * kPitch) / 2) {
            row = 1;
        } else {
            ++day;
            row = 0;
        }
    }
    return Cell{day, row * kSlotsPerRow + column};
}

void SlotGrid::beginStroke(Cell anchor, bool state)
{
    m_anchor = anchor;
    m_strokeState = state;
    ++m_strokes;
    m_before.assign(m_days.begin(), m_days.end());
}

void SlotGrid::extendStroke(Cell to)
{
    if (!m_anchor || m_days.empty())
        return;
    const auto [firstDay, lastDay] = std::minmax(m_anchor->day, to.day);
    const auto [firstSlot, lastSlot] = std::minmax(m_anchor->slot, to.slot);
    bool changed = false;
    for (int d = 0; d < m_dayCount; ++d) {
        for (int s = 0; s < kSlotCount; ++s) {
            const bool inside = d >= firstDay && d <= lastDay && s >= firstSlot && s <= lastSlot;
            const bool wanted = inside ? m_strokeState : m_before[d][s];
            if (m_days[d][s] != wanted) {
                m_days[d][s] = wanted;
                notifySlot({d, s}, false);
                changed = true;
            }
        }
    }
    if (changed) {
        update();
        emit edited();
    }
}

void SlotGrid::endStroke()
{
    m_anchor.reset();
    m_mouseStroke = false;
    m_before.clear();
}

void SlotGrid::moveFocus(Cell to)
{
    m_focus = to;
    notifySlot(to, true);
    update();
}

void SlotGrid::mousePressEvent(QMouseEvent *event)
{
    const auto cell = cellAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !cell || m_days.empty()) {
        QWidget::mousePressEvent(event);
        return;
    }
    endStroke();
    moveFocus(*cell);
    beginStroke(*cell, !isOn(*cell));
    m_mouseStroke = true;
    extendStroke(*cell);
}

void SlotGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (m_mouseStroke && (event->buttons() & Qt::LeftButton)) {
        const Cell cell = *cellAt(pos, true);
        if (cell != m_focus) {
            moveFocus(cell);
            extendStroke(cell);
        }
        return;
    }
    const auto hover = cellAt(pos);
    if (hover != m_hover) {
        m_hover = hover;
        update();
    }
}

void SlotGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_mouseStroke)
        endStroke();
    else
        QWidget::mouseReleaseEvent(event);
}

void SlotGrid::leaveEvent(QEvent *event)
{
    if (m_hover) {
        m_hover.reset();
        update();
    }
    QWidget::leaveEvent(event);
}

void SlotGrid::keyPressEvent(QKeyEvent *event)
{
    if (m_days.empty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const bool week = m_dayCount > 1;
    Cell to = m_focus;
    switch (event->key()) {
    case Qt::Key_Space:
        if (event->isAutoRepeat())
            return;
        endStroke();
        beginStroke(m_focus, !isOn(m_focus));
        extendStroke(m_focus);
        endStroke();
        return;
    case Qt::Key_Left:
        to.slot = std::max(to.slot - 1, 0);
        break;
    case Qt::Key_Right:
        to.slot = std::min(to.slot + 1, kSlotCount - 1);
        break;
    case Qt::Key_Up:
        if (week)
            to.day = std::max(to.day - 1, 0);
        else if (to.slot >= kSlotsPerRow)
            to.slot -= kSlotsPerRow;
        break;
    case Qt::Key_Down:
        if (week)
            to.day = std::min(to.day + 1, m_dayCount - 1);
        else if (to.slot < kSlotsPerRow)
            to.slot += kSlotsPerRow;
        break;
    case Qt::Key_Home:
        to.slot = 0;
        break;
    case Qt::Key_End:
        to.slot = kSlotCount - 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        if (!m_anchor || m_mouseStroke)
            beginStroke(m_focus, isOn(m_focus));
        moveFocus(to);
        extendStroke(to);
    } else {
        endStroke();
        moveFocus(to);
    }
}

void SlotGrid::focusOutEvent(QFocusEvent *event)
{
    if (!m_mouseStroke)
        endStroke();
    update();
    QWidget::focusOutEvent(event);
}

void SlotGrid::notifySlot(Cell cell, bool focus)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(this);
    const int child = grid->childCount() - m_dayCount * kSlotCount + cellIndex(cell);
    if (focus) {
        if (!hasFocus())
            return;
        QAccessibleEvent moved(this, QAccessible::Focus);
        moved.setChild(child);
        QAccessible::updateAccessibility(&moved);
    } else {
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent toggled(this, checked);
        toggled.setChild(child);
        QAccessible::updateAccessibility(&toggled);
    }
}

} // namespace ui
