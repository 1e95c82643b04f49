#include "TableCellDelegates.h"

#include "lang/LanguageTexts.h"
#include "ui/widgets/SmsTableModel.h"

#include <QComboBox>
#include <QLineEdit>

namespace ui {
namespace {

// The names of the profiles the numbers 0 to 6 select; 7 to 9 name none.
constexpr QStringView kProfileKeys[] = {
    u"Profile_Always",  u"Profile_Weekly_1", u"Profile_Weekly_2", u"Profile_Weekly_3",
    u"Profile_Daily_1", u"Profile_Daily_2",  u"Profile_Daily_3",
};

// The profile number a cell holds as one digit, or -1.
int singleDigit(const QString &text)
{
    return text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'9' ? text.at(0).digitValue() : -1;
}

} // namespace

QValidator::State PhoneSeparatorFilter::validate(QString &input, int &pos) const
{
    const QString kept = withoutPhoneSeparators(input);
    if (kept.size() != input.size()) {
        pos -= int(input.left(pos).size() - withoutPhoneSeparators(QStringView(input).left(pos)).size());
        input = kept;
    }
    return Acceptable;
}

QWidget *PhoneCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        edit->setObjectName(QStringLiteral("CellEditor"));
        edit->setValidator(new PhoneSeparatorFilter(edit));
    }
    return editor;
}

ProfileCellDelegate::ProfileCellDelegate(const lang::LanguageTexts &texts, QObject *parent)
    : QStyledItemDelegate(parent), m_texts(texts)
{
}

QString ProfileCellDelegate::caption(int number) const
{
    if (number < 0 || number >= int(std::size(kProfileKeys)))
        return QString::number(number);
    return QStringLiteral("%1 - %2").arg(number).arg(m_texts.messageText(kProfileKeys[number]));
}

QString ProfileCellDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    const int number = singleDigit(value.toString());
    return number < 0 ? QStyledItemDelegate::displayText(value, locale) : caption(number);
}

QWidget *ProfileCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                           const QModelIndex &) const
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("CellEditor"));
    for (int n = 0; n < kProfileNumbers; ++n)
        box->addItem(caption(n), QString::number(n));
    // A choice from the list is the edit: it is stored at once.
    connect(box, &QComboBox::activated, this, [this, box] {
        auto *self = const_cast<ProfileCellDelegate *>(this);
        emit self->commitData(box);
        emit self->closeEditor(box, QAbstractItemDelegate::NoHint);
    });
    return box;
}

void ProfileCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *box = qobject_cast<QComboBox *>(editor);
    if (!box)
        return;
    const QString stored = index.data(Qt::EditRole).toString();
    int at = box->findData(stored);
    if (at < 0) {
        if (box->count() > kProfileNumbers)
            box->removeItem(0);
        box->insertItem(0, stored, stored);
        at = 0;
    }
    box->setCurrentIndex(at);
}

void ProfileCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                       const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QComboBox *>(editor))
        model->setData(index, box->currentData(), Qt::EditRole);
}

} // namespace ui
