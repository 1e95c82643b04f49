// The editors of the checked table columns: a phone number cell that drops
// the separators people type, and a profile cell that offers the profile
// numbers by name.
#pragma once

#include <QStyledItemDelegate>
#include <QValidator>

namespace lang {
class LanguageTexts;
}

namespace ui {

// Drops blanks and the separators - . / ( ) from what is typed or pasted,
// keeping the cursor after the characters it was after.
class PhoneSeparatorFilter : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

class PhoneCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};

// The profile column: a drop-down of the numbers 0 to 9 with the names of the
// profiles they select ("2 - Weekly 2"); the cell shows the same caption and
// stores the digit. A stored value that is no single digit (empty, "12") is
// shown as it is and offered first, so that opening the list changes nothing.
class ProfileCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kProfileNumbers = 10;

    ProfileCellDelegate(const lang::LanguageTexts &texts, QObject *parent);

    // "0 - Always" ... "6 - Daily 3", then "7" ... "9", in the current language.
    QString caption(int number) const;

    QString displayText(const QVariant &value, const QLocale &locale) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    const lang::LanguageTexts &m_texts;
};

} // namespace ui
