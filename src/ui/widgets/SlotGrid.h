// A painted grid of half-hour time slots: a week (seven days, Monday first) or
// one day, each day in two rows of 24 slots (00.00 to 11.30 over 12.00 to
// 23.30). It shows and edits the profile slots it is given in place and
// reports every change; its hour and day labels are child labels named by
// their language keys, so the language loader captions them.
//
// Input: a click toggles a slot; pressing and dragging paints the span from
// the first slot to the slot under the pointer (the days between, the half
// hours between in time order) with the first slot's new state, so a morning
// that runs past 11.30 is one stroke. The arrows move a focus cell (left and
// right by half an hour, up and down by a day, or by twelve hours on a one-day
// grid), Space toggles it, Shift+arrows paint the focus cell's state along:
// like a text selection, the span grows from where the first Shift+arrow
// started until an arrow without Shift, Space, a click or the focus leaving.
#pragma once

#include "config/Configuration.h"

#include <QWidget>
#include <optional>
#include <span>
#include <vector>

class QLabel;

namespace ui {

class SlotGrid : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kSlotsPerRow = config::kSlotsPerDay / 2;
    static constexpr int kPitch = 16;    // slots are 16 px apart both ways
    static constexpr int kDayPitch = 40; // day blocks of the week
    static constexpr int kSlotSize = 14;

    struct Cell
    {
        int day = 0;
        int slot = 0;
        bool operator==(const Cell &) const = default;
    };

    // labelPrefix names the labels: prefix + "0000" ... "2330" for the ten
    // hour labels, prefix + "Mon" ... "Sun" for the day names of a week.
    SlotGrid(const QString &objectName, const QString &labelPrefix, int days, QWidget *parent = nullptr);

    int dayCount() const { return m_dayCount; }
    // The slots shown and edited, one entry per day; shown at once, without
    // reporting an edit. Ends a stroke in progress.
    void setDays(std::span<config::DaySlots> days);

    bool isOn(Cell cell) const;
    Cell focusCell() const { return m_focus; }
    // Where a slot is drawn, in the grid's coordinates.
    QRect slotRect(Cell cell) const;
    // The slot's day (on a week) and half hour, as its tooltip and its
    // accessible name give it: "Monday 08.00-08.30".
    QString slotName(Cell cell) const;
    QLabel *dayLabel(int day) const;
    // Counts the strokes begun: the edits of one stroke share the number, so
    // they can be undone as one step.
    quint64 strokeNumber() const { return m_strokes; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // The user changed one or more slots; they are already in the record.
    void edited();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The slot under a point; with nearest, the closest slot to a point
    // anywhere (a drag outside the grid stops at its edge).
    std::optional<Cell> cellAt(QPoint pos, bool nearest = false) const;
    void beginStroke(Cell anchor, bool state);
    void extendStroke(Cell to);
    void endStroke();
    void moveFocus(Cell to);
    void layoutLabels();
    void notifySlot(Cell cell, bool focus);

    int m_dayCount;
    std::span<config::DaySlots> m_days;
    QList<QLabel *> m_hourLabels; // first row, then second row
    QList<int> m_hourColumns;
    QList<QLabel *> m_dayLabels;
    int m_gridLeft = 0;
    int m_gridTop = 0;
    QSize m_size;

    Cell m_focus;
    std::optional<Cell> m_hover;
    // A stroke in progress: its first slot, the state it paints and the slots
    // as they were before it, so a span that shrinks gives back what it covered.
    std::optional<Cell> m_anchor;
    bool m_strokeState = false;
    bool m_mouseStroke = false;
    std::vector<config::DaySlots> m_before;
    quint64 m_strokes = 0;
};

} // namespace ui
