#include "LanguageApplier.h"

#include "lang/KeyTable.h"
#include "lang/LanguageTexts.h"

#include <QAbstractButton>
#include <QHash>
#include <QLabel>
#include <QTableWidget>

namespace ui {
namespace {

void setCaption(QWidget *widget, const QString &text)
{
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        button->setText(text);
    } else if (auto *label = qobject_cast<QLabel *>(widget)) {
        // Captions are plain text: a translation must not turn into markup.
        label->setTextFormat(Qt::PlainText);
        // Only a label with a buddy draws the accelerator itself.
        label->setText(label->buddy() ? text : withoutMnemonics(text));
    }
}

void setHeader(QTableWidget *table, int column, const QString &text)
{
    if (column >= table->columnCount())
        return;
    QTableWidgetItem *item = table->horizontalHeaderItem(column);
    if (!item) {
        item = new QTableWidgetItem;
        table->setHorizontalHeaderItem(column, item);
    }
    item->setText(headerText(text));
}

} // namespace

void applyLanguageTexts(QWidget *root, const lang::LanguageTexts &texts)
{
    // One walk over the window instead of one search per key.
    QHash<QString, QWidget *> byName;
    if (!root->objectName().isEmpty())
        byName.insert(root->objectName(), root);
    const QList<QWidget *> widgets = root->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        const QString name = widget->objectName();
        if (!name.isEmpty() && !byName.contains(name))
            byName.insert(name, widget);
    }

    for (const lang::KeyDef &key : lang::keys()) {
        switch (key.kind) {
        case lang::KeyKind::Message:
            break;
        case lang::KeyKind::Header:
            if (auto *table = qobject_cast<QTableWidget *>(byName.value(key.key.chopped(3).toString())))
                setHeader(table, key.key.back().digitValue() - 1, texts.text(key.key));
            break;
        case lang::KeyKind::Caption: {
            const QString name = key.key == u"Telvarin" ? QStringLiteral("TntL_Title") : key.key.toString();
            if (QWidget *widget = byName.value(name))
                setCaption(widget, texts.text(key.key));
            break;
        }
        }
    }
}

QString withoutMnemonics(QStringView caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != u'&') {
            shown.append(caption[i]);
        } else if (i + 1 < caption.size() && caption[i + 1] == u'&') {
            shown.append(u'&');
            ++i;
        }
    }
    return shown;
}

QString headerText(QStringView caption)
{
    return caption.toString().replace(QStringLiteral("&&"), QStringLiteral("&"));
}

} // namespace ui
