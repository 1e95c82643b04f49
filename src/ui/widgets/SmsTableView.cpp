#include "SmsTableView.h"

#include "ui/widgets/Theme.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace ui {
namespace {
constexpr int kFocusMarkWidth = 2;
}

SmsTableView::SmsTableView(QWidget *parent) : QTableView(parent)
{
    // Room for the focus mark outside the cells, whatever frame the style draws.
    const int band = std::max(0, kFocusMarkWidth - frameWidth());
    setContentsMargins(band, band, band, band);
    // The mark follows the focus into the cell editor and out of it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        auto within = [this](QWidget *w) { return w && (w == this || isAncestorOf(w)); };
        if (within(old) != within(now))
            update();
    });
}

bool SmsTableView::holdsFocus() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

bool SmsTableView::event(QEvent *event)
{
    const bool done = QTableView::event(event);
    // The frame is painted here, not in paintEvent(), which paints the cells.
    if (event->type() == QEvent::Paint && holdsFocus()) {
        QPainter p(this);
        p.setPen(QPen(theme::kFocus, kFocusMarkWidth));
        const qreal half = kFocusMarkWidth / 2.0;
        p.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
    }
    return done;
}

void SmsTableView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    // A selected cell is drawn in the selection colour, which hides the
    // refused cell's background: such a cell keeps a frame in its colour.
    if (!model() || !selectionModel())
        return;
    QPainter p(viewport());
    p.setPen(QPen(theme::kError, 2));
    for (const QModelIndex &index : selectionModel()->selectedIndexes()) {
        if (!index.data(Qt::BackgroundRole).isValid())
            continue;
        const QRect cell = visualRect(index);
        if (cell.intersects(event->rect()))
            p.drawRect(QRectF(cell).adjusted(1, 1, -2, -2));
    }
}

QModelIndex SmsTableView::neighbour(bool next) const
{
    if (!model())
        return {};
    const int rows = model()->rowCount();
    const int columns = model()->columnCount();
    const QModelIndex current = currentIndex();
    int at = current.isValid() ? current.row() * columns + current.column() : (next ? -1 : rows * columns);
    at += next ? 1 : -1;
    if (at < 0 || at >= rows * columns)
        return {};
    return model()->index(at / columns, at % columns);
}

void SmsTableView::leave(bool next)
{
    // The window finds the control after (or before) the focused one.
    QTableView::focusNextPrevChild(next);
}

bool SmsTableView::focusNextPrevChild(bool next)
{
    if (hasFocus()) {
        const QModelIndex to = neighbour(next);
        if (to.isValid()) {
            setCurrentIndex(to);
            return true;
        }
    }
    leave(next);
    return true;
}

void SmsTableView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    // Tabbing in starts at the first cell; tabbing back in at the last.
    if (!model() || model()->rowCount() == 0)
        return;
    if (event->reason() == Qt::TabFocusReason)
        setCurrentIndex(model()->index(0, 0));
    else if (event->reason() == Qt::BacktabFocusReason)
        setCurrentIndex(model()->index(model()->rowCount() - 1, model()->columnCount() - 1));
}

void SmsTableView::moveDown()
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() + 1 < model()->rowCount())
        setCurrentIndex(model()->index(current.row() + 1, current.column()));
}

void SmsTableView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        moveDown();
        return;
    }
    QTableView::keyPressEvent(event);
}

void SmsTableView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    switch (hint) {
    case QAbstractItemDelegate::EditNextItem:
    case QAbstractItemDelegate::EditPreviousItem: {
        const bool next = hint == QAbstractItemDelegate::EditNextItem;
        if (neighbour(next).isValid())
            break;
        // Past the last (or first) cell the keyboard leaves the grid.
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        leave(next);
        return;
    }
    case QAbstractItemDelegate::SubmitModelCache:
        // Enter: the cell is committed; the next row's cell is current.
        QTableView::closeEditor(editor, hint);
        moveDown();
        return;
    default:
        break;
    }
    QTableView::closeEditor(editor, hint);
}

void SmsTableView::finishEditing()
{
    if (state() != EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void SmsTableView::editCell(const QModelIndex &index)
{
    setFocus(Qt::OtherFocusReason);
    setCurrentIndex(index);
    edit(index);
}

} // namespace ui
