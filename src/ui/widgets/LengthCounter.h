// A live "n/64" counter inside the right end of an edit whose text the device
// limits in length (the SMS command texts, the message cells of the tables).
// It refuses nothing: above the limit it turns to the error colour and the
// checks decide at save.
#pragma once

#include <QLabel>
#include <QStyledItemDelegate>

class QLineEdit;

namespace ui {

class LengthCounter : public QLabel
{
    Q_OBJECT
public:
    // The counter is a child of the edit named after it with "_Count".
    LengthCounter(QLineEdit *edit, qsizetype limit);

    static QString countText(qsizetype length, qsizetype limit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update(const QString &text);
    void place();

    QLineEdit *m_edit;
    qsizetype m_limit;
};

// The message column of a table: its editor carries a counter, and a cell
// whose text is above the limit shows its count in the error colour.
class LimitedCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    LimitedCellDelegate(qsizetype limit, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    qsizetype m_limit;
};

} // namespace ui
