// The grid of a message or number table, for the keyboard as much as for the
// mouse: Tab and Shift+Tab walk the cells and leave the grid after its last
// (before its first) cell instead of going round; Enter commits a cell and
// moves down; the grid shows the window's focus mark while it or its cell
// editor has the focus.
#pragma once

#include <QTableView>

namespace ui {

class SmsTableView : public QTableView
{
    Q_OBJECT
public:
    explicit SmsTableView(QWidget *parent = nullptr);

    // Commits and closes the cell editor, if one is open.
    void finishEditing();
    // Makes a cell the current one and opens its editor with the focus in it.
    void editCell(const QModelIndex &index);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    // The cell after (or before) the current one in reading order; invalid
    // past the ends.
    QModelIndex neighbour(bool next) const;
    // Gives the focus to the control after (or before) the grid.
    void leave(bool next);
    void moveDown();
    bool holdsFocus() const;
};

} // namespace ui
